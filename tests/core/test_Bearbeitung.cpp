// The main window's edit history, modified state and the question before unsaved changes
// are lost; files that hold no road change nothing.
#include "persistence/IniDatei.h"
#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;
using Sichern = Dialoge::Sichern;

void Bits(std::ostringstream& s, double w) { s << std::bit_cast<std::uint64_t>(w) << ' '; }

// Everything the user can see of the road, and the model under it, as one text: every
// control by its name, every segment and point to the bit. Built apart from the history's
// own record, so a state it forgets to keep shows here.
std::string Bild(Hauptfenster& f) {
    std::ostringstream s;
    for (const auto& k : Hauptfenster::Edits()) {
        const TEdit& e = *f.Edit(k.name);
        s << k.name << '=' << e.Text << '|' << e.Enabled << e.Visible << '\n';
    }
    for (const auto& k : Hauptfenster::CheckBoxen()) {
        const TCheckBox& c = *f.CheckBox(k.name);
        s << k.name << '=' << c.Checked() << c.Enabled << c.Visible << '\n';
    }
    for (const auto& k : Hauptfenster::SpinEdits()) {
        const TSpinEdit& c = *f.SpinEdit(k.name);
        s << k.name << '=' << c.Value() << ' ' << c.MinValue << ' ' << c.MaxValue << c.Visible << '\n';
    }
    for (const auto& k : Hauptfenster::GroupBoxen()) {
        const TGroupBox& g = *f.GroupBox(k.name);
        s << k.name << '=' << g.Caption << '|' << g.Enabled << g.Visible << '\n';
    }
    for (const TRandPunkte* r : {&f.RandR, &f.RandL}) {
        s << r->Aktiv << r->TexturDatei << r->AktSegment << ' ' << r->Pixel << r->Ruecksetzen << ' ';
        Bits(s, r->TexturLaenge);
        Bits(s, r->TexturBreite);
        for (int i = 0; i < r->AnzahlSegmente(); ++i) {
            const TRandSegment& g = *r->Segment(i);
            for (double w : {g.Breite, g.Winkel, g.NormalenWinkel, g.U, g.X, g.Y}) Bits(s, w);
            s << g.NormaleMan << '\n';
        }
    }
    for (int i = 0; i < f.SplinePunkte.AnzahlPunkte(); ++i) {
        const TSplinePkt& p = *f.SplinePunkte.Punkt(i);
        for (double w : {p.X, p.Y, p.Z, p.Xrot, p.Yrot, p.Zrot}) Bits(s, w);
        s << p.GelaendeLassen << '\n';
    }
    s << f.AktuellerPunkt << f.SplineDatei << f.FuellFlaeche.Textur << f.FuellFlaeche.TauschHB;
    for (double w : {f.FuellFlaeche.TexturBreite, f.FuellFlaeche.TexturHoehe, f.MinLaenge, f.MinWinkel,
                     f.MinSteigung, f.MinZRot, f.MaxSturz, f.OldTexL0})
        Bits(s, w);
    s << f.DreieckeSym << f.TexPxl;
    return s.str();
}

// The user types into a field and leaves it, as the view does.
void Tippen(Fenster& w, TEdit& feld, const std::string& text) {
    w.Ereignis([&] {
        feld.Text = text;
        feld.Exit();
    });
}

const char* const kRandDatei =
    "[Rand_rechts_Geo]\r\nenable1=1\r\nnSegments=2\r\nBreite1=0,5\r\nWinkel1=10\r\nBreite2=1\r\nWinkel2=-"
    "20\r\n"
    "[Rand_rechts_Textur]\r\nFileName=kerb.dds\r\nLaenge=4\r\nBreite=1\r\n";

