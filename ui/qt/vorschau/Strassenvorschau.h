// "Road preview": a window beside the main window that shows the last run's road in 3-D
// and from above. It reads the run's report (the compact mesh and the run's lines and
// points), never the document, and changes nothing: not the run, not the document, not
// any file.
//
// It always shows the last run: a run that did not complete its document (failed,
// stopped, too few points) empties both views and says so, so a road that is no longer
// on disk is never passed off as current.
#pragma once

#include <QIcon>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "generator/Strassenbau.h"
#include "ui/Vorschauauftrag.h"
#include "ui/qt/vorschau/Texturdatei.h"
#include "ui/qt/vorschau/Vorschau3d.h"
#include "ui/qt/vorschau/Vorschaudaten.h"
#include "ui/qt/vorschau/Vorschaukamera.h"
#include "ui/qt/vorschau/Vorschaurenderer.h"

class QCheckBox;
class QLayout;
class QSpinBox;
class QLabel;
class QPushButton;

namespace pavolant::qt {

class Statuszeile;
class Vorschauplan;

class Strassenvorschau : public QWidget {
    Q_OBJECT

public:
    // A window of its own; `eltern` only owns it.
    explicit Strassenvorschau(QWidget* eltern = nullptr);
    ~Strassenvorschau() override;

    // Shows `lauf` (the main window's last run; empty: none yet). The same run again
    // changes nothing, so the camera stays where the user put it. A new road is framed
    // unless the user has moved the camera since the last framing.
    // `boden`: the map's ground the run measured the road against, shown around it.
    void Uebernehmen(const std::optional<Bauergebnis>& lauf, const std::string& dokument = {},
                     const std::optional<Gelaende>& boden = std::nullopt);
    // A live run of the road as it stands: a complete road replaces the one shown; a run
    // that stopped keeps the last good road, marked out of date with the reason, and
    // draws the current control points over it (also when there is no road yet).
    void Zeigen(const Vorschauergebnis& ergebnis);
    // The status line under the views, whole (the line itself cuts a long one short).
    QString Status() const;
    // The point editor's current point (0-based), highlighted in both views.
    void SetzeAktuell(int index);
    // "Fit": the camera frames the road's box from its present direction.
    void Einpassen();
    void SetzeDrahtgitter(bool an);
    // The traffic curves in the 3-D view (on at first).
    void SetzeKurven(bool an);
    // "Terrain": the ground around the road in both views, lit in 3-D and as a shaded
    // relief with contour lines in the plan (on at first; offered while there is a ground).
    void SetzeGelaende(bool an);
    // View presets: straight down on the whole road; along the road from its first
    // control point.
    void VonOben();
    void Entlang();
    // "UV check": the surfaces as a numbered checker in their texture coordinates.
    // "Textures": the surfaces with the texture files the parameters name, looked up
    // beside the document, then in the texture folder; a part whose file is missing or
    // unreadable keeps its colour and the status line names the file. The two modes
    // exclude each other.
    void SetzeUvKaro(bool an);
    void SetzeTexturen(bool an);
    // The folder looked in for textures not beside the document (UTF-8; empty: none). It
    // is kept in the settings file (key Texturordner), where the preview reads it when it
    // opens; the button "Texture folder..." asks for it.
    void SetzeTexturordner(const std::string& ordner);
    const std::string& Texturordner() const { return texturordner_; }
    // The settings file the folder is read from and written to (default: EinstellungsPfad()).
    void SetzeEinstellungsdatei(const std::filesystem::path& pfad);

    // The two views as pictures, for the screenshots. Bild3d is null without OpenGL.
    QImage Bild3d();
    QImage BildPlan();

    const Vorschaudaten& Daten() const { return *daten_; }
    Vorschaukamera& Kamera() { return kamera_; }
    const Darstellung& Ansicht() const { return darstellung_; }
    // Width / height of the 3-D view, as its projection uses it.
    float Seitenverhaeltnis3d() const;
    bool Mit3d() const { return ansicht3d_->MitOpenGL(); }
    Vorschauplan& Plan() { return *plan_; }

    // The preview button's picture: a road running into the distance.
    static QIcon Symbol();

private:
    void Anzeigen(std::shared_ptr<const Vorschaudaten> daten, bool einpassen = true);
    void KameraBewegt();
    // The box the camera's clipping planes keep in view: the road's, and the ground's
    // while it is shown.
    void SzeneSetzen();
    // A line under the views with the colour of each part, curve and marker.
    QLayout* Legende();
    // Reads the textures of the road shown when the "Textures" mode is on.
    void TexturenLaden();
    // The status line: the road's figures or why there is none, and the texture notes.
    void StatusZeigen();

    // The run shown: its mesh (not kept alive here) and whether there was a run at all.
    enum class Stand { KeinLauf, OhneStrasse, MitStrasse };
    Stand stand_ = Stand::KeinLauf;
    std::weak_ptr<const Netz> netz_;
    std::weak_ptr<const std::uint16_t[]> bodenPixel_;  // the ground of the run shown, if any
    bool mitBoden_ = false;
    Bodenlager bodenlager_;
    bool ersterStand_ = true;

    std::shared_ptr<const Vorschaudaten> daten_;
    Vorschaukamera kamera_;
    Darstellung darstellung_;
    Kamerafuehrung fuehrung_;
    bool benutzerBewegt_ = false;  // the user moved the camera since the last framing

    Vorschau3d* ansicht3d_ = nullptr;  // owned by the layout
    Vorschauplan* plan_ = nullptr;
    QPushButton* einpassen_ = nullptr;
    QCheckBox* drahtgitter_ = nullptr;
    QCheckBox* kurven_ = nullptr;
    QCheckBox* gelaende_ = nullptr;
    QCheckBox* uvKaro_ = nullptr;
    QCheckBox* texturen_ = nullptr;
    QPushButton* texturordnerKnopf_ = nullptr;
    std::string texturordner_;
    std::filesystem::path einstellungsdatei_;
    Texturlager texturlager_;
    std::vector<std::string> texturHinweise_;
    QSpinBox* ueberhoehung_ = nullptr;
    Statuszeile* hinweis_ = nullptr;
};

}  // namespace pavolant::qt
