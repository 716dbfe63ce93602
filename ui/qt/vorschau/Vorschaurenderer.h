// Draws the road preview with OpenGL into whatever framebuffer is bound: the ground
// around the road in an earth colour, the mesh parts in their colours, all lit from their
// vertex normals, optionally their triangle edges, the
// traffic curves as lines and the control points as markers on top. Used by the preview
// widget and, with an offscreen surface and a framebuffer object, by the views that have
// no OpenGL widget and by the benchmark.
//
// Every call except the constructor, SetzeDaten and the destructor needs the context
// that Initialisieren ran in to be current.
#pragma once

#include <QMatrix4x4>
#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "ui/qt/vorschau/Texturdatei.h"
#include "ui/qt/vorschau/Vorschaudaten.h"

namespace pavolant::qt {

struct Darstellung {
    bool Drahtgitter = false;  // triangle edges over the surfaces
    int Aktuell = -1;          // control point index drawn highlighted; -1: none
    // The surfaces as a checker in their texture coordinates instead of their colours:
    // a quarter of a texture repeat per cell, each cell of a repeat in a colour of its
    // own and numbered 1 to 16 (row by row, U across, V down), the digits drawn in the
    // cell's own U and V, so a mirrored, shifted or restarted texture shows as a changed
    // sequence and a mirrored one as mirrored digits.
    bool UvKaro = false;
    // The surfaces with their textures (Vorschaurenderer::SetzeTexturen), lit; a part
    // without one in its colour. UvKaro wins when both are on.
    bool Texturen = false;
    // Heights drawn this many times as high (1 to 10), about the middle of the framed
    // box, so that a crest of a few metres on a long road can be seen.
    float Ueberhoehung = 1.0f;
    // The traffic curves; drawn a little toward the eye, so the road never covers them.
    bool Kurven = true;
    // The ground around the road (Vorschaudaten::Boden), lit, under the road; the grid is
    // left out while it is drawn, since the ground would cut through it.
    bool Gelaende = true;
};

class Vorschaurenderer : protected QOpenGLFunctions {
public:
    Vorschaurenderer() = default;
    Vorschaurenderer(const Vorschaurenderer&) = delete;
    Vorschaurenderer& operator=(const Vorschaurenderer&) = delete;

    // Compiles the shaders. False, with the compiler's log in `fehler`, when they fail.
    bool Initialisieren(QString* fehler = nullptr);
    // New data; uploaded at the next draw. Null: nothing but the background.
    void SetzeDaten(std::shared_ptr<const Vorschaudaten> daten);
    // One frame into the bound framebuffer, `breite` x `hoehe` device pixels.
    void Zeichnen(const QMatrix4x4& ansichtProjektion, const Darstellung& darstellung, int breite, int hoehe);
    // The textures of the parts, by Netzteil (null: the part's colour); uploaded with
    // their mipmaps at the next draw in Texturen mode.
    void SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen);
    // Frees the buffers, textures and the program; Initialisieren may run again afterwards.
    void Freigeben();

    // Whether the data's arrays fit the graphics buffers (each at most 2 GiB); larger
    // meshes are not drawn.
    static bool PasstInPuffer(const Vorschaudaten& daten);

private:
    void Hochladen();
    void KantenHochladen();
    void TexturenHochladen();

    bool bereit_ = false;
    std::shared_ptr<const Vorschaudaten> daten_;
    bool neu_ = false;         // daten_ not yet uploaded
    bool zeichenbar_ = false;  // the uploaded data fit the buffers
    std::unique_ptr<QOpenGLShaderProgram> programm_;
    QOpenGLBuffer vertices_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer indizes_{QOpenGLBuffer::IndexBuffer};
    QOpenGLBuffer kanten_{QOpenGLBuffer::IndexBuffer};  // built on the first wireframe frame
    bool kantenDa_ = false;
    std::vector<Vorschauteil> kantenTeile_;
    QOpenGLBuffer linien_{QOpenGLBuffer::VertexBuffer};  // curves, then markers
    struct Bereich {
        Verkehrskurve Kurve;
        int Erster, Anzahl;  // vertices of linien_
    };
    std::vector<Bereich> kurven_;
    int markenErster_ = 0, markenAnzahl_ = 0;
    int gitterErster_ = 0, gitterAnzahl_ = 0;  // vertices of linien_, in pairs
    // Textures: the pictures asked for, and the names of those on the card (0: none).
    std::array<std::shared_ptr<const Texturbild>, 4> texturen_;
    std::array<unsigned int, 4> texturNamen_{};
    bool texturenNeu_ = false;
    unsigned int ziffernName_ = 0;  // the digit atlas of the numbered checker
    int ortModus_ = -1, ortTextur_ = -1, ortZiffern_ = -1;
    int ortAugeClip_ = -1, ortHeben_ = -1;
    // The ground's mesh: uploaded with the data, kept while the same ground comes again.
    QOpenGLBuffer bodenVertices_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer bodenIndizes_{QOpenGLBuffer::IndexBuffer};
    std::shared_ptr<const Vorschauboden> bodenHochgeladen_;
    int bodenIndizesAnzahl_ = 0;
    int ortNormalenSkala_ = -1;
    int ortMvp_ = -1, ortLicht_ = -1, ortFarbe_ = -1, ortBeleuchtet_ = -1, ortPunktgroesse_ = -1;
};

}  // namespace pavolant::qt
