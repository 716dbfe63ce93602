// The road seen from above, drawn with QPainter: the roadway between its edges, the
// centre line, and the control points numbered as the point editor numbers them (from
// 1), the editor's current point highlighted. The picture always shows the whole road.
//
// Orientation: level X runs to the right and level Z downwards, which is the view from
// above (+Y) in the level's right-handed, Y-up coordinates.
#pragma once

#include "ui/qt/Vorschaudaten.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <memory>

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
