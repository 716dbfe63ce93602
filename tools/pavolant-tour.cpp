// pavolant-tour: the desktop program's screenshot tour, a program of its own so that the
// shipped program carries none of it. It starts the main window as the desktop program
// does (the same start-up, settings file and language), takes it through its windows
// and saves a picture of each into DIR (see Rundgang), then ends without touching the
// settings file; message boxes, which nobody could confirm then, go to standard error
// instead. Not installed; scripts/screenshots.sh and the tests run it from the build.
//
//   pavolant-tour DIR [PARAMS.ini]
//
// PARAMS.ini is loaded as "Load parameter" loads it, after the first picture.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "model/Text.h"
#include "persistence/Einstellungen.h"
#include "persistence/Plattform.h"
#include "tests/support/DdsSchreiber.h"
#include "tests/support/PngSchreiber.h"
#include "ui/Hauptfenster.h"
#include "ui/qt/Hauptfensteransicht.h"
#include "ui/qt/Hoehenplanansicht.h"
#include "ui/qt/Importdialog.h"
#include "ui/qt/Parameterliste.h"
#include "ui/qt/Profilansicht.h"
#include "ui/qt/Programmstart.h"
#include "ui/qt/Punktetabelle.h"
#include "ui/qt/QtDialoge.h"
#include "ui/qt/vorschau/Strassenvorschau.h"
#include "ui/qt/vorschau/Vorschauplan.h"

namespace {

using namespace pavolant;

constexpr const char* kAufruf = TrVorgemerkt(
    // Catalog: the usage of the screenshot tour. The placeholders (DIR, PARAMS.ini) may
    // be translated; the descriptions keep one column.
    "usage: pavolant-tour DIR [PARAMS.ini]\n"
    "\n"
    "  DIR                 the folder the pictures of the windows are saved into (PNG)\n"
    "  PARAMS.ini          the road loaded, generated into a temporary folder, and its\n"
    "                      profile, listing and preview shown\n");

// A message box as a line of standard error: "warning: TEXT" or "information: TEXT".
std::string Meldungszeile(MeldungsArt art, const std::string& text) {
    return Einsetzen(art == MeldungsArt::Warnung ? Tr("warning: %1") : Tr("information: %1"),
                     {qt::Meldungstext(text).toStdString()});
}

// A message of the screenshot tour: the program's name, then the text.
void Rundgangsmeldung(const std::string& text) { std::cerr << "pavolant-tour: " << text << '\n'; }

// For the screenshot run: every box as a line on standard error.
class Textmelder : public Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override {
        std::cerr << Meldungszeile(art, text) << '\n';
    }
};

// For the screenshot run: every open dialog is cancelled, the save dialog answers with
// `ausgabe` (nothing when empty). While `echt` is set, the error box and the question
// about unsaved changes are its boxes, for the pictures of them.
class Textdialoge : public Dialoge {
public:
    std::string ausgabe;
    Dialoge* echt = nullptr;
    std::optional<std::string> DateiOeffnen(const DateiAuswahl&) override { return std::nullopt; }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl&) override {
        if (ausgabe.empty()) return std::nullopt;
        return ausgabe;
    }
    void Fehler(const std::string& text) override {
        if (echt) return echt->Fehler(text);
        std::cerr << Einsetzen(Tr("error: %1"), {qt::Meldungstext(text).toStdString()}) << '\n';
    }
    // The tour leaves nothing behind: unsaved changes are never saved, and the real box
    // is only ever answered with Cancel.
    Sichern AenderungenSichern(const std::string& frage) override {
        if (echt) return echt->AenderungenSichern(frage);
        return Sichern::Verwerfen;
    }  // Printed like the other boxes, and no offer taken.
    std::optional<std::size_t> Anbieten(MeldungsArt art, const std::string& text,
                                        const std::vector<std::string>&) override {
        std::cerr << Meldungszeile(art, text) << '\n';
        return std::nullopt;
    }
};

struct Auftrag {
    std::optional<QString> bilder;  // the folder for the screenshots
    std::optional<std::string> parameter;
};

// Lets the event loop run for `ms` milliseconds: layouts settle and pictures are painted.
void Warten(int ms) {
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
}

bool Speichern(const QImage& bild, const QString& ordner, const char* name) {
    const QString pfad = QDir(ordner).filePath(QString::fromLatin1(name));
    if (bild.save(pfad, "PNG")) return true;
    Rundgangsmeldung(Einsetzen(Tr("cannot write %1"), {pfad.toStdString()}));
    return false;
}

