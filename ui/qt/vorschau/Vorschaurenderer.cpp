#include "ui/qt/vorschau/Vorschaurenderer.h"

#include <QOpenGLContext>
#include <QVector2D>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#ifndef GL_PROGRAM_POINT_SIZE
#define GL_PROGRAM_POINT_SIZE 0x8642
#endif

namespace pavolant::qt {

namespace {

// GLSL without a version line: Qt adapts it to desktop OpenGL 2.x compatibility
// contexts (Mesa's default) and to OpenGL ES 2.
constexpr const char* kVertexShader = R"(
attribute highp vec3 lage;
attribute mediump vec3 normale;
attribute highp vec2 uv;
uniform highp mat4 mvp;
uniform mediump vec3 licht;
uniform lowp vec4 farbe;
uniform mediump float beleuchtet;
uniform mediump float punktgroesse;
// Heights drawn e times as high tilt a surface's normal by (1, 1/e, 1) before it is
// normalised again; (1, 1, 1) leaves it as it is.
uniform mediump vec3 normalenSkala;
// The eye's place in clip space, (0, 0, c, 0), and the share of the way toward it that a
// vertex is moved: on the ray through the eye it keeps its place in the picture and
// only comes nearer in depth.
uniform highp vec4 augeClip;
uniform highp float heben;
varying lowp vec4 v_farbe;
varying mediump float v_hell;
varying highp vec2 v_uv;
void main() {
    // Lambert from one light above and in front, with an ambient share so that faces
    // turned away stay readable. A zero normal counts as lit.
    mediump vec3 nn = normale * normalenSkala;
    mediump float n = length(nn);
    mediump float diffus = n > 0.0 ? max(dot(nn / n, licht), 0.0) : 1.0;
    mediump float hell = mix(1.0, 0.38 + 0.62 * diffus, beleuchtet);
    v_farbe = vec4(farbe.rgb * hell, farbe.a);
    v_hell = hell;
    v_uv = uv;
    gl_Position = mix(mvp * vec4(lage, 1.0), augeClip, heben);
    gl_PointSize = punktgroesse;
}
)";

constexpr const char* kFragmentShader = R"(
varying lowp vec4 v_farbe;
varying mediump float v_hell;
varying highp vec2 v_uv;
uniform mediump float modus;  // 0: the part's colour, 1: numbered checker, 2: texture
uniform sampler2D textur;
uniform sampler2D ziffern;
void main() {
    if (modus < 0.5) {
        gl_FragColor = v_farbe;
        return;
    }
    if (modus > 1.5) {
        gl_FragColor = vec4(texture2D(textur, v_uv).rgb * v_hell, 1.0);
        return;
    }
    // Four cells a repeat in U and in V; the cell's place within its repeat picks one of
    // sixteen colours (hue from V, brightness from U), the repeat's parity darkens it.
    highp vec2 zelle = floor(v_uv * 4.0);
    highp vec2 inRepeat = zelle - 4.0 * floor(zelle / 4.0);
    mediump float hue = inRepeat.y / 4.0 + 0.05;
    mediump vec3 f = clamp(abs(mod(hue * 6.0 + vec3(0.0, 4.0, 2.0), 6.0) - 3.0) - 1.0, 0.0, 1.0);
    f = mix(f, vec3(1.0), 0.15 * inRepeat.x);
    mediump float wiederholung = mod(floor(v_uv.x) + floor(v_uv.y), 2.0);
    f *= 1.0 - 0.35 * wiederholung;
    // The cell's number (1..16, row by row) as two digits of the atlas in the middle of
    // the cell, drawn in the cell's own U (across) and V (down): a mirrored coordinate
    // mirrors the digits. Each digit is 3 x 5 texels with a column of space, at
    // (4 * digit + column, row) of the 64 x 8 atlas.
    highp vec2 lage = v_uv * 4.0 - zelle;
    highp vec2 feld = (lage - vec2(0.2, 0.25)) / vec2(0.6, 0.5);
    if (feld.x >= 0.0 && feld.x < 1.0 && feld.y >= 0.0 && feld.y < 1.0) {
        mediump float nummer = inRepeat.y * 4.0 + inRepeat.x + 1.0;
        highp float spalte = feld.x * 8.0;
        mediump float zweite = step(4.0, spalte);
        mediump float ziffer = mix(floor(nummer / 10.0), nummer - 10.0 * floor(nummer / 10.0), zweite);
        highp vec2 texel = vec2(4.0 * ziffer + floor(spalte - 4.0 * zweite) + 0.5, floor(feld.y * 5.0) + 0.5);
        mediump float strich = texture2D(ziffern, texel / vec2(64.0, 8.0)).r;
        f = mix(f, vec3(0.08), strich);
    }
    gl_FragColor = vec4(f * v_hell, 1.0);
}
)";

