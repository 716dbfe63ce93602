#include "generator/I3dDokument.h"

#include "model/Zahlen.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>

namespace pavolant {

namespace {

// Collects the text in a fixed buffer and hands it to the stream in pieces of up to
// kGroesse bytes: the document of a long road has millions of numbers, and per-number
// stream calls would cost more than formatting them. Numbers are formatted straight into
// the buffer; before each item the buffer is emptied if the item's longest form might not
// fit, so nothing is ever cut.
class Puffer {
public:
    explicit Puffer(std::ostream& aus)
        : aus_(aus),
          anfang_(std::make_unique_for_overwrite<char[]>(kGroesse)),
          z_(anfang_.get()),
          ende_(anfang_.get() + kGroesse) {}
    ~Puffer() { Leeren(); }
    Puffer(const Puffer&) = delete;
    Puffer& operator=(const Puffer&) = delete;

    Puffer& operator<<(std::string_view t) {
        if (t.size() > Frei()) {
            Leeren();
            if (t.size() > kGroesse) {  // a user's very long name goes through in one piece
                aus_.write(t.data(), static_cast<std::streamsize>(t.size()));
                return *this;
            }
        }
        std::memcpy(z_, t.data(), t.size());
        z_ += t.size();
        return *this;
    }
    Puffer& Zahl(double wert) {
        Platz(kFest4MaxLaenge);
        z_ += SchreibeFest4(z_, wert);
        return *this;
    }
    Puffer& Ganz(std::int64_t wert) {
        constexpr std::size_t kMaxStellen = 20;  // "-9223372036854775808"
        Platz(kMaxStellen);
        // Indices and counts fit 32 bits, where the conversion is quicker; the digits are the same.
        if (wert >= 0 && wert <= std::numeric_limits<std::uint32_t>::max())
            z_ = std::to_chars(z_, z_ + kMaxStellen, static_cast<std::uint32_t>(wert)).ptr;
        else
            z_ = std::to_chars(z_, z_ + kMaxStellen, wert).ptr;
        return *this;
    }
    Puffer& Drei(double a, double b, double c) {
        Zahl(a);
        Zeichen(' ');
        Zahl(b);
        Zeichen(' ');
        return Zahl(c);
    }
    // Ends the line with CR LF.
    void Zeile() {
        Platz(2);
        *z_++ = '\r';
        *z_++ = '\n';
    }
    void Zeile(std::string_view t) {
        *this << t;
        Zeile();
    }

private:
    static constexpr std::size_t kGroesse = std::size_t{64} << 10;

    std::size_t Frei() const { return static_cast<std::size_t>(ende_ - z_); }
    void Platz(std::size_t n) {
        if (Frei() < n) Leeren();
    }
    void Zeichen(char c) {
        Platz(1);
        *z_++ = c;
    }
    void Leeren() {
        aus_.write(anfang_.get(), static_cast<std::streamsize>(z_ - anfang_.get()));
        z_ = anfang_.get();
    }