bool Speichern(QWidget& w, const QString& ordner, const char* name) {
    return Speichern(w.grab().toImage(), ordner, name);
}

// Runs `aktion` once the modal dialog `d`, shown by `zeigen`, is on screen, then closes it.
// A dialog that refuses to close (an edit that cannot end) is hidden all the same, which
// ends its modal loop, so the tour can never hang; `ok` then turns false.
template <class Dialog>
void ImDialog(Dialog& d, bool& ok, const std::function<void()>& zeigen, const std::function<void()>& aktion) {
    QTimer::singleShot(0, &d, [&d, &ok, aktion] {
        Warten(300);
        aktion();
        d.accept();
        if (d.isVisible()) {
            Rundgangsmeldung(Einsetzen(Tr("%1 did not close"), {d.objectName().toStdString()}));
            ok = false;
            d.hide();
        }
    });
    zeigen();
}

// The window with `box` over it where the desktop placed it (kept inside the picture). A
// grab has no window frame, so the box gets a thin outline to stand apart.
QImage Ueberlagert(QWidget& fenster, QWidget& box) {
    QImage bild = fenster.grab().toImage();
    const QImage oben = box.grab().toImage();
    const QPoint versatz = box.geometry().topLeft() - fenster.geometry().topLeft();
    const QPoint wo(std::clamp(versatz.x(), 1, std::max(1, bild.width() - oben.width() - 1)),
                    std::clamp(versatz.y(), 1, std::max(1, bild.height() - oben.height() - 1)));
    QPainter maler(&bild);
    maler.drawImage(wo, oben);
    maler.setPen(QColor(70, 70, 70));
    maler.drawRect(QRect(wo, oben.size()).adjusted(-1, -1, 0, 0));
    return bild;
}

// Photographs the message box that `zeigen` opens: once it is on screen, the window with
// the box over it is saved as `name`, then the box is answered with `antwort`. A box that
// stays open is hidden, which ends its modal loop, so the tour cannot hang; no box, or
// one that stayed open, turns `ok` false.
void BoxImBild(QWidget& fenster, const QString& ordner, const char* name, QMessageBox::StandardButton antwort,
               bool& ok, const std::function<void()>& zeigen) {
    bool gesehen = false;
    QTimer suche;
    QObject::connect(&suche, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        suche.stop();
        gesehen = true;
        Warten(300);
        ok = Speichern(Ueberlagert(fenster, *box), ordner, name) && ok;
        if (QAbstractButton* knopf = box->button(antwort)) knopf->click();
        if (box->isVisible()) {
            Rundgangsmeldung(Einsetzen(Tr("the box of %1 did not close"), {name}));
            ok = false;
            box->hide();
        }
    });
    suche.start(10);
    zeigen();
    suche.stop();
    if (!gesehen) {
        Rundgangsmeldung(Einsetzen(Tr("no box for %1"), {name}));
        ok = false;
    }
}

// Textures for the example road's parts as the editor keeps them, DDS with mipmaps, in
// `ordner` (beside the document): asphalt with edge lines and a dashed centre line
// (BC1; U across the road, V along it), a concrete kerb with joints (uncompressed), grass
// (BC3). The noise is a fixed hash, so the pictures repeat. False when a file failed.
bool TexturenAnlegen(const std::filesystem::path& ordner) {
    using test::RgbaBild;
    auto rauschen = [](int x, int y) {
        std::uint32_t h =
            static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return static_cast<int>((h ^ (h >> 16)) & 0xFF);
    };
    auto setzen = [](std::uint8_t* p, int r, int g, int b) {
        p[0] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
        p[3] = 255;
    };
    constexpr int n = 256;
    RgbaBild strasse(n, n), bordstein(n, n), gras(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int grau = 78 + rauschen(x, y) / 12;
            const bool rand = x >= 6 && x < 12 ? true : x >= n - 12 && x < n - 6;
            const bool mitte = x >= n / 2 - 3 && x < n / 2 + 3 && (y % 128) < 80;  // a dash of 5/8 the repeat
            if (rand || mitte)
                setzen(strasse.Bei(x, y), 225, 225, 215);
            else
                setzen(strasse.Bei(x, y), grau, grau, grau + 4);
            const int beton = 170 + rauschen(x + 999, y) / 16;
            const bool fuge = y % 64 < 2;  // a joint every quarter repeat
            setzen(bordstein.Bei(x, y), fuge ? 90 : beton, fuge ? 90 : beton, fuge ? 90 : beton - 6);
            const int halm = rauschen(x, y + 4711);
            setzen(gras.Bei(x, y), 50 + halm / 8, 105 + halm / 4, 35 + halm / 16);
        }
    bool ok = true;
    for (const auto& [name, bild, art] :
         {std::tuple{"road_diffuse.dds", &strasse, test::DdsArt::BC1},
          std::tuple{"kerb_diffuse.dds", &bordstein, test::DdsArt::Unkomprimiert},
          std::tuple{"verge_diffuse.dds", &gras, test::DdsArt::BC3}}) {
        std::ofstream aus(ordner / name, std::ios::binary);
        aus << test::DdsDatei(*bild, art);
        aus.close();
        ok = ok && !aus.fail();
    }
    return ok;
}