// The digits 0 to 9, 3 x 5 pixels each, rows from the top, one bit a pixel (the left
// pixel the highest of a row's three bits).
constexpr unsigned char kZiffern[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
constexpr int kAtlasBreite = 64, kAtlasHoehe = 8;

constexpr int kOrtLage = 0, kOrtNormale = 1, kOrtUv = 2;

// The share of its distance from the eye by which a traffic curve is drawn nearer. The
// curves run on the road as chords of its surface and would sink into it by centimetres
// here and there (dashes where the depth test lets the surface win); 0.4 % of the
// distance is a few centimetres up close and lifts them clear at every distance, while
// a border or a crest in front still hides them.
constexpr float kKurvenHeben = 0.004f;

const void* Versatz(std::uint64_t bytes) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes));
}

template <class T>
bool Passt(std::size_t anzahl) {
    return anzahl <= static_cast<std::size_t>(std::numeric_limits<int>::max()) / sizeof(T);
}

template <class T>
void Fuellen(QOpenGLBuffer& puffer, const std::vector<T>& daten) {
    if (!puffer.isCreated()) puffer.create();
    puffer.bind();
    puffer.allocate(daten.data(), static_cast<int>(daten.size() * sizeof(T)));
}

}  // namespace

bool Vorschaurenderer::PasstInPuffer(const Vorschaudaten& d) {
    std::size_t linien = d.Marken.size();
    for (const Vorschaukurve& k : d.Kurven) linien += k.Punkte.size();
    // The wireframe holds two indices per edge, six per triangle.
    return Passt<float>(d.Vertices.size()) && Passt<std::uint32_t>(d.Indizes.size()) &&
           Passt<std::uint32_t>(d.Indizes.size() * 2) && Passt<float>(linien);
}

bool Vorschaurenderer::Initialisieren(QString* fehler) {
    initializeOpenGLFunctions();
    programm_ = std::make_unique<QOpenGLShaderProgram>();
    const bool ok = programm_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) &&
                    programm_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader);
    if (ok) {
        programm_->bindAttributeLocation("lage", kOrtLage);
        programm_->bindAttributeLocation("normale", kOrtNormale);
        programm_->bindAttributeLocation("uv", kOrtUv);
    }
    if (!ok || !programm_->link()) {
        if (fehler) *fehler = programm_->log();
        programm_.reset();
        bereit_ = false;
        return false;
    }
    ortMvp_ = programm_->uniformLocation("mvp");
    ortLicht_ = programm_->uniformLocation("licht");
    ortFarbe_ = programm_->uniformLocation("farbe");
    ortBeleuchtet_ = programm_->uniformLocation("beleuchtet");
    ortModus_ = programm_->uniformLocation("modus");
    ortTextur_ = programm_->uniformLocation("textur");
    ortZiffern_ = programm_->uniformLocation("ziffern");
    ortPunktgroesse_ = programm_->uniformLocation("punktgroesse");
    ortAugeClip_ = programm_->uniformLocation("augeClip");
    ortHeben_ = programm_->uniformLocation("heben");
    ortNormalenSkala_ = programm_->uniformLocation("normalenSkala");
    // The digit atlas: white strokes on black, sampled texel by texel.
    std::vector<std::uint8_t> atlas(kAtlasBreite * kAtlasHoehe * 4, 0);
    for (int z = 0; z < 10; ++z)
        for (int zeile = 0; zeile < 5; ++zeile)
            for (int spalte = 0; spalte < 3; ++spalte)
                if (kZiffern[z][zeile] >> (2 - spalte) & 1) {
                    std::uint8_t* p =
                        &atlas[static_cast<std::size_t>(zeile * kAtlasBreite + 4 * z + spalte) * 4];
                    p[0] = p[1] = p[2] = p[3] = 255;
                }
    if (ziffernName_ == 0) glGenTextures(1, &ziffernName_);
    glBindTexture(GL_TEXTURE_2D, ziffernName_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kAtlasBreite, kAtlasHoehe, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 atlas.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    // Back to OpenGL's default, which Qt's own painting into the same context (its glyph
    // cache) takes for granted: with rows packed to the byte its text comes out sheared.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    bereit_ = true;
    neu_ = true;  // buffers of an earlier context are gone
    bodenHochgeladen_.reset();
    kantenDa_ = false;
    texturNamen_ = {};
    texturenNeu_ = true;
    return true;
}

