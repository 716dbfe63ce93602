#include "ui/qt/vorschau/Vorschauplan.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace pavolant::qt {

namespace {

constexpr double kRandPixel = 36;

double Zentimeter(double meter) { return std::round(meter * 100) / 100; }  // room for the numbers at the edge

QColor Qfarbe(const Farbe& f) { return QColor::fromRgbF(f[0], f[1], f[2]); }

}  // namespace

Vorschauplan::Vorschauplan(QWidget* eltern) : QWidget(eltern) {
    setObjectName(QStringLiteral("wdgVorschauPlan"));
    setMinimumSize(240, 180);
    setAutoFillBackground(false);
}

void Vorschauplan::SetzeDaten(std::shared_ptr<const Vorschaudaten> daten) {
    daten_ = std::move(daten);
    const std::shared_ptr<const Vorschauboden> boden = daten_ ? daten_->Boden : nullptr;
    if (boden != reliefVon_) {
        reliefVon_ = boden;
        const Reliefbild* r = boden ? &boden->Relief : nullptr;
        relief_ =
            r && !r->Leer()
                ? QImage(r->Rgba.data(), r->Breite, r->Hoehe, r->Breite * 4, QImage::Format_RGBA8888).copy()
                : QImage();
    }
    update();
}

void Vorschauplan::SetzeGelaende(bool an) {
    if (gelaende_ == an) return;
    gelaende_ = an;
    update();
}

void Vorschauplan::SetzeAktuell(int index) {
    if (index == aktuell_) return;
    aktuell_ = index;
    update();
}

void Vorschauplan::SetzeGelassen(std::vector<bool> gelassen) {
    if (gelassen == gelassen_) return;
    gelassen_ = std::move(gelassen);
    update();
}

Vorschauplan::Abbildung Vorschauplan::Berechnen() const {
    Abbildung a;
    if (!daten_ || daten_->Kontrollpunkte.empty()) return a;
    constexpr double kUnendlich = std::numeric_limits<double>::infinity();
    double minX = kUnendlich, maxX = -kUnendlich, minZ = kUnendlich, maxZ = -kUnendlich;
    for (const auto* linie :
         {&daten_->Mittellinie, &daten_->KanteRechts, &daten_->KanteLinks, &daten_->Kontrollpunkte})
        for (const Planpunkt& p : *linie) {
            minX = std::min(minX, p.X);
            maxX = std::max(maxX, p.X);
            minZ = std::min(minZ, p.Z);
            maxZ = std::max(maxZ, p.Z);
        }
    const double breite = std::max(width() - 2 * kRandPixel, 1.0),
                 hoehe = std::max(height() - 2 * kRandPixel, 1.0);
    const double dx = maxX - minX, dz = maxZ - minZ;
    double skala = 1;
    if (dx > 0 || dz > 0)
        skala = std::min(dx > 0 ? breite / dx : kUnendlich, dz > 0 ? hoehe / dz : kUnendlich);
    a.Skala = skala * zoom_;
    a.MitteX = (minX + maxX) / 2;
    a.MitteZ = (minZ + maxZ) / 2;
    a.Gueltig = std::isfinite(skala) && skala > 0;
    return a;
}

QPointF Vorschauplan::AufBild(double x, double z) const {
    const Abbildung a = Berechnen();
    return {width() / 2.0 + versatz_.x() + (x - a.MitteX) * a.Skala,
            height() / 2.0 + versatz_.y() + (z - a.MitteZ) * a.Skala};
}

std::array<double, 2> Vorschauplan::AusBild(QPointF bild) const {
    const Abbildung a = Berechnen();
    return {(bild.x() - width() / 2.0 - versatz_.x()) / a.Skala + a.MitteX,
            (bild.y() - height() / 2.0 - versatz_.y()) / a.Skala + a.MitteZ};
}

QString Vorschauplan::Laengentext(double meter) {
    return meter >= 1000 ? QStringLiteral("%1 km").arg(meter / 1000) : QStringLiteral("%1 m").arg(meter);
}

void Vorschauplan::Ganz() {
    zoom_ = 1;
    versatz_ = {0, 0};
    update();
}

std::optional<int> Vorschauplan::PunktBei(QPointF bild) const {
    std::optional<int> treffer;
    double naechster = kAktuellRadius + 3;
    for (const Beschriftung& b : Beschriftungen()) {
        const double abstand = std::hypot(b.Punkt.x() - bild.x(), b.Punkt.y() - bild.y());
        if (abstand <= naechster) {
            naechster = abstand;
            treffer = b.Text.toInt() - 1;
        }
    }
    return treffer;
}

void Vorschauplan::mousePressEvent(QMouseEvent* ereignis) {
    const QPointF wo = ereignis->position();
    if (ereignis->button() == Qt::LeftButton) {
        if (const std::optional<int> punkt = PunktBei(wo))
            zug_ = Zug{*punkt, wo, wo, (ereignis->modifiers() & Qt::ShiftModifier) != 0};
    } else if (ereignis->button() == Qt::RightButton || ereignis->button() == Qt::MiddleButton) {
        schwenk_ = wo;
    }
}

