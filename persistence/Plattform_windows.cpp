// The platform layer on Windows (see Plattform.h). Every name goes to the system as
// UTF-16 through the W functions; the ANSI code page is never involved.
#include "persistence/Plattform.h"

#include "model/Text.h"
#include "persistence/Katalog.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h needs the declarations of windows.h before it.
#include <shellapi.h>
#include <shlobj.h>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

class EigeneKategorie : public std::error_category {
public:
    const char* name() const noexcept override { return "pavolant"; }
    // Catalog: the reason a file cannot be read or written: it is a folder, a device or
    // a pipe rather than a file.
    std::string message(int) const override { return Tr("Not a regular file"); }
};

std::string Utf8AusBreit(const wchar_t* text, int laenge) {
    if (laenge == 0) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, laenge, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string ergebnis(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, laenge, ergebnis.data(), n, nullptr, nullptr);
    return ergebnis;
}

// The system's own errors without an errno counterpart keep their number and are told
// in the system's words (FormatMessage, in the user's language).
class WindowsKategorie : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }
    std::string message(int nummer) const override {
        wchar_t* text = nullptr;
        const DWORD laenge = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(nummer), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::string ergebnis = text ? Utf8AusBreit(text, static_cast<int>(laenge)) : std::string();
        if (text) ::LocalFree(text);
        // The system's sentences end in ".\r\n"; messages add their own punctuation.
        while (!ergebnis.empty() && (ergebnis.back() == '\n' || ergebnis.back() == '\r' ||
                                     ergebnis.back() == ' ' || ergebnis.back() == '.'))
            ergebnis.pop_back();
        // Catalog: %1 is the system's error number, for an error the system has no words for.
        if (ergebnis.empty()) ergebnis = Einsetzen(Tr("Windows error %1"), {std::to_string(nummer)});
        return ergebnis;
    }
};

const WindowsKategorie& Windowsfehler() {
    static const WindowsKategorie kategorie;
    return kategorie;
}

// The errors files meet most, as the errno values that name them everywhere else.
std::error_code Grund(DWORD fehler) {
    switch (fehler) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_WRITE_PROTECT:
            return std::make_error_code(std::errc::read_only_file_system);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        case ERROR_DIRECTORY:
            return std::make_error_code(std::errc::not_a_directory);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::make_error_code(std::errc::not_enough_memory);
        default:
            return {static_cast<int>(fehler), Windowsfehler()};
    }
}

std::error_code LetzterFehler() { return Grund(::GetLastError()); }

HANDLE Griff(std::intptr_t griff) { return reinterpret_cast<HANDLE>(griff); }

}  // namespace

// ---- Paths and text ----------------------------------------------------------------------

std::vector<std::string> Programmargumente(int argc, char** argv) {
    int anzahl = 0;
    wchar_t** breit = ::CommandLineToArgvW(::GetCommandLineW(), &anzahl);
    if (!breit) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> argumente;
    for (int i = 1; i < anzahl; ++i)
        argumente.push_back(Utf8AusBreit(breit[i], static_cast<int>(std::wcslen(breit[i]))));
    ::LocalFree(breit);
    return argumente;
}

namespace {
UINT gAlteAusgabeseite = 0;
void AusgabeseiteZurueck() { ::SetConsoleOutputCP(gAlteAusgabeseite); }
}  // namespace

void KonsoleAufUtf8() {
    // The code page belongs to the console, which outlives the program: the one the
    // user had comes back at the end.
    const UINT alte = ::GetConsoleOutputCP();
    if (alte == 0 || alte == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) return;
    gAlteAusgabeseite = alte;
    std::atexit(AusgabeseiteZurueck);
}

std::string Umgebungsvariable(const char* name) {
    const std::wstring breit = PfadAusUtf8(name).wstring();
    const wchar_t* wert = ::_wgetenv(breit.c_str());
    return wert != nullptr ? Utf8(fs::path(wert)) : "";
}

std::vector<std::string> Oberflaechensprachen() {
    // The user's display languages as Windows' language settings order them ("de-DE",
    // then the fallbacks), not the locale of the regional formats: an English Windows
    // with German number formats speaks English. The list is double-NUL-terminated.
    ULONG anzahl = 0, laenge = 0;
    if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &anzahl, nullptr, &laenge) || laenge == 0)
        return {};
    std::wstring liste(laenge, L'\0');
    if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &anzahl, liste.data(), &laenge)) return {};
    std::vector<std::string> sprachen;
    for (const wchar_t* name = liste.c_str(); name < liste.c_str() + liste.size() && *name != L'\0';
         name += std::wcslen(name) + 1)
        sprachen.push_back(Utf8(fs::path(name)));
    return sprachen;
}