    std::ostream& aus_;
    std::unique_ptr<char[]> anfang_;
    char* z_;     // next free byte
    char* ende_;  // one past the buffer
};

constexpr std::array<const char*, 4> kMaterialName = {"road_diffuse", "rightEdge_diffuse", "leftEdge_diffuse",
                                                      "Front_mat"};
constexpr std::array<const char*, 3> kKurvenName = {"splineMitte", "splineRechts", "splineLinks"};

void Kopf(Puffer& p, const I3dDokument& d) {
    p.Zeile("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>");
    p << "<i3D name=\"Pavolant\" version=\"1.6\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\""
      << kI3dSchemaAdresse << "\">";
    p.Zeile();
    p.Zeile("  <Asset>");
    p.Zeile("    <Export program=\"Pavolant 1.6 by Quenlor\" version=\"2.0.1\"/>");
    p.Zeile("  </Asset>");
    p.Zeile("");
    p.Zeile("  <Files>");
    for (std::size_t i = 0; i < d.Teile.size(); ++i) {
        if (!d.Teile[i]) continue;
        p << "    <File fileId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 1)
            << "\" filename=\"" << XmlAttributLatin1(*d.Teile[i]) << "\" relativePath=\"true\"/>";
        p.Zeile();
    }
    p.Zeile("  </Files>");
    p.Zeile("");
    p.Zeile("  <Materials>");
    for (std::size_t i = 0; i < d.Teile.size(); ++i) {
        if (!d.Teile[i]) continue;
        p << "    <Material name=\"" << kMaterialName[i] << "\" materialId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 11) << "\" ambientColor=\"1 1 1\">";
        p.Zeile();
        p << "      <Texture fileId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 1) << "\"/>";
        p.Zeile();
        p.Zeile("    </Material>");
    }
    p.Zeile("  </Materials>");
    p.Zeile("");
    p.Zeile("  <Shapes>");
}

void Kurven(Puffer& p, const I3dDokument& d) {
    for (std::size_t i = 0; i < d.Kurven.size(); ++i) {
        if (!d.Kurven[i]) continue;
        p << "    <NurbsCurve name=\"" << kKurvenName[i] << "\" shapeId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 11) << "\" degree=\"3\" form=\"open\">";
        p.Zeile();
        for (const Kurvenpunkt& k : *d.Kurven[i]) {
            p << "<cv c=\"";
            p.Drei(k.X, k.Y, k.Z) << "\"/>";
            p.Zeile();
        }
        p.Zeile("    </NurbsCurve>");
    }
}

// The mesh's bounding sphere as the document states it: the box's centre and the
// distance from it to a corner.
struct Huellkugel {
    double cx, cy, cz, radius;
};
Huellkugel KugelUm(const Netz& n) {
    const double cx = (n.BoxMin[0] + n.BoxMax[0]) / 2;
    const double cy = (n.BoxMin[1] + n.BoxMax[1]) / 2;
    const double cz = (n.BoxMin[2] + n.BoxMax[2]) / 2;
    const double dx = n.BoxMax[0] - cx, dy = n.BoxMax[1] - cy, dz = n.BoxMax[2] - cz;
    return {cx, cy, cz, std::sqrt(dx * dx + dy * dy + dz * dz)};
}

void Dreiecksnetz(Puffer& p, const Netz& n) {
    const auto [cx, cy, cz, radius] = KugelUm(n);

    p << "     <IndexedTriangleSet name=\"Road\" shapeId=\"1\" bvCenter=\"";
    p.Drei(cx, cy, cz) << "\" bvRadius=\"";
    p.Zahl(radius) << "\" isOptimized=\"true\">";
    p.Zeile();
    p << "        <Vertices count=\"";
    p.Ganz(static_cast<std::int64_t>(n.Vertices.size()))
        << "\" normal=\"true\" uv0=\"true\" tangent=\"true\">";
    p.Zeile();
    for (const NetzVertex& v : n.Vertices) {
        p << "          <v p=\"";
        p.Drei(v.X, v.Y, v.Z) << "\" n=\"";
        p.Drei(v.NX, v.NY, v.NZ) << "\" t0=\"";
        p.Zahl(v.U) << " ";
        p.Zahl(v.V) << "\" />";
        p.Zeile();
    }
    p.Zeile("        </Vertices>");
    p << "        <Triangles count=\"";
    p.Ganz(static_cast<std::int64_t>(n.Dreiecke.size())) << "\">";
    p.Zeile();
    for (const NetzDreieck& t : n.Dreiecke) {
        p << "          <t vi=\"";
        p.Ganz(t.A) << " ";
        p.Ganz(t.B) << " ";
        p.Ganz(t.C) << "\" />";
        p.Zeile();
    }
    p.Zeile("        </Triangles>");
    p << "        <Subsets count=\"";
    p.Ganz(static_cast<std::int64_t>(n.Subsets.size())) << "\">";
    p.Zeile();
    for (const NetzSubset& s : n.Subsets) {
        p << "          <Subset firstVertex=\"";
        p.Ganz(s.ErsterVertex) << "\" numVertices=\"";
        p.Ganz(s.AnzahlVertices) << "\" firstIndex=\"";
        p.Ganz(s.ErsterIndex) << "\" numIndices=\"";
        p.Ganz(s.AnzahlIndizes) << "\"/>";
        p.Zeile();
    }
    p.Zeile("        </Subsets>");
    p.Zeile("      </IndexedTriangleSet>");
}

void Szene(Puffer& p, const I3dDokument& d) {
    p.Zeile("    <Scene>");
    for (std::size_t i = 0; i < d.Kurven.size(); ++i) {
        if (!d.Kurven[i]) continue;
        p << "       <Shape name=\"" << kKurvenName[i] << "\" translation=\"0 0 0\" nodeId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 11) << "\" shapeId=\"";
        p.Ganz(static_cast<std::int64_t>(i) + 11) << "\"/>";
        p.Zeile();
    }

    const bool netz = d.NetzVorhanden();
    if (netz) {
        p << "       <Shape name=\"" << XmlAttributLatin1(d.ShapeName)
          << "\" static=\"true\" clipDistance=\"500\" nodeId=\"1\" materialIds=\"";
        // One material per Subset, in Subset order; the fill has two faces.
        bool erstes = true;
        for (std::size_t i = 0; i < d.Teile.size(); ++i) {
            if (!d.Teile[i]) continue;
            if (!erstes) p << ", ";
            erstes = false;
            p << (i == 0 ? "11" : i == 1 ? "12" : i == 2 ? "13" : "14, 14");
        }
        p << "\" shapeId=\"1\" receiveShadows=\"true\"";
    } else {
        p << "       <TransformGroup name=\"" << XmlAttributLatin1(d.ShapeName) << "\" nodeId=\"1\" ";
    }

    if (!d.TransformGroup) {
        p.Zeile("/>");
    } else {
        p.Zeile(">");
        std::int64_t k = 0;
        for (const SplinePktMarke& m : d.Marken) {
            ++k;
            p << "        <TransformGroup name=\"SplinePkt";
            p.Ganz(k) << "\" translation=\"";
            p.Drei(m.X, m.Y, m.Z) << "\" rotation=\"";
            p.Drei(m.Xrot, m.Yrot, m.Zrot) << "\" nodeId=\"";
            p.Ganz(20 + k) << "\"/>";
            p.Zeile();
        }
        p.Zeile(netz ? "      </Shape>" : "      </TransformGroup>");
    }
    p.Zeile("    </Scene>");
}

}  // namespace

bool I3dDokument::NetzVorhanden() const {
    for (const auto& t : Teile)
        if (t) return true;
    return false;
}

bool I3dZahlenSchreibbar(const I3dDokument& d) {
    const auto endlich = [](std::initializer_list<double> werte) {
        for (const double w : werte)
            if (!std::isfinite(w)) return false;
        return true;
    };
    for (const auto& kurve : d.Kurven) {
        if (!kurve) continue;
        for (const Kurvenpunkt& k : *kurve)
            if (!endlich({k.X, k.Y, k.Z})) return false;
    }
    if (d.NetzVorhanden() && d.Dreiecksnetz) {
        const Netz& n = *d.Dreiecksnetz;
        const Huellkugel kugel = KugelUm(n);
        if (!endlich({kugel.cx, kugel.cy, kugel.cz, kugel.radius})) return false;
        for (const NetzVertex& v : n.Vertices)
            if (!endlich({v.X, v.Y, v.Z, v.NX, v.NY, v.NZ, v.U, v.V})) return false;
    }
    if (d.TransformGroup)
        for (const SplinePktMarke& m : d.Marken)
            if (!endlich({m.X, m.Y, m.Z, m.Xrot, m.Yrot, m.Zrot})) return false;
    return true;
}

void I3dSchreiben(std::ostream& aus, const I3dDokument& d) {
    Puffer p(aus);
    Kopf(p, d);
    Kurven(p, d);
    if (d.NetzVorhanden()) {
        static const Netz kLeer;
        Dreiecksnetz(p, d.Dreiecksnetz ? *d.Dreiecksnetz : kLeer);
    }
    p.Zeile("  </Shapes>");
    p.Zeile("");
    p.Zeile("  <Dynamics>");
    p.Zeile("  </Dynamics>");
    p.Zeile("");
    Szene(p, d);
    p.Zeile("</i3D>");
}

bool XmlZeichenErlaubt(std::uint32_t c) {
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
    if (c <= 0xD7FF) return true;
    if (c <= 0xDFFF) return false;  // surrogates: halves of UTF-16 pairs, no characters
    if (c <= 0xFFFD) return true;
    return c >= 0x10000 && c <= 0x10FFFF;
}

std::string XmlAttributLatin1(std::string_view s) {
    std::string aus;
    aus.reserve(s.size());
    auto zeichen = [&aus](std::uint32_t c) {
        switch (c) {
            case '&':
                aus += "&amp;";
                return;
            case '<':
                aus += "&lt;";
                return;
            case '>':
                aus += "&gt;";
                return;
            case '"':
                aus += "&quot;";
                return;
            case '\'':
                aus += "&apos;";
                return;
            default:
                break;
        }
        // XML 1.0 forbids some code points even as character references: the C0
        // controls but tab, LF and CR, the surrogates and U+FFFE/U+FFFF. A reader
        // rejects the whole document for one of them, so they become U+FFFD. Tab, LF
        // and CR are kept as references, which survive attribute value normalisation.
        if (!XmlZeichenErlaubt(c))
            aus += "&#65533;";
        else if (c < 0x20 || c > 0xFF || (c >= 0x7F && c < 0xA0))
            aus += "&#" + std::to_string(c) + ";";
        else
            aus.push_back(static_cast<char>(c));
    };
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t laenge = b < 0x80           ? 1
                             : (b >> 5) == 0x6  ? 2
                             : (b >> 4) == 0xE  ? 3
                             : (b >> 3) == 0x1E ? 4
                                                : 0;
        std::uint32_t c = laenge == 1   ? b
                          : laenge == 2 ? (b & 0x1Fu)
                          : laenge == 3 ? (b & 0x0Fu)
                                        : (b & 0x07u);
        bool gueltig = laenge != 0 && i + laenge <= s.size();
        for (std::size_t k = 1; gueltig && k < laenge; ++k) {
            const auto f = static_cast<unsigned char>(s[i + k]);
            if ((f & 0xC0) != 0x80) gueltig = false;
            c = (c << 6) | (f & 0x3Fu);
        }
        if (gueltig) {
            const bool zuLang =
                (laenge == 2 && c < 0x80) || (laenge == 3 && c < 0x800) || (laenge == 4 && c < 0x10000);
            if (zuLang || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) gueltig = false;
        }
        if (!gueltig) {
            zeichen(b);  // a stray byte is read as the ISO-8859-1 character it names
            ++i;
            continue;
        }
        zeichen(c);
        i += laenge;
    }
    return aus;
}

}  // namespace pavolant