TEST(Bearbeitung, DreissigSchritteZurueckUndVorGleichBisAufsBit) {
    TempOrdner o;
    DateiSchreiben(o / "rand.ini", kRandDatei);
    DateiSchreiben(o / "Pavolant.ini", "[Preferences]\r\nminLaenge=5\r\nDreieckeSym=1\r\n");
    Fenster w;
    Hauptfenster& f = w.form;
    f.edtFileName.Text = (o / "out.i3d").string();
    f.bbnGo.Enabled = true;

    const std::vector<std::function<void()>> schritte = {
        [&] { Tippen(w, f.edtShapeName, "Dorf"); },
        [&] { w.Ereignis([&] { f.cboSchleppkurve.Click(); }); },
        [&] { Tippen(w, f.edtBreite, "8,5"); },
        [&] { w.Ereignis([&] { f.cboRandRenable.Click(); }); },
        [&] { w.Ereignis([&] { f.spbRandRAddEnd.Click(); }); },
        [&] {
            w.Ereignis([&] {
                f.edtRandRBreite.Text = "0,3";
                f.edtRandRWinkel.Text = "-5";
                f.gboRandRSegmente.Exit();
            });
        },
        [&] { w.Ereignis([&] { f.cboRandLenable.Click(); }); },
        [&] { w.Ereignis([&] { f.spbCopyToLeft.Click(); }); },
        [&] { w.Ereignis([&] { f.cboRandFuellen.Click(); }); },
        [&] { Tippen(w, f.edtTextur1FileName, "asphalt.dds"); },
        [&] { Tippen(w, f.edtTexPxl, "512"); },
        [&] { Tippen(w, f.edtTexStart, "0,25"); },
        [&] { w.Ereignis([&] { f.spbSplineAddEnd.Click(); }); },
        [&] {
            w.Ereignis([&] {
                f.edtSplinePtsX.Text = "-0";
                f.edtSplinePtsZ.Text = "100";
                f.gboSplinePts.Exit();
            });
        },
        [&] { w.Ereignis([&] { f.sedSplinePtsNr.SetValue(1); }); },
        [&] { w.Ereignis([&] { f.spbSplineSub.Click(); }); },
        [&] { w.Ereignis([&] { f.TabellenGelaendeLassen(0, true); }); },
        [&] {
            w.Ereignis([&] {
                f.edtSplinePtsZ.Text = "-50";
                f.gboSplinePts.Exit();
            });
        },
        [&] { w.Ereignis([&] { f.cboRandomBackFold.Click(); }); },
        [&] { w.Ereignis([&] { f.cboRuecksetzen.Click(); }); },
        [&] { w.Ereignis([&] { f.EinstellungenLaden(o / "Pavolant.ini"); }); },
        [&] {
            w.Ereignis([&] {
                f.edtRandLTexLaenge.Text = "5";
                f.gboRandL.Exit();
            });
        },
        [&] { w.Ereignis([&] { f.RandRParameterLaden(o / "rand.ini"); }); },
        [&] { Tippen(w, f.edtTexL0, "0,5"); },
        [&] { w.Ereignis([&] { f.bbnGoClick(); }); },  // TexL0 advances
        [&] { w.Ereignis([&] { f.spbOldTexL0Click(); }); },
        [&] { w.Ereignis([&] { f.cboTrafficSpline.Click(); }); },
        [&] { Tippen(w, f.edtTrafficSplineRechts, "40"); },
        [&] { w.Ereignis([&] { f.spbRandRDel.Click(); }); },
        [&] { w.Ereignis([&] { f.spbCopyToRight.Click(); }); },
        [&] { w.Ereignis([&] { f.SplinePunkteImportieren(test::Testdaten("i3d") / "verschachtelt.i3d"); }); },
    };
    ASSERT_EQ(schritte.size(), 31u);

    std::vector<std::string> bilder{Bild(f)};
    EXPECT_FALSE(f.Geaendert());
    EXPECT_FALSE(f.KannRueckgaengig());
    for (std::size_t k = 0; k < schritte.size(); ++k) {
        schritte[k]();
        bilder.push_back(Bild(f));
        ASSERT_NE(bilder[k + 1], bilder[k]) << "step " << k + 1 << " changed nothing";
        EXPECT_TRUE(f.Geaendert()) << k + 1;
    }
    ASSERT_TRUE(w.dialoge.fehler.empty()) << w.dialoge.fehler.front();
    const std::string mitBericht = f.mmoStatus.Lines.empty() ? "" : f.mmoStatus.Lines.front();

    for (std::size_t k = schritte.size(); k > 0; --k) {
        ASSERT_TRUE(f.KannRueckgaengig()) << k;
        w.Ereignis([&] { f.Rueckgaengig(); });
        ASSERT_EQ(Bild(f), bilder[k - 1]) << "undo to step " << k - 1;
    }
    EXPECT_FALSE(f.KannRueckgaengig());
    EXPECT_FALSE(f.Geaendert());  // back at the start, which counts as saved
    for (std::size_t k = 1; k <= schritte.size(); ++k) {
        ASSERT_TRUE(f.KannWiederholen()) << k;
        w.Ereignis([&] { f.Wiederholen(); });
        ASSERT_EQ(Bild(f), bilder[k]) << "redo to step " << k;
    }
    EXPECT_FALSE(f.KannWiederholen());
    // The history is the road's, not the session's: the memo and the output file stay.
    EXPECT_EQ(f.mmoStatus.Lines.empty() ? "" : f.mmoStatus.Lines.front(), mitBericht);
    EXPECT_EQ(f.edtFileName.Text, (o / "out.i3d").string());
    EXPECT_TRUE(w.dialoge.fehler.empty());
}

