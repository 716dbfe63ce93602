#include "ui/Vorschauauftrag.h"

#include "generator/I3dDokument.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "ui/Hauptfenster.h"

#include <exception>
#include <new>
#include <utility>

namespace pavolant {

void Vorschauauftrag::Sammler::Melden(MeldungsArt art, const std::string& text) {
    if (art == MeldungsArt::Warnung) letzteWarnung = text;
    texte.push_back(text);
}

Vorschauauftrag::Vorschauauftrag(Strasse strasse, std::optional<StrassenfeldFehler> fehler,
                                 const TSplinePunkte& punkte, int aktuellerPunkt, Zufallsgenerator zufall,
                                 std::string dokument, std::optional<Gelaende> boden)
    : strasse_(std::move(strasse)), fehler_(std::move(fehler)), zufall_(zufall) {
    for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
        const TSplinePkt& q = *punkte.Punkt(i);
        ergebnis_.Punkte.push_back({q.X, q.Y, q.Z});
        ergebnis_.GelaendeLassen.push_back(q.GelaendeLassen);
    }
    ergebnis_.AktuellerPunkt = aktuellerPunkt;
    ergebnis_.Dokument = std::move(dokument);
    ergebnis_.Boden = std::move(boden);
}

Vorschauergebnis Vorschauauftrag::Ausfuehren() {
    Vorschauergebnis e = std::move(ergebnis_);
    auto bericht = std::make_shared<Bauergebnis>();
    try {
        Bauvorgaben vorgaben;
        vorgaben.BisFeld = fehler_ ? fehler_->Stelle : 0;
        if (e.Boden) vorgaben.Boden = &*e.Boden;
        Bauen(strasse_, zufall_, melder_, *bericht, vorgaben);
        if (bericht->AmFeld) {
            e.Grund = MitFeldbeschriftung(fehler_->what(), fehler_->Feld);  // as "Go" names it
        } else if (!bericht->Vollstaendig) {
            e.Grund = melder_.letzteWarnung.empty() ? Tr("no road") : melder_.letzteWarnung;
        } else if (!I3dZahlenSchreibbar(DokumentAus(*bericht))) {
            // The road "Go" would refuse to write is not drawn either, with the reason
            // "Go" would give.
            e.Grund = NichtSchreibbarWarnung(e.Dokument);
            melder_.Melden(MeldungsArt::Warnung, e.Grund);
            bericht->Vollstaendig = false;
        }
    } catch (const std::bad_alloc&) {
        e.Grund = Tr(kSpeicherErschoepft);
    } catch (const std::exception& fehler) {
        e.Grund = fehler.what();
    }
    e.Bericht = std::move(bericht);
    e.Meldungen = std::move(melder_.texte);
    return e;
}

}  // namespace pavolant