void Vorschauplan::mouseMoveEvent(QMouseEvent* ereignis) {
    const QPointF wo = ereignis->position();
    if (zug_) {
        zug_->Jetzt = wo;
        update();
    } else if (schwenk_) {
        versatz_ += wo - *schwenk_;
        schwenk_ = wo;
        update();
    }
}

void Vorschauplan::mouseReleaseEvent(QMouseEvent* ereignis) {
    schwenk_.reset();
    if (!zug_ || ereignis->button() != Qt::LeftButton) return;
    const Zug zug = *std::exchange(zug_, std::nullopt);
    update();
    // A few pixels of trembling are a click.
    if (std::hypot(zug.Jetzt.x() - zug.Start.x(), zug.Jetzt.y() - zug.Start.y()) < 3) {
        if (bearbeitung_.Gewaehlt) bearbeitung_.Gewaehlt(zug.Index);
        return;
    }
    const std::array<double, 2> ziel = AusBild(zug.Jetzt);
    if (zug.Drehen) {
        const Planpunkt& p = daten_->Kontrollpunkte[static_cast<std::size_t>(zug.Index)];
        if (bearbeitung_.Gedreht) bearbeitung_.Gedreht(zug.Index, ziel[0] - p.X, ziel[1] - p.Z);
    } else if (bearbeitung_.Verschoben) {
        // To the centimetre: a pixel is decimetres at most zooms, and the editor should
        // not show digits the hand did not choose.
        bearbeitung_.Verschoben(zug.Index, Zentimeter(ziel[0]), Zentimeter(ziel[1]));
    }
}

void Vorschauplan::mouseDoubleClickEvent(QMouseEvent* ereignis) {
    if (ereignis->button() == Qt::LeftButton && !PunktBei(ereignis->position())) Ganz();
}

void Vorschauplan::wheelEvent(QWheelEvent* ereignis) {
    const double stufen = ereignis->angleDelta().y() / 120.0;
    if (stufen == 0 || !Berechnen().Gueltig) return;
    // The level point under the cursor stays under it.
    const QPointF wo = ereignis->position();
    const std::array<double, 2> fest = AusBild(wo);
    zoom_ = std::clamp(zoom_ * std::pow(1.25, stufen), 0.05, 1e5);
    const Abbildung a = Berechnen();
    versatz_ = wo - QPointF(width() / 2.0 + (fest[0] - a.MitteX) * a.Skala,
                            height() / 2.0 + (fest[1] - a.MitteZ) * a.Skala);
    update();
    ereignis->accept();
}

QImage Vorschauplan::Bild() { return grab().toImage(); }

std::vector<Vorschauplan::Beschriftung> Vorschauplan::Beschriftungen() const {
    std::vector<Beschriftung> marken;
    if (!daten_ || !Berechnen().Gueltig) return marken;
    const std::vector<Planpunkt>& punkte = daten_->Kontrollpunkte;
    marken.reserve(punkte.size());
    for (std::size_t i = 0; i < punkte.size(); ++i)
        marken.push_back(
            {QString::number(i + 1), AufBild(punkte[i].X, punkte[i].Z), static_cast<int>(i) == aktuell_});
    return marken;
}