TEST(Bearbeitung, UngespeichertesTippenIstEinSchrittUndEinNeuerZweigVerwirftDasWiederholen) {
    Fenster w;
    Hauptfenster& f = w.form;
    Tippen(w, f.edtBreite, "9");
    f.edtSturz.Text = "2";  // typed, the field not yet left
    w.Ereignis([&] { f.Rueckgaengig(); });
    EXPECT_EQ(f.edtSturz.Text, "1");
    EXPECT_EQ(f.edtBreite.Text, "9");
    w.Ereignis([&] { f.Rueckgaengig(); });
    EXPECT_EQ(f.edtBreite.Text, "7");
    EXPECT_TRUE(f.KannWiederholen());
    Tippen(w, f.edtSchleppkurve, "5");
    EXPECT_FALSE(f.KannWiederholen());
    // Nothing to undo or redo changes nothing and says nothing.
    w.Ereignis([&] { f.Wiederholen(); });
    EXPECT_EQ(f.edtSchleppkurve.Text, "5");
    EXPECT_TRUE(w.dialoge.fehler.empty() && w.melder.eintraege.empty());
}

TEST(Bearbeitung, EinEreignisDasAnEinemFeldStopptIstAuchEinSchritt) {
    Fenster w;
    Hauptfenster& f = w.form;
    const std::string vorher = Bild(f);
    EXPECT_FALSE(w.Ereignis([&] {
        f.edtSplinePtsX.Text = "12";
        f.edtSplinePtsY.Text = "x";
        f.gboSplinePts.Exit();
    }));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->X, 12);  // written before the bad field
    w.Ereignis([&] { f.Rueckgaengig(); });
    EXPECT_EQ(Bild(f), vorher);
}

TEST(Bearbeitung, MindestensZweihundertSchritteZurueck) {
    Fenster w;
    Hauptfenster& f = w.form;
    for (int k = 1; k <= 300; ++k) Tippen(w, f.edtShapeName, "Strasse" + std::to_string(k));
    int zurueck = 0;
    while (f.KannRueckgaengig()) {
        w.Ereignis([&] { f.Rueckgaengig(); });
        ++zurueck;
    }
    EXPECT_GE(zurueck, 200);
    EXPECT_EQ(f.edtShapeName.Text, "Strasse" + std::to_string(300 - zurueck));
    // The saved start state has been dropped: no undo makes the road read as saved.
    EXPECT_TRUE(f.Geaendert());
}

