#include "ui/qt/Vorschaukamera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pavolant::qt {

namespace {

constexpr float kGradJePixel = 0.4f;
constexpr float kMaxNick = 89.0f;
constexpr float kMinAbstand = 0.05f;  // metres
constexpr float kMaxAbstand = 1e8f;
// Share of the view's half extent the framed box may take, so it does not touch the edge.
constexpr float kRand = 0.92f;

float Rad(float grad) { return grad * std::numbers::pi_v<float> / 180.0f; }

const QVector3D kOben(0, 1, 0);

}  // namespace

void Vorschaukamera::SetzeSzene(const QVector3D& min, const QVector3D& max) {
    szeneMitte_ = (min + max) / 2;
    szeneRadius_ = std::max((max - min).length() / 2, 0.5f);
}

QVector3D Vorschaukamera::Blickrichtung() const {
    const float g = Rad(gier_), n = Rad(nick_);
    return -QVector3D(std::cos(n) * std::sin(g), std::sin(n), std::cos(n) * std::cos(g));
}

QVector3D Vorschaukamera::Auge() const { return ziel_ - abstand_ * Blickrichtung(); }

void Vorschaukamera::Grundrichtung() {
    gier_ = -35.0f;
    nick_ = 35.0f;
}

void Vorschaukamera::Einpassen(const QVector3D& min, const QVector3D& max, float seitenverhaeltnis) {
    ziel_ = (min + max) / 2;
    const QVector3D f = Blickrichtung();
    const QVector3D r = QVector3D::crossProduct(f, kOben).normalized();
    const QVector3D u = QVector3D::crossProduct(r, f);
    const float tanV = std::tan(Rad(kSichtwinkel / 2)) * kRand;
    const float tanH = tanV * std::max(seitenverhaeltnis, 1e-3f);
    // A corner at lateral offsets x, y and at z towards the eye lies at depth d - z from
    // an eye d away; it is in view while |x| <= (d - z) tanH and |y| <= (d - z) tanV.
    float abstand = kMinAbstand;
    for (int i = 0; i < 8; ++i) {
        const QVector3D ecke((i & 1) ? max.x() : min.x(), (i & 2) ? max.y() : min.y(), (i & 4) ? max.z() : min.z());
        const QVector3D rel = ecke - ziel_;
        const float x = QVector3D::dotProduct(rel, r), y = QVector3D::dotProduct(rel, u);
        const float z = -QVector3D::dotProduct(rel, f);
        abstand = std::max({abstand, z + std::fabs(x) / tanH, z + std::fabs(y) / tanV});
    }
    abstand_ = std::clamp(abstand, kMinAbstand, kMaxAbstand);
}

void Vorschaukamera::Drehen(float dxPixel, float dyPixel) {
    gier_ = std::fmod(gier_ - dxPixel * kGradJePixel, 360.0f);
    nick_ = std::clamp(nick_ + dyPixel * kGradJePixel, -kMaxNick, kMaxNick);
}

void Vorschaukamera::SetzeNick(float grad) { nick_ = std::clamp(grad, -kMaxNick, kMaxNick); }

void Vorschaukamera::Verschieben(float dxPixel, float dyPixel, int hoehePixel) {
    const QVector3D f = Blickrichtung();
    const QVector3D r = QVector3D::crossProduct(f, kOben).normalized();
    const QVector3D u = QVector3D::crossProduct(r, f);
    const float meterJePixel = 2 * abstand_ * std::tan(Rad(kSichtwinkel / 2)) / static_cast<float>(std::max(hoehePixel, 1));
    ziel_ += (-dxPixel * r + dyPixel * u) * meterJePixel;
}

void Vorschaukamera::Zoomen(float stufen) {
    abstand_ = std::clamp(abstand_ * std::pow(0.85f, stufen), kMinAbstand, kMaxAbstand);
}

void Vorschaukamera::ZoomenZu(float stufen, QPointF ndc, float seitenverhaeltnis) {
    bool umkehrbar = false;
    const QMatrix4x4 zurueck = AnsichtProjektion(seitenverhaeltnis).inverted(&umkehrbar);
    const float alt = abstand_;
    Zoomen(stufen);
    if (!umkehrbar) return;
    const QVector3D nah = zurueck.map(QVector3D(static_cast<float>(ndc.x()), static_cast<float>(ndc.y()), -1.0f));
    const QVector3D fern = zurueck.map(QVector3D(static_cast<float>(ndc.x()), static_cast<float>(ndc.y()), 1.0f));
    const QVector3D strahl = fern - nah;
    if (std::fabs(strahl.y()) < 1e-6f) return;
    const float t = (ziel_.y() - nah.y()) / strahl.y();
    if (!(t > 0) || !std::isfinite(t)) return;
    // Eye and target scaled about the point under the cursor keep it on its ray.
    const QVector3D fest = nah + t * strahl;
    ziel_ += (fest - ziel_) * (1.0f - abstand_ / alt);
}

QMatrix4x4 Vorschaukamera::Ansicht() const {
    QMatrix4x4 m;
    m.lookAt(Auge(), ziel_, kOben);
    return m;
}

QMatrix4x4 Vorschaukamera::Projektion(float seitenverhaeltnis) const {
    // The clipping planes hug the scene's sphere: far just behind it, near just before
    // it, but never closer than a twentieth of the way to the target, which keeps the
    // depth buffer's resolution where the user looks.
    const float radius = szeneRadius_ * 1.01f + 0.01f;
    const float mitte = (Auge() - szeneMitte_).length();
    const float fern = mitte + radius;
    const float nah = std::min(std::max(mitte - radius, abstand_ * 0.05f), fern * 0.5f);
    QMatrix4x4 m;
    m.perspective(kSichtwinkel, std::max(seitenverhaeltnis, 1e-3f), std::max(nah, 1e-3f), fern);
    return m;
}

}  // namespace pavolant::qt
