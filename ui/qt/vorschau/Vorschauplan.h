// The road seen from above, drawn with QPainter: the roadway between its edges, the
// centre line (a crimson band along connections that leave the ground as it is), and the run's control points
// numbered from 1 as the point editor numbers them, the editor's current point highlighted. The points are
// the road's as it stands (the live preview hands them on even when the road does not build).
//
// Editing: a click on a point makes it the current one; dragging it moves its X and Z
// (to the centimetre), Shift+drag turns its heading towards the cursor; the change is
// handed on when the button is released, as one change. The wheel zooms toward the
// point under the cursor, the right or middle button pans, a double click on no point
// shows the whole road again.
//
// Orientation: level X runs to the right and level Z downwards, which is the view from
// above (+Y) in the level's right-handed, Y-up coordinates.
#pragma once

#include <QImage>
#include <QMouseEvent>
#include <QPointF>
#include <QWheelEvent>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/qt/vorschau/Vorschaudaten.h"

namespace pavolant::qt {

class Vorschauplan : public QWidget {
public:
    explicit Vorschauplan(QWidget* eltern = nullptr);

    void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten);
    // The point editor's current point (index, 0-based); out of range: none highlighted.
    void SetzeAktuell(int index);
    int Aktuell() const { return aktuell_; }
    // Each control point's switch "leave terrain" (index i: the connection from point i to
    // point i + 1), as the window has them; such connections are drawn crimson.
    void SetzeGelassen(std::vector<bool> gelassen);
    // The ground's relief under the road (on at first), where the data have a ground.
    void SetzeGelaende(bool an);
    bool Gelaende() const { return gelaende_; }

    // Where the level point (x, z) lies in the widget at its present size and zoom.
    QPointF AufBild(double x, double z) const;
    // The level X, Z under the widget position `bild`.
    std::array<double, 2> AusBild(QPointF bild) const;

    // What the edits of the points ask for; unset ones are not offered.
    struct Bearbeitung {
        std::function<void(int index)> Gewaehlt;
        std::function<void(int index, double x, double z)> Verschoben;
        std::function<void(int index, double dX, double dZ)> Gedreht;
    };
    void SetzeBearbeitung(Bearbeitung bearbeitung) { bearbeitung_ = std::move(bearbeitung); }
    // The whole road again: no zoom, no pan.
    void Ganz();
    double Zoom() const { return zoom_; }
    // The picture as it is drawn now.
    QImage Bild();

    // A control point's marker as drawn: its number, its place in the widget, and
    // whether it is the highlighted one. In the run's order; none without a road.
    struct Beschriftung {
        QString Text;
        QPointF Punkt;
        bool Aktuell;
    };
    std::vector<Beschriftung> Beschriftungen() const;

    // A scale bar's length as its label reads: "50 m", "2 km".
    static QString Laengentext(double meter);

    // Radius of a control point's marker and of the highlighted one, pixels.
    static constexpr double kMarkenRadius = 5.0, kAktuellRadius = 8.0;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void mousePressEvent(QMouseEvent* ereignis) override;
    void mouseMoveEvent(QMouseEvent* ereignis) override;
    void mouseReleaseEvent(QMouseEvent* ereignis) override;
    void mouseDoubleClickEvent(QMouseEvent* ereignis) override;
    void wheelEvent(QWheelEvent* ereignis) override;

private:
    struct Abbildung {
        double Skala = 1, MitteX = 0, MitteZ = 0;
        bool Gueltig = false;
    };
    Abbildung Berechnen() const;

    // The point under the widget position, if a marker is there.
    std::optional<int> PunktBei(QPointF bild) const;

    std::shared_ptr<const Vorschaudaten> daten_;
    // The relief as a picture, made once per ground.
    std::shared_ptr<const Vorschauboden> reliefVon_;
    QImage relief_;
    bool gelaende_ = true;
    int aktuell_ = -1;
    std::vector<bool> gelassen_;
    Bearbeitung bearbeitung_;
    double zoom_ = 1;        // on top of the scale that shows the whole road
    QPointF versatz_{0, 0};  // pan, pixels
    // A point being dragged: which, where the mouse is, whether it turns the heading.
    struct Zug {
        int Index;
        QPointF Start, Jetzt;
        bool Drehen;
    };
    std::optional<Zug> zug_;
    std::optional<QPointF> schwenk_;  // the last position of a pan under way
};

}  // namespace pavolant::qt