TEST(Geaendert, SpeichernUndLadenMachenUnveraendertUndDerTitelNenntDieDatei) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    EXPECT_EQ(f.Titel(), "Pavolant v1.64 by Quenlor - untitled[*]");
    Tippen(w, f.edtBreite, "9");
    EXPECT_TRUE(f.Geaendert());
    w.dialoge.antworten = {(o / "Dorf.ini").string()};
    ASSERT_TRUE(w.Ereignis([&] { f.bbnSaveParaClick(); }));
    EXPECT_FALSE(f.Geaendert());
    EXPECT_EQ(f.Titel(), "Pavolant v1.64 by Quenlor - Dorf.ini[*]");

    // Typed, not yet committed: already a change; typed back, none.
    f.edtBreite.Text = "10";
    EXPECT_TRUE(f.Geaendert());
    f.edtBreite.Text = "9";
    EXPECT_FALSE(f.Geaendert());
    Tippen(w, f.edtBreite, "10");
    EXPECT_TRUE(f.Geaendert());
    w.Ereignis([&] { f.Rueckgaengig(); });  // back to what the file holds
    EXPECT_FALSE(f.Geaendert());
    w.Ereignis([&] { f.Wiederholen(); });
    EXPECT_TRUE(f.Geaendert());
    // Ctrl+S saves into the road's file without a dialog.
    const std::size_t dialoge = w.dialoge.aufrufe.size();
    ASSERT_TRUE(w.Ereignis([&] { f.Speichern(); }));
    EXPECT_EQ(w.dialoge.aufrufe.size(), dialoge);
    EXPECT_FALSE(f.Geaendert());
    EXPECT_NE(DateiLesen(o / "Dorf.ini").find("Breite=10"), std::string::npos);

    // A load is one step that can be undone, and leaves nothing unsaved.
    Fenster v;
    Tippen(v, v.form.edtBreite, "3");
    v.dialoge.antworten = {(o / "Dorf.ini").string()};
    ASSERT_TRUE(v.Ereignis([&] { v.form.bbnLoadParaClick(); }));
    EXPECT_EQ(v.form.edtBreite.Text, "10");
    EXPECT_FALSE(v.form.Geaendert());
    v.Ereignis([&] { v.form.Rueckgaengig(); });
    EXPECT_EQ(v.form.edtBreite.Text, "3");
    EXPECT_TRUE(v.form.Geaendert());
    // Choosing the output file is no change of the road.
    v.Ereignis([&] { v.form.Wiederholen(); });
    v.dialoge.antworten = {(o / "x.i3d").string()};
    v.Ereignis([&] { v.form.bbnSaveClick(); });
    EXPECT_FALSE(v.form.Geaendert());
}

// ---- The question before unsaved changes are lost ----------------------------------------

TEST(Nachfrage, LadenFragtUndJedeAntwortWirkt) {
    TempOrdner o;
    Fenster quelle;
    Tippen(quelle, quelle.form.edtBreite, "11");
    quelle.form.ParameterSpeichern(o / "p.ini");

    Fenster w;
    Hauptfenster& f = w.form;
    // Nothing changed: no question.
    w.dialoge.antworten = {std::nullopt};
    w.Ereignis([&] { f.bbnLoadParaClick(); });
    EXPECT_TRUE(w.dialoge.fragen.empty());

    Tippen(w, f.edtBreite, "9");
    // Cancel: no dialog, nothing changes.
    w.dialoge.sichernAntworten = {Sichern::Abbrechen};
    const std::size_t vorher = w.dialoge.aufrufe.size();
    w.Ereignis([&] { f.bbnLoadParaClick(); });
    EXPECT_EQ(w.dialoge.fragen.back(), "Save changes to untitled?");
    EXPECT_EQ(w.dialoge.aufrufe.size(), vorher);
    EXPECT_EQ(f.edtBreite.Text, "9");

    // Save without a file: the save dialog, cancelled there: no load.
    w.dialoge.sichernAntworten = {Sichern::Speichern};
    w.dialoge.antworten = {std::nullopt, (o / "p.ini").string()};
    w.Ereignis([&] { f.bbnLoadParaClick(); });
    EXPECT_EQ(f.edtBreite.Text, "9");
    EXPECT_EQ(w.dialoge.antworten.size(), 1u);  // the open dialog was never shown

    // Save into a file, then the load goes on.
    w.dialoge.sichernAntworten = {Sichern::Speichern};
    w.dialoge.antworten = {(o / "meins.ini").string(), (o / "p.ini").string()};
    ASSERT_TRUE(w.Ereignis([&] { f.bbnLoadParaClick(); }));
    EXPECT_NE(DateiLesen(o / "meins.ini").find("Breite=9"), std::string::npos);
    EXPECT_EQ(f.edtBreite.Text, "11");

    // Discard: the load goes on without a save.
    Tippen(w, f.edtBreite, "8");
    w.dialoge.sichernAntworten = {Sichern::Verwerfen};
    w.dialoge.antworten = {(o / "p.ini").string()};
    w.Ereignis([&] { f.bbnLoadParaClick(); });
    EXPECT_EQ(f.edtBreite.Text, "11");
    EXPECT_EQ(w.dialoge.fragen.back(), "Save changes to p.ini?");
}

