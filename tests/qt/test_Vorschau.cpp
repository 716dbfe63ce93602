// The road preview beside the main window, driven as the user drives it: the example road
// loaded, the output file chosen, "Preview" and "Go" pressed. The preview's data are
// checked against the run's own mesh records, and against the document it wrote where
// the document is the independent witness.
//
// Drawing with OpenGL needs a context. Qt 6.4's offscreen platform makes one only when an
// X display is reachable (GLX), so under plain ctest the 3-D pictures are skipped and
// everything else runs; under xvfb-run they run as well.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineF>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <set>

#include "tests/qt/Farbhilfen.h"
#include "tests/qt/Qthilfen.h"
#include "tests/qt/Vorschauhilfen.h"
#include "ui/qt/vorschau/Strassenvorschau.h"
#include "ui/qt/vorschau/Vorschaukamera.h"
#include "ui/qt/vorschau/Vorschauplan.h"

using namespace pavolant;
using namespace pavolant::test;

namespace {

QVector3D Relativ(const qt::Vorschaudaten& d, double x, double y, double z) {
    return QVector3D(static_cast<float>(x - d.Ursprung[0]), static_cast<float>(y - d.Ursprung[1]),
                     static_cast<float>(z - d.Ursprung[2]));
}

// How the eight corners of a box land in the camera's picture: whether all lie in front
// of the eye and inside the picture, and the largest |x| or |y| in normalised device
// coordinates (1 is the picture's edge).
struct Rahmung {
    bool AlleSichtbar = true;
    float Ausdehnung = 0;
};

Rahmung Rahmen(qt::Strassenvorschau& v, const QVector3D& min, const QVector3D& max) {
    const QMatrix4x4 m = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d());
    Rahmung r;
    for (int i = 0; i < 8; ++i) {
        const QVector4D c = m * QVector4D((i & 1) ? max.x() : min.x(), (i & 2) ? max.y() : min.y(),
                                          (i & 4) ? max.z() : min.z(), 1.0f);
        if (c.w() <= 0) {
            r.AlleSichtbar = false;
            continue;
        }
        const QVector3D ndc = c.toVector3D() / c.w();
        if (std::fabs(ndc.x()) > 1 || std::fabs(ndc.y()) > 1 || std::fabs(ndc.z()) > 1)
            r.AlleSichtbar = false;
        r.Ausdehnung = std::max({r.Ausdehnung, std::fabs(ndc.x()), std::fabs(ndc.y())});
    }
    return r;
}

Rahmung NetzRahmen(qt::Strassenvorschau& v, const Netz& n) {
    const qt::Vorschaudaten& d = v.Daten();
    return Rahmen(v, Relativ(d, n.BoxMin[0], n.BoxMin[1], n.BoxMin[2]),
                  Relativ(d, n.BoxMax[0], n.BoxMax[1], n.BoxMax[2]));
}

Rahmung DatenRahmen(qt::Strassenvorschau& v) {
    const qt::Vorschaudaten& d = v.Daten();
    return Rahmen(v, QVector3D(d.RahmenMin[0], d.RahmenMin[1], d.RahmenMin[2]),
                  QVector3D(d.RahmenMax[0], d.RahmenMax[1], d.RahmenMax[2]));
}

int Zaehlen(const std::string& text, const std::string& muster) {
    int n = 0;
    for (std::size_t p = text.find(muster); p != std::string::npos; p = text.find(muster, p + 1)) ++n;
    return n;
}

// `d` drawn by the renderer alone into a framebuffer of 240 x 180 pixels; null without
// OpenGL.
QImage ZeichnenOhneFenster(const qt::Vorschaudaten& d, const qt::Vorschaukamera& k,
                           const qt::Darstellung& darstellung) {
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setDepthBufferSize(24);
    QOpenGLContext kontext;
    kontext.setFormat(format);
    QOffscreenSurface flaeche;
    flaeche.setFormat(format);
    flaeche.create();
    if (!kontext.create() || !kontext.makeCurrent(&flaeche)) return {};
    QImage bild;
    {
        qt::Vorschaurenderer renderer;
        QOpenGLFramebufferObject fbo(QSize(240, 180), QOpenGLFramebufferObject::CombinedDepthStencil);
        if (renderer.Initialisieren() && fbo.bind()) {
            renderer.SetzeDaten(std::make_shared<const qt::Vorschaudaten>(d));
            renderer.Zeichnen(k.AnsichtProjektion(240.0f / 180.0f), darstellung, 240, 180);
            bild = fbo.toImage();
            fbo.release();
        }
        renderer.Freigeben();
    }
    kontext.doneCurrent();
    return bild;
}

int Hintergrundpixel(const QImage& bild) { return Farbpixel(bild, qt::kHintergrundfarbe, 0.99f, 1.01f); }

void Ziehen(QWidget* w, QPoint von, QPoint nach, Qt::MouseButton knopf) {
    QMouseEvent druck(QEvent::MouseButtonPress, von, w->mapToGlobal(von), knopf, knopf, Qt::NoModifier);
    QApplication::sendEvent(w, &druck);
    QMouseEvent zug(QEvent::MouseMove, nach, w->mapToGlobal(nach), Qt::NoButton, knopf, Qt::NoModifier);
    QApplication::sendEvent(w, &zug);
    QMouseEvent los(QEvent::MouseButtonRelease, nach, w->mapToGlobal(nach), knopf, Qt::NoButton,
                    Qt::NoModifier);
    QApplication::sendEvent(w, &los);
}

}  // namespace

