// The 3-D area of the road preview. Which widget draws it depends on the platform:
//  - an OpenGL widget where the window system composes OpenGL widgets (X11, Wayland,
//    Windows, macOS, eglfs);
//  - elsewhere, when an OpenGL context can still be made (Qt's offscreen platform with
//    an X display), a plain widget that renders through a framebuffer object and paints
//    the picture: Qt's offscreen platform cannot compose an OpenGL widget and crashes
//    when a window holding one is shown;
//  - without any OpenGL context, a note in place of the view.
// All three share the camera and the display options of the preview window.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/qt/vorschau/Vorschaudaten.h"
#include "ui/qt/vorschau/Vorschaukamera.h"
#include "ui/qt/vorschau/Vorschaurenderer.h"

class QMouseEvent;
class QPainter;
class QWheelEvent;
class QWidget;

namespace pavolant::qt {

// Turns mouse input over the view into camera moves: left drag orbits, right or middle
// drag (or Shift with the left button) pans, the wheel zooms toward the road surface under
// the cursor (the level plane through the orbit centre where there is none), a double
// click on the surface makes the point under the cursor the orbit centre, and one beside
// the road fits the view.
class Kamerafuehrung {
public:
    // The road surface under a point of the picture (ndc, aspect), in the view's
    // coordinates; nullopt where there is none.
    using Treffer = std::function<std::optional<QVector3D>(QPointF ndc, float seitenverhaeltnis)>;

    // `bewegt` runs after every camera move the user makes, `einpassen` on a double click
    // beside the road.
    Kamerafuehrung(Vorschaukamera& kamera, std::function<void()> bewegt, std::function<void()> einpassen,
                   Treffer treffer = {})
        : kamera_(kamera),
          bewegt_(std::move(bewegt)),
          einpassen_(std::move(einpassen)),
          treffer_(std::move(treffer)) {}

    void Druecken(const QMouseEvent& e);
    void Ziehen(const QMouseEvent& e, int hoehePixel);
    // Zooms toward what lies under the cursor in a view of `groesse` pixels.
    void Rad(const QWheelEvent& e, QSize groesse);
    void Doppelklick(const QMouseEvent& e, QSize groesse);

private:
    std::optional<QVector3D> Unter(QPointF wo, QSize groesse, QPointF& ndc) const;

    Vorschaukamera& kamera_;
    std::function<void()> bewegt_, einpassen_;
    Treffer treffer_;
    QPoint letzte_;
};

class Vorschau3d {
public:
    virtual ~Vorschau3d() = default;
    // The widget to lay out; the layout takes ownership, and this object is the widget.
    virtual QWidget* Widget() = 0;
    virtual void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten) = 0;
    // The parts' textures for the "Textures" mode, by Netzteil (null: the part's colour).
    virtual void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen) = 0;
    // Draw again (camera, options or data changed).
    virtual void Neuzeichnen() = 0;
    // The current picture; null when there is no OpenGL.
    virtual QImage Bild() = 0;
    // Whether it draws with OpenGL at all.
    virtual bool MitOpenGL() const = 0;
};

// A label of the 3-D view. Labels are upright text on the screen at the projection of
// their anchor, never part of the scene, where they would turn, mirror and blur with the
// view; they are painted by the raster engine over the picture.
struct Beschriftung3d {
    enum class Sorte { Gitter, Punkt, Aktuell };
    Sorte Art;
    QString Text;
    QPointF Anker;  // the anchor's place in the picture, pixels from the top left
    QRectF Feld;    // the box the text is drawn in, pixels
};

// The colour a label's text is drawn in: the grid's in its blue, a point's near black,
// the current point's dark orange (as in the plan view).
QColor Textfarbe(Beschriftung3d::Sorte art);

// The labels over a picture of `groesse` pixels of `daten` seen through
// `ansichtProjektion` (heights exaggerated as `darstellung` says), in the order they
// claim their place: the current point's number, the other points' numbers, the grid's
// metres. An anchor behind the eye, before the near plane or outside the picture gets
// none, and a grid label that would overlap a label already placed is left out.
// `schrift`: the view's font (the numbers are set in its bold).
std::vector<Beschriftung3d> Beschriftungen3d(const Vorschaudaten& daten, const QMatrix4x4& ansichtProjektion,
                                             const Darstellung& darstellung, QSizeF groesse,
                                             const QFont& schrift);

// The 3-D view's scale bar: a round length (1, 2 or 5 times a power of ten metres) of
// about 120 pixels at the depth of the camera's target, which the framing puts amid
// the road; its length on the screen in pixels. Zero lengths when there is none.
struct Massstab3d {
    double Meter = 0;
    double Pixel = 0;
};
Massstab3d Massstab(const Vorschaukamera& kamera, int hoehePixel);

// The labels and the scale bar, painted over the view's picture of `groesse` pixels.
void Ueberzeichnen(QPainter& maler, const Vorschaudaten* daten, const Vorschaukamera& kamera,
                   const Darstellung& darstellung, QSizeF groesse);

// Whether an OpenGL context can be created and made current on this platform; asked
// once per process.
bool OpenGLVerfuegbar();

// The fitting 3-D area. `darstellung` and `kamera` belong to the caller and outlive it.
Vorschau3d* Vorschau3dErzeugen(Vorschaukamera& kamera, const Darstellung& darstellung,
                               Kamerafuehrung& fuehrung);

}  // namespace pavolant::qt
