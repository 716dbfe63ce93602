// The i3d 1.6 scene document the level editor loads. The text is fixed to the byte:
// CR LF line ends, ISO-8859-1, the indentation below (which does not follow the nesting,
// and the editor's readers expect it as it is), and every decimal number in the fixed
// four-decimal format.
#pragma once

#include "model/Netz.h"

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

// The published schema address that the editor's own 1.6 files carry.
inline constexpr std::string_view kI3dSchemaAdresse = "http://i3d.giants.ch/schema/i3d-1.6.xsd";

// The four mesh parts in their fixed order (Subsets, materials, files).
enum class Netzteil { Fahrbahn = 0, RandRechts = 1, RandLinks = 2, Fuellung = 3 };

// The three traffic curves in their fixed order.
enum class Verkehrskurve { Mitte = 0, Rechts = 1, Links = 2 };

struct SplinePktMarke {
    double X, Y, Z;           // metres
    double Xrot, Yrot, Zrot;  // degrees
};

struct I3dDokument {
    std::string ShapeName;  // UTF-8; goes to the scene node
    // Texture file name (UTF-8) of each mesh part that is on; a part that is off has none.
    std::array<std::optional<std::string>, 4> Teile;
    // Control points of each traffic curve that is on (null: off), read where the build's
    // result keeps them: a 100 km road's curves are half a megabyte.
    std::array<const std::vector<Kurvenpunkt>*, 3> Kurven{};
    // The mesh; written when at least one part is on.
    const Netz* Dreiecksnetz = nullptr;
    // Spline point markers under the main node ("Generate TransformGroup").
    bool TransformGroup = false;
    std::vector<SplinePktMarke> Marken;

    bool NetzVorhanden() const;
};

// Writes the whole document. Throws std::domain_error when a number is not finite
// (nothing the editor could read); the stream's own errors are the caller's to check.
void I3dSchreiben(std::ostream& aus, const I3dDokument& dokument);

// Whether I3dSchreiben would write `dokument` whole: every number it writes is finite
// (the bounding sphere's radius included). Reads the numbers without formatting them.
bool I3dZahlenSchreibbar(const I3dDokument& dokument);

// A user's text (UTF-8) as an attribute value in ISO-8859-1: the five XML special
// characters as entities, characters beyond ISO-8859-1 as numeric character references,
// so any name gives a well-formed document. Bytes that are not UTF-8 (stray bytes,
// overlong forms, encoded surrogates as CESU-8 writes them) are taken one by one as
// ISO-8859-1 characters. A code point XML 1.0 forbids becomes a reference to U+FFFD.
std::string XmlAttributLatin1(std::string_view utf8);

// Whether XML 1.0 allows the code point in a document, as a character or a reference:
// #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | [#x10000-#x10FFFF].
bool XmlZeichenErlaubt(std::uint32_t codepunkt);

}  // namespace pavolant
