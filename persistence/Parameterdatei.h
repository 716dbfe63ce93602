// The parameter file: everything that describes one road, in an INI file of the user's
// choice. The window's part of it is one table; the road model's objects (the border
// profiles, the spline points, the front-face fill) write their own sections and are
// called at their place in the order below.
//
// Order of a whole file, which is also the order in which a new file receives its keys:
//   the window keys of Teil::VorDemModell (shape name, roadway geometry and texture,
//   traffic splines), the border profiles (right, then left), the spline points, the
//   window keys of Teil::NachDemModell (the six fineness settings and the fill's switch
//   `erzeugen`), the front-face fill's own keys.
// Loading follows the same order, so check boxes are set in table order and their
// chains run as if the user had clicked them one after the other.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace pavolant {

class IniDatei;

enum class Wertart {
    Text,     // an edit field's text, stored exactly as typed (decimal comma included)
    Zahl,     // a number of the window, general format; read through ZahlAusText
    Boolean,  // "1" or "0"; read as an integer, non-zero is true, malformed gives the default
};

enum class Teil { VorDemModell, NachDemModell };

struct ParameterSchluessel {
    std::string_view Sektion;
    std::string_view Schluessel;
    Wertart Art;
    std::string_view Vorgabe;  // value when the key is missing, as file text ("1"/"0" for Booleans)
    std::string_view Name;     // the window's control (edit field, check box) or field
    Teil Lage;                 // before or after the road model's sections
};

// Every key the window itself stores, in writing order.
std::span<const ParameterSchluessel> ParameterTabelle();

// The window as the parameter file sees it: values by the names of the table.
class ParameterFenster {
public:
    virtual ~ParameterFenster() = default;

    virtual std::string Text(std::string_view name) const = 0;
    virtual void SetzeText(std::string_view name, const std::string& text) = 0;
    // A check box or a Boolean field. Setting a check box has the effects of a click
    // whenever its state changes.
    virtual bool Wahrheitswert(std::string_view name) const = 0;
    virtual void SetzeWahrheitswert(std::string_view name, bool wert) = 0;
    virtual double Zahl(std::string_view name) const = 0;
    virtual void SetzeZahl(std::string_view name, double wert) = 0;

    // [Splines] and the SplinePts<k> sections, with whatever the window's point editor
    // needs around the read.
    virtual void SplinePunkteSchreiben(IniDatei& ini) const = 0;
    virtual void SplinePunkteLesen(const IniDatei& ini) = 0;
    // Rand_rechts_Geo / _Textur, then Rand_links_Geo / _Textur, with the refresh of
    // each border's controls after its read.
    virtual void RaenderSchreiben(IniDatei& ini) const = 0;
    virtual void RaenderLesen(const IniDatei& ini) = 0;
    // [FuellFlaeche] except `erzeugen`, which is the window's (in the table).
    virtual void FuellFlaecheSchreiben(IniDatei& ini) const = 0;
    virtual void FuellFlaecheLesen(const IniDatei& ini) = 0;
};

// Whether `ini` holds a road at all: a section only a parameter file has (the road's
// geometry and texture, the points, a border, the traffic curves, the fill) or the
// road's name. [Preferences] alone does not count: the settings file has it too.
bool EnthaeltStrassenparameter(const IniDatei& ini);
// Whether `ini` holds the border `name` ("Rand_rechts", "Rand_links").
bool EnthaeltRand(const IniDatei& ini, std::string_view name);
// Whether the file at `pfad` can be a text file at all: no NUL byte outside a UTF-16
// text with its byte order mark. Unreadable files count as text here; reading them
// reports why.
bool SiehtNachTextAus(const std::filesystem::path& pfad);

// Whether a save may update the file at `pfad`: it is missing, empty, or an INI text
// (a section header, no NUL byte outside UTF-16 with its mark, no XML document such as
// an i3d file). A save onto anything else would append INI sections to it.
bool DarfParameterAufnehmen(const std::filesystem::path& pfad);

// Writes every key into `ini` (in memory; the caller saves the file). A number whose
// written form the load would refuse throws KonvertierungsFehler naming its place; `ini`
// may then hold the parts before it, so the caller must not save it.
void ParameterSchreiben(IniDatei& ini, const ParameterFenster& fenster);

// Reads every key from `ini` into the window. Missing keys take the table's defaults. A
// number that is no number throws KonvertierungsFehler at its key; everything read
// before it stays applied.
void ParameterLesen(const IniDatei& ini, ParameterFenster& fenster);

}  // namespace pavolant
