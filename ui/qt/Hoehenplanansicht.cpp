#include "ui/qt/Hoehenplanansicht.h"

#include "model/Zahlen.h"
#include "ui/qt/Qtext.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

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

    QColor aufschuettung = FarbeAufschuettung(), abtrag = FarbeAbtrag();
    aufschuettung.setAlpha(85);
    abtrag.setAlpha(85);

    // The legend flows in rows beside the height axis's title, as many as the width needs.
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
    const QString hoehentitel = QTr("Height (m)");
    const double legendeLinks = 4 + masse.horizontalAdvance(hoehentitel) + 24, legendeRechts = width() - 6.0;
    std::vector<QPointF> plaetze;  // each entry's left end and row middle
    {
        double x = legendeLinks, y = 2 + zeile * 0.55;
        for (const Eintrag& e : eintraege) {
            const double w = kProbe + kLuecke + masse.horizontalAdvance(e.text);
            if (x > legendeLinks && x + w > legendeRechts) {
                x = legendeLinks;
                y += zeile * 1.15;
            }
            plaetze.emplace_back(x, y);
            x += w + kAbstand;
        }
    }

    // Room for the labels: the legend above, the station axis with its title below (and
    // the heights' exaggeration beside it, or under it where both do not fit), the
    // heights to the left.
    Plotraender raender;
    raender.Oben = static_cast<int>(std::ceil(plaetze.back().y() + zeile * 1.1));
    raender.Unten = static_cast<int>(std::ceil(2.8 * zeile));
    raender.Rechts = static_cast<int>(std::ceil(masse.horizontalAdvance(QStringLiteral("00000")) / 2 + 10));
    const Hoehenplan vorab = HoehenplanAnlegen(*stand_.Schnitt, width(), height(), raender);
    double breiteste = 0;
    for (const Achsmarke& m : vorab.Hoehenmarken)
        breiteste = std::max(breiteste, masse.horizontalAdvance(QString::fromStdString(m.Text)));
    raender.Links = static_cast<int>(std::ceil(std::max(breiteste + 16, 30.0)));
    const QString stationstitel = QTr("Station along the road (m)");
    const auto ueberhoehungText = [](const Hoehenplan& p) {
        const double u = ((p.Unten - p.Oben) / (p.HoeheBis - p.HoeheVon)) /
                         ((p.Rechts - p.Links) / (p.StationBis - p.StationVon));
        // Catalog: the plot draws heights on a larger scale than stations: %1 times.
        return u > 1.05 || u < 0.95
                   ? QEinsetzen("heights exaggerated %1 times", {FormatAllgemein(RundeAufStellen(u, 10))})
                   : QString();
    };
    const double feldbreite = width() - raender.Links - raender.Rechts;
    const bool untereinander =
        masse.horizontalAdvance(stationstitel) + 2 * masse.horizontalAdvance(ueberhoehungText(vorab)) + 20 >
        feldbreite;
    if (untereinander) raender.Unten = static_cast<int>(std::ceil(4.0 * zeile));
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
    const QRectF titelzeile(feld.left(), feld.bottom() + 5 + zeile, feld.width(), zeile * 1.3);
    maler.drawText(titelzeile, Qt::AlignHCenter | Qt::AlignVCenter, stationstitel);
    maler.drawText(QRectF(4, 2 + zeile * 0.05, legendeLinks, zeile), Qt::AlignLeft | Qt::AlignVCenter,
                   hoehentitel);
    if (const QString text = ueberhoehungText(plan); !text.isEmpty()) {
        maler.setPen(QColor(90, 90, 90));
        maler.drawText(untereinander ? titelzeile.translated(0, zeile * 1.2) : titelzeile,
                       (untereinander ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter, text);
    }

    // Fill and cut, translucent, so that where all three lines agree the colour deepens.
    maler.save();
    maler.setClipRect(feld);
    maler.setPen(Qt::NoPen);
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
        const double x = std::clamp(a.x() - groesse.width() / 2, feld.left() + 4,
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

    // The legend.
    for (std::size_t i = 0; i < plaetze.size(); ++i) {
        const Eintrag& e = eintraege[i];
        const QPointF p = plaetze[i];
        if (e.flaeche.isValid()) {
            maler.setPen(Qt::NoPen);
            maler.setBrush(e.flaeche);
            maler.drawRect(QRectF(p.x(), p.y() - zeile * 0.35, kProbe, zeile * 0.7));
            maler.setBrush(Qt::NoBrush);
        } else {
            maler.setPen(e.stift);
            maler.drawLine(p, QPointF(p.x() + kProbe, p.y()));
        }
        maler.setPen(Qt::black);
        maler.drawText(
            QRectF(p.x() + kProbe + kLuecke, p.y() - zeile / 2, masse.horizontalAdvance(e.text) + 2, zeile),
            Qt::AlignLeft | Qt::AlignVCenter, e.text);
    }
    if (!stand_.Hinweis.empty()) hinweis(QRectF(feld.left(), feld.top() + 6, feld.width(), zeile * 1.5));
}

}  // namespace pavolant::qt
