#include "persistence/ErsetzendeDatei.h"

#include "model/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <stdexcept>
#include <utility>

namespace pavolant {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kZeichen = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// The temporary file of a target "<name>" is ".<name>.pavolant-tmp.<12 letters or
// digits>": the fixed mark and the length make it a name no user gives a file of their
// own by chance, so that the cleanup below can tell its files from a user's
// ".road.i3d.20240115.backup".
constexpr std::string_view kMarke = "pavolant-tmp.";
constexpr std::size_t kEndungLaenge = 12;

std::string Zufallsendung() {
    thread_local std::mt19937_64 zufall = [] {
        std::uint64_t keim =
            static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
        keim ^= static_cast<std::uint64_t>(Prozessnummer()) << 32;
        try {
            keim ^= std::random_device{}();
        } catch (...) {
            // The clock and the process number keep collisions rare; the exclusive
            // create catches the rest.
        }
        return std::mt19937_64(keim);
    }();
    std::string endung(kEndungLaenge, ' ');
    for (char& c : endung) c = kZeichen[zufall() % kZeichen.size()];
    return endung;
}

// Whether `name` is a temporary file of the target whose names begin with `vorsilbe`
// (".<name>.<mark>"): exactly twelve letters or digits follow.
bool IstTemporaer(std::string_view name, std::string_view vorsilbe) {
    if (name.size() != vorsilbe.size() + kEndungLaenge || name.substr(0, vorsilbe.size()) != vorsilbe)
        return false;
    for (const char c : name.substr(vorsilbe.size()))
        if (kZeichen.find(c) == std::string_view::npos) return false;
    return true;
}

// Removes the temporary files of this target that a writer left behind when it was
// killed outright or its machine stopped. A writer holds the lock of its temporary file
// until the file has replaced the target (Systemdatei::Sperren); whether it runs in
// this process, in another container or on another machine writing to a shared folder,
// its file stays. Only regular files of exactly the temporary form that nobody holds
// go. The cleanup is a courtesy: whatever fails in it leaves the files and does not
// stop the write.
void VerwaisteEntfernen(const fs::path& ordner, std::string_view vorsilbe) {
    std::error_code ec;
    for (fs::directory_iterator it(ordner.empty() ? fs::path(".") : ordner, ec), ende; !ec && it != ende;
         it.increment(ec)) {
        try {
            if (!IstTemporaer(Utf8(it->path().filename()), vorsilbe)) continue;
            std::error_code fehler;
            if (ArtDerDatei(it->path(), fehler) == Dateiart::Normal) UngesperrtEntfernen(it->path());
        } catch (const std::exception&) {
            // A name that is no text (Windows: a lone UTF-16 surrogate) is none of ours.
        }
    }
}

}  // namespace

std::string ErsetzendeDatei::Fehlertext(const fs::path& ziel) {
    // Catalog: %1 is the file's name.
    return Einsetzen(Tr("In %1 kann nicht geschrieben werden"), {Utf8(ziel)});
}

std::string ErsetzendeDatei::Fehlertext(const fs::path& ziel, const std::error_code& grund) {
    // The system's own words say why ("Permission denied", "No space left on device").
    if (!grund) return Fehlertext(ziel);
    // Catalog: %1 is the file's name, %2 the system's reason ("Permission denied").
    return Einsetzen(Tr("In %1 kann nicht geschrieben werden: %2"), {Utf8(ziel), Dateigrund(grund)});
}

bool DieselbeDatei(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        const bool gleich = fs::equivalent(a, b, ec);
        if (!ec) return gleich;
    }
    const fs::path x = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path y = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return x.lexically_normal() == y.lexically_normal();
}

ErsetzendeDatei::DateiPuffer::int_type ErsetzendeDatei::DateiPuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char z = traits_type::to_char_type(c);
    if (grund || (grund = datei.Schreiben(&z, 1))) return traits_type::eof();
    return c;
}

std::streamsize ErsetzendeDatei::DateiPuffer::xsputn(const char* s, std::streamsize n) {
    if (grund || (grund = datei.Schreiben(s, static_cast<std::size_t>(n)))) return 0;
    return n;
}