// The road on a ground (preview-terrain.png, and the plan over the shaded relief:
// preview-terrain-plan.png): a height image of rolling hills written into `ablage`
// (1025 x 1025 pixels a metre apart, 60 m for the brightest value) is chosen as the
// terrain, every point dropped onto it, the points oriented and the road generated again;
// the preview shows some 200 m of it with the heights doubled. Afterwards the drop and the
// orientation are undone and the terrain unset, so the pictures after it show the road as
// loaded. True when the pictures were written (the 3-D one only where there is OpenGL).
bool GelaendeImBild(qt::Hauptfensteransicht& fenster, Hauptfenster& form, const QString& ordner,
                    const std::filesystem::path& ablage) {
    constexpr int kSeite = 1025;
    constexpr double kHoehenskala = 60;
    std::vector<std::uint16_t> werte(static_cast<std::size_t>(kSeite) * kSeite);
    for (int j = 0; j < kSeite; ++j)
        for (int i = 0; i < kSeite; ++i) {
            // Level X and Z of the pixel: the image is centred on the origin.
            const double x = i - (kSeite - 1) / 2.0, z = j - (kSeite - 1) / 2.0;
            // Broad hills a road between dropped points can follow, as a map's fields are.
            const double h =
                30 + 12 * std::sin(x / 140) * std::cos(z / 110) + 4 * std::sin((x + 2 * z) / 180) + 0.02 * x;
            werte[static_cast<std::size_t>(j) * kSeite + static_cast<std::size_t>(i)] =
                static_cast<std::uint16_t>(std::clamp(std::lround(h / kHoehenskala * 65535), 0L, 65535L));
        }
    const std::filesystem::path bild = ablage / "terrain.png";
    {
        std::ofstream aus(bild, std::ios::binary);
        aus << test::PngDatei(kSeite, kSeite, werte);
        if (!aus) {
            Rundgangsmeldung(Tr("the tour's height image could not be written"));
            return false;
        }
    }
    Gelaendequelle quelle;
    quelle.Datei = Utf8(bild);
    quelle.HeightScale = kHoehenskala;
    quelle.UnitsPerPixel = 1;
    form.Gelaendewahl = quelle;
    qt::Bindung& b = fenster.Verbindung();
    // Dropped, then oriented, so that the grades follow the ground between the points.
    bool ok = b.Ereignis([&] { form.PunkteAufGelaende(false); });
    ok = b.Ereignis([&] { form.btnSplineAusrichtenClick(); }) && ok;
    ok = b.Ereignis([&] { form.bbnGoClick(); }) && ok;
    ok = form.LetzterLauf() && form.LetzterLauf()->Geschrieben && ok;
    qt::Strassenvorschau& vorschau = fenster.Vorschau();
    vorschau.show();
    vorschau.resize(1180, 640);
    Warten(400);
    if (!vorschau.Daten().Boden) {
        Rundgangsmeldung(Tr("the preview shows no terrain"));
        ok = false;
    }
    // Heights twice as high, some 200 m of road around point 4 without the
    // traffic curves, so that the roadway and its borders show on the ground from above its right side.
    if (auto* ueberhoehung = vorschau.findChild<QSpinBox*>(QStringLiteral("sedUeberhoehung")))
        ueberhoehung->setValue(2);
    vorschau.SetzeKurven(false);
    qt::Vorschaukamera& kamera = vorschau.Kamera();
    kamera.SetzeGier(-35.0f);
    kamera.SetzeNick(35.0f);
    vorschau.Einpassen();
    const std::vector<float>& marken = vorschau.Daten().Marken;
    if (marken.size() >= 12) {
        const QVector3D punkt(marken[9], 2 * marken[10], marken[11]);
        kamera.Einpassen(punkt - QVector3D(100, 10, 100), punkt + QVector3D(70, 10, 70),
                         vorschau.Seitenverhaeltnis3d());
    }
    if (const QImage dreiD = vorschau.Bild3d(); !dreiD.isNull())
        ok = Speichern(dreiD, ordner, "preview-terrain.png") && ok;
    ok = Speichern(vorschau.BildPlan(), ordner, "preview-terrain-plan.png") && ok;
    if (auto* ueberhoehung = vorschau.findChild<QSpinBox*>(QStringLiteral("sedUeberhoehung")))
        ueberhoehung->setValue(1);
    vorschau.SetzeKurven(true);
    vorschau.close();
    fenster.AktionRueckgaengig().trigger();
    fenster.AktionRueckgaengig().trigger();
    form.Gelaendewahl.reset();
    return ok;
}

