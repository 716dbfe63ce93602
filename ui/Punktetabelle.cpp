// The points table: every spline point as a row beside the point editor, with cells
// typed into, rows chosen, deleted, copied and pasted from a spreadsheet. The table
// shows the model; each operation commits the editor first and shows the current point
// in it afterwards, so both always show the same values.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

namespace {

// The columns as errors name them: the number column in the user's language, the
// values by the names the point editor and the files use.
constexpr std::array<const char*, Hauptfenster::kTabellenSpalten> kSpalten = {
    TrVorgemerkt("No."), "X", "Y", "Z", "Xrot", "Yrot", "Zrot", TrVorgemerkt("Leave terrain"),
    TrVorgemerkt("Name")};

const char* Spaltenname(int spalte) {
    const char* name = kSpalten[static_cast<std::size_t>(spalte)];
    return spalte == 0 || spalte >= Hauptfenster::kTabellenWertSpalten ? Tr(name) : name;
}

// The point's value in table column 1 .. 6.
template <class Pkt>
auto& Wert(Pkt& p, int spalte) {
    switch (spalte) {
        case 1:
            return p.X;
        case 2:
            return p.Y;
        case 3:
            return p.Z;
        case 4:
            return p.Xrot;
        case 5:
            return p.Yrot;
        default:
            return p.Zrot;
    }
}

// How an error names a cell: the table, the point's number and the column.
std::string Zellenname(int zeile, int spalte) {
    // Catalog: %1 is the point's number, %2 the column (X, Y, Z, Xrot, Yrot, Zrot).
    return Einsetzen(Tr("Points table: point %1, %2"), {std::to_string(zeile + 1), Spaltenname(spalte)});
}

double ZellenZahl(std::string_view text, int zeile, int spalte) {
    try {
        return ZahlAusText(text);
    } catch (const KonvertierungsFehler& e) {
        // Catalog: %1 is a message, %2 the cell it concerns ("Points table: point 5, Zrot").
        throw KonvertierungsFehler(Einsetzen(Tr("%1 (%2)"), {e.what(), Zellenname(zeile, spalte)}));
    }
}

// Lines of tab-separated cells; CR LF and a last line break as spreadsheets write them.
std::vector<std::vector<std::string>> Zerlegen(std::string_view text) {
    std::vector<std::vector<std::string>> zeilen;
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        std::size_t ende = text.find('\n', anfang);
        if (ende == std::string_view::npos) ende = text.size();
        std::string_view zeile = text.substr(anfang, ende - anfang);
        if (!zeile.empty() && zeile.back() == '\r') zeile.remove_suffix(1);
        anfang = ende + 1;
        std::vector<std::string> zellen;
        std::size_t a = 0;
        for (;;) {
            const std::size_t tab = zeile.find('\t', a);
            zellen.emplace_back(
                zeile.substr(a, tab == std::string_view::npos ? std::string_view::npos : tab - a));
            if (tab == std::string_view::npos) break;
            a = tab + 1;
        }
        zeilen.push_back(std::move(zellen));
    }
    // Blank lines at the end are the spreadsheet's, not rows.
    while (!zeilen.empty() && zeilen.back().size() == 1 &&
           zeilen.back()[0].find_first_not_of(" \t") == std::string::npos)
        zeilen.pop_back();
    return zeilen;
}

}  // namespace

std::string Hauptfenster::Tabellenzelle(int zeile, int spalte) const {
    const TSplinePkt* p = SplinePunkte.Punkt(zeile);
    if (!p || spalte < 0 || spalte >= kTabellenSpalten) return {};
    if (spalte == 0) return std::to_string(zeile + 1);
    if (spalte == kTabellenNamenSpalte) return p->Name;
    if (spalte == kTabellenLassenSpalte) return {};
    return FormatAllgemein(Wert(*p, spalte));
}

void Hauptfenster::TabellenGelaendeLassen(int zeile, bool an) {
    PunktUebernehmenUndWechseln();
    if (TSplinePkt* p = SplinePunkte.Punkt(zeile)) p->GelaendeLassen = an;
    SplineAnzeigen();
}

void Hauptfenster::TabellenzelleSetzen(int zeile, int spalte, const std::string& text) {
    PunktUebernehmenUndWechseln();
    TSplinePkt* p = SplinePunkte.Punkt(zeile);
    if (!p || spalte < 1 || spalte >= kTabellenWertSpalten) return;
    Wert(*p, spalte) = ZellenZahl(text, zeile, spalte);
    SplineAnzeigen();
}

void Hauptfenster::TabellenzeileWaehlen(int zeile) {
    if (zeile < 0 || zeile >= SplinePunkte.AnzahlPunkte()) return;
    // The spin's change commits the fields into the point left and shows the new one.
    sedSplinePtsNr.SetValue(zeile + 1);
    if (AktuellerPunkt != zeile) {
        // A single point: the spin has no range to change within.
        PunktUebernehmenUndWechseln();
        AktuellerPunkt = zeile;
        SplineAnzeigen();
    }
}