void Vorschauplan::paintEvent(QPaintEvent*) {
    QPainter maler(this);
    maler.fillRect(rect(), QColor(250, 250, 247));
    const Abbildung a = Berechnen();
    if (!a.Gueltig) {
        maler.setPen(QColor(90, 90, 90));
        const QString hinweis = daten_ ? QString::fromStdString(daten_->Hinweis) : QString();
        maler.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, hinweis);
        return;
    }
    maler.setRenderHint(QPainter::Antialiasing);
    const double mx = width() / 2.0 + versatz_.x(), mz = height() / 2.0 + versatz_.y();
    auto abbilden = [&](const Planpunkt& p) {
        return QPointF(mx + (p.X - a.MitteX) * a.Skala, mz + (p.Z - a.MitteZ) * a.Skala);
    };
    auto linie = [&](const std::vector<Planpunkt>& punkte) {
        QPolygonF l;
        l.reserve(static_cast<qsizetype>(punkte.size()));
        for (const Planpunkt& p : punkte) l << abbilden(p);
        return l;
    };
    const Vorschaudaten& d = *daten_;

    // The ground under everything: its picture's edges are level X and Z, row 0 north.
    if (gelaende_ && !relief_.isNull()) {
        const Planrechteck& f = d.Boden->Relief.Flaeche;
        maler.setRenderHint(QPainter::SmoothPixmapTransform);
        maler.drawImage(QRectF(abbilden({f.MinX, f.MinZ}), abbilden({f.MaxX, f.MaxZ})), relief_);
    }

    // The roadway: the area between its edges, then the edges.
    const QPolygonF rechts = linie(d.KanteRechts), links = linie(d.KanteLinks);
    if (!rechts.isEmpty() && !links.isEmpty()) {
        QPolygonF flaeche = rechts;
        for (auto it = links.crbegin(); it != links.crend(); ++it) flaeche << *it;
        maler.setPen(Qt::NoPen);
        maler.setBrush(QColor(205, 207, 212));
        maler.drawPolygon(flaeche);
    }
    maler.setBrush(Qt::NoBrush);
    maler.setPen(QPen(Qfarbe(Teilfarbe(Netzteil::RandRechts)), 1.5));
    maler.drawPolyline(rechts);
    maler.setPen(QPen(Qfarbe(Teilfarbe(Netzteil::RandLinks)), 1.5));
    maler.drawPolyline(links);
    maler.setPen(QPen(QColor(40, 60, 140), 1.2, Qt::DashLine));
    const QPolygonF mitte = linie(d.Mittellinie);
    maler.drawPolyline(mitte);

    // Connections that leave the ground as it is: a band along their stretch of the
    // centre line, with the line itself solid.
    const std::vector<std::size_t>& anfaenge = d.Verbindungsanfaenge;
    const QColor gelassen = Qfarbe(kGelassenfarbe);
    QColor band = gelassen;
    band.setAlphaF(0.35f);
    for (std::size_t i = 0; i + 1 < anfaenge.size() && i < gelassen_.size(); ++i) {
        if (!gelassen_[i] || anfaenge[i + 1] <= anfaenge[i] || anfaenge[i + 1] >= std::size_t(mitte.size()))
            continue;
        const QPolygonF stueck = mitte.mid(static_cast<qsizetype>(anfaenge[i]),
                                           static_cast<qsizetype>(anfaenge[i + 1] - anfaenge[i] + 1));
        maler.setPen(QPen(band, 10, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        maler.drawPolyline(stueck);
        maler.setPen(QPen(gelassen, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        maler.drawPolyline(stueck);
    }

    // Control points, numbered from 1; the current one last, so it is never covered.
    QFont schrift = font();
    schrift.setBold(true);
    maler.setFont(schrift);
    const QFontMetrics masse(schrift);
    auto marke = [&](const Beschriftung& b) {
        const double r = b.Aktuell ? kAktuellRadius : kMarkenRadius;
        maler.setPen(QPen(QColor(20, 20, 20), 1.5));
        maler.setBrush(Qfarbe(b.Aktuell ? kAktuellfarbe : kMarkenfarbe));
        maler.drawEllipse(b.Punkt, r, r);
        const QRectF feld(b.Punkt.x() + r + 2, b.Punkt.y() - r - masse.height(),
                          masse.horizontalAdvance(b.Text) + 4, masse.height());
        maler.setPen(Qt::NoPen);
        maler.setBrush(QColor(255, 255, 255, 200));
        maler.drawRect(feld);
        maler.setPen(b.Aktuell ? QColor(180, 70, 0) : QColor(20, 20, 20));
        maler.drawText(feld, Qt::AlignCenter, b.Text);
    };
    // The current point last, so it is never covered.
    std::vector<Beschriftung> marken = Beschriftungen();
    if (zug_ && zug_->Index >= 0 && static_cast<std::size_t>(zug_->Index) < marken.size()) {
        Beschriftung& gezogen = marken[static_cast<std::size_t>(zug_->Index)];
        if (zug_->Drehen) {
            // The heading it will take: from the point toward the cursor.
            maler.setPen(QPen(QColor(180, 70, 0), 2, Qt::DashLine));
            maler.drawLine(gezogen.Punkt, zug_->Jetzt);
        } else {
            gezogen.Punkt = zug_->Jetzt;
        }
    }
    for (const Beschriftung& b : marken)
        if (!b.Aktuell) marke(b);
    for (const Beschriftung& b : marken)
        if (b.Aktuell) marke(b);

    // Axes at the lower left, a scale bar at the lower right.
    maler.setFont(font());
    maler.setPen(QPen(QColor(60, 60, 60), 1.2));
    const QPointF ursprung(14, height() - 14 - 22 - masse.height());
    maler.drawLine(ursprung, ursprung + QPointF(22, 0));
    maler.drawLine(ursprung, ursprung + QPointF(0, 22));
    maler.drawText(ursprung + QPointF(26, 4), QStringLiteral("X"));
    maler.drawText(ursprung + QPointF(-4, 20 + masse.ascent()), QStringLiteral("Z"));
    const double meter = RundeLaenge(120 / a.Skala);
    if (meter > 0) {
        const double pixel = meter * a.Skala;
        const QPointF ende(width() - 14, height() - 14);
        maler.drawLine(ende - QPointF(pixel, 0), ende);
        maler.drawLine(ende - QPointF(pixel, 4), ende - QPointF(pixel, -4));
        maler.drawLine(ende - QPointF(0, 4), ende + QPointF(0, 4));
        maler.drawText(QRectF(ende.x() - pixel, ende.y() - 22, pixel, 16), Qt::AlignCenter,
                       Laengentext(meter));
    }
}

}  // namespace pavolant::qt