// The tour of the screenshots: the window as it opens (main-fresh.png). With a parameter
// file: the road loaded with its borders (main-example.png), generated into a temporary
// folder (main-after-go.png, the report in the memo; on a 1366 x 768 display also the
// whole screen, main-1366x768.png), its cross-section as drawn and
// undistorted (profile-distorted.png, profile-undistorted.png), the right border's
// listing (listing.png) and the road preview in 3-D and from above (preview-3d.png,
// preview-plan.png; the 3-D pictures only where OpenGL is available, as a note otherwise),
// a close-up of it as a UV check (preview-uvcheck.png) and with DDS textures the tour writes
// beside the document (preview-textured.png), point 3 dragged in the plan view
// with the live road following it (preview-plan-drag.png, then undone),
// the points table beside the point editor (points-table.png), the import's choice on a
// scene of several splines (import-tree.png), the plot of the road over a ground the tour
// makes (terrain-plot.png),
// the question when the changed road's window is to close (unsaved-question.png, answered
// with Cancel), and the error box of letters typed into the roadway width before "Go"
// (error-field.png), and before these two the road dropped onto a terrain of hills in the
// 3-D preview (preview-terrain.png, with OpenGL only). True when every picture was written.
bool Rundgang(qt::Hauptfensteransicht& fenster, Hauptfenster& form, Textdialoge& dialoge,
              const Auftrag& auftrag) {
    const QString& ordner = *auftrag.bilder;
    Warten(300);
    bool ok = Speichern(fenster, ordner, "main-fresh.png");
    if (!auftrag.parameter) return ok;

    qt::Bindung& b = fenster.Verbindung();
    const std::filesystem::path parameter = PfadAusUtf8(*auftrag.parameter);
    ok = b.Ereignis([&] { form.ParameterLaden(parameter); }) && ok;
    Warten(200);
    ok = Speichern(fenster, ordner, "main-example.png") && ok;

    QTemporaryDir ablage;
    dialoge.ausgabe = QDir(ablage.path()).filePath(QStringLiteral("road.i3d")).toStdString();
    ok = b.Ereignis([&] { form.bbnSaveClick(); }) && ok;
    ok = b.Ereignis([&] { form.bbnGoClick(); }) && ok;
    ok = form.LetzterLauf() && form.LetzterLauf()->Geschrieben && ok;
    Warten(200);
    ok = Speichern(fenster, ordner, "main-after-go.png") && ok;
    // On a laptop's display (the tour run on 1366 x 768): the whole screen, which shows
    // the window fitting it with the report's last line in sight.
    if (QScreen* schirm = QGuiApplication::primaryScreen(); schirm && schirm->size() == QSize(1366, 768))
        ok = Speichern(schirm->grabWindow(0).toImage(), ordner, "main-1366x768.png") && ok;

    qt::Profilansicht& profil = fenster.Profil();
    ok = b.Ereignis([&] {
        form.bbnGrafikSchnittClick([&] {
            ImDialog(
                profil, ok, [&] { profil.Zeigen(); },
                [&] {
                    ok = Speichern(profil, ordner, "profile-distorted.png") && ok;
                    profil.Verbindung().Ereignis([&] { form.Profil.cboUnverzerrt.Click(); });
                    Warten(200);
                    ok = Speichern(profil, ordner, "profile-undistorted.png") && ok;
                    profil.Verbindung().Ereignis([&] { form.Profil.cboUnverzerrt.Click(); });
                });
        });
    }) && ok;

    qt::Parameterliste& liste = fenster.Liste();
    ok = b.Ereignis([&] {
        form.bbnShowRightParameterClick([&] {
            ImDialog(
                liste, ok, [&] { liste.Zeigen(); },
                [&] { ok = Speichern(liste, ordner, "listing.png") && ok; });
        });
    }) && ok;

    qt::Strassenvorschau& vorschau = fenster.Vorschau();
    vorschau.show();
    Warten(400);
    // The whole road with north up, as in the plan view beside it: the labels of the
    // points and the grid, and the scale bar.
    qt::Vorschaukamera& kamera = vorschau.Kamera();
    kamera.SetzeGier(0.0f);
    kamera.SetzeNick(45.0f);
    vorschau.Einpassen();
    const QImage dreiD = vorschau.Bild3d();
    if (dreiD.isNull())
        Rundgangsmeldung(Tr("no OpenGL on this display, so no preview-3d.png"));
    else
        ok = Speichern(dreiD, ordner, "preview-3d.png") && ok;
    ok = Speichern(vorschau.BildPlan(), ordner, "preview-plan.png") && ok;
    // Close enough to see the borders and the light on them: some 20 m of road around
    // the second control point, seen from above at an angle.
    const std::vector<float>& marken = vorschau.Daten().Marken;
    if (marken.size() >= 6) {
        const QVector3D punkt(marken[3], marken[4], marken[5]);
        kamera.SetzeGier(-35.0f);
        kamera.SetzeNick(35.0f);
        kamera.Einpassen(punkt - QVector3D(10, 2, 10), punkt + QVector3D(10, 2, 10),
                         vorschau.Seitenverhaeltnis3d());
    }
    // The close-up as a checker in the texture coordinates.
    vorschau.SetzeUvKaro(true);
    if (const QImage karo = vorschau.Bild3d(); !karo.isNull())
        ok = Speichern(karo, ordner, "preview-uvcheck.png") && ok;
    vorschau.SetzeUvKaro(false);
    // The same with textures: DDS files written beside the document, as the editor finds them.
    if (!TexturenAnlegen(PfadAusUtf8(ablage.path().toStdString()))) {
        Rundgangsmeldung(Tr("the tour's textures could not be written"));
        ok = false;
    }
    vorschau.SetzeTexturen(true);
    if (const QImage bild = vorschau.Bild3d(); !bild.isNull())
        ok = Speichern(bild, ordner, "preview-textured.png") && ok;
    vorschau.SetzeTexturen(false);
    // Point 3 dragged in the plan view: the editor shows its new place and the live road
    // follows it; the move is undone afterwards.
    qt::Vorschauplan& plan = vorschau.Plan();
    const std::vector<qt::Vorschauplan::Beschriftung> marken3 = plan.Beschriftungen();
    if (marken3.size() >= 3) {
        const QPointF von = marken3[2].Punkt, nach = von + QPointF(45, 35);
        QMouseEvent druck(QEvent::MouseButtonPress, von, plan.mapToGlobal(von), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&plan, &druck);
        QMouseEvent zug(QEvent::MouseMove, nach, plan.mapToGlobal(nach), Qt::NoButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(&plan, &zug);
        QMouseEvent los(QEvent::MouseButtonRelease, nach, plan.mapToGlobal(nach), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&plan, &los);
        for (int i = 0; i < 50 && fenster.VorschauRechnet(); ++i) Warten(50);
        Warten(200);
        ok = Speichern(vorschau.grab().toImage(), ordner, "preview-plan-drag.png") && ok;
        fenster.AktionRueckgaengig().trigger();
    }
    vorschau.close();

    // The points table opened by its button, the third point chosen in it, beside the
    // window's point editor, which shows that point.
    if (auto* knopf = fenster.findChild<QAbstractButton*>(QStringLiteral("btnPunktetabelle"))) {
        knopf->click();
        qt::Punktetabellenansicht& tabelle = fenster.Punktetabelle();
        tabelle.Tabelle().selectRow(2);
        Warten(300);
        QWidget* gruppe = fenster.findChild<QWidget*>(QStringLiteral("gboSplinePts"));
        const QImage links = gruppe ? gruppe->grab().toImage() : QImage();
        const QImage rechts = tabelle.grab().toImage();
        QImage bild(links.width() + 8 + rechts.width(), std::max(links.height(), rechts.height()),
                    QImage::Format_ARGB32);
        bild.fill(fenster.palette().window().color());
        QPainter maler(&bild);
        maler.drawImage(0, 0, links);
        maler.drawImage(links.width() + 8, 0, rechts);
        maler.end();
        ok = Speichern(bild, ordner, "points-table.png") && ok;
        tabelle.close();
    } else {
        Rundgangsmeldung(Tr("no points table button"));
        ok = false;
    }

    // The import's choice on a scene of several splines, one group picked in its tree
    // (import-tree.png); cancelled, so the road stays.
    {
        const std::filesystem::path szenendatei =
            PfadAusUtf8(QDir(ablage.path()).filePath(QStringLiteral("splines.i3d")).toStdString());
        std::string szene =
            "<i3D name=\"splines\" version=\"1.6\">\n  <Scene>\n    <TransformGroup name=\"splines\">\n";
        const struct {
            const char* name;
            int punkte;
            double x;
        } gruppen[] = {{"mainRoad", 7, 0}, {"farmTrack", 4, 300}, {"villageLoop", 5, -250}};
        for (const auto& g : gruppen) {
            szene += std::string("      <TransformGroup name=\"") + g.name + "\" translation=\"" +
                     FormatAllgemein(g.x) + " 0 0\">\n";
            for (int i = 1; i <= g.punkte; ++i)
                szene += std::string("        <Shape name=\"") + g.name + std::to_string(i) +
                         "\" translation=\"0 0 " + std::to_string(40 * i) + "\"/>\n";
            szene += "      </TransformGroup>\n";
        }
        szene += "    </TransformGroup>\n  </Scene>\n</i3D>\n";
        std::ofstream(szenendatei, std::ios::binary) << szene;
        try {
            const I3dSzene gelesen = LeseI3dSzene(Utf8(szenendatei));
            qt::Importdialog wahl(gelesen, Importbaum(gelesen), &fenster);
            wahl.show();
            const QList<QTreeWidgetItem*> treffer =
                wahl.Baum().findItems(QStringLiteral("farmTrack"), Qt::MatchRecursive);
            if (!treffer.isEmpty()) treffer.front()->setSelected(true);
            Warten(300);
            ok = Speichern(Ueberlagert(fenster, wahl), ordner, "import-tree.png") && ok;
            wahl.reject();
        } catch (const std::exception& e) {
            Rundgangsmeldung(e.what());
            ok = false;
        }
    }

    // The road over a rolling ground of the tour's own (a 16-bit height image in the
    // temporary folder), cutting into its rises and filled over its hollows: the plot
    // "Road and terrain" (terrain-plot.png). The terrain is dropped again afterwards.
    {
        constexpr int n = 257;         // pixels a side, 3 m apart: 768 m square around the origin
        constexpr double kHoehe = 20;  // metres for the pixel value 65535
        QImage bild(n, n, QImage::Format_Grayscale16);
        for (int j = 0; j < n; ++j) {
            auto* zeile = reinterpret_cast<std::uint16_t*>(bild.scanLine(j));
            for (int i = 0; i < n; ++i) {
                const double x = (i - (n - 1) / 2.0) * 3, z = (j - (n - 1) / 2.0) * 3;
                const double h = 1.6 + 1.8 * std::sin(x / 45.0) + 1.3 * std::cos(z / 38.0) - 0.002 * x;
                zeile[i] = static_cast<std::uint16_t>(std::clamp(h / kHoehe, 0.0, 1.0) * 65535 + 0.5);
            }
        }
        const QString png = QDir(ablage.path()).filePath(QStringLiteral("ground.png"));
        if (!bild.save(png, "PNG")) {
            Rundgangsmeldung(Einsetzen(Tr("cannot write %1"), {png.toStdString()}));
            ok = false;
        }
        const std::optional<Gelaendequelle> vorher = form.Gelaendewahl;
        form.Gelaendewahl = Gelaendequelle{png.toStdString(), kHoehe, 3, 0.05};
        ok = b.Ereignis([&] { form.btnStrasseUndGelaende.Click(); }) && ok;
        qt::Hoehenplanansicht& plot = fenster.Hoehenplan();
        plot.resize(1000, 460);
        for (int i = 0; i < 100 && fenster.VorschauRechnet(); ++i) Warten(50);
        Warten(300);
        if (!plot.Stand().Schnitt || !plot.Stand().Hinweis.empty()) {
            Rundgangsmeldung(
                Einsetzen(Tr("the plot of road and terrain shows no road: %1"), {plot.Stand().Hinweis}));
            ok = false;
        }
        ok = Speichern(plot, ordner, "terrain-plot.png") && ok;
        plot.close();
        form.Gelaendewahl = vorher;
    }
    ok = GelaendeImBild(fenster, form, ordner, PfadAusUtf8(ablage.path().toStdString())) && ok;

    // From here the two boxes are the desktop's own, photographed over the window.
    qt::QtDialoge echt;
    echt.SetzeFenster(&fenster);
    dialoge.echt = &echt;

    // The run set the next texture start, so the road differs from the loaded file: the
    // window asks before it closes. Cancel keeps it open and writes nothing.
    if (!form.Geaendert()) {
        Rundgangsmeldung(Tr("the road has no unsaved change to ask about"));
        ok = false;
    }
    BoxImBild(fenster, ordner, "unsaved-question.png", QMessageBox::Cancel, ok, [&] {
        if (fenster.close()) {
            Rundgangsmeldung(Tr("the window closed instead of keeping its changes"));
            ok = false;
        }
    });

    // Letters typed into the roadway width, then a click on "Go": the error names the
    // field, which afterwards has the focus with the letters selected.
    auto* breite = fenster.findChild<QLineEdit*>(QStringLiteral("edtBreite"));
    auto* go = fenster.findChild<QAbstractButton*>(QStringLiteral("bbnGo"));
    if (breite && go) {
        breite->setFocus(Qt::MouseFocusReason);
        breite->selectAll();
        breite->insert(QStringLiteral("abc"));  // as typed: the window logic takes the text
        go->setFocus(Qt::MouseFocusReason);
        BoxImBild(fenster, ordner, "error-field.png", QMessageBox::Ok, ok, [&] { go->click(); });
    } else {
        Rundgangsmeldung(Tr("no roadway width or Go to show an error with"));
        ok = false;
    }
    dialoge.echt = nullptr;
    return ok;
}

// nullopt with `code` set when the program should end at once.
std::optional<Auftrag> Zerlegen(const QStringList& argumente, int& code) {
    Auftrag a;
    for (qsizetype i = 1; i < argumente.size(); ++i) {
        const QString& arg = argumente[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::cout << Tr(kAufruf);
            code = 0;
            return std::nullopt;
        }
        if (arg.startsWith(QLatin1Char('-')) || a.parameter) {
            std::cerr << "pavolant-tour: " << Einsetzen(Tr("unexpected argument '%1'"), {arg.toStdString()})
                      << "\n\n"
                      << Tr(kAufruf);
            code = 2;
            return std::nullopt;
        }
        if (!a.bilder)
            a.bilder = arg;
        else
            a.parameter = arg.toStdString();
    }
    if (!a.bilder) {  // the folder is not optional
        std::cerr << Tr(kAufruf);
        code = 2;
        return std::nullopt;
    }
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    // As in the desktop program: interrupted during a run or a save, the tour leaves no
    // temporary file behind.
    AbbruchsignaleAbfangen();
    QApplication app(argc, argv);
    QTranslator qtTexte;
    qt::AnwendungEinrichten(qtTexte, EinstellungsPfad());

    int code = 0;
    const std::optional<Auftrag> auftrag = Zerlegen(QApplication::arguments(), code);
    if (!auftrag) return code;

    Textmelder melder;
    Textdialoge dialoge;
    Hauptfenster form(melder, dialoge);
    qt::Hauptfensteransicht fenster(form, dialoge);

    qt::Starten(form, fenster, EinstellungsPfad(), qt::Bildschirme());
    fenster.SetzeSchliessfrage(
        [&form, &fenster] { return qt::Schliessen(form, fenster, EinstellungsPfad()); });

    // The tour loads the parameters itself, after the first picture.
    fenster.show();
    QTimer::singleShot(0, &fenster, [&] {
        const bool ok = Rundgang(fenster, form, dialoge, *auftrag);
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
