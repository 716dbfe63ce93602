// The live preview's run: the road as it stands, on copies, with no file and no box.
#include "ui/Vorschauauftrag.h"

#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <thread>

namespace pavolant {
namespace {

using test::Fenster;
using test::TempOrdner;

TEST(Vorschauauftrag, BautDieStrasseWieGoOhneDateiUndOhneDasFensterZuAendern) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 40;
    f.SplinePunkte.Punkt(1)->X = 10;
    f.cboRandomBackFold.SetChecked(true);  // the run draws numbers: the window's must stay
    f.edtFileName.Text = (ordner / "a.i3d").string();
    const std::string texL0 = f.edtTexL0.Text;

    // Made on this thread, run on another while the window goes on.
    std::unique_ptr<Vorschauauftrag> auftrag = f.NeuerVorschauauftrag();
    f.SplinePunkte.Punkt(1)->X = 99;  // an edit after the copy does not reach the run
    Vorschauergebnis e;
    std::thread([&] { e = auftrag->Ausfuehren(); }).join();
    f.SplinePunkte.Punkt(1)->X = 10;

    ASSERT_TRUE(e.Bericht && e.Bericht->Vollstaendig) << e.Grund;
    EXPECT_TRUE(e.Grund.empty());
    EXPECT_TRUE(w.melder.eintraege.empty());
    EXPECT_TRUE(test::Eintraege(ordner.Pfad()).empty());
    EXPECT_EQ(f.edtTexL0.Text, texL0);
    EXPECT_FALSE(f.LetzterLauf());
    ASSERT_EQ(e.Punkte.size(), 2u);
    EXPECT_EQ(e.Punkte[1].X, 10);

    // "Go" afterwards draws the same numbers the preview drew: the same road.
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGoClick(); }));
    ASSERT_TRUE(f.LetzterLauf() && f.LetzterLauf()->Dreiecksnetz);
    const Netz& go = *f.LetzterLauf()->Dreiecksnetz;
    const Netz& vorschau = *e.Bericht->Dreiecksnetz;
    ASSERT_EQ(vorschau.AnzVertices(), go.AnzVertices());
    ASSERT_EQ(vorschau.AnzDreiecke(), go.AnzDreiecke());
    for (std::size_t i = 0; i < go.Vertices.size(); ++i) {
        EXPECT_EQ(vorschau.Vertices[i].X, go.Vertices[i].X);
        EXPECT_EQ(vorschau.Vertices[i].V, go.Vertices[i].V);
    }
}

TEST(Vorschauauftrag, EinGestoppterLaufSagtWarumUndBehaeltDieMeldungen) {
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 40;
    f.edtBreite.Text = "breit";
    f.edtSplinePtsX.Text = "breit";  // the same text in a field the run does not read
    Vorschauergebnis e = f.NeuerVorschauauftrag()->Ausfuehren();
    EXPECT_FALSE(e.Bericht && e.Bericht->Geschrieben);
    EXPECT_EQ(e.Grund, "'breit' ist kein gültiger Gleitkommawert (Roadway - Geometry: Width)");
    EXPECT_TRUE(w.dialoge.fehler.empty());
    // Each field by its own name, as the error box of "Go" names it.
    f.edtBreite.Text = "7";
    const std::string laenge = f.edtTextur1Laenge.Text;
    f.edtTextur1Laenge.Text = "x";
    EXPECT_EQ(f.NeuerVorschauauftrag()->Ausfuehren().Grund,
              "'x' ist kein gültiger Gleitkommawert (Roadway - Texture: Length)");
    f.edtTextur1Laenge.Text = laenge;

    f.SplinePunkte.Punkt(1)->Z = 0;  // both points on one spot: the centre line warns
    e = f.NeuerVorschauauftrag()->Ausfuehren();
    EXPECT_FALSE(e.Bericht && e.Bericht->Geschrieben);
    ASSERT_FALSE(e.Meldungen.empty());
    EXPECT_EQ(e.Grund, e.Meldungen.back());
    EXPECT_TRUE(w.melder.eintraege.empty());
}

}  // namespace
}  // namespace pavolant