TEST(Nachfrage, SchliessenUndImportFragen) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    Tippen(w, f.edtBreite, "9");
    const fs::path einstellungen = o / "Pavolant.ini";

    w.dialoge.sichernAntworten = {Sichern::Abbrechen};
    EXPECT_FALSE(f.FormCloseQuery(einstellungen));
    EXPECT_FALSE(fs::exists(einstellungen));  // nothing written: the window stays

    // Save fails (the folder is missing): the window stays open, the error said why.
    w.dialoge.sichernAntworten = {Sichern::Speichern};
    w.dialoge.antworten = {(o / "fehlt" / "p.ini").string()};
    EXPECT_FALSE(f.FormCloseQuery(einstellungen));
    EXPECT_EQ(w.dialoge.fehler.size(), 1u);
    EXPECT_FALSE(fs::exists(einstellungen));

    w.dialoge.sichernAntworten = {Sichern::Verwerfen};
    EXPECT_TRUE(f.FormCloseQuery(einstellungen));
    EXPECT_TRUE(fs::exists(einstellungen));

    // The import asks too; cancelling keeps the points and shows no dialog.
    w.dialoge.sichernAntworten = {Sichern::Abbrechen};
    const std::size_t dialoge = w.dialoge.aufrufe.size();
    w.Ereignis([&] { f.bbnSplinePtsOpenClick(); });
    EXPECT_EQ(w.dialoge.aufrufe.size(), dialoge);
    EXPECT_EQ(w.dialoge.fragen.size(), 4u);
}

// ---- Files that hold no road --------------------------------------------------------------

