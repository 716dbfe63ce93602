// A run of the road as it stands, for the live preview: the same generation as "Go" on
// copies of everything a run reads, taken on the window's thread, so that the run itself
// can go on any thread while the user keeps editing. No file is checked or opened, the
// window and its random generator stay as they are (the next "Go" writes the same
// document as without the preview), and no message reaches a box: the run's warnings and
// information are collected for the preview's status line.
#pragma once

#include "generator/Generierung.h"
#include "model/FuellFlaeche.h"
#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pavolant {

struct Vorschauergebnis {
    // The run's report; Bericht->Geschrieben when the road is complete.
    std::shared_ptr<const Laufbericht> Bericht;
    // Why the run did not complete the road (its last warning or its error); empty when
    // it did.
    std::string Grund;
    // Every warning and information of the run, in order.
    std::vector<std::string> Meldungen;
    // The control points as they were when the job was made, level metres: the preview
    // shows them even when the run stopped.
    std::vector<Kurvenpunkt> Punkte;
    int AktuellerPunkt = 0;
};

class Vorschauauftrag {
public:
    Vorschauauftrag(Laufparameter par, const TSplinePunkte& punkte, const TRandPunkte& randR, const TRandPunkte& randL,
                    const TFuellFlaeche& fuellung, Zufallsgenerator zufall);
    Vorschauauftrag(const Vorschauauftrag&) = delete;
    Vorschauauftrag& operator=(const Vorschauauftrag&) = delete;

    // Runs once; never throws (an error becomes Grund).
    Vorschauergebnis Ausfuehren();

    // The window's fields whose texts are no number, as a conversion error quotes them,
    // each with the component name of the field the run would stop at for that text:
    // a run that stops on one names the field in Grund, as the error box of "Go" does.
    // Taken on the window's thread with the copies.
    std::vector<std::pair<std::string, std::string>> Feldtexte;

private:
    class Sammler : public Melder {
    public:
        void Melden(MeldungsArt art, const std::string& text) override;
        std::vector<std::string> texte;
        std::string letzteWarnung;
    };

    Sammler melder_;
    Laufparameter par_;
    TSplinePunkte punkte_;
    TRandPunkte randR_, randL_;
    TFuellFlaeche fuellung_;
    Zufallsgenerator zufall_;
    std::vector<Kurvenpunkt> kontrollpunkte_;
};

}  // namespace pavolant
