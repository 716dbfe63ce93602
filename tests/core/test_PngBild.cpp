// The PNG writer: 16-bit grey read back by the program's own height image reader, 8-bit
// grey by stb_image, and writes that fail leaving the old file as it was.
#include "persistence/PngBild.h"

#include "model/DateiFehler.h"
#include "persistence/Hoehenbild.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Eintraege;
using pavolant::test::TempOrdner;

constexpr std::uint64_t kReichlich = std::uint64_t{1} << 30;

std::size_t Vorkommen(const std::string& text, const std::string& teil) {
    std::size_t n = 0;
    for (std::size_t i = text.find(teil); i != std::string::npos; i = text.find(teil, i + 1)) ++n;
    return n;
}

struct Muster {
    const char* name;
    int breite, hoehe;
    // The sample at column x, row y.
    std::uint16_t (*wert)(int x, int y);
};

// Smooth hills (the filters that look up and to the left win), the extremes side by side,
// and noise that deflate cannot pack (more than one IDAT chunk).
const Muster kMuster[] = {
    {"one pixel", 1, 1, [](int, int) -> std::uint16_t { return 0xBEEF; }},
    {"extremes", 7, 3, [](int x, int y) -> std::uint16_t { return (x + y) % 2 ? 65535 : 0; }},
    {"hills", 129, 65,
     [](int x, int y) {
         return static_cast<std::uint16_t>(30000 + 2000 * std::sin(x * 0.02) * std::cos(y * 0.03));
     }},
    {"noise", 301, 200,
     [](int x, int y) {
         std::uint32_t z =
             static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
         z ^= z << 13, z ^= z >> 17, z ^= z << 5;
         return static_cast<std::uint16_t>(z);
     }},
};

std::vector<std::uint16_t> Werte(const Muster& m) {
    std::vector<std::uint16_t> w;
    for (int y = 0; y < m.hoehe; ++y)
        for (int x = 0; x < m.breite; ++x) w.push_back(m.wert(x, y));
    return w;
}

std::vector<std::uint16_t> Pixel(const Hoehenbildladung& l) {
    if (!l.Raster.Werte) return {};
    const std::uint16_t* p = l.Raster.Werte.get();
    return {p, p + static_cast<std::size_t>(l.Raster.Breite) * static_cast<std::size_t>(l.Raster.Hoehe)};
}

TEST(PngBild, SechzehnBitLiestDerEigeneLeserZurueck) {
    TempOrdner ordner;
    for (const Muster& m : kMuster) {
        const std::vector<std::uint16_t> werte = Werte(m);
        std::string bytes[2];
        for (const PngPacken packen : {PngPacken::Gepackt, PngPacken::Roh}) {
            std::ostringstream s;
            PngKodieren(s, m.breite, m.hoehe, werte, 16, 1, packen);
            bytes[static_cast<int>(packen)] = s.str();
            const std::string& b = bytes[static_cast<int>(packen)];
            const Hoehenbildladung l =
                HoehenbildAusBytes(reinterpret_cast<const std::uint8_t*>(b.data()), b.size(), kReichlich);
            ASSERT_EQ(l.Fehler, "") << m.name;
            EXPECT_EQ((std::vector<int>{l.Raster.Breite, l.Raster.Hoehe}),
                      (std::vector<int>{m.breite, m.hoehe}));
            EXPECT_EQ(Pixel(l), werte) << m.name;
        }
        const std::string& gepackt = bytes[static_cast<int>(PngPacken::Gepackt)];
        if (std::string(m.name) == "hills") {
            EXPECT_LT(gepackt.size() * 3, bytes[1].size()) << gepackt.size() << " of " << bytes[1].size();
        }
        if (std::string(m.name) == "noise") {
            EXPECT_GE(Vorkommen(gepackt, "IDAT"), 2u);
        }

        // The file as the writer leaves it on disk: the same bytes, read from there.
        const auto pfad = ordner / (std::string(m.name) + ".png");
        PngGrau16Schreiben(pfad, m.breite, m.hoehe, werte);
        EXPECT_EQ(DateiLesen(pfad), gepackt) << m.name;
        EXPECT_EQ(Pixel(HoehenbildLesen(pfad, kReichlich)), werte) << m.name;
    }
}

TEST(PngBild, AchtBitLiestStbZurueck) {
    TempOrdner ordner;
    for (const Muster& m : kMuster) {
        std::vector<std::uint8_t> maske;
        for (const std::uint16_t w : Werte(m)) maske.push_back(static_cast<std::uint8_t>(w >> 8));
        const auto pfad = ordner / "maske.png";
        PngGrau8Schreiben(pfad, m.breite, m.hoehe, maske);
        const std::string b = DateiLesen(pfad);
        int breite = 0, hoehe = 0, kanaele = 0;
        stbi_uc* p = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(b.data()),
                                           static_cast<int>(b.size()), &breite, &hoehe, &kanaele, 0);
        ASSERT_NE(p, nullptr) << m.name << ": " << stbi_failure_reason();
        EXPECT_EQ((std::vector<int>{breite, hoehe, kanaele}), (std::vector<int>{m.breite, m.hoehe, 1}))
            << m.name;
        EXPECT_EQ(std::vector<std::uint8_t>(p, p + maske.size()), maske) << m.name;
        stbi_image_free(p);
        // The program's reader takes 16 bits only: an 8-bit file is no height image.
        EXPECT_NE(HoehenbildLesen(pfad, kReichlich).Fehler.find("8 bits"), std::string::npos);
    }
}

TEST(PngBild, MisslungenesSchreibenLaesstDieAlteDatei) {
    TempOrdner ordner;
    const std::vector<std::uint16_t> werte(64 * 64, 1234);
    // A folder that does not exist: the error names the file.
    const auto fehlt = ordner / "fehlt" / "dem.png";
    try {
        PngGrau16Schreiben(fehlt, 64, 64, werte);
        ADD_FAILURE() << "written into a missing folder";
    } catch (const DateiFehler& e) {
        EXPECT_NE(std::string(e.what()).find(fehlt.string()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(fehlt.parent_path()));

    // Samples that do not fit the size: refused before anything is on disk.
    const auto pfad = ordner / "dem.png";
    DateiSchreiben(pfad, "alt");
    EXPECT_THROW(PngGrau16Schreiben(pfad, 64, 63, werte), std::invalid_argument);
    EXPECT_THROW(PngGrau8Schreiben(pfad, 0, 0, {}), std::invalid_argument);
    EXPECT_EQ(DateiLesen(pfad), "alt");
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"dem.png"});

#ifndef _WIN32
    // A disk that fills up (a file size limit, for root as for anyone): the old file stays.
    const std::string meldung = "In " + pfad.string() + " kann nicht geschrieben werden: File too large";
    const auto ergebnis = test::ImKindprozess(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit grenze{1000, 1000};
            return setrlimit(RLIMIT_FSIZE, &grenze) == 0;
        },
        [&] {
            const Muster& rauschen = kMuster[3];
            try {
                PngGrau16Schreiben(pfad, rauschen.breite, rauschen.hoehe, Werte(rauschen));
                return 1;
            } catch (const DateiFehler& e) {
                return e.what() == meldung ? 0 : 2;
            }
        });
    if (!ergebnis) GTEST_SKIP() << "no file size limit to test with";
    EXPECT_EQ(*ergebnis, 0) << "1: written anyway, 2: wrong message";
    EXPECT_EQ(DateiLesen(pfad), "alt");
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"dem.png"});
#endif
}

}  // namespace
