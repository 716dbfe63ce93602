#include "ui/qt/Hoehenplanansicht.h"

#include "model/Zahlen.h"
#include "ui/qt/Qtext.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace pavolant::qt {

namespace {

const QColor kStrasse(40, 40, 40);
const QColor kBoden(120, 78, 40);
const QColor kGitter(225, 225, 225);

QPolygonF Linie(const std::vector<Bildpunkt>& punkte) {
    QPolygonF linie;
    linie.reserve(static_cast<qsizetype>(punkte.size()));
    for (const Bildpunkt& p : punkte) linie.append(QPointF(p.X, p.Y));
    return linie;
}

QPen Stift(const QColor& farbe, double breite, Qt::PenStyle art = Qt::SolidLine) {
    QPen stift(farbe, breite, art, Qt::RoundCap, Qt::RoundJoin);
    return stift;
}

}  // namespace

Hoehenplanansicht::Hoehenplanansicht(QWidget* eltern) : QWidget(eltern, Qt::Window) {
    setObjectName(QStringLiteral("Hoehenplan"));
    setWindowTitle(QTr("Road and terrain"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(420, 260);
    resize(960, 460);
    stand_.Hinweis = Tr("No road");
}

QColor Hoehenplanansicht::FarbeAufschuettung() { return QColor(196, 140, 80); }
QColor Hoehenplanansicht::FarbeAbtrag() { return QColor(70, 130, 210); }

void Hoehenplanansicht::Zeigen(Hoehenplanstand stand) {
    stand_ = std::move(stand);
    update();
}

QImage Hoehenplanansicht::Bild() {
    QImage bild(size(), QImage::Format_RGB32);
    QPainter maler(&bild);
    Malen(maler);
    return bild;
}

void Hoehenplanansicht::paintEvent(QPaintEvent*) {
    QPainter maler(this);
    Malen(maler);
}

void Hoehenplanansicht::Malen(QPainter& maler) {
    maler.fillRect(rect(), Qt::white);
    maler.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF masse(font());
    const double zeile = masse.height();

    // The note alone, in the middle, when there is nothing to plot.
    auto hinweis = [&](const QRectF& wo) {
        maler.setPen(QColor(90, 90, 90));
        maler.drawText(wo, Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(stand_.Hinweis));
    };
    if (!stand_.Schnitt) {
        hinweis(QRectF(rect()).adjusted(20, 20, -20, -20));
        return;
    }

    // Room for the labels: the legend above, the station axis with its title below, the
    // heights to the left.
    Plotraender raender;
    raender.Oben = static_cast<int>(std::ceil(2.2 * zeile));
    raender.Unten = static_cast<int>(std::ceil(2.8 * zeile));
    const Hoehenplan vorab = HoehenplanAnlegen(*stand_.Schnitt, width(), height(), raender);
    double breiteste = masse.horizontalAdvance(QTr("Height (m)")) / 2;
    for (const Achsmarke& m : vorab.Hoehenmarken)
        breiteste = std::max(breiteste, masse.horizontalAdvance(QString::fromStdString(m.Text)));
    raender.Links = static_cast<int>(std::ceil(breiteste + 16));
    raender.Rechts = static_cast<int>(std::ceil(masse.horizontalAdvance(QStringLiteral("00000")) / 2 + 10));
    const Hoehenplan plan = HoehenplanAnlegen(*stand_.Schnitt, width(), height(), raender);
    const QRectF feld(QPointF(plan.Links, plan.Oben), QPointF(plan.Rechts, plan.Unten));

    // The grid and the ticks' labels.
    maler.setPen(Stift(kGitter, 1));
    for (const Achsmarke& m : plan.Stationsmarken)
        maler.drawLine(QPointF(m.Pixel, feld.top()), QPointF(m.Pixel, feld.bottom()));
    for (const Achsmarke& m : plan.Hoehenmarken)
        maler.drawLine(QPointF(feld.left(), m.Pixel), QPointF(feld.right(), m.Pixel));
    maler.setPen(Qt::black);
    for (const Achsmarke& m : plan.Stationsmarken) {
        maler.drawLine(QPointF(m.Pixel, feld.bottom()), QPointF(m.Pixel, feld.bottom() + 4));
        maler.drawText(QRectF(m.Pixel - 60, feld.bottom() + 5, 120, zeile), Qt::AlignHCenter | Qt::AlignTop,
                       QString::fromStdString(m.Text));
    }
    for (const Achsmarke& m : plan.Hoehenmarken) {
        maler.drawLine(QPointF(feld.left() - 4, m.Pixel), QPointF(feld.left(), m.Pixel));
        maler.drawText(QRectF(0, m.Pixel - zeile / 2, feld.left() - 7, zeile),
                       Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(m.Text));
    }
    maler.drawText(QRectF(feld.left(), feld.bottom() + 5 + zeile, feld.width(), zeile * 1.4),
                   Qt::AlignHCenter | Qt::AlignVCenter, QTr("Station along the road (m)"));
    maler.drawText(QRectF(4, 2, feld.left() + 200, zeile * 1.1), Qt::AlignLeft | Qt::AlignVCenter,
                   QTr("Height (m)"));

    // Fill and cut, translucent, so that where all three lines agree the colour deepens.
    maler.save();
    maler.setClipRect(feld);
    maler.setPen(Qt::NoPen);
    QColor aufschuettung = FarbeAufschuettung(), abtrag = FarbeAbtrag();
    aufschuettung.setAlpha(85);
    abtrag.setAlpha(85);
    maler.setBrush(aufschuettung);
    for (const auto& f : plan.Aufschuettungen) maler.drawPolygon(Linie(f));
    maler.setBrush(abtrag);
    for (const auto& f : plan.Abtraege) maler.drawPolygon(Linie(f));
    maler.setBrush(Qt::NoBrush);

    // The ground under the edges, then under the centre; the road's edges, then its centre.
    for (std::size_t k : {1u, 2u}) {
        maler.setPen(Stift(kBoden, 1.2, Qt::DashLine));
        for (const auto& stueck : plan.Bodenlinien[k]) maler.drawPolyline(Linie(stueck));
    }
    maler.setPen(Stift(kBoden, 2.2));
    for (const auto& stueck : plan.Bodenlinien[0]) maler.drawPolyline(Linie(stueck));
    for (std::size_t k : {1u, 2u}) {
        maler.setPen(Stift(kStrasse, 1.2, Qt::DashLine));
        maler.drawPolyline(Linie(plan.Strassenlinien[k]));
    }
    maler.setPen(Stift(kStrasse, 2.2));
    maler.drawPolyline(Linie(plan.Strassenlinien[0]));
    maler.restore();
    maler.setPen(Stift(Qt::black, 1));
    maler.drawRect(feld);

    // The largest fill and cut: a bar between road and ground, its label above it (below
    // where the top has no room), inside the plot.
    QRectF belegt;
    for (const Plotmarke& m : plan.Marken) {
        const QColor farbe = (m.Aufschuettung ? FarbeAufschuettung() : FarbeAbtrag()).darker(160);
        const QPointF a(m.Strasse.X, m.Strasse.Y), b(m.Boden.X, m.Boden.Y);
        maler.setPen(Stift(farbe, 2.5));
        maler.drawLine(a, b);
        maler.setBrush(farbe);
        maler.drawEllipse(a, 3.5, 3.5);
        maler.drawEllipse(b, 3.5, 3.5);
        maler.setBrush(Qt::NoBrush);
        const QString text = QString::fromStdString(m.Text);
        const QSizeF groesse(masse.horizontalAdvance(text) + 10, zeile + 4);
        const double oben = std::min(a.y(), b.y()), unten = std::max(a.y(), b.y());
        double y = oben - 8 - groesse.height();
        if (y < feld.top() + 2) y = unten + 8;
        double x = std::clamp(a.x() - groesse.width() / 2, feld.left() + 4,
                              std::max(feld.left() + 4, feld.right() - 4 - groesse.width()));
        QRectF kasten(QPointF(x, std::min(y, feld.bottom() - 2 - groesse.height())), groesse);
        if (kasten.intersects(belegt)) kasten.moveTop(belegt.bottom() + 4);
        belegt = kasten;
        maler.setPen(Stift(farbe, 1));
        maler.setBrush(QColor(255, 255, 255, 225));
        maler.drawRoundedRect(kasten, 3, 3);
        maler.setBrush(Qt::NoBrush);
        maler.drawText(kasten, Qt::AlignCenter, text);
    }

    // The legend across the top, right-aligned, and the heights' exaggeration.
    struct Eintrag {
        QString text;
        QPen stift;
        QColor flaeche;
    };
    const Eintrag eintraege[] = {
        {QTr("Road centre"), Stift(kStrasse, 2.2), {}},
        {QTr("Road edges"), Stift(kStrasse, 1.2, Qt::DashLine), {}},
        {QTr("Terrain under the centre"), Stift(kBoden, 2.2), {}},
        {QTr("Terrain under the edges"), Stift(kBoden, 1.2, Qt::DashLine), {}},
        {QTr("Fill"), Qt::NoPen, aufschuettung},
        {QTr("Cut"), Qt::NoPen, abtrag},
    };
    constexpr double kProbe = 26, kLuecke = 6, kAbstand = 16;
    double gesamt = 0;
    for (const Eintrag& e : eintraege)
        gesamt += kProbe + kLuecke + masse.horizontalAdvance(e.text) + kAbstand;
    double x = std::max(feld.left() + masse.horizontalAdvance(QTr("Height (m)")) + 20,
                        feld.right() - gesamt + kAbstand);
    const double mitteY = 2 + zeile * 0.55;
    for (const Eintrag& e : eintraege) {
        if (e.flaeche.isValid()) {
            maler.setPen(Qt::NoPen);
            maler.setBrush(e.flaeche);
            maler.drawRect(QRectF(x, mitteY - zeile * 0.35, kProbe, zeile * 0.7));
            maler.setBrush(Qt::NoBrush);
        } else {
            maler.setPen(e.stift);
            maler.drawLine(QPointF(x, mitteY), QPointF(x + kProbe, mitteY));
        }
        x += kProbe + kLuecke;
        maler.setPen(Qt::black);
        const double w = masse.horizontalAdvance(e.text);
        maler.drawText(QRectF(x, mitteY - zeile / 2, w + 2, zeile), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += w + kAbstand;
    }
    const double ueberhoehung = ((plan.Unten - plan.Oben) / (plan.HoeheBis - plan.HoeheVon)) /
                                ((plan.Rechts - plan.Links) / (plan.StationBis - plan.StationVon));
    if (ueberhoehung > 1.05 || ueberhoehung < 0.95) {
        maler.setPen(QColor(90, 90, 90));
        // Catalog: the plot draws heights on a larger scale than stations: %1 times.
        maler.drawText(
            QRectF(feld.left(), feld.bottom() + 5 + zeile, feld.width(), zeile * 1.4),
            Qt::AlignRight | Qt::AlignVCenter,
            QEinsetzen("heights exaggerated %1 times", {FormatAllgemein(RundeAufStellen(ueberhoehung, 10))}));
    }
    if (!stand_.Hinweis.empty()) hinweis(QRectF(feld.left(), feld.top() + 6, feld.width(), zeile * 1.5));
}

}  // namespace pavolant::qt
