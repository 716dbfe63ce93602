// A build of the road as it stands, for the live preview: the road value is taken on the
// window's thread, so that the build itself can go on any thread while the user keeps
// editing. Nothing is written or checked on disk, the window and its random generator
// stay as they are (the next "Go" writes the same document as without the preview), and
// no message reaches a box: the build's warnings and information are collected for the
// preview's status line.
#pragma once

#include "generator/Strassenbau.h"
#include "model/FuellFlaeche.h"
#include "model/Gelaende.h"
#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "model/Strasse.h"
#include "model/Strassenfelder.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pavolant {

struct Vorschauergebnis {
    // The build's result; Bericht->Vollstaendig when the road can be drawn.
    std::shared_ptr<const Bauergebnis> Bericht;
    // Why the build did not complete the road (its last warning or its error); empty when
    // it did.
    std::string Grund;
    // Every warning and information of the build, in order.
    std::vector<std::string> Meldungen;
    // The control points as they were when the job was made, level metres: the preview
    // shows them even when the build stopped.
    std::vector<Kurvenpunkt> Punkte;
    std::vector<bool> GelaendeLassen;  // each point's switch, beside Punkte
    int AktuellerPunkt = 0;
    // The output file as typed: the editor looks for the textures beside the document,
    // and so does the preview.
    std::string Dokument;
    // The map's ground the road was measured against; empty without a terrain, or while
    // it cannot be read.
    std::optional<Gelaende> Boden;
};

class Vorschauauftrag {
public:
    // `strasse` is the road as the window gives it, `fehler` its first field that is no
    // number: the build stops there as "Go" would, and names the field. `aktuellerPunkt`
    // is the point editor's current point, which the preview marks; `boden` the ground
    // the road lies on, when there is one.
    Vorschauauftrag(Strasse strasse, std::optional<StrassenfeldFehler> fehler, const TSplinePunkte& punkte,
                    int aktuellerPunkt, Zufallsgenerator zufall, std::string dokument,
                    std::optional<Gelaende> boden = std::nullopt);
    Vorschauauftrag(const Vorschauauftrag&) = delete;
    Vorschauauftrag& operator=(const Vorschauauftrag&) = delete;

    // Runs once; never throws (an error becomes Grund).
    Vorschauergebnis Ausfuehren();

private:
    class Sammler : public Melder {
    public:
        void Melden(MeldungsArt art, const std::string& text) override;
        std::vector<std::string> texte;
        std::string letzteWarnung;
    };

    Sammler melder_;
    Strasse strasse_;
    std::optional<StrassenfeldFehler> fehler_;
    Zufallsgenerator zufall_;
    Vorschauergebnis ergebnis_;
};

}  // namespace pavolant
