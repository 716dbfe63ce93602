// The small drawing surface the border profiles draw on: the profile view implements
// it on a retained image, tests record the strokes.
#pragma once

#include <cstdint>

namespace pavolant {

class Zeichenflaeche {
public:
    virtual ~Zeichenflaeche() = default;
    virtual int Breite() const = 0;  // pixels
    virtual int Hoehe() const = 0;   // pixels
    // Colour as 0x00BBGGRR (255 is red); width in pixels.
    virtual void Stift(std::uint32_t farbe, int breite) = 0;
    // The whole surface in one colour (0x00BBGGRR).
    virtual void Fuellen(std::uint32_t farbe) = 0;
    virtual void BewegeZu(int x, int y) = 0;
    virtual void LinieZu(int x, int y) = 0;
};

}  // namespace pavolant