class Vorschau : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // The preview shows exactly the run's mesh: its vertices, triangles and parts, its
    // curves and control points; and looking at it changes neither the run nor the file.
    void NetzWieDerLauf() {
        Beispiel b;
        const std::string texL0 = S(b.a.Feld("edtTexL0")->text());
        qt::Strassenvorschau& v = b.Oeffnen();
        QCOMPARE(v.windowTitle(), QStringLiteral("Road preview"));
        // Live: the road as it stands, before any "Go", with no file written and the
        // texture start left alone.
        QVERIFY(v.Daten().Hinweis.empty());
        const std::int64_t liveDreiecke = v.Daten().AnzahlDreiecke();
        QVERIFY(liveDreiecke > 100);
        QVERIFY(!std::filesystem::exists(b.ausgabe));
        QCOMPARE(S(b.a.Feld("edtTexL0")->text()), texL0);
        QVERIFY(!b.a.form.LetzterLauf());

        b.Go();
        QCOMPARE(v.Daten().AnzahlDreiecke(), liveDreiecke);
        QVERIFY(b.a.dialoge.fehler.empty());
        const std::optional<Bauergebnis>& lauf = b.a.form.LetzterLauf();
        QVERIFY(lauf && lauf->Geschrieben && lauf->Dreiecksnetz && lauf->Geometrie);
        const Netz& n = *lauf->Dreiecksnetz;
        const qt::Vorschaudaten& d = v.Daten();
        QVERIFY(d.Hinweis.empty());
        QCOMPARE(d.AnzahlVertices(), std::int64_t{n.AnzVertices()});
        QCOMPARE(d.AnzahlDreiecke(), std::int64_t{n.AnzDreiecke()});
        QVERIFY(n.AnzDreiecke() > 100);
        double abweichung = 0;
        for (std::size_t i = 0; i < n.Vertices.size(); ++i) {
            const NetzVertex& nv = n.Vertices[i];
            const float* p = &d.Vertices[i * qt::Vorschaudaten::kFloatsJeVertex];
            abweichung = std::max(
                {abweichung, std::fabs(p[0] + d.Ursprung[0] - nv.X), std::fabs(p[1] + d.Ursprung[1] - nv.Y),
                 std::fabs(p[2] + d.Ursprung[2] - nv.Z), std::fabs(p[3] - nv.NX), std::fabs(p[4] - nv.NY),
                 std::fabs(p[5] - nv.NZ), std::fabs(p[6] - nv.U), std::fabs(p[7] - nv.V)});
        }
        QVERIFY2(abweichung < 1e-4, qPrintable(QString::number(abweichung)));
        for (std::size_t t = 0; t < n.Dreiecke.size(); ++t) {
            const NetzDreieck& nd = n.Dreiecke[t];
            QVERIFY(d.Indizes[3 * t] == static_cast<std::uint32_t>(nd.A) &&
                    d.Indizes[3 * t + 1] == static_cast<std::uint32_t>(nd.B) &&
                    d.Indizes[3 * t + 2] == static_cast<std::uint32_t>(nd.C));
        }

        // The parts in Subset order: roadway, right border, left border, the two end faces.
        const std::vector<Netzteil> teile = {Netzteil::Fahrbahn, Netzteil::RandRechts, Netzteil::RandLinks,
                                             Netzteil::Fuellung, Netzteil::Fuellung};
        QCOMPARE(d.Teile.size(), teile.size());
        QCOMPARE(n.Subsets.size(), teile.size());
        for (std::size_t i = 0; i < teile.size(); ++i) {
            QVERIFY(d.Teile[i].Teil == teile[i]);
            QCOMPARE(d.Teile[i].ErsterIndex, static_cast<std::uint32_t>(n.Subsets[i].ErsterIndex));
            QCOMPARE(d.Teile[i].AnzahlIndizes, static_cast<std::uint32_t>(n.Subsets[i].AnzahlIndizes));
            QVERIFY(d.Teile[i].AnzahlIndizes > 0);
        }

        // The document as witness: as many curve points and Subsets as the preview holds.
        const std::string dokument = DateiLesen(b.ausgabe);
        QCOMPARE(d.Kurven.size(), std::size_t{3});
        std::size_t kurvenpunkte = 0;
        for (const qt::Vorschaukurve& k : d.Kurven) kurvenpunkte += k.Punkte.size() / 3;
        QCOMPARE(static_cast<int>(kurvenpunkte), Zaehlen(dokument, "<cv c=\""));
        QCOMPARE(static_cast<int>(d.Teile.size()), Zaehlen(dokument, "<Subset firstVertex="));
        QCOMPARE(d.Marken.size(), std::size_t{3 * 6});
        QCOMPARE(d.Kontrollpunkte.size(), std::size_t{6});
        QVERIFY(
            v.findChild<QLabel*>(QStringLiteral("lblHinweis"))
                ->text()
                .startsWith(
                    QStringLiteral("%1 vertices, %2 triangles").arg(n.AnzVertices()).arg(n.AnzDreiecke())));

        // Looking, framing, the wireframe and the pictures leave run and file alone.
        const auto zeit = std::filesystem::last_write_time(b.ausgabe);
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnEinpassen")));
        Klicken(v.findChild<QCheckBox*>(QStringLiteral("cboDrahtgitter")));
        v.Bild3d();
        v.BildPlan();
        QCOMPARE(DateiLesen(b.ausgabe), dokument);
        QVERIFY(std::filesystem::last_write_time(b.ausgabe) == zeit);
        QVERIFY(b.a.form.LetzterLauf()->Dreiecksnetz.get() == &n);
        QCOMPARE(n.AnzVertices(), static_cast<std::int32_t>(d.AnzahlVertices()));
    }

    // The lines and points the run hands to views, and the preview's guard against a
    // mesh that does not hold together.
    void DatenDesLaufs() {
        Beispiel b;
        b.Go();
        const Bauergebnis& lauf = *b.a.form.LetzterLauf();
        const Laufgeometrie& g = *lauf.Geometrie;
        // The centre line runs from the first control point to the last; the edges stand
        // half the width (6.5 m) to either side of it at the start.
        QVERIFY(g.Mittellinie.size() > 10);
        const TSplinePkt& erster = *b.a.form.SplinePunkte.Punkt(0);
        const TSplinePkt& letzter = *b.a.form.SplinePunkte.Punkt(5);
        QVERIFY(g.PlanUrsprung[0] == erster.X && g.PlanUrsprung[1] == erster.Z);
        auto abstand = [&g](const Planlage& p, double x, double z) {
            return std::hypot(p.X + g.PlanUrsprung[0] - x, p.Z + g.PlanUrsprung[1] - z);
        };
        QVERIFY(abstand(g.Mittellinie.front(), erster.X, erster.Z) < 1e-4);
        QVERIFY(abstand(g.Mittellinie.back(), letzter.X, letzter.Z) < 1e-4);
        // Level at the start (no pitch, no bank), so the plan shows the full half width.
        const Planlage m = g.Mittellinie.front(), r = g.KanteRechts.front(), l = g.KanteLinks.front();
        QVERIFY(std::fabs(std::hypot(r.X - m.X, r.Z - m.Z) - 3.25) < 1e-4);
        QVERIFY(std::fabs(std::hypot(l.X - m.X, l.Z - m.Z) - 3.25) < 1e-4);
        QVERIFY(r.X < m.X && l.X > m.X);  // heading +Z: the right side lies at -X
        for (std::size_t i = 0; i < g.SplinePunkte.size(); ++i) {
            const TSplinePkt& p = *b.a.form.SplinePunkte.Punkt(static_cast<int>(i));
            QVERIFY(g.SplinePunkte[i].X == p.X && g.SplinePunkte[i].Y == p.Y && g.SplinePunkte[i].Z == p.Z);
        }
        QVERIFY(g.Kurven[0] && g.Kurven[1] && g.Kurven[2]);
        QCOMPARE(g.Kurven[0]->size(), g.Mittellinie.size());

        // Borders off and the roadway off: no mesh part, yet the run is complete; the
        // preview shows the curves and points it has.
        {
            Beispiel c;
            for (const char* box : {"cboRandRenable", "cboRandLenable", "cboCreateFahrbahn"})
                Klicken(c.a.Box(box));
            c.Go();
            QVERIFY(c.a.dialoge.fehler.empty());
            const Bauergebnis& leer = *c.a.form.LetzterLauf();
            QVERIFY(leer.Geschrieben && leer.Geometrie);
            QVERIFY(leer.Geometrie->Teile.empty());
            QVERIFY(!leer.Geometrie->KanteRechts.empty());  // the edges exist without a roadway
            const qt::Vorschaudaten d = qt::VorschauAus(leer);
            QVERIFY(d.Hinweis.empty());
            QCOMPARE(d.AnzahlDreiecke(), std::int64_t{0});
            QCOMPARE(d.Kontrollpunkte.size(), std::size_t{6});
            QVERIFY(d.RahmenGueltig());
        }

        // A triangle naming a vertex that does not exist, or a Subset beyond the
        // triangles, is never handed to the graphics card.
        for (int fall = 0; fall < 3; ++fall) {
            auto netz = std::make_shared<Netz>(*lauf.Dreiecksnetz);
            auto geometrie = std::make_shared<Laufgeometrie>(g);
            if (fall == 0) netz->Dreiecke[7].B = netz->AnzVertices();
            if (fall == 1) netz->Subsets.back().AnzahlIndizes += 3;
            if (fall == 2) geometrie->Teile.pop_back();
            Bauergebnis kaputt = lauf;
            kaputt.Dreiecksnetz = netz;
            kaputt.Geometrie = geometrie;
            const qt::Vorschaudaten d = qt::VorschauAus(kaputt);
            QVERIFY(!d.Hinweis.empty());
            QVERIFY(d.Vertices.empty() && d.Indizes.empty() && d.Kontrollpunkte.empty());
        }
        // Wireframe: three edges per triangle, in the parts' order.
        const qt::Vorschaudaten d = qt::VorschauAus(lauf);
        std::vector<qt::Vorschauteil> bereiche;
        const std::vector<std::uint32_t> kanten = d.Kantenindizes(bereiche);
        QCOMPARE(static_cast<std::int64_t>(kanten.size()), 6 * d.AnzahlDreiecke());
        QCOMPARE(bereiche.size(), d.Teile.size());
        for (std::size_t i = 0; i < bereiche.size(); ++i)
            QCOMPARE(bereiche[i].AnzahlIndizes, 2 * d.Teile[i].AnzahlIndizes);
        QCOMPARE(kanten[0], d.Indizes[0]);
        QCOMPARE(kanten[1], d.Indizes[1]);
        QCOMPARE(kanten[5], d.Indizes[0]);
    }

    // "Fit" frames the road's box from the present direction: every corner in the
    // picture, and the picture not much larger than the box.
    void EinpassenRahmtDenQuader() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        b.Go();
        const Netz& n = *b.a.form.LetzterLauf()->Dreiecksnetz;
        // A new road is framed at once.
        Rahmung r = NetzRahmen(v, n);
        QVERIFY(r.AlleSichtbar);
        Rahmung ganz = DatenRahmen(v);
        QVERIFY(ganz.AlleSichtbar);
        QVERIFY2(ganz.Ausdehnung > 0.85f, qPrintable(QString::number(ganz.Ausdehnung)));

        // Moved away, the box is no longer framed; "Fit" frames it again.
        v.Kamera().Verschieben(900, 0, 400);
        v.Kamera().Zoomen(6);
        QVERIFY(!NetzRahmen(v, n).AlleSichtbar);
        const float gier = v.Kamera().Gier();
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnEinpassen")));
        QVERIFY(NetzRahmen(v, n).AlleSichtbar);
        QVERIFY(DatenRahmen(v).Ausdehnung > 0.85f);
        QCOMPARE(v.Kamera().Gier(), gier);  // the direction stays

        // From straight above and from the side as well.
        for (const auto& [dx, dy] : {std::pair{0.0f, 500.0f}, std::pair{225.0f, -500.0f}}) {
            v.Kamera().Drehen(dx, dy);
            v.Einpassen();
            r = NetzRahmen(v, n);
            QVERIFY(r.AlleSichtbar);
            QVERIFY(DatenRahmen(v).Ausdehnung > 0.85f);
        }
        // An elevation set directly stays within the orbit's limits, and frames as well.
        v.Kamera().SetzeNick(120);
        QCOMPARE(v.Kamera().Nick(), 89.0f);
        v.Kamera().SetzeNick(12);
        QCOMPARE(v.Kamera().Nick(), 12.0f);
        v.Einpassen();
        QVERIFY(NetzRahmen(v, n).AlleSichtbar);

        OHNE_GL_UEBERSPRINGEN(v);
        // The mouse: a left drag orbits, a right drag pans, the wheel zooms, a double
        // click fits.
        QWidget* flaeche = v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d"));
        QVERIFY(flaeche);
        const QPoint mitte = flaeche->rect().center();
        const float gierVorher = v.Kamera().Gier(), nickVorher = v.Kamera().Nick();
        Ziehen(flaeche, mitte, mitte + QPoint(60, 25), Qt::LeftButton);
        QVERIFY(v.Kamera().Gier() != gierVorher && v.Kamera().Nick() != nickVorher);
        const QVector3D zielVorher = v.Kamera().Ziel();
        Ziehen(flaeche, mitte, mitte + QPoint(-40, 30), Qt::RightButton);
        QVERIFY((v.Kamera().Ziel() - zielVorher).length() > 1);
        const float abstandVorher = v.Kamera().Abstand();
        QWheelEvent rad(mitte, flaeche->mapToGlobal(mitte), QPoint(), QPoint(0, 240), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(flaeche, &rad);
        QVERIFY(v.Kamera().Abstand() < abstandVorher);
        // A road run again after the user moved the camera keeps the view.
        b.Go();
        QVERIFY(b.a.form.LetzterLauf()->Dreiecksnetz.get() != &n);
        QVERIFY(!NetzRahmen(v, *b.a.form.LetzterLauf()->Dreiecksnetz).AlleSichtbar);
        QTest::mouseDClick(flaeche, Qt::LeftButton, Qt::NoModifier, mitte);
        QVERIFY(NetzRahmen(v, *b.a.form.LetzterLauf()->Dreiecksnetz).AlleSichtbar);
    }

    // A run that stops after a good one keeps the last good road, marked out of date with
    // the reason; the current control points are drawn over it. The next good run brings
    // the current road back. A document that cannot be written is no matter of the road.
    void GestoppterLaufBehaeltDieLetzteStrasse() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        b.Go();
        QVERIFY(v.Daten().AnzahlDreiecke() > 0);
        auto* hinweis = v.findChild<QLabel*>(QStringLiteral("lblHinweis"));
        const QRgb fahrbahn = qRgb(205, 207, 212);
        auto planZeigtStrasse = [&v] {
            const QImage bild = v.BildPlan();
            for (int y = 0; y < bild.height(); ++y)
                for (int x = 0; x < bild.width(); ++x)
                    if (bild.pixel(x, y) == fahrbahn) return true;
            return false;
        };
        QVERIFY(planZeigtStrasse());
        auto veraltet = [&](const QString& grund) {
            QVERIFY(v.Daten().Hinweis.empty());
            QVERIFY(v.Daten().AnzahlDreiecke() > 0);
            QVERIFY(planZeigtStrasse());
            QVERIFY2(hinweis->text().startsWith(QStringLiteral("Out of date: ")) &&
                         hinweis->text().contains(grund),
                     qPrintable(hinweis->text()));
        };

        // A width that is no number: the run stops at that field, the road stays.
        const std::int64_t gut = v.Daten().AnzahlDreiecke();
        Tippen(b.a.Feld("edtBreite"), QStringLiteral("sieben"));
        b.Go();
        QCOMPARE(b.a.dialoge.fehler.size(), std::size_t{1});
        QVERIFY(!b.a.form.LetzterLauf()->Dreiecksnetz);
        veraltet(QStringLiteral("'sieben'"));
        QCOMPARE(v.Daten().AnzahlDreiecke(), gut);

        // A point moved while the run stops: drawn where it is now, over the old road.
        Tippen(b.a.Feld("edtSplinePtsX"), QStringLiteral("40"));
        Klicken(b.a.Knopf("bbnGo"));
        b.Warten();
        veraltet(QStringLiteral("'sieben'"));
        QCOMPARE(v.Daten().Kontrollpunkte.at(static_cast<std::size_t>(b.a.form.AktuellerPunkt)).X, 40.0);

        // Good again: the current road, not out of date.
        Tippen(b.a.Feld("edtBreite"), QStringLiteral("5"));
        b.Go();
        QCOMPARE(v.Daten().AnzahlDreiecke(),
                 std::int64_t{b.a.form.LetzterLauf()->Dreiecksnetz->AnzDreiecke()});
        QVERIFY(planZeigtStrasse());
        QVERIFY(!hinweis->text().startsWith(QStringLiteral("Out of date")));
        b.a.dialoge.antworten = {std::string("/nonexistent/folder/strasse.i3d")};
        Klicken(b.a.Knopf("bbnSave"));
        b.Go();
        QCOMPARE(b.a.dialoge.fehler.size(), std::size_t{3});
        QVERIFY(!hinweis->text().startsWith(QStringLiteral("Out of date")));

        // A preview opened when the road does not build shows no road, says why, and
        // draws the control points.
        Beispiel c;
        Tippen(c.a.Feld("edtBreite"), QStringLiteral("x"));
        c.Go();
        qt::Strassenvorschau& w = c.Oeffnen();
        QCOMPARE(w.Daten().AnzahlVertices(), std::int64_t{0});
        QVERIFY(w.Daten().Hinweis.rfind("No road: 'x'", 0) == 0);
        QCOMPARE(w.Daten().Kontrollpunkte.size(), std::size_t{6});
        QCOMPARE(w.Plan().Beschriftungen().size(), std::size_t{6});
        if (w.Mit3d()) {
            const QImage bild = w.Bild3d();
            QCOMPARE(Hintergrundpixel(bild), bild.width() * bild.height());
        }
    }

    // The plan numbers the points as the editor does: the point the editor shows as
    // number k is the plan's point k, drawn highlighted while it is current.
    void PlanNummeriertWieDerEditor() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        b.Go();
        qt::Vorschauplan& plan = v.Plan();
        const qt::Vorschaudaten& d = v.Daten();
        QCOMPARE(d.Kontrollpunkte.size(), std::size_t{6});
        auto* nr = b.a.Widget<QSpinBox>("sedSplinePtsNr");
        const QRgb aktuell =
            QColor::fromRgbF(qt::kAktuellfarbe[0], qt::kAktuellfarbe[1], qt::kAktuellfarbe[2]).rgb();
        const QRgb marke =
            QColor::fromRgbF(qt::kMarkenfarbe[0], qt::kMarkenfarbe[1], qt::kMarkenfarbe[2]).rgb();
        Klicken(nr);
        for (int k = 1; k <= 6; ++k) {
            if (k > 1) QTest::keyClick(nr, Qt::Key_Up);
            QCOMPARE(nr->value(), k);
            QCOMPARE(plan.Aktuell(), k - 1);
            // The editor's fields show point k; the plan's point k lies there.
            const double x = ZahlAusText(S(b.a.Feld("edtSplinePtsX")->text()));
            const double z = ZahlAusText(S(b.a.Feld("edtSplinePtsZ")->text()));
            const qt::Planpunkt& p = d.Kontrollpunkte[static_cast<std::size_t>(k - 1)];
            QCOMPARE(p.X, x);
            QCOMPARE(p.Z, z);
            const QImage bild = v.BildPlan();
            // The marker drawn at the editor's point k carries the number k.
            const std::vector<qt::Vorschauplan::Beschriftung> marken = plan.Beschriftungen();
            QCOMPARE(marken.size(), std::size_t{6});
            const qt::Vorschauplan::Beschriftung& m = marken[static_cast<std::size_t>(k - 1)];
            QCOMPARE(m.Text, QString::number(k));
            QCOMPARE(m.Punkt, plan.AufBild(x, z));
            for (std::size_t i = 0; i < marken.size(); ++i)
                QCOMPARE(marken[i].Aktuell, static_cast<int>(i) == k - 1);
            for (int i = 0; i < 6; ++i) {
                const QPointF wo = plan.AufBild(d.Kontrollpunkte[static_cast<std::size_t>(i)].X,
                                                d.Kontrollpunkte[static_cast<std::size_t>(i)].Z);
                QVERIFY(bild.rect().contains(wo.toPoint()));
                QCOMPARE(bild.pixel(wo.toPoint()), i == k - 1 ? aktuell : marke);
            }
        }
        // From above: X to the right, Z downwards. Point 6 (X 330) lies right of point 1
        // (X 0), point 4 (Z 215) below point 1 (Z 0).
        QVERIFY(plan.AufBild(330, 200).x() > plan.AufBild(0, 0).x());
        QVERIFY(plan.AufBild(115, 215).y() > plan.AufBild(0, 0).y());
        // A current point the run does not have (added since) highlights nothing.
        v.SetzeAktuell(9);
        const QImage bild = v.BildPlan();
        for (const qt::Planpunkt& p : d.Kontrollpunkte)
            QCOMPARE(bild.pixel(plan.AufBild(p.X, p.Z).toPoint()), marke);
    }

    // A connection whose start point leaves the ground as it is: its stretch of the centre
    // line, found by the control points it runs between, drawn crimson in the plan, as the
    // window's switch says; the legend names it.
    void PlanZeigtGelasseneVerbindungen() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        const qt::Vorschaudaten d = v.Daten();  // a copy: the next run replaces the preview's
        const std::vector<std::size_t>& anfang = d.Verbindungsanfaenge;
        QCOMPARE(anfang.size(), d.Kontrollpunkte.size());
        for (std::size_t i = 0; i < anfang.size(); ++i) {
            if (i > 0) QVERIFY(anfang[i] > anfang[i - 1]);
            const qt::Planpunkt& p = d.Mittellinie.at(anfang[i]);
            QVERIFY2(std::hypot(p.X - d.Kontrollpunkte[i].X, p.Z - d.Kontrollpunkte[i].Z) < 0.05,
                     qPrintable(QString::number(i)));
        }
        QCOMPARE(anfang.back(), d.Mittellinie.size() - 1);
        const auto crimson = [&] { return Farbpixel(v.BildPlan(), qt::kGelassenfarbe, 0.99f, 1.01f); };
        QCOMPARE(crimson(), 0);

        // Point 3's switch: the stretch from point 3 to point 4, and nothing else.
        QVERIFY(b.a.fenster.Verbindung().Ereignis([&] { b.a.form.TabellenGelaendeLassen(2, true); }));
        b.Warten();
        const QImage bild = v.BildPlan();
        QVERIFY(Farbpixel(bild, qt::kGelassenfarbe, 0.99f, 1.01f) > 20);
        const qt::Planpunkt mitte = d.Mittellinie[(anfang[2] + anfang[3]) / 2];
        const qt::Planpunkt daneben = d.Mittellinie[(anfang[0] + anfang[1]) / 2];
        const QRgb farbe =
            QColor::fromRgbF(qt::kGelassenfarbe[0], qt::kGelassenfarbe[1], qt::kGelassenfarbe[2]).rgb();
        const auto nahe = [&](const qt::Planpunkt& p) {
            const QPoint wo = v.Plan().AufBild(p.X, p.Z).toPoint();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (bild.pixel(wo + QPoint(dx, dy)) == farbe) return true;
            return false;
        };
        QVERIFY(nahe(mitte));
        QVERIFY(!nahe(daneben));

        QVERIFY(b.a.fenster.Verbindung().Ereignis([&] { b.a.form.TabellenGelaendeLassen(2, false); }));
        b.Warten();
        QCOMPARE(crimson(), 0);
        QStringList namen;
        for (const QLabel* l : v.findChildren<QLabel*>()) namen << l->text();
        QVERIFY(namen.contains(QStringLiteral("Terrain left as it is")));
    }

    // Points edited in the plan view: a drag moves X and Z by the metres it covers, as
    // the editor shows them; Shift+drag turns the heading; a click makes a point the
    // current one; the wheel zooms toward the cursor.
    void PlanBearbeitetPunkte() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        qt::Vorschauplan& plan = v.Plan();
        auto ziehen = [&](QPointF von, QPointF nach, Qt::KeyboardModifiers tasten) {
            QMouseEvent druck(QEvent::MouseButtonPress, von, plan.mapToGlobal(von), Qt::LeftButton,
                              Qt::LeftButton, tasten);
            QApplication::sendEvent(&plan, &druck);
            QMouseEvent zug(QEvent::MouseMove, nach, plan.mapToGlobal(nach), Qt::NoButton, Qt::LeftButton,
                            tasten);
            QApplication::sendEvent(&plan, &zug);
            QMouseEvent los(QEvent::MouseButtonRelease, nach, plan.mapToGlobal(nach), Qt::LeftButton,
                            Qt::NoButton, tasten);
            QApplication::sendEvent(&plan, &los);
            b.Warten();
        };
        auto feld = [&](const char* name) { return ZahlAusText(S(b.a.Feld(name)->text())); };

        // Point 3, 40 pixels right and 25 down: the metres the plan's scale gives.
        const QPointF p3 = plan.Beschriftungen().at(2).Punkt;
        const std::array<double, 2> ziel = plan.AusBild(p3 + QPointF(40, 25));
        const double y = b.a.form.SplinePunkte.Punkt(2)->Y;
        ziehen(p3, p3 + QPointF(40, 25), Qt::NoModifier);
        QCOMPARE(b.a.Widget<QSpinBox>("sedSplinePtsNr")->value(), 3);
        // To the centimetre.
        QCOMPARE(feld("edtSplinePtsX"), std::round(ziel[0] * 100) / 100);
        QCOMPARE(feld("edtSplinePtsZ"), std::round(ziel[1] * 100) / 100);
        QVERIFY(std::fabs(feld("edtSplinePtsX") - ziel[0]) <= 0.005);
        QCOMPARE(feld("edtSplinePtsY"), y);
        QVERIFY(ziel[0] > b.a.form.SplinePunkte.Punkt(1)->X);  // right is +X
        // The live road follows, and one undo takes the move back.
        QCOMPARE(v.Daten().Kontrollpunkte.at(2).X, feld("edtSplinePtsX"));
        const double gezogen = feld("edtSplinePtsX");
        b.a.fenster.AktionRueckgaengig().trigger();
        QVERIFY(feld("edtSplinePtsX") != gezogen);

        // Shift: point 1 turns toward the cursor, straight right (+X) is Yrot 90.
        const QPointF p1 = plan.Beschriftungen().at(0).Punkt;
        ziehen(p1, p1 + QPointF(60, 0), Qt::ShiftModifier);
        QCOMPARE(b.a.Widget<QSpinBox>("sedSplinePtsNr")->value(), 1);
        QVERIFY(std::fabs(feld("edtSplinePtsYrot") - 90) < 1e-9);

        // A click chooses point 4 and moves nothing.
        const double x4 = b.a.form.SplinePunkte.Punkt(3)->X;
        const QPointF p4 = plan.Beschriftungen().at(3).Punkt;
        ziehen(p4, p4 + QPointF(1, 1), Qt::NoModifier);
        QCOMPARE(b.a.Widget<QSpinBox>("sedSplinePtsNr")->value(), 4);
        QCOMPARE(b.a.form.SplinePunkte.Punkt(3)->X, x4);

        // The wheel zooms in toward the cursor: the level point under it stays there.
        const QPointF wo = plan.Beschriftungen().at(4).Punkt + QPointF(7, -5);
        const std::array<double, 2> vorher = plan.AusBild(wo);
        QWheelEvent rad(wo, plan.mapToGlobal(wo), QPoint(), QPoint(0, 360), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plan, &rad);
        QVERIFY(plan.Zoom() > 1.9);
        const std::array<double, 2> nachher = plan.AusBild(wo);
        QVERIFY(std::fabs(nachher[0] - vorher[0]) < 1e-6 && std::fabs(nachher[1] - vorher[1]) < 1e-6);
        plan.Ganz();
        QCOMPARE(plan.Zoom(), 1.0);
    }

    // View presets and the legend: "Top" looks straight down, "Along" from behind the first
    // point along the first connection; a legend names every colour.
    void AnsichtenUndLegende() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnVonOben")));
        QVERIFY(v.Kamera().Blickrichtung().y() < -0.99f);
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnEntlang")));
        const std::vector<float>& m = v.Daten().Marken;
        QVector3D strasse(m[3] - m[0], 0, m[5] - m[2]);
        QVector3D blick = v.Kamera().Blickrichtung();
        blick.setY(0);
        QVERIFY(QVector3D::dotProduct(strasse.normalized(), blick.normalized()) > 0.999f);
        QVERIFY(v.Kamera().Blickrichtung().y() < 0);  // a little from above
        QStringList namen;
        for (const QLabel* l : v.findChildren<QLabel*>())
            if (!l->text().isEmpty()) namen << l->text();
        for (const char* name : {"Roadway", "Right border", "Left border", "Front faces", "Centre curve",
                                 "Control point", "Current point"})
            QVERIFY2(namen.contains(QString::fromLatin1(name)), name);

        // Height exaggeration: the heights drawn ten times as high change the picture, and
        // back at one it is as before.
        auto* hoehe = v.findChild<QSpinBox*>(QStringLiteral("sedUeberhoehung"));
        QCOMPARE(v.Ansicht().Ueberhoehung, 1.0f);
        const QImage flach = v.Bild3d();
        hoehe->setValue(10);
        QCOMPARE(v.Ansicht().Ueberhoehung, 10.0f);
        if (v.Mit3d()) {
            QVERIFY(v.Bild3d() != flach);
            hoehe->setValue(1);
            QCOMPARE(v.Bild3d(), flach);
        }
    }

    // The wheel zooms toward what lies under the cursor: the ground point there stays
    // under it, and the eye comes closer.
    void RadZoomtZumCursor() {
        qt::Vorschaukamera k;
        k.SetzeNick(40.0f);
        k.SetzeGier(-20.0f);
        k.Einpassen(QVector3D(-100, 0, -60), QVector3D(100, 10, 60), 1.6f);
        const QPointF ndc(0.45, -0.3);
        auto boden = [&k, &ndc] {
            const QMatrix4x4 zurueck = k.AnsichtProjektion(1.6f).inverted();
            const QVector3D nah = zurueck.map(QVector3D(float(ndc.x()), float(ndc.y()), -1));
            const QVector3D fern = zurueck.map(QVector3D(float(ndc.x()), float(ndc.y()), 1));
            const float t = (k.Ziel().y() - nah.y()) / (fern - nah).y();
            return nah + t * (fern - nah);
        };
        const QVector3D vorher = boden();
        const float abstand = k.Abstand();
        const float hoehe = k.Ziel().y();
        k.ZoomenZu(3.0f, ndc, 1.6f);
        QVERIFY(k.Abstand() < abstand * 0.7f);
        QCOMPARE(k.Ziel().y(), hoehe);
        QVERIFY2((boden() - vorher).length() < 1e-2f * abstand,
                 qPrintable(QString::number((boden() - vorher).length())));
        // In the middle of the picture it is the plain zoom on the target.
        const QVector3D ziel = k.Ziel();
        k.ZoomenZu(-2.0f, QPointF(0, 0), 1.6f);
        QVERIFY((k.Ziel() - ziel).length() < 1e-3f * k.Abstand());
    }

    // The ground grid: round metres apart, at the road's lowest height, reaching past the
    // framed box on every side, labels on some lines naming their level coordinate.
    void BodengitterUnterDerStrasse() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        const qt::Vorschaudaten& d = v.Daten();
        const double w = d.Gitterweite;
        QVERIFY(w > 0);
        const double stufe = w / std::pow(10.0, std::floor(std::log10(w) + 1e-9));
        QVERIFY(std::fabs(stufe - 1) < 1e-9 || std::fabs(stufe - 2) < 1e-9 || std::fabs(stufe - 5) < 1e-9);
        QCOMPARE(d.Gitter.size() % 6, std::size_t{0});
        QVERIFY(d.Gittermarken.size() >= 4 && d.Gittermarken.size() <= 14);
        float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
        for (std::size_t i = 0; i < d.Gitter.size(); i += 3) {
            QCOMPARE(d.Gitter[i + 1], d.RahmenMin[1]);  // the lowest height
            minX = std::min(minX, d.Gitter[i]);
            maxX = std::max(maxX, d.Gitter[i]);
            minZ = std::min(minZ, d.Gitter[i + 2]);
            maxZ = std::max(maxZ, d.Gitter[i + 2]);
        }
        QVERIFY(minX < d.RahmenMin[0] && maxX > d.RahmenMax[0] && minZ < d.RahmenMin[2] &&
                maxZ > d.RahmenMax[2]);
        // A label names its line's level coordinate in whole metres.
        const qt::Vorschaudaten::Gittermarke& m = d.Gittermarken.front();
        QCOMPARE(QString::fromStdString(m.Text),
                 QStringLiteral("X %1 m").arg(std::llround(m.Lage[0] + d.Ursprung[0])));
    }

    // The 3-D view numbers the control points as the plan view does: digits beside each
    // marker in the text colours (near black, the current point's dark orange).
    void DreiDNummeriertDiePunkte() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnVonOben")));
        const QImage bild = v.Bild3d();
        const QMatrix4x4 ap = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d());