namespace {
// The catalog of the process, read once at start-up and kept to its end (the texts it
// hands out point into it).
std::optional<Katalog> gKatalog;
const char* KatalogText(const char* id) { return gKatalog->Text(id); }
const char* KatalogMehrzahl(const char* einzahl, const char*, unsigned long n) {
    return gKatalog->Mehrzahl(einzahl, n);
}
}  // namespace

bool KatalogEinbinden(const fs::path& ordner, const std::string& sprache) {
    std::ifstream ein(ordner / PfadAusUtf8(sprache) / "LC_MESSAGES" / "pavolant.mo", std::ios::binary);
    if (!ein) return false;
    std::string bytes((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
    if (ein.bad()) return false;
    gKatalog = Katalog::AusBytes(std::move(bytes));
    if (!gKatalog) return false;
    UebersetzerSetzen({&KatalogText, &KatalogMehrzahl});
    return true;
}

fs::path Programmordner() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) {
            name.resize(n);
            return fs::path(name).parent_path();
        }
        if (name.size() >= 32768) return {};
        name.resize(name.size() * 2);
    }
}

fs::path Anwendungsdatenordner() {
    PWSTR ordner = nullptr;
    fs::path pfad;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &ordner)))
        pfad = fs::path(ordner);
    ::CoTaskMemFree(ordner);
    return pfad;
}

std::uint64_t PhysischerSpeicher() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

char SystemDezimaltrenner() {
    wchar_t trenner[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, trenner, 8) <= 0) return '.';
    return trenner[0] == L',' && trenner[1] == L'\0' ? ',' : '.';
}

// ---- Reasons -----------------------------------------------------------------------------

std::error_code KeineNormaleDatei() {
    static const EigeneKategorie kategorie;
    return {1, kategorie};
}

std::string Dateigrund(const std::error_code& grund) {
    if (grund.category() == std::generic_category()) return std::strerror(grund.value());
    return grund.message();
}

// ---- Files -------------------------------------------------------------------------------

Dateiart ArtDerDatei(const fs::path& pfad, std::error_code& grund) {
    WIN32_FILE_ATTRIBUTE_DATA daten{};
    if (!::GetFileAttributesExW(pfad.c_str(), GetFileExInfoStandard, &daten)) {
        const DWORD fehler = ::GetLastError();
        if (fehler == ERROR_FILE_NOT_FOUND || fehler == ERROR_PATH_NOT_FOUND) return Dateiart::Fehlt;
        // Device names (NUL, CON) have no attributes to read; they are no files.
        if (fehler == ERROR_INVALID_NAME || fehler == ERROR_INVALID_PARAMETER) return Dateiart::Andere;
        grund = Grund(fehler);
        return Dateiart::Andere;
    }
    if (daten.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(pfad, ec))) return Dateiart::Verweis;
    }
    if (daten.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Dateiart::Ordner;
    if (daten.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) return Dateiart::Andere;
    return Dateiart::Normal;
}

bool Beschreibbar(const fs::path& pfad) {
    const DWORD attribute = ::GetFileAttributesW(pfad.c_str());
    if (attribute == INVALID_FILE_ATTRIBUTES || (attribute & FILE_ATTRIBUTE_READONLY)) return false;
    // The file's security: opening it for writing (without changing it) asks for it.
    const HANDLE h =
        ::CreateFileW(pfad.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError() != ERROR_ACCESS_DENIED;
    ::CloseHandle(h);
    return true;
}

Systemdatei::~Systemdatei() {
    if (Offen()) ::CloseHandle(Griff(griff_));
}

Systemdatei::Systemdatei(Systemdatei&& andere) noexcept
    : griff_(std::exchange(andere.griff_, kKeinGriff)),
      sperre_(std::exchange(andere.sperre_, kKeinGriff)),
      groesse_(andere.groesse_) {}

Systemdatei& Systemdatei::operator=(Systemdatei&& andere) noexcept {
    if (this != &andere) {
        if (Offen()) ::CloseHandle(Griff(griff_));
        griff_ = std::exchange(andere.griff_, kKeinGriff);
        sperre_ = std::exchange(andere.sperre_, kKeinGriff);
        groesse_ = andere.groesse_;
    }
    return *this;
}

namespace {
// The locked byte lies far beyond any end of file, so the lock keeps nobody from reading
// the file; it only says that the file is being written.
constexpr DWORD kSperreHoch = 0x7FFFFFFF;

bool ByteSperren(HANDLE h) {
    OVERLAPPED ort{};
    ort.OffsetHigh = kSperreHoch;
    return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ort) != 0;
}

bool LoeschenVorgemerkt(HANDLE h) {
    FILE_STANDARD_INFO info{};
    return ::GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info) && info.DeletePending;
}
}  // namespace