ErsetzendeDatei::ErsetzendeDatei(fs::path ziel) : anzeige_(ziel), ziel_(std::move(ziel)) {
    const auto fehler = [this](const std::error_code& grund) {
        return DateiFehler(Fehlertext(anzeige_, grund));
    };
    const auto errc = [](std::errc e) { return std::make_error_code(e); };

    // Through symbolic links to the file they name, so the link stays a link.
    Dateiart art = Dateiart::Fehlt;
    for (int tiefe = 0;; ++tiefe) {
        std::error_code grund;
        art = ArtDerDatei(ziel_, grund);
        if (grund) throw fehler(grund);
        if (art != Dateiart::Verweis) break;
        if (tiefe == 40) throw fehler(errc(std::errc::too_many_symbolic_link_levels));  // a loop of links
        const fs::path verweis = fs::read_symlink(ziel_, grund);
        if (grund) throw fehler(grund);
        ziel_ = verweis.is_absolute() ? verweis : ziel_.parent_path() / verweis;
    }
    const bool existiert = art != Dateiart::Fehlt;
    if (existiert && art != Dateiart::Normal)
        throw fehler(art == Dateiart::Ordner ? errc(std::errc::is_a_directory) : KeineNormaleDatei());
    // The replace would go through whatever the file's own permissions say; a file the
    // user may not write must stay as it is.
    if (existiert && !Beschreibbar(ziel_)) throw fehler(errc(std::errc::permission_denied));
    const std::string name = Utf8(ziel_.filename());
    if (name.empty() || name == "." || name == "..") throw fehler(errc(std::errc::is_a_directory));

    // The temporary file lives next to the target so the replace stays on one file
    // system; the name part is shortened so the temporary name stays within 255 bytes.
    const fs::path ordner = ziel_.parent_path();
    // Whole letters only: a cut inside a UTF-8 sequence would be no name on Windows.
    std::size_t laenge = std::min<std::size_t>(name.size(), 200);
    while (laenge > 0 && laenge < name.size() && (static_cast<unsigned char>(name[laenge]) & 0xC0) == 0x80)
        --laenge;
    const std::string vorsilbe = "." + name.substr(0, laenge) + "." + std::string(kMarke);
    VerwaisteEntfernen(ordner, vorsilbe);
    for (int versuch = 0; versuch < 100 && !puffer_.datei.Offen(); ++versuch) {
        const std::string tempName = vorsilbe + Zufallsendung();
        fs::path pfad = ordner / PfadAusUtf8(tempName);
        // Entered before it exists, so that no moment is left in which an interrupt
        // would leave the file behind.
        const int eintrag = TempEintragen(ordner, tempName);
        std::error_code grund;
        Systemdatei datei = Systemdatei::NeuAnlegen(pfad, existiert ? &ziel_ : nullptr, grund);
        if (!datei.Offen()) {
            TempAustragen(eintrag);
            if (grund != std::errc::file_exists) throw fehler(grund);
            continue;
        }
        // Locked before anything is written. Another writer's cleanup may have taken the
        // new file between its creation and the lock: it holds the lock then, or the
        // name is gone, and the file is its to remove; the next name is tried. A file
        // system without locks leaves the file unlocked, and every cleanup leaves it too.
        std::error_code ohneSperre;
        if ((!datei.Sperren(ohneSperre) && !ohneSperre) || !datei.NochUnter(pfad)) {
            TempAustragen(eintrag);
            continue;
        }
        puffer_.datei = std::move(datei);
        tempPfad_ = std::move(pfad);
        eintrag_ = eintrag;
    }
    if (!puffer_.datei.Offen()) throw fehler(errc(std::errc::file_exists));
}

ErsetzendeDatei::~ErsetzendeDatei() {
    puffer_.datei.Schliessen();
    if (!abgeschlossen_ && !tempPfad_.empty()) {
        std::error_code ec;
        fs::remove(tempPfad_, ec);
    }
    TempAustragen(eintrag_);
}

void ErsetzendeDatei::Abschliessen() {
    strom_.flush();
    std::error_code grund = puffer_.grund;
    if (!grund && !strom_.good()) grund = std::make_error_code(std::errc::io_error);
    if (!grund) grund = puffer_.datei.Sichern();
    const std::error_code beimSchliessen = puffer_.datei.Schliessen();
    if (!grund) grund = beimSchliessen;
    if (grund) throw DateiFehler(Fehlertext(anzeige_, grund));
    if (const std::error_code ersetzt = Ersetzen(tempPfad_, ziel_))
        throw DateiFehler(Fehlertext(anzeige_, ersetzt));
    abgeschlossen_ = true;
    puffer_.datei.SperreLoesen();  // held up to here, so that no cleanup took the file before it was in place
    TempAustragen(std::exchange(eintrag_, -1));
}

// ---- Dokumentdatei ---------------------------------------------------------------------

void Dokumentdatei::Pruefen() {
    ErsetzendeDatei probe(ziel_);  // removed again with the object
}

std::ostream& Dokumentdatei::Oeffnen() {
    datei_.reset();
    return datei_.emplace(ziel_).Strom();
}

void Dokumentdatei::Abschliessen() {
    if (!datei_) throw std::logic_error("document completed before it was opened");
    datei_->Abschliessen();
    datei_.reset();
}

}  // namespace pavolant