TEST(KeineParameterdatei, AendertNichtsUndSagtWarum) {
    TempOrdner o;
    const std::string i3d =
        "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<i3D name=\"x\" version=\"1.6\">\r\n";
    std::string zufall;
    for (int i = 0; i < 4096; ++i) zufall += static_cast<char>((i * 7919 + 13) % 256);
    const std::vector<std::pair<std::string, std::string>> faelle = {
        {"leer.ini", ""},
        {"zufall.ini", zufall},
        {"Pavolant.ini", "[Preferences]\r\nminLaenge=2\r\nScreenPos_Top=1\r\nScreenPos_Left=1\r\n"},
        {"strasse.i3d", i3d},
        {"anderes.ini", "[Window]\r\nWidth=7\r\n"},
        {"mitnull.ini", std::string("[Fahrbahn_Geo]\r\nBreite=3\0\r\n", 25)},
    };
    Fenster w;
    Hauptfenster& f = w.form;
    Tippen(w, f.edtBreite, "9");
    f.lblParameter.Caption = "vorher";
    const std::string vorher = Bild(f);
    for (const auto& [name, inhalt] : faelle) {
        DateiSchreiben(o / name, inhalt);
        w.dialoge.antworten = {(o / name).string()};
        EXPECT_FALSE(w.Ereignis([&] { f.bbnLoadParaClick(); })) << name;
        EXPECT_EQ(Bild(f), vorher) << name;
        EXPECT_EQ(f.lblParameter.Caption, "vorher") << name;
        ASSERT_FALSE(w.dialoge.fehler.empty());
        EXPECT_NE(w.dialoge.fehler.back().find((o / name).string()), std::string::npos)
            << w.dialoge.fehler.back();
        EXPECT_NE(w.dialoge.fehler.back().find("nichts wurde geändert"), std::string::npos)
            << w.dialoge.fehler.back();
        // Neither border load takes anything from it either.
        EXPECT_FALSE(w.Ereignis([&] { f.RandRParameterLaden(o / name); })) << name;
        EXPECT_FALSE(w.Ereignis([&] { f.RandLParameterLaden(o / name); })) << name;
        EXPECT_EQ(Bild(f), vorher) << name;
    }
    EXPECT_TRUE(f.Geaendert());
    EXPECT_EQ(f.Titel(), "Pavolant v1.64 by Quenlor - untitled[*]");

    // One known section is enough; a border file without the left border loads only
    // the right one.
    DateiSchreiben(o / "rand.ini", kRandDatei);
    EXPECT_FALSE(w.Ereignis([&] { f.RandLParameterLaden(o / "rand.ini"); }));
    EXPECT_EQ(w.dialoge.fehler.back(), "Die Datei " + (o / "rand.ini").string() +
                                           " enthält keinen linken Rand; nichts wurde geändert");
    EXPECT_TRUE(w.Ereignis([&] { f.RandRParameterLaden(o / "rand.ini"); }));
    EXPECT_EQ(f.RandR.TexturDatei, "kerb.dds");
    DateiSchreiben(o / "teil.ini", "[Fahrbahn_Geo]\r\nBreite=5\r\n");
    EXPECT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "teil.ini"); }));
    EXPECT_EQ(f.edtBreite.Text, "5");
}

}  // namespace

namespace {

// A file that cannot be written says why, in the system's words.
TEST(Schreibfehler, NennenDenGrund) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    const fs::path fehlt = o / "fehlt" / "p.ini";
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterSpeichern(fehlt); }));
    EXPECT_EQ(w.dialoge.fehler.back(),
              "In " + fehlt.string() + " kann nicht geschrieben werden: No such file or directory");
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(w.Ereignis([&] { f.ParameterSpeichern("/dev/full"); }));
        // A save reads the file it updates first: a device is no file to update.
        EXPECT_EQ(w.dialoge.fehler.back(),
                  "Die Datei /dev/full kann nicht gelesen werden: Not a regular file");
    }
    fs::create_directory(o / "ordner.ini");
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterLaden(o / "ordner.ini"); }));
    EXPECT_EQ(w.dialoge.fehler.back(),
              "Die Datei " + (o / "ordner.ini").string() + " kann nicht gelesen werden: Is a directory");
    // Nothing was saved: the road stays unsaved and untitled.
    EXPECT_EQ(f.Dokumentname(), "untitled");
}

}  // namespace

namespace {

// "Go" into the road's own parameter file would replace the road with its document.
TEST(Schreibfehler, DokumentNichtInDieParameterdatei) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 10;
    ASSERT_TRUE(w.Ereignis([&] { f.ParameterSpeichern(o / "p.ini"); }));
    const std::string vorher = DateiLesen(o / "p.ini");
    f.edtFileName.Text = (o / "." / "p.ini").string();
    EXPECT_FALSE(w.Ereignis([&] { f.bbnGoClick(); }));
    EXPECT_NE(w.dialoge.fehler.back().find("ist die Parameterdatei der Straße"), std::string::npos);
    EXPECT_EQ(DateiLesen(o / "p.ini"), vorher);
}

}  // namespace