bool Systemdatei::Sperren(std::error_code& grund) {
    // The lock belongs to the handle and goes with it: on Windows the file must be
    // closed before it can replace its target, and the lock with it.
    if (!Offen()) return false;
    if (!ByteSperren(Griff(griff_))) {
        const DWORD fehler = ::GetLastError();
        if (fehler != ERROR_LOCK_VIOLATION && fehler != ERROR_IO_PENDING) grund = Grund(fehler);
        return false;
    }
    sperre_ = 1;
    return true;
}

void Systemdatei::SperreLoesen() noexcept {
    if (sperre_ == kKeinGriff) return;
    sperre_ = kKeinGriff;
    if (!Offen()) return;
    OVERLAPPED ort{};
    ort.OffsetHigh = kSperreHoch;
    ::UnlockFileEx(Griff(griff_), 0, 1, 0, &ort);
}

bool Systemdatei::NochUnter(const fs::path&) const {
    // A file another process removed stays under its name until the last handle is
    // closed, marked for deletion; it is no longer ours to write.
    return Offen() && !LoeschenVorgemerkt(Griff(griff_));
}

Systemdatei Systemdatei::ZumLesen(const fs::path& pfad, std::error_code& grund) {
    Systemdatei datei;
    // A folder cannot be opened as a file; its attributes say what it is.
    const DWORD attribute = ::GetFileAttributesW(pfad.c_str());
    if (attribute != INVALID_FILE_ATTRIBUTES && (attribute & FILE_ATTRIBUTE_DIRECTORY)) {
        grund = std::make_error_code(std::errc::is_a_directory);
        return datei;
    }
    // Others may go on reading, writing and renaming the file while it is read, as they
    // may on POSIX.
    const HANDLE h =
        ::CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        grund = LetzterFehler();
        return datei;
    }
    datei.griff_ = reinterpret_cast<std::intptr_t>(h);
    // Pipes and devices (NUL, CON, COM1) are no files to read parameters from.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        grund = KeineNormaleDatei();
        return Systemdatei();
    }
    LARGE_INTEGER groesse{};
    if (::GetFileSizeEx(h, &groesse) && groesse.QuadPart > 0)
        datei.groesse_ = static_cast<std::uint64_t>(groesse.QuadPart);
    return datei;
}

Systemdatei Systemdatei::NeuAnlegen(const fs::path& pfad, const fs::path*, std::error_code& grund) {
    // The target's attributes and security are kept by Ersetzen (ReplaceFileW), so the
    // new file needs nothing of it. Deleting stays shared so that the interrupt handler
    // can remove the file while it is open.
    Systemdatei datei;
    const HANDLE h = ::CreateFileW(pfad.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        grund = LetzterFehler();
        return datei;
    }
    datei.griff_ = reinterpret_cast<std::intptr_t>(h);
    return datei;
}

std::size_t Systemdatei::Lesen(char* ziel, std::size_t laenge, std::error_code& grund) {
    DWORD gelesen = 0;
    const DWORD stueck = static_cast<DWORD>(laenge > 0x40000000u ? 0x40000000u : laenge);
    if (!::ReadFile(Griff(griff_), ziel, stueck, &gelesen, nullptr)) {
        grund = LetzterFehler();
        return 0;
    }
    return gelesen;
}

std::error_code Systemdatei::Schreiben(const char* daten, std::size_t laenge) {
    while (laenge > 0) {
        const DWORD stueck = static_cast<DWORD>(laenge > 0x40000000u ? 0x40000000u : laenge);
        DWORD geschrieben = 0;
        if (!::WriteFile(Griff(griff_), daten, stueck, &geschrieben, nullptr)) return LetzterFehler();
        daten += geschrieben;
        laenge -= geschrieben;
    }
    return {};
}

std::error_code Systemdatei::Sichern() {
    return ::FlushFileBuffers(Griff(griff_)) ? std::error_code() : LetzterFehler();
}

std::error_code Systemdatei::Schliessen() {
    if (!Offen()) return {};
    const HANDLE h = Griff(std::exchange(griff_, kKeinGriff));
    return ::CloseHandle(h) ? std::error_code() : LetzterFehler();
}

