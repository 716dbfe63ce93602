// Counting pixels of a colour in the road preview's pictures.
#pragma once

#include "ui/qt/Vorschaudaten.h"

#include <QImage>

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
            const float r = static_cast<float>(qRed(p)), g = static_cast<float>(qGreen(p)), b = static_cast<float>(qBlue(p));
            const float k = (r * cr + g * cg + b * cb) / cc;
            if (k < von || k > bis) continue;
            const float dr = r - k * cr, dg = g - k * cg, db = b - k * cb;
            if (dr * dr + dg * dg + db * db < 6 * 6) ++n;
        }
    return n;
}

}  // namespace pavolant::test
