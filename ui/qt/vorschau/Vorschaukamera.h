// The 3-D preview's camera: it orbits a target point at a distance, looking at it from a
// heading (around the up axis Y) and an elevation. No OpenGL: it only computes the
// matrices, so the tests can check what it frames without a graphics context.
//
// Units: positions in metres (the preview's coordinates, relative to its origin), angles
// in degrees, mouse movement in pixels.
#pragma once

#include <QMatrix4x4>
#include <QPointF>
#include <QVector3D>
#include <optional>

namespace pavolant::qt {

class Vorschaukamera {
public:
    // Vertical field of view, degrees.
    static constexpr float kSichtwinkel = 40.0f;

    // The box the clipping planes must keep in view (everything drawn lies inside it).
    void SetzeSzene(const QVector3D& min, const QVector3D& max);
    // Aims at the middle of the box and moves just far enough back, along the current
    // viewing direction, that all eight corners lie inside the view of the given aspect
    // (width / height), with a small margin.
    void Einpassen(const QVector3D& min, const QVector3D& max, float seitenverhaeltnis);
    // The view a road is first shown in: from behind its right side, looking down.
    void Grundrichtung();

    // Orbit around the target by a mouse movement.
    void Drehen(float dxPixel, float dyPixel);
    // The eye's elevation above the target, degrees (kept within the orbit's limits).
    void SetzeNick(float grad);
    // The eye's heading seen from the target, degrees (any value).
    void SetzeGier(float grad) { gier_ = grad; }
    // Moves the target with the picture: a mouse movement of one pixel moves the point
    // under the cursor at the target's depth by one pixel. `hoehePixel`: the view's height.
    void Verschieben(float dxPixel, float dyPixel, int hoehePixel);
    // Wheel steps (one notch = 1; positive moves closer), 15 % each.
    void Zoomen(float stufen);
    // The same toward what lies under the point `ndc` of the picture (-1..1 each, y up):
    // `punkt` (a point on the ray through `ndc`, e.g. the road surface picked there), else
    // the point of the level plane through the target that the ray meets, stays where it
    // is on the screen. A ray that misses the plane zooms on the target.
    void ZoomenZu(float stufen, QPointF ndc, float seitenverhaeltnis,
                  std::optional<QVector3D> punkt = std::nullopt);
    // Makes `punkt` the centre of the orbit: the view keeps its direction and moves so
    // that the point is in the middle of the picture, at the depth it had before (so
    // what lies around it keeps its size on the screen).
    void Zentrieren(const QVector3D& punkt);
    // The ray from the eye through `ndc`: its start on the near plane and its direction
    // (not normalised: start + 1 * richtung lies on the far plane). False when the
    // matrices cannot be inverted.
    bool Strahl(QPointF ndc, float seitenverhaeltnis, QVector3D& start, QVector3D& richtung) const;

    // Metres a pixel spans across the picture at the target's depth, in a view of
    // `hoehePixel` pixels' height (the same across and up: the pixels are square).
    float MeterJePixel(int hoehePixel) const;

    QMatrix4x4 Ansicht() const;
    QMatrix4x4 Projektion(float seitenverhaeltnis) const;
    QMatrix4x4 AnsichtProjektion(float seitenverhaeltnis) const {
        return Projektion(seitenverhaeltnis) * Ansicht();
    }
    QVector3D Auge() const;
    QVector3D Ziel() const { return ziel_; }
    float Abstand() const { return abstand_; }
    float Gier() const { return gier_; }
    float Nick() const { return nick_; }
    QVector3D Blickrichtung() const;  // unit vector from the eye to the target

private:
    QVector3D ziel_{0, 0, 0};
    float abstand_ = 20.0f;
    float gier_ = 0.0f;   // heading of the eye seen from the target, degrees
    float nick_ = 30.0f;  // elevation of the eye above the target, degrees, within +-89
    QVector3D szeneMitte_{0, 0, 0};
    float szeneRadius_ = 1.0f;
};

// The first point of the road's surfaces (every mesh part, and the ground when `mitBoden`
// and the data have one) that the ray from the eye through `ndc` meets, in the view's
// coordinates (heights drawn `ueberhoehung` times as high, as the renderer draws them);
// nullopt when it meets none or `daten` holds no road.
struct Vorschaudaten;
std::optional<QVector3D> Flaechenpunkt(const Vorschaukamera& kamera, const Vorschaudaten& daten, QPointF ndc,
                                       float seitenverhaeltnis, float ueberhoehung, bool mitBoden = false);

}  // namespace pavolant::qt