void Vorschaurenderer::SetzeTexturen(const std::array<std::shared_ptr<const Texturbild>, 4>& texturen) {
    if (texturen == texturen_) return;
    texturen_ = texturen;
    texturenNeu_ = true;
}

void Vorschaurenderer::TexturenHochladen() {
    texturenNeu_ = false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t t = 0; t < texturen_.size(); ++t) {
        if (texturNamen_[t] != 0) {
            glDeleteTextures(1, &texturNamen_[t]);
            texturNamen_[t] = 0;
        }
        const Texturbild* bild = texturen_[t].get();
        if (!bild || bild->Stufen.empty()) continue;
        glGenTextures(1, &texturNamen_[t]);
        glBindTexture(GL_TEXTURE_2D, texturNamen_[t]);
        // Rows from V = 0 up the texture's t axis: texture2D(u, v) reads row v * height
        // from the picture's top, as the editor maps its textures.
        for (std::size_t stufe = 0; stufe < bild->Stufen.size(); ++stufe) {
            const Texturbild::Stufe& s = bild->Stufen[stufe];
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(stufe), GL_RGBA, s.Breite, s.Hoehe, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, s.Rgba.data());
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // OpenGL's default, as in Initialisieren
}

void Vorschaurenderer::SetzeDaten(std::shared_ptr<const Vorschaudaten> daten) {
    daten_ = std::move(daten);
    neu_ = true;
    kantenDa_ = false;
}

void Vorschaurenderer::Hochladen() {
    neu_ = false;
    kurven_.clear();
    markenAnzahl_ = 0;
    gitterAnzahl_ = 0;
    zeichenbar_ = daten_ && PasstInPuffer(*daten_);
    if (!zeichenbar_) return;
    const Vorschaudaten& d = *daten_;
    Fuellen(vertices_, d.Vertices);
    Fuellen(indizes_, d.Indizes);
    std::vector<float> linien;
    for (const Vorschaukurve& k : d.Kurven) {
        kurven_.push_back(
            {k.Kurve, static_cast<int>(linien.size() / 3), static_cast<int>(k.Punkte.size() / 3)});
        linien.insert(linien.end(), k.Punkte.begin(), k.Punkte.end());
    }
    markenErster_ = static_cast<int>(linien.size() / 3);
    markenAnzahl_ = static_cast<int>(d.Marken.size() / 3);
    linien.insert(linien.end(), d.Marken.begin(), d.Marken.end());
    gitterErster_ = static_cast<int>(linien.size() / 3);
    gitterAnzahl_ = static_cast<int>(d.Gitter.size() / 3);
    linien.insert(linien.end(), d.Gitter.begin(), d.Gitter.end());
    Fuellen(linien_, linien);
    if (d.Boden != bodenHochgeladen_) {
        bodenHochgeladen_ = d.Boden;
        bodenIndizesAnzahl_ = 0;
        if (d.Boden && !d.Boden->Netz.Leer() && Passt<float>(d.Boden->Netz.Vertices.size()) &&
            Passt<std::uint32_t>(d.Boden->Netz.Indizes.size())) {
            Fuellen(bodenVertices_, d.Boden->Netz.Vertices);
            Fuellen(bodenIndizes_, d.Boden->Netz.Indizes);
            bodenIndizesAnzahl_ = static_cast<int>(d.Boden->Netz.Indizes.size());
        }
    }
}

void Vorschaurenderer::KantenHochladen() {
    kantenDa_ = true;
    Fuellen(kanten_, daten_->Kantenindizes(kantenTeile_));
}

