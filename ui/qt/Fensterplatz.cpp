#include "ui/qt/Fensterplatz.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace pavolant::qt {

namespace {

// The strip of a frame the user drags it by: about a title bar's height, and a part of
// its width that a mouse can hit.
constexpr int kTitelHoehe = 24;
constexpr int kGriffBreite = 100;
// Gap between two windows opened side by side.
constexpr int kAbstand = 8;

// One coordinate of InBereich: a frame of length `laenge` starting at `anfang`, inside
// the interval [von, von + platz).
int Eingepasst(int anfang, int laenge, int von, int platz) {
    return std::clamp(anfang, von, von + std::max(0, platz - laenge));
}

QMargins Rahmenraender(const QWidget& w) {
    const QRect aussen = w.frameGeometry(), innen = w.geometry();
    return {innen.left() - aussen.left(), innen.top() - aussen.top(), aussen.right() - innen.right(),
            aussen.bottom() - innen.bottom()};
}

}  // namespace

QRect InBereich(QRect rahmen, const QRect& bereich) {
    rahmen.setSize(rahmen.size().boundedTo(bereich.size()));
    rahmen.moveTo(Eingepasst(rahmen.x(), rahmen.width(), bereich.x(), bereich.width()),
                  Eingepasst(rahmen.y(), rahmen.height(), bereich.y(), bereich.height()));
    return rahmen;
}

bool TitelErreichbar(const QRect& rahmen, const QList<QRect>& bereiche) {
    const QRect titel(rahmen.topLeft(), QSize(rahmen.width(), kTitelHoehe));
    const int breit = std::min(kGriffBreite, rahmen.width());
    return std::any_of(bereiche.begin(), bereiche.end(), [&](const QRect& b) {
        const QRect sichtbar = titel.intersected(b);
        return sichtbar.width() >= breit && sichtbar.height() >= kTitelHoehe / 2;
    });
}

QPoint Wiederhergestellt(QPoint gespeichert, QSize rahmen, const QList<QRect>& bereiche,
                         const QRect& primaer) {
    if (TitelErreichbar(QRect(gespeichert, rahmen), bereiche)) return gespeichert;
    return InBereich(QRect(gespeichert, rahmen), primaer).topLeft();
}

QPoint Entwurfsplatz(QPoint entwurf, QSize rahmen, const QRect& bereich) {
    // In 64 bits: the sum must not overflow for any size.
    if (static_cast<long long>(entwurf.x()) + rahmen.width() >
        static_cast<long long>(bereich.x()) + bereich.width())
        entwurf.setX(bereich.x() + 1);
    if (static_cast<long long>(entwurf.y()) + rahmen.height() >
        static_cast<long long>(bereich.y()) + bereich.height())
        entwurf.setY(bereich.y() + 1);
    // A frame as large as the area or larger: 1 pixel in would still cut its far edge.
    return InBereich(QRect(entwurf, rahmen), bereich).topLeft();
}

QSize Rahmengroesse(QSize innen, const QWidget& fenster, const QWidget& bezug) {
    // Before it is shown a window has no frame yet; the desktop will give it one like the
    // one it gave the window beside it.
    const QMargins r =
        fenster.frameGeometry() != fenster.geometry() ? Rahmenraender(fenster) : Rahmenraender(bezug);
    return innen.grownBy(r);
}

QRect DanebenRahmen(const QRect& neben, QSize rahmen, int kleinsteBreite, const QRect& bereich) {
    const int rechtsFrei = bereich.right() - neben.right() - kAbstand;
    const int linksFrei = neben.left() - kAbstand - bereich.left();
    const bool rechts =
        rahmen.width() <= rechtsFrei || (rahmen.width() > linksFrei && rechtsFrei >= linksFrei);
    if (rahmen.width() > std::max(rechtsFrei, linksFrei))
        rahmen.setWidth(std::max(kleinsteBreite, std::max(rechtsFrei, linksFrei)));
    const int x = rechts ? neben.right() + 1 + kAbstand : neben.left() - kAbstand - rahmen.width();
    return InBereich(QRect(QPoint(x, neben.top()), rahmen), bereich);
}

void Daneben(QWidget& fenster, const QWidget& bezug) {
    const QScreen* schirm = bezug.screen();
    if (!schirm) return;
    const QSize innen = fenster.size();
    const QSize aussen = Rahmengroesse(innen, fenster, bezug);
    const int rand = aussen.width() - innen.width();
    const int kleinste = std::max(fenster.minimumWidth(), innen.width() / 2) + rand;
    const QRect ziel = DanebenRahmen(bezug.frameGeometry(), aussen, std::min(kleinste, aussen.width()),
                                     schirm->availableGeometry());
    const QSize neu = (innen - (aussen - ziel.size())).expandedTo(fenster.minimumSize());
    if (neu != innen) fenster.resize(neu);
    // A top-level window's move places its frame.
    fenster.move(ziel.topLeft());
}

}  // namespace pavolant::qt
