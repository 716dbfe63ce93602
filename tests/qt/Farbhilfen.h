// Counting pixels of a colour in the road preview's pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <cstdlib>

#include "ui/qt/vorschau/Vorschaudaten.h"

namespace pavolant::test {

// Pixels of a picture whose colour is `farbe` at some brightness between `von` and `bis`
// (lighting scales a part's colour), within a few steps of rounding.
inline int Farbpixel(const QImage& bild, const qt::Farbe& farbe, float von, float bis) {
    const float cr = farbe[0] * 255, cg = farbe[1] * 255, cb = farbe[2] * 255;
    const float cc = cr * cr + cg * cg + cb * cb;
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb p = bild.pixel(x, y);
            const float r = static_cast<float>(qRed(p)), g = static_cast<float>(qGreen(p)),
                        b = static_cast<float>(qBlue(p));
            const float k = (r * cr + g * cg + b * cb) / cc;
            if (k < von || k > bis) continue;
            const float dr = r - k * cr, dg = g - k * cg, db = b - k * cb;
            if (dr * dr + dg * dg + db * db < 6 * 6) ++n;
        }
    return n;
}

// How much of a label `bild` shows crisply: the text drawn by itself in `farbe` with
// `schrift`, centred in `feld` (logical pixels) as the preview draws its labels, on
// white; of the pixels it covers all but fully, the share that `bild` shows in that
// colour too. Near 1 for upright text where it belongs; a sheared, mirrored or
// displaced text covers other pixels.
inline double Textdeckung(const QImage& bild, const QRectF& feld, const QString& text, const QFont& schrift,
                          const QColor& farbe) {
    QImage muster(bild.size(), QImage::Format_ARGB32_Premultiplied);
    muster.setDevicePixelRatio(bild.devicePixelRatio());
    muster.fill(Qt::white);
    {
        QPainter maler(&muster);
        maler.setFont(schrift);
        maler.setPen(farbe);
        maler.drawText(feld, Qt::AlignCenter, text);
    }
    auto abstand = [&farbe](QRgb p) {
        return std::abs(qRed(p) - farbe.red()) + std::abs(qGreen(p) - farbe.green()) +
               std::abs(qBlue(p) - farbe.blue());
    };
    int soll = 0, ist = 0;
    for (int y = 0; y < muster.height(); ++y)
        for (int x = 0; x < muster.width(); ++x)
            if (abstand(muster.pixel(x, y)) < 30) {
                ++soll;
                if (abstand(bild.pixel(x, y)) < 60) ++ist;
            }
    return soll > 0 ? static_cast<double>(ist) / soll : 0.0;
}

}  // namespace pavolant::test