void Vorschaurenderer::Zeichnen(const QMatrix4x4& ansichtProjektion, const Darstellung& darstellung,
                                int breite, int hoehe) {
    QMatrix4x4 mvp = ansichtProjektion;
    mvp.scale(1.0f, darstellung.Ueberhoehung, 1.0f);
    glViewport(0, 0, breite, hoehe);
    glClearColor(kHintergrundfarbe[0], kHintergrundfarbe[1], kHintergrundfarbe[2], 1.0f);
    glClearDepthf(1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!bereit_) return;
    if (neu_) Hochladen();
    if (!zeichenbar_) return;
    const Vorschaudaten& d = *daten_;

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);  // both sides of every face: a border seen from below stays visible
    programm_->bind();
    programm_->setUniformValue(ortMvp_, mvp);
    const QVector3D licht = QVector3D(0.35f, 1.0f, 0.55f).normalized();
    programm_->setUniformValue(ortLicht_, licht);
    programm_->setUniformValue(ortPunktgroesse_, 1.0f);
    // The eye maps to (0, 0, c, 0) in clip space; the inverse maps (0, 0, 1, 0) back to
    // the eye's homogeneous point divided by c, whose w is therefore 1 / c.
    bool umkehrbar = false;
    const QVector4D augeHomogen = mvp.inverted(&umkehrbar) * QVector4D(0, 0, 1, 0);
    const bool hebbar = umkehrbar && std::isfinite(1.0f / augeHomogen.w()) && augeHomogen.w() != 0;
    programm_->setUniformValue(ortAugeClip_, QVector4D(0, 0, hebbar ? 1.0f / augeHomogen.w() : 0.0f, 0));
    programm_->setUniformValue(ortHeben_, 0.0f);
    programm_->setUniformValue(ortNormalenSkala_, QVector3D(1, 1, 1));
    auto farbe = [this](const Farbe& f, float faktor) {
        programm_->setUniformValue(ortFarbe_, QVector4D(f[0] * faktor, f[1] * faktor, f[2] * faktor, 1.0f));
    };

    // The ground, first and pushed back further than the road, which lies a few
    // centimetres above it where the points were dropped onto it. Its mesh has an origin
    // of its own; the offset to the road's is taken in double.
    const bool mitBoden =
        darstellung.Gelaende && d.Boden && d.Boden == bodenHochgeladen_ && bodenIndizesAnzahl_ > 0;
    if (mitBoden) {
        const std::array<double, 3>& o = d.Boden->Netz.Ursprung;
        QMatrix4x4 bodenMvp = mvp;
        bodenMvp.translate(static_cast<float>(o[0] - d.Ursprung[0]), static_cast<float>(o[1] - d.Ursprung[1]),
                           static_cast<float>(o[2] - d.Ursprung[2]));
        programm_->setUniformValue(ortMvp_, bodenMvp);
        // The same light lower in the sky, so that gentle slopes read.
        programm_->setUniformValue(ortLicht_, QVector3D(0.35f, 0.6f, 0.55f).normalized());
        programm_->setUniformValue(ortNormalenSkala_,
                                   QVector3D(1, 1 / std::max(darstellung.Ueberhoehung, 1e-3f), 1));
        programm_->setUniformValue(ortBeleuchtet_, 1.0f);
        programm_->setUniformValue(ortModus_, 0.0f);
        farbe(kBodenfarbe, 1.0f);
        bodenVertices_.bind();
        const int bodenSchritt = static_cast<int>(Gelaendenetz::kFloatsJeVertex * sizeof(float));
        programm_->enableAttributeArray(kOrtLage);
        programm_->enableAttributeArray(kOrtNormale);
        programm_->setAttributeBuffer(kOrtLage, GL_FLOAT, 0, 3, bodenSchritt);
        programm_->setAttributeBuffer(kOrtNormale, GL_FLOAT, 3 * sizeof(float), 3, bodenSchritt);
        programm_->setAttributeValue(kOrtUv, QVector2D(0, 0));
        bodenIndizes_.bind();
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(2.0f, 8.0f);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(bodenIndizesAnzahl_), GL_UNSIGNED_INT, nullptr);
        glDisable(GL_POLYGON_OFFSET_FILL);
        programm_->setUniformValue(ortMvp_, mvp);
        programm_->setUniformValue(ortLicht_, licht);
        programm_->setUniformValue(ortNormalenSkala_, QVector3D(1, 1, 1));
    }

    // Surfaces, pushed back a little so that edges and curves on them win the depth test.
    vertices_.bind();
    programm_->enableAttributeArray(kOrtLage);
    programm_->enableAttributeArray(kOrtNormale);
    programm_->enableAttributeArray(kOrtUv);
    const int schritt = static_cast<int>(Vorschaudaten::kFloatsJeVertex * sizeof(float));
    programm_->setAttributeBuffer(kOrtLage, GL_FLOAT, 0, 3, schritt);
    programm_->setAttributeBuffer(kOrtNormale, GL_FLOAT, 3 * sizeof(float), 3, schritt);
    programm_->setAttributeBuffer(kOrtUv, GL_FLOAT, 6 * sizeof(float), 2, schritt);
    const bool mitTexturen = darstellung.Texturen && !darstellung.UvKaro;
    if (mitTexturen && texturenNeu_) TexturenHochladen();
    programm_->setUniformValue(ortTextur_, 0);
    programm_->setUniformValue(ortZiffern_, 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, darstellung.UvKaro ? ziffernName_ : 0);
    glActiveTexture(GL_TEXTURE0);
    indizes_.bind();
    programm_->setUniformValue(ortBeleuchtet_, 1.0f);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    for (const Vorschauteil& t : d.Teile) {
        if (t.AnzahlIndizes == 0) continue;
        farbe(Teilfarbe(t.Teil), 1.0f);
        const unsigned int textur = mitTexturen ? texturNamen_[static_cast<std::size_t>(t.Teil)] : 0;
        glBindTexture(GL_TEXTURE_2D, textur);
        programm_->setUniformValue(ortModus_, darstellung.UvKaro ? 1.0f : textur != 0 ? 2.0f : 0.0f);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(t.AnzahlIndizes), GL_UNSIGNED_INT,
                       Versatz(std::uint64_t{t.ErsterIndex} * sizeof(std::uint32_t)));
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    programm_->setUniformValue(ortModus_, 0.0f);
    programm_->disableAttributeArray(kOrtUv);

    if (darstellung.Drahtgitter) {
        if (!kantenDa_) KantenHochladen();
        kanten_.bind();
        programm_->setUniformValue(ortBeleuchtet_, 0.0f);
        for (const Vorschauteil& t : kantenTeile_) {
            if (t.AnzahlIndizes == 0) continue;
            farbe(Teilfarbe(t.Teil), 0.35f);
            glDrawElements(GL_LINES, static_cast<GLsizei>(t.AnzahlIndizes), GL_UNSIGNED_INT,
                           Versatz(std::uint64_t{t.ErsterIndex} * sizeof(std::uint32_t)));
        }
    }
    programm_->disableAttributeArray(kOrtNormale);
    indizes_.release();

    // Curves and markers: plain colours, no normals.
    linien_.bind();
    programm_->setAttributeBuffer(kOrtLage, GL_FLOAT, 0, 3, 3 * sizeof(float));
    programm_->setAttributeValue(kOrtNormale, QVector3D(0, 1, 0));
    programm_->setUniformValue(ortBeleuchtet_, 0.0f);
    // The ground grid, under everything at the lowest height.
    if (gitterAnzahl_ > 1 && !mitBoden) {
        farbe(kGitterfarbe, 1.0f);
        glDrawArrays(GL_LINES, gitterErster_, gitterAnzahl_);
    }
    if (darstellung.Kurven) {
        glLineWidth(2.0f);
        if (hebbar) programm_->setUniformValue(ortHeben_, kKurvenHeben);
        for (const Bereich& k : kurven_) {
            if (k.Anzahl < 2) continue;
            farbe(Kurvenfarbe(k.Kurve), 1.0f);
            glDrawArrays(GL_LINE_STRIP, k.Erster, k.Anzahl);
        }
        programm_->setUniformValue(ortHeben_, 0.0f);
        glLineWidth(1.0f);
    }

    // Markers always on top: a dark rim, then the fill; the current point larger.
    const bool desktop = !QOpenGLContext::currentContext()->isOpenGLES();
    if (desktop) glEnable(GL_PROGRAM_POINT_SIZE);
    glDisable(GL_DEPTH_TEST);
    auto punkte = [&](int erster, int anzahl, const Farbe& f, float groesse) {
        programm_->setUniformValue(ortPunktgroesse_, groesse + 3.0f);
        farbe({0.1f, 0.1f, 0.1f}, 1.0f);
        glDrawArrays(GL_POINTS, erster, anzahl);
        programm_->setUniformValue(ortPunktgroesse_, groesse);
        farbe(f, 1.0f);
        glDrawArrays(GL_POINTS, erster, anzahl);
    };
    if (markenAnzahl_ > 0) punkte(markenErster_, markenAnzahl_, kMarkenfarbe, 7.0f);
    if (darstellung.Aktuell >= 0 && darstellung.Aktuell < markenAnzahl_)
        punkte(markenErster_ + darstellung.Aktuell, 1, kAktuellfarbe, 11.0f);
    if (desktop) glDisable(GL_PROGRAM_POINT_SIZE);

    programm_->disableAttributeArray(kOrtLage);
    linien_.release();
    programm_->release();
}

void Vorschaurenderer::Freigeben() {
    for (unsigned int& name : texturNamen_)
        if (name != 0) glDeleteTextures(1, &name), name = 0;
    if (ziffernName_ != 0) glDeleteTextures(1, &ziffernName_), ziffernName_ = 0;
    texturenNeu_ = true;
    vertices_.destroy();
    indizes_.destroy();
    kanten_.destroy();
    linien_.destroy();
    bodenVertices_.destroy();
    bodenIndizes_.destroy();
    bodenHochgeladen_.reset();
    bodenIndizesAnzahl_ = 0;
    programm_.reset();
    bereit_ = false;
    neu_ = true;
    kantenDa_ = false;
}

}  // namespace pavolant::qt