std::error_code Ersetzen(const fs::path& neuGegeben, const fs::path& zielGegeben) {
    // Full paths: given a bare name such as "out.i3d" (no folder part), ReplaceFileW
    // fails with ERROR_DIRECTORY ("Not a directory") under Wine, where "./out.i3d" and
    // a full path work.
    std::error_code ec;
    const fs::path neu = fs::absolute(neuGegeben, ec);
    if (ec) return ec;
    const fs::path ziel = fs::absolute(zielGegeben, ec);
    if (ec) return ec;
    // ReplaceFileW keeps the target's attributes, security and creation time with the
    // name; it needs an existing target. Without one, or where the volume cannot do it,
    // the move replaces the name and is written through before it returns.
    if (::ReplaceFileW(ziel.c_str(), neu.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return {};
    const DWORD fehler = ::GetLastError();
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT(_2): the target may be gone, the new file stayed.
    if (fehler != ERROR_FILE_NOT_FOUND && fehler != ERROR_INVALID_FUNCTION && fehler != ERROR_NOT_SUPPORTED &&
        fehler != ERROR_UNABLE_TO_MOVE_REPLACEMENT && fehler != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        return Grund(fehler);
    if (!::MoveFileExW(neu.c_str(), ziel.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LetzterFehler();
    return {};
}

bool UngesperrtEntfernen(const fs::path& pfad) {
    // Every kind of sharing, so that a writer keeps its own handle; the link itself,
    // never what it points to.
    const HANDLE h = ::CreateFileW(
        pfad.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool entfernt = false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        ByteSperren(h)) {
        // Marked while locked: the file goes when this handle closes, and a writer
        // that opened it meanwhile sees the mark (NochUnter).
        FILE_DISPOSITION_INFO weg{};
        weg.DeleteFile = TRUE;
        entfernt = ::SetFileInformationByHandle(h, FileDispositionInfo, &weg, sizeof weg) != 0;
    }
    ::CloseHandle(h);
    return entfernt;
}

long Prozessnummer() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProzessBeendet(long nummer) {
    if (nummer <= 0) return false;
    const HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(nummer));
    if (!h) return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    DWORD code = 0;
    const bool beendet = ::GetExitCodeProcess(h, &code) && code != STILL_ACTIVE;
    ::CloseHandle(h);
    return beendet;
}

// ---- Temporary files when the program is interrupted -------------------------------------

namespace {

// A slot's states, as on POSIX: only Frei -> Belegen (the owner), Belegen -> Belegt,
// Belegt -> Frei (the owner) and Belegt -> Entfernen (the handler, which never gives it
// back: the process ends) happen, each as one atomic step. The handler runs on a thread
// of its own while the program goes on, so the steps are what keeps the two apart.
enum Zustand : int { kFrei, kBelegen, kBelegt, kEntfernen };

// Full paths: the handler must not depend on the working directory. Longer paths are
// left unprotected.
constexpr std::size_t kMaxPfad = 1024;

struct Platz {
    std::atomic<int> zustand{kFrei};
    wchar_t pfad[kMaxPfad] = {};
};

std::array<Platz, 16> gPlaetze;

BOOL WINAPI BeiAbbruch(DWORD ereignis) {
    switch (ereignis) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            for (Platz& p : gPlaetze) {
                int erwartet = kBelegt;
                // The file is open for writing with deleting shared: it goes once the
                // process ends and closes it.
                if (p.zustand.compare_exchange_strong(erwartet, kEntfernen)) ::DeleteFileW(p.pfad);
            }
            break;
        default:
            break;
    }
    return FALSE;  // the next handler, in the end the system's: the process ends
}

}  // namespace

void AbbruchsignaleAbfangen() {
    static std::atomic<bool> eingerichtet{false};
    if (!eingerichtet.exchange(true)) ::SetConsoleCtrlHandler(BeiAbbruch, TRUE);
}

int TempEintragen(const fs::path& ordner, std::string_view name) {
    if (name.empty()) return -1;
    std::error_code ec;
    const fs::path voll = fs::absolute((ordner.empty() ? fs::path(".") : ordner) / PfadAusUtf8(name), ec);
    if (ec || voll.native().size() >= kMaxPfad) return -1;
    for (std::size_t i = 0; i < gPlaetze.size(); ++i) {
        Platz& p = gPlaetze[i];
        int erwartet = kFrei;
        if (!p.zustand.compare_exchange_strong(erwartet, kBelegen)) continue;
        std::wmemcpy(p.pfad, voll.c_str(), voll.native().size());
        p.pfad[voll.native().size()] = L'\0';
        p.zustand.store(kBelegt);
        return static_cast<int>(i);
    }
    return -1;
}

void TempAustragen(int eintrag) noexcept {
    if (eintrag < 0 || eintrag >= static_cast<int>(gPlaetze.size())) return;
    Platz& p = gPlaetze[static_cast<std::size_t>(eintrag)];
    int erwartet = kBelegt;
    if (!p.zustand.compare_exchange_strong(erwartet, kFrei)) return;
}

}  // namespace pavolant
