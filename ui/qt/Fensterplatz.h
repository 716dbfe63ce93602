// Where top-level windows go on the desktop. Every rectangle here is a window's frame
// (title bar and border included) in virtual-desktop pixels, and every area is what a
// screen leaves to windows (QScreen::availableGeometry: without task bars and docks).
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace pavolant::qt {

// The frame `rahmen` moved into `bereich`; a frame larger than the area is first cut to
// the area's size, so its top-left corner, where the title bar begins, is always inside.
QRect InBereich(QRect rahmen, const QRect& bereich);

// Whether the title bar of `rahmen` (its top strip) lies on one of the `bereiche` far
// enough to be grabbed with the mouse and the window dragged back.
bool TitelErreichbar(const QRect& rahmen, const QList<QRect>& bereiche);

// The top-left corner for a window of frame size `rahmen` whose stored top-left corner is
// `gespeichert`: as stored while its title bar can be grabbed on a screen that exists
// now, else moved inside `primaer` (the primary screen's area), as near as it gets.
QPoint Wiederhergestellt(QPoint gespeichert, QSize rahmen, const QList<QRect>& bereiche,
                         const QRect& primaer);

// The first place of a window that has none stored, `entwurf`: an edge that would put
// the frame past the area's right or bottom edge moves to 1 pixel inside the area's left
// or top edge (nearer still where the frame is the area's size).
QPoint Entwurfsplatz(QPoint entwurf, QSize rahmen, const QRect& bereich);

// The frame's size for a window of client size `innen`: the frame margins of `fenster`
// where it has a frame already, else those of `bezug` (a window the desktop has framed).
QSize Rahmengroesse(QSize innen, const QWidget& fenster, const QWidget& bezug);

// The frame of a window of frame size `rahmen` opened beside the frame `neben`: to its
// right where the area has room, else to its left; where neither side has room, on the
// side with more, narrower down to `kleinsteBreite`, so that it covers as little of the
// window beside it as it can; in any case inside `bereich`.
QRect DanebenRahmen(const QRect& neben, QSize rahmen, int kleinsteBreite, const QRect& bereich);

// Opens the top-level `fenster` beside `bezug`: to its right where the screen has room,
// else to its left, and in any case inside the available area of the screen `bezug` is
// on (narrower where neither side has room, down to half its width or its minimum size).
void Daneben(QWidget& fenster, const QWidget& bezug);

}  // namespace pavolant::qt
