#include "ui/qt/vorschau/Vorschaukamera.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "ui/qt/vorschau/Vorschaudaten.h"

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
        const QVector3D ecke((i & 1) ? max.x() : min.x(), (i & 2) ? max.y() : min.y(),
                             (i & 4) ? max.z() : min.z());
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
    ziel_ += (-dxPixel * r + dyPixel * u) * MeterJePixel(hoehePixel);
}

float Vorschaukamera::MeterJePixel(int hoehePixel) const {
    return 2 * abstand_ * std::tan(Rad(kSichtwinkel / 2)) / static_cast<float>(std::max(hoehePixel, 1));
}

void Vorschaukamera::Zoomen(float stufen) {
    abstand_ = std::clamp(abstand_ * std::pow(0.85f, stufen), kMinAbstand, kMaxAbstand);
}

bool Vorschaukamera::Strahl(QPointF ndc, float seitenverhaeltnis, QVector3D& start,
                            QVector3D& richtung) const {
    bool umkehrbar = false;
    const QMatrix4x4 zurueck = AnsichtProjektion(seitenverhaeltnis).inverted(&umkehrbar);
    if (!umkehrbar) return false;
    start = zurueck.map(QVector3D(static_cast<float>(ndc.x()), static_cast<float>(ndc.y()), -1.0f));
    richtung = zurueck.map(QVector3D(static_cast<float>(ndc.x()), static_cast<float>(ndc.y()), 1.0f)) - start;
    return std::isfinite(richtung.lengthSquared()) && richtung.lengthSquared() > 0;
}

void Vorschaukamera::ZoomenZu(float stufen, QPointF ndc, float seitenverhaeltnis,
                              std::optional<QVector3D> punkt) {
    QVector3D nah, strahl;
    const bool getroffen = Strahl(ndc, seitenverhaeltnis, nah, strahl);
    const float alt = abstand_;
    Zoomen(stufen);
    QVector3D fest;
    if (punkt) {
        fest = *punkt;
    } else {
        if (!getroffen || std::fabs(strahl.y()) < 1e-6f) return;
        const float t = (ziel_.y() - nah.y()) / strahl.y();
        if (!(t > 0) || !std::isfinite(t)) return;
        fest = nah + t * strahl;
    }
    // Eye and target scaled about the point under the cursor keep it on its ray.
    ziel_ += (fest - ziel_) * (1.0f - abstand_ / alt);
}

void Vorschaukamera::Zentrieren(const QVector3D& punkt) {
    const QVector3D auge = Auge();
    const float tiefe = QVector3D::dotProduct(punkt - auge, Blickrichtung());
    if (!(tiefe > 0) || !std::isfinite(tiefe)) return;  // behind the eye: nothing to orbit
    ziel_ = punkt;
    abstand_ = std::clamp(tiefe, kMinAbstand, kMaxAbstand);
}

namespace {

// Moeller-Trumbore over every triangle of `indizes` into `v` (`schritt` floats a vertex,
// the position first, moved by `versatz`), in double: a long road's triangles are thin
// seen from afar. `best` is the ray parameter of the nearest hit in front of the eye so
// far, lowered by a nearer one here.
void NaechsterTreffer(const double o[3], const double r[3], const std::vector<float>& v, std::size_t schritt,
                      const std::vector<std::uint32_t>& indizes, const std::array<double, 3>& versatz,
                      double& best) {
    const std::size_t vertices = v.size() / schritt;
    auto lage = [&](std::uint32_t i, double p[3]) {
        const float* q = &v[std::size_t{i} * schritt];
        p[0] = q[0] + versatz[0], p[1] = q[1] + versatz[1], p[2] = q[2] + versatz[2];
    };
    for (std::size_t i = 0; i + 2 < indizes.size(); i += 3) {
        const std::uint32_t ia = indizes[i], ib = indizes[i + 1], ic = indizes[i + 2];
        if (ia >= vertices || ib >= vertices || ic >= vertices) continue;
        double a[3], b[3], c[3];
        lage(ia, a), lage(ib, b), lage(ic, c);
        const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]},
                     e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const double p[3] = {r[1] * e2[2] - r[2] * e2[1], r[2] * e2[0] - r[0] * e2[2],
                             r[0] * e2[1] - r[1] * e2[0]};
        const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::fabs(det) < 1e-18) continue;  // the ray runs along the triangle
        const double inv = 1.0 / det;
        const double s[3] = {o[0] - a[0], o[1] - a[1], o[2] - a[2]};
        const double bu = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * inv;
        if (bu < 0 || bu > 1) continue;
        const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2],
                             s[0] * e1[1] - s[1] * e1[0]};
        const double bv = (r[0] * q[0] + r[1] * q[1] + r[2] * q[2]) * inv;
        if (bv < 0 || bu + bv > 1) continue;
        const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
        if (t > 0 && t < best) best = t;
    }
}

}  // namespace

std::optional<QVector3D> Flaechenpunkt(const Vorschaukamera& kamera, const Vorschaudaten& daten, QPointF ndc,
                                       float seitenverhaeltnis, float ueberhoehung, bool mitBoden) {
    if (!daten.Hinweis.empty() || daten.Indizes.empty()) return std::nullopt;
    QVector3D start, richtung;
    if (!kamera.Strahl(ndc, seitenverhaeltnis, start, richtung)) return std::nullopt;
    // Into the data's coordinates, where the heights are as the run built them; the ray's
    // parameter stays the same.
    const float u = ueberhoehung > 0 ? ueberhoehung : 1.0f;
    const double o[3] = {start.x(), start.y() / u, start.z()};
    const double r[3] = {richtung.x(), richtung.y() / u, richtung.z()};
    double best = std::numeric_limits<double>::infinity();
    NaechsterTreffer(o, r, daten.Vertices, Vorschaudaten::kFloatsJeVertex, daten.Indizes, {0, 0, 0}, best);
    if (mitBoden && daten.Boden) {
        const Gelaendenetz& n = daten.Boden->Netz;
        const std::array<double, 3> versatz{n.Ursprung[0] - daten.Ursprung[0],
                                            n.Ursprung[1] - daten.Ursprung[1],
                                            n.Ursprung[2] - daten.Ursprung[2]};
        NaechsterTreffer(o, r, n.Vertices, Gelaendenetz::kFloatsJeVertex, n.Indizes, versatz, best);
    }
    if (!std::isfinite(best)) return std::nullopt;
    const auto t = static_cast<float>(best);
    return start + t * richtung;
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