#ifdef Q_OS_WIN
        constexpr int kMindestens = 2;  // Wine's stand-in font draws a thin, small "4" (4 pixels)
#else
        constexpr int kMindestens = 5;
#endif
        for (std::size_t k = 0; k < 6; ++k) {
            const QVector3D n = ap.map(d3(v.Daten().Marken, k));
            const QPoint marke(qRound((n.x() + 1) / 2 * bild.width()),
                               qRound((1 - n.y()) / 2 * bild.height()));
            int dunkel = 0;
            for (int y = marke.y() - 22; y <= marke.y() - 4; ++y)
                for (int x = marke.x() + 6; x <= marke.x() + 22; ++x)
                    if (bild.rect().contains(x, y)) {
                        const QColor c = bild.pixelColor(x, y);
                        auto nah = [&c](int r, int g, int bl) {
                            return std::abs(c.red() - r) + std::abs(c.green() - g) + std::abs(c.blue() - bl) <
                                   60;
                        };
                        if (nah(20, 20, 20) || nah(180, 70, 0)) ++dunkel;
                    }
            QVERIFY2(dunkel > kMindestens, qPrintable(QStringLiteral("point %1: %2").arg(k + 1).arg(dunkel)));
        }
    }

    // "UV check": the surfaces in a checker of their texture coordinates, many colours
    // where the parts had one each; off again, the picture is as before.
    void UvKaroZeigtDieTexturkoordinaten() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        const QImage normal = v.Bild3d();
        Klicken(v.findChild<QCheckBox*>(QStringLiteral("cboUvKaro")));
        const QImage karo = v.Bild3d();
        const int fahrbahnNormal = Farbpixel(normal, qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f);
        QVERIFY(Farbpixel(karo, qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f) < fahrbahnNormal / 10);
        std::set<QRgb> farben;
        for (int y = 0; y < karo.height(); y += 2)
            for (int x = 0; x < karo.width(); x += 2) farben.insert(karo.pixel(x, y) & 0xF0F0F0);
        QVERIFY2(farben.size() > 20, qPrintable(QString::number(farben.size())));
        Klicken(v.findChild<QCheckBox*>(QStringLiteral("cboUvKaro")));
        QCOMPARE(v.Bild3d(), normal);
    }

    // The 3-D picture: every part in its colour and lit by its normals, the curves, the
    // markers with the current one highlighted, and the wireframe.
    void DreiDZeigtDieTeileInIhrenFarben() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        b.Go();
        QImage bild = v.Bild3d();
        QVERIFY(!bild.isNull());
        QCOMPARE(bild.size(), v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d"))->size());
        const int fahrbahn = Farbpixel(bild, qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f);
        const int rechts = Farbpixel(bild, qt::Teilfarbe(Netzteil::RandRechts), 0.3f, 1.01f);
        const int links = Farbpixel(bild, qt::Teilfarbe(Netzteil::RandLinks), 0.3f, 1.01f);
        QVERIFY2(fahrbahn > 500 && rechts > 50 && links > 200,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(fahrbahn).arg(rechts).arg(links)));
        for (Verkehrskurve k : {Verkehrskurve::Mitte, Verkehrskurve::Rechts, Verkehrskurve::Links})
            QVERIFY(Farbpixel(bild, qt::Kurvenfarbe(k), 0.99f, 1.01f) > 50);
        QVERIFY(Farbpixel(bild, qt::kMarkenfarbe, 0.99f, 1.01f) > 6 * 20);
        // Lighting: the left verge falls away from the road, so its faces get less light
        // than the roadway beside them; both shades appear.
        QVERIFY(Farbpixel(bild, qt::Teilfarbe(Netzteil::RandLinks), 0.3f, 0.9f) > 0);
        QVERIFY(Farbpixel(bild, qt::Teilfarbe(Netzteil::RandLinks), 0.9f, 1.01f) > 0);

        // The current point (the editor's point 1) is highlighted where point 1 lies on
        // the screen and nowhere near point 4; moving the editor to point 4 moves it.
        QVERIFY(Farbpixel(bild, qt::kAktuellfarbe, 0.99f, 1.01f) > 50);
        const auto orangeBei = [&v](const QImage& b, std::size_t punkt) {
            const QVector3D n =
                v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d()).map(d3(v.Daten().Marken, punkt));
            const QPoint mitte(qRound((n.x() + 1) / 2 * b.width()), qRound((1 - n.y()) / 2 * b.height()));
            const QColor soll =
                QColor::fromRgbF(qt::kAktuellfarbe[0], qt::kAktuellfarbe[1], qt::kAktuellfarbe[2]);
            int treffer = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const QPoint p = mitte + QPoint(dx, dy);
                    if (!b.rect().contains(p)) continue;
                    const QColor c = b.pixelColor(p);
                    if (std::abs(c.red() - soll.red()) <= 3 && std::abs(c.green() - soll.green()) <= 3 &&
                        std::abs(c.blue() - soll.blue()) <= 3)
                        ++treffer;
                }
            return treffer;
        };
        QVERIFY(orangeBei(bild, 0) > 10);
        QCOMPARE(orangeBei(bild, 3), 0);
        v.SetzeAktuell(3);
        const QImage vier = v.Bild3d();
        QVERIFY(orangeBei(vier, 3) > 10);
        QCOMPARE(orangeBei(vier, 0), 0);
        v.SetzeAktuell(-1);
        QCOMPARE(Farbpixel(v.Bild3d(), qt::kAktuellfarbe, 0.99f, 1.01f), 0);

        // Close to the start, the end face shows in its own colour.
        const QVector3D start(d3(v.Daten().Marken, 0));
        v.Kamera().Drehen(180 / 0.4f, 0);
        v.Kamera().Einpassen(start - QVector3D(6, 3, 6), start + QVector3D(6, 3, 6), v.Seitenverhaeltnis3d());
        const int fuellung = Farbpixel(v.Bild3d(), qt::Teilfarbe(Netzteil::Fuellung), 0.3f, 1.01f);
        QVERIFY2(fuellung > 200, qPrintable(QString::number(fuellung)));

        // Wireframe: the triangle edges in a dark shade of each part's colour, seen on a
        // stretch of some 60 m around point 3.
        const QVector3D punkt3 = d3(v.Daten().Marken, 2);
        v.Kamera().Einpassen(punkt3 - QVector3D(30, 10, 30), punkt3 + QVector3D(30, 10, 30),
                             v.Seitenverhaeltnis3d());
        auto kanten = [&v] {
            const QImage b = v.Bild3d();
            int n = 0;
            for (Netzteil t : {Netzteil::Fahrbahn, Netzteil::RandRechts, Netzteil::RandLinks})
                n += Farbpixel(b, qt::Teilfarbe(t), 0.34f, 0.36f);
            return n;
        };
        const int ohne = kanten();
        Klicken(v.findChild<QCheckBox*>(QStringLiteral("cboDrahtgitter")));
        const int mit = kanten();
        QVERIFY2(mit > ohne + 300, qPrintable(QStringLiteral("%1 %2").arg(ohne).arg(mit)));
    }

    // "Top" shows north (-Z) up and east (+X) to the right as the plan view does, from
    // whatever heading the camera had: of two control points, the one further north lies
    // higher in both pictures, the one further east further right.
    void ObenWieDerPlan() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        const qt::Vorschaudaten& d = v.Daten();
        const std::vector<qt::Vorschauplan::Beschriftung> plan = v.Plan().Beschriftungen();
        QCOMPARE(plan.size(), std::size_t{6});
        for (const float gier : {-35.0f, 90.0f, 180.0f, 271.0f}) {
            v.Kamera().SetzeGier(gier);
            Klicken(v.findChild<QPushButton*>(QStringLiteral("btnVonOben")));
            const QMatrix4x4 ap = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d());
            int paare = 0;
            for (std::size_t i = 0; i < 6; ++i)
                for (std::size_t j = 0; j < 6; ++j) {
                    const QVector3D a = ap.map(d3(d.Marken, i)), c = ap.map(d3(d.Marken, j));
                    const QPointF pa = plan[i].Punkt, pc = plan[j].Punkt;
                    const QString paar =
                        QStringLiteral("heading %1, points %2 and %3").arg(gier).arg(i + 1).arg(j + 1);
                    // i north of j: higher in both (screen y grows downwards in the plan,
                    // normalised y of the 3-D view upwards).
                    if (d.Kontrollpunkte[i].Z < d.Kontrollpunkte[j].Z - 5) {
                        ++paare;
                        QVERIFY2(a.y() > c.y() && pa.y() < pc.y(), qPrintable(paar));
                    }
                    // i east of j: further right in both.
                    if (d.Kontrollpunkte[i].X > d.Kontrollpunkte[j].X + 5)
                        QVERIFY2(a.x() > c.x() && pa.x() > pc.x(), qPrintable(paar));
                }
            QVERIFY(paare >= 5);
        }
    }

    // The 3-D view's labels: on the screen beside their anchors, none for what lies
    // behind the eye or before the near plane (a projection from there lands mirrored in
    // the picture), the current point's number first, no grid label over another label.
    void BeschriftungenAufDemSchirm() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        const QWidget* flaeche = v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d"));
        const QSizeF groesse(flaeche->size());
        v.SetzeAktuell(3);
        Klicken(v.findChild<QPushButton*>(QStringLiteral("btnEinpassen")));
        const QMatrix4x4 ap = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d());
        auto beschriftungen = [&](const qt::Vorschaudaten& d) {
            return qt::Beschriftungen3d(d, ap, v.Ansicht(), groesse, flaeche->font());
        };
        const std::vector<qt::Beschriftung3d> alle = beschriftungen(v.Daten());
        QVERIFY(alle.size() >= 6 + 3);
        QCOMPARE(alle.front().Art, qt::Beschriftung3d::Sorte::Aktuell);
        QCOMPARE(alle.front().Text, QStringLiteral("4"));
        for (std::size_t i = 0; i < alle.size(); ++i) {
            const qt::Beschriftung3d& m = alle[i];
            QVERIFY(QRectF(QPointF(0, 0), groesse).contains(m.Feld));
            QVERIFY(QLineF(m.Anker, m.Feld.center()).length() < 40);
            if (m.Art == qt::Beschriftung3d::Sorte::Gitter)
                for (std::size_t k = 0; k < i; ++k) QVERIFY(!alle[k].Feld.intersects(m.Feld));
        }

        // Point 5 moved behind the eye, then between the eye and the near plane: it loses
        // its number, the others keep theirs; a grid label on point 2's anchor yields.
        qt::Vorschaudaten d = v.Daten();
        const QVector3D auge = v.Kamera().Auge(), blick = v.Kamera().Blickrichtung();
        for (const float tiefe : {-5.0f, 0.001f}) {
            const QVector3D p = auge + tiefe * blick;
            d.Marken[12] = p.x(), d.Marken[13] = p.y(), d.Marken[14] = p.z();
            d.Gittermarken = {{{d.Marken[3], d.Marken[4], d.Marken[5]}, "X 1 m"}};
            QStringList texte;
            for (const qt::Beschriftung3d& m : beschriftungen(d)) texte << m.Text;
            QCOMPARE(texte, QStringList({"4", "1", "2", "3", "6"}));
        }
    }

    // The scale bar is a round length whose two ends, at the camera's target and across
    // the picture, lie as many pixels apart as it is drawn long.
    void MassstabMisstDieTiefeDesZiels() {
        struct Fall {
            float Abstand, Nick, Gier;
            int Hoehe;
        };
        for (const Fall f : {Fall{20, 35, -35, 480}, Fall{3000, 89, 0, 700}, Fall{0.7f, 10, 120, 300}}) {
            qt::Vorschaukamera k;
            k.SetzeNick(f.Nick);
            k.SetzeGier(f.Gier);
            k.Einpassen(QVector3D(-f.Abstand, 0, -f.Abstand) / 4, QVector3D(f.Abstand, 0, f.Abstand) / 4,
                        1.5f);
            const qt::Massstab3d m = qt::Massstab(k, f.Hoehe);
            const double stufe = m.Meter / std::pow(10.0, std::floor(std::log10(m.Meter) + 1e-9));
            QVERIFY(std::fabs(stufe - 1) < 1e-9 || std::fabs(stufe - 2) < 1e-9 ||
                    std::fabs(stufe - 5) < 1e-9);
            QVERIFY2(m.Pixel > 40 && m.Pixel <= 120.5, qPrintable(QString::number(m.Pixel)));
            const QVector3D quer =
                QVector3D::crossProduct(k.Blickrichtung(), QVector3D(0, 1, 0)).normalized();
            const QMatrix4x4 ap = k.AnsichtProjektion(1.5f);
            const QVector3D a = ap.map(k.Ziel()), e = ap.map(k.Ziel() + static_cast<float>(m.Meter) * quer);
            const double pixel = (e.x() - a.x()) / 2 * 1.5 * f.Hoehe;
            QVERIFY2(std::fabs(pixel - m.Pixel) < 0.01 * m.Pixel,
                     qPrintable(QStringLiteral("%1 %2").arg(pixel).arg(m.Pixel)));
        }
    }

    // Every label of the 3-D picture is crisp, upright text where it belongs, in its
    // colour, also in the "Along" view with labels near the horizon.
    void BeschriftungenLesbar() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        const QWidget* flaeche = v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d"));
        for (const char* knopf : {"btnEinpassen", "btnVonOben", "btnEntlang"}) {
            Klicken(v.findChild<QPushButton*>(QString::fromLatin1(knopf)));
            const QImage bild = v.Bild3d();
            const std::vector<qt::Beschriftung3d> marken =
                qt::Beschriftungen3d(v.Daten(), v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d()),
                                     v.Ansicht(), QSizeF(flaeche->size()), flaeche->font());
            QVERIFY(marken.size() >= 3);
            for (std::size_t i = 0; i < marken.size(); ++i) {
                const qt::Beschriftung3d& m = marken[i];
                // A number may lie under another's box; those on top are checked.
                const bool verdeckt =
                    std::any_of(marken.begin(), marken.begin() + static_cast<std::ptrdiff_t>(i),
                                [&m](const qt::Beschriftung3d& o) { return o.Feld.intersects(m.Feld); });
                if (verdeckt) continue;
                QFont schrift = flaeche->font();
                schrift.setBold(m.Art != qt::Beschriftung3d::Sorte::Gitter);
                const double deckung = Textdeckung(bild, m.Feld, m.Text, schrift, qt::Textfarbe(m.Art));
                QVERIFY2(deckung > 0.9,
                         qPrintable(QStringLiteral("%1 '%2': %3").arg(knopf, m.Text).arg(deckung)));
            }
        }
    }

    // The traffic curves are drawn over the surface they run on: a curve's chord may sag
    // a few centimetres under the triangles of the road (a crest, a banked bend), and
    // stays in view there, while one a metre under the road (a road below a bridge
    // deck) stays hidden.
    void KurvenUeberDerFlaeche() {
        if (!qt::OpenGLVerfuegbar()) {
            if (qEnvironmentVariableIsSet("PAVOLANT_MIT_GL")) QFAIL(kOhneGl);
            QSKIP(kOhneGl);
        }
        // A level square of 40 m and a curve across it, `tiefe` metres under it.
        auto bild = [](float tiefe) {
            qt::Vorschaudaten d;
            for (const auto& [x, z] :
                 {std::pair{-20.0f, -20.0f}, {20.0f, -20.0f}, {20.0f, 20.0f}, {-20.0f, 20.0f}})
                d.Vertices.insert(d.Vertices.end(), {x, 0, z, 0, 1, 0, 0, 0});
            d.Indizes = {0, 1, 2, 0, 2, 3};
            d.Teile = {{Netzteil::Fahrbahn, 0, 6}};
            qt::Vorschaukurve kurve{Verkehrskurve::Mitte, {}};
            for (float x = -15; x <= 15; x += 5) kurve.Punkte.insert(kurve.Punkte.end(), {x, -tiefe, 3});
            d.Kurven = {kurve};
            d.RahmenMin = {-20, -2, -20};
            d.RahmenMax = {20, 2, 20};
            qt::Vorschaukamera k;
            k.SetzeGier(20);
            k.SetzeNick(30);
            k.SetzeSzene(QVector3D(-20, -2, -20), QVector3D(20, 2, 20));
            k.Einpassen(QVector3D(-20, -2, -20), QVector3D(20, 2, 20), 4.0f / 3);
            return ZeichnenOhneFenster(d, k, qt::Darstellung{});
        };
        const qt::Farbe mitte = qt::Kurvenfarbe(Verkehrskurve::Mitte);
        QVERIFY(!bild(0).isNull());
        const int oben = Farbpixel(bild(0), mitte, 0.99f, 1.01f);
        QVERIFY2(oben > 200, qPrintable(QString::number(oben)));
        for (const float tiefe : {0.005f, 0.02f, 0.05f}) {
            const int n = Farbpixel(bild(tiefe), mitte, 0.99f, 1.01f);
            QVERIFY2(n > oben * 9 / 10,
                     qPrintable(QStringLiteral("%1 m under: %2 of %3").arg(tiefe).arg(n).arg(oben)));
        }
        QCOMPARE(Farbpixel(bild(1.0f), mitte, 0.99f, 1.01f), 0);
    }

    // The switch takes the traffic curves out of the 3-D picture and brings them back.
    void KurvenSchaltbar() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        const QImage bild = v.Bild3d();
        auto* schalter = v.findChild<QCheckBox*>(QStringLiteral("cboKurven"));
        QVERIFY(schalter && schalter->isChecked());
        Klicken(schalter);
        const QImage ohne = v.Bild3d();
        for (Verkehrskurve k : {Verkehrskurve::Mitte, Verkehrskurve::Rechts, Verkehrskurve::Links}) {
            QVERIFY(Farbpixel(bild, qt::Kurvenfarbe(k), 0.99f, 1.01f) > 50);
            QCOMPARE(Farbpixel(ohne, qt::Kurvenfarbe(k), 0.99f, 1.01f), 0);
        }
        Klicken(schalter);
        QCOMPARE(v.Bild3d(), bild);
    }

    // The preview fits beside the main window: down to 600 pixels wide with every control
    // in view and none over another, and a long status text cut short in its line, whole
    // in its tool tip, without widening the window.
    void SchmalesFensterUndLangerStatus() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        const QString grund =
            QStringLiteral("the roadway width ") + QString(300, QLatin1Char('w')) + QStringLiteral(" end");
        Vorschauergebnis stopp;
        stopp.Grund = grund.toStdString();
        v.Zeigen(stopp);
        QVERIFY(v.Status().endsWith(QStringLiteral(" end")));
        auto* zeile = v.findChild<QLabel*>(QStringLiteral("lblHinweis"));
        for (const int breite : {600, 1400}) {
            // Nor does it need to be tall: it fits a laptop's screen beside the main window.
            const QSize kleinste = v.minimumSizeHint();
            QVERIFY2(kleinste.width() <= 600 && kleinste.height() <= 400,
                     qPrintable(QStringLiteral("%1 x %2").arg(kleinste.width()).arg(kleinste.height())));
            v.resize(breite, 560);
            QApplication::processEvents();
            QCOMPARE(v.width(), breite);
            QCOMPARE(zeile->toolTip(), v.Status());
            QVERIFY(zeile->text().endsWith(QChar(0x2026)));
            QVERIFY(zeile->fontMetrics().horizontalAdvance(zeile->text()) <= zeile->width());
            QVERIFY(zeile->text().size() > breite / 40);  // cut to the line, not to nothing
            std::vector<QRect> plaetze;
            for (QWidget* w : v.findChildren<QWidget*>()) {
                if (!w->isVisible() || !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QSpinBox*>(w)))
                    continue;
                const QRect platz(w->mapTo(&v, QPoint(0, 0)), w->size());
                QVERIFY2(v.rect().contains(platz), qPrintable(w->objectName()));
                for (const QRect& anderer : plaetze)
                    QVERIFY2(!anderer.intersects(platz), qPrintable(w->objectName()));
                plaetze.push_back(platz);
            }
            QVERIFY(plaetze.size() >= 9);
            for (const QWidget* w :
                 {v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d")), static_cast<QWidget*>(&v.Plan())})
                QVERIFY(v.rect().contains(QRect(w->mapTo(&v, QPoint(0, 0)), w->size())) &&
                        w->height() >= 180);
        }
    }

private:
    static QVector3D d3(const std::vector<float>& f, std::size_t i) {
        return {f[3 * i], f[3 * i + 1], f[3 * i + 2]};
    }
};

QTEST_MAIN(Vorschau)
#include "test_Vorschau.moc"
