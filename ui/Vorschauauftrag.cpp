#include "ui/Vorschauauftrag.h"

#include "model/Dokumentziel.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "ui/Hauptfenster.h"

#include <exception>
#include <new>
#include <ostream>
#include <streambuf>

namespace pavolant {

namespace {

// Takes the document and keeps nothing of it: the run still writes every number, so a
// road the writer would refuse is refused here too.
class Verwerfer : public std::streambuf {
protected:
    int_type overflow(int_type zeichen) override { return traits_type::not_eof(zeichen); }
    std::streamsize xsputn(const char*, std::streamsize anzahl) override { return anzahl; }
};

class OhneDatei : public Dokumentziel {
public:
    void Pruefen() override {}
    std::ostream& Oeffnen() override { return strom_; }
    void Abschliessen() override {}
    void Verwerfen() noexcept override {}

private:
    Verwerfer puffer_;
    std::ostream strom_{&puffer_};
};

}  // namespace

void Vorschauauftrag::Sammler::Melden(MeldungsArt art, const std::string& text) {
    if (art == MeldungsArt::Warnung) letzteWarnung = text;
    texte.push_back(text);
}

Vorschauauftrag::Vorschauauftrag(Laufparameter par, const TSplinePunkte& punkte, const TRandPunkte& randR,
                                 const TRandPunkte& randL, const TFuellFlaeche& fuellung, Zufallsgenerator zufall)
    : par_(std::move(par)), randR_(randR), randL_(randL), zufall_(zufall) {
    randR_.MelderSetzen(melder_);
    randL_.MelderSetzen(melder_);
    while (punkte_.AnzahlPunkte() < punkte.AnzahlPunkte()) punkte_.Anhaengen();
    while (punkte_.AnzahlPunkte() > punkte.AnzahlPunkte()) punkte_.PunktLoeschen(punkte_.AnzahlPunkte() - 1);
    for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
        const TSplinePkt& q = *punkte.Punkt(i);
        TSplinePkt& z = *punkte_.Punkt(i);
        z.X = q.X, z.Y = q.Y, z.Z = q.Z;
        z.Xrot = q.Xrot, z.Yrot = q.Yrot, z.Zrot = q.Zrot;
        kontrollpunkte_.push_back({q.X, q.Y, q.Z});
    }
    punkte_.Aktuell = punkte.Aktuell;
    fuellung_.TexturHoehe = fuellung.TexturHoehe;
    fuellung_.TexturBreite = fuellung.TexturBreite;
    fuellung_.Textur = fuellung.Textur;
    fuellung_.TauschHB = fuellung.TauschHB;
}

Vorschauergebnis Vorschauauftrag::Ausfuehren() {
    Vorschauergebnis e;
    auto bericht = std::make_shared<Laufbericht>();
    OhneDatei ziel;
    Strassenmodell modell{punkte_, &randR_, &randL_, &fuellung_};
    try {
        Generieren(par_, modell, zufall_, melder_, *bericht, ziel);
        if (!bericht->Geschrieben) e.Grund = melder_.letzteWarnung.empty() ? Tr("no road") : melder_.letzteWarnung;
    } catch (const std::bad_alloc&) {
        e.Grund = Tr(kSpeicherErschoepft);
    } catch (const KonvertierungsFehler& fehler) {
        e.Grund = fehler.what();
        const std::string& was = e.Grund;
        const std::size_t a = was.find('\''), b = was.rfind('\'');
        if (a != std::string::npos && b > a) {
            const std::string text = was.substr(a + 1, b - a - 1);
            for (const auto& [gezeigt, name] : Feldtexte)
                if (gezeigt == text) {
                    e.Grund = MitFeldbeschriftung(was, name);
                    break;
                }
        }
    } catch (const std::exception& fehler) {
        e.Grund = fehler.what();
    }
    e.Bericht = std::move(bericht);
    e.Meldungen = std::move(melder_.texte);
    e.Punkte = std::move(kontrollpunkte_);
    e.AktuellerPunkt = punkte_.Aktuell;
    return e;
}

}  // namespace pavolant