void Hauptfenster::TabellenzeilenLoeschen(std::vector<int> zeilen) {
    PunktUebernehmenUndWechseln();
    const int n = SplinePunkte.AnzahlPunkte();
    std::erase_if(zeilen, [n](int z) { return z < 0 || z >= n; });
    std::sort(zeilen.begin(), zeilen.end());
    zeilen.erase(std::unique(zeilen.begin(), zeilen.end()), zeilen.end());
    if (zeilen.empty()) return;
    if (n - static_cast<int>(zeilen.size()) < 2) {
        melder_.Warnung(Tr("Zwei Punkte müssen mindestens vorhanden sein!"));
        return;
    }
    const int aktuell = AktuellerPunkt;
    const int davor =
        static_cast<int>(std::lower_bound(zeilen.begin(), zeilen.end(), aktuell) - zeilen.begin());
    for (auto it = zeilen.rbegin(); it != zeilen.rend(); ++it) SplinePunkte.PunktLoeschen(*it);
    // Kept: the same point, moved down by the rows deleted before it. Deleted: the first
    // point after it that stayed, which now stands where the rows before it end.
    AktuellerPunkt = std::min(aktuell - davor, SplinePunkte.AnzahlPunkte() - 1);
    PunktlisteZeigen();
}

std::string Hauptfenster::TabellenzeilenKopieren(std::vector<int> zeilen) const {
    std::sort(zeilen.begin(), zeilen.end());
    zeilen.erase(std::unique(zeilen.begin(), zeilen.end()), zeilen.end());
    std::string text;
    for (const int z : zeilen) {
        if (!SplinePunkte.Punkt(z)) continue;
        for (int s = 1; s < kTabellenWertSpalten; ++s) {
            text += Tabellenzelle(z, s);
            text += s + 1 < kTabellenWertSpalten ? '\t' : '\n';
        }
    }
    return text;
}

void Hauptfenster::TabelleEinfuegen(int zeile, int spalte, const std::string& text) {
    PunktUebernehmenUndWechseln();
    const int n = SplinePunkte.AnzahlPunkte();
    zeile = std::clamp(zeile, 0, n);
    spalte = std::clamp(spalte, 0, kTabellenWertSpalten - 1);
    std::vector<std::vector<std::string>> block = Zerlegen(text);
    if (block.empty()) return;
    // A block copied with the number column, pasted into the number column: the numbers
    // are the table's own and are left out. Otherwise the number column takes no values.
    if (spalte == 0) {
        const bool mitNummern = std::all_of(block.begin(), block.end(), [](const auto& z) {
            return z.size() == static_cast<std::size_t>(kTabellenWertSpalten);
        });
        if (mitNummern)
            for (auto& z : block) z.erase(z.begin());
        spalte = 1;
    }
    if (zeile + static_cast<int>(block.size()) > TSplinePunkte::kMaxPunkte)
        throw KonvertierungsFehler(Einsetzen(
            TrN("The paste would give more than %1 points", "The paste would give more than %1 points",
                static_cast<unsigned long>(TSplinePunkte::kMaxPunkte)),
            {std::to_string(TSplinePunkte::kMaxPunkte)}));

    // Every value read before the first one is written.
    std::vector<std::vector<double>> werte;
    for (std::size_t r = 0; r < block.size(); ++r) {
        const int z = zeile + static_cast<int>(r);
        const std::vector<std::string>& zellen = block[r];
        if (spalte + static_cast<int>(zellen.size()) > kTabellenWertSpalten)
            // Catalog: %1 is the number of cells, %2 the first column pasted into (X, Y,
            // Z, Xrot, Yrot), %3 the last cell of the row ("Points table: point 5, Zrot").
            throw KonvertierungsFehler(
                Einsetzen(TrN("The pasted row has %1 cells, more than the columns from %2 on hold (%3)",
                              "The pasted row has %1 cells, more than the columns from %2 on hold (%3)",
                              static_cast<unsigned long>(zellen.size())),
                          {std::to_string(zellen.size()), Spaltenname(spalte),
                           Zellenname(z, kTabellenWertSpalten - 1)}));
        std::vector<double> w;
        for (std::size_t c = 0; c < zellen.size(); ++c)
            w.push_back(ZellenZahl(zellen[c], z, spalte + static_cast<int>(c)));
        werte.push_back(std::move(w));
    }
    for (std::size_t r = 0; r < werte.size(); ++r) {
        const int z = zeile + static_cast<int>(r);
        TSplinePkt* p = SplinePunkte.Punkt(z);
        if (!p) p = SplinePunkte.Anhaengen();
        for (std::size_t c = 0; c < werte[r].size(); ++c)
            Wert(*p, spalte + static_cast<int>(c)) = werte[r][c];
    }
    PunktlisteZeigen();
}

}  // namespace pavolant
