// The road seen from above, drawn with QPainter: the roadway between its edges, the
// centre line, and the run's control points numbered from 1 as the point editor numbers
// them, the editor's current point highlighted. The points are those of the last run:
// after the user inserts or deletes points, number k is the run's point k until the next
// run. The picture always shows the whole road.
//
// Orientation: level X runs to the right and level Z downwards, which is the view from
// above (+Y) in the level's right-handed, Y-up coordinates.
#pragma once

#include "ui/qt/Vorschaudaten.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <memory>
#include <vector>

namespace pavolant::qt {

class Vorschauplan : public QWidget {
public:
    explicit Vorschauplan(QWidget* eltern = nullptr);

    void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten);
    // The point editor's current point (index, 0-based); out of range: none highlighted.
    void SetzeAktuell(int index);
    int Aktuell() const { return aktuell_; }

    // Where the level point (x, z) lies in the widget at its present size.
    QPointF AufBild(double x, double z) const;
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

    // Radius of a control point's marker and of the highlighted one, pixels.
    static constexpr double kMarkenRadius = 5.0, kAktuellRadius = 8.0;

protected:
    void paintEvent(QPaintEvent* ereignis) override;

private:
    struct Abbildung {
        double Skala = 1, MitteX = 0, MitteZ = 0;
        bool Gueltig = false;
    };
    Abbildung Berechnen() const;

    std::shared_ptr<const Vorschaudaten> daten_;
    int aktuell_ = -1;
};

}  // namespace pavolant::qt
