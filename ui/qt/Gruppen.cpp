#include "ui/qt/Gruppen.h"

#include "model/Text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSizePolicy>
#include <QSpinBox>
#include <QToolButton>

#include <string>

namespace pavolant::qt {

namespace {

void PlatzBehalten(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

// A list editor's row, left-aligned: the spin that selects the item (keeping its place
// while hidden), then the insert, delete and append glyph buttons.
QHBoxLayout* Knopfzeile(Bausteine& b, const std::string& spin, const std::string& einfuegen,
                        const std::string& loeschen, const std::string& anhaengen) {
    auto* zeile = new QHBoxLayout;
    zeile->setSpacing(3);
    QSpinBox* nr = b.Spin(spin);
    nr->setMinimumWidth(60);
    PlatzBehalten(nr);
    zeile->addWidget(nr);
    zeile->addWidget(b.Glyphe(einfuegen, Symbol::Einfuegen));
    zeile->addWidget(b.Glyphe(loeschen, Symbol::Loeschen));
    zeile->addWidget(b.Glyphe(anhaengen, Symbol::Anhaengen));
    zeile->addStretch(1);
    return zeile;
}

}  // namespace

QGroupBox* GeometrieGruppe(Bausteine& b) {
    QGridLayout* r = nullptr;
    QGroupBox* g = b.Gruppe("GroupBox2", r);
    r->addWidget(b.Beschriftung("lblBreite"), 0, 0);
    r->addWidget(b.Feld("edtBreite"), 0, 1);
    r->addWidget(Text("m"), 0, 2);
    r->addWidget(b.Box("cboSchleppkurve"), 1, 0);
    r->addWidget(b.Feld("edtSchleppkurve"), 1, 1);
    r->addWidget(b.Box("cboSturz"), 2, 0);
    r->addWidget(b.Feld("edtSturz"), 2, 1);
    r->setColumnStretch(1, 1);
    return g;
}

QGroupBox* TexturGruppe(Bausteine& b) {
    QGridLayout* r = nullptr;
    QGroupBox* g = b.Gruppe("GroupBox3", r);
    // Columns: caption, U field, pixel field, unit or button. The long captions span
    // the U column so that the short ones set the caption column's width.
    r->addWidget(b.Beschriftung("lblTextur1File"), 0, 0);
    r->addWidget(b.Feld("edtTextur1FileName"), 0, 1, 1, 2);
    r->addWidget(b.Knopf("bbnLoadFahrbahnTex", Symbol::Oeffnen), 0, 3);
    r->addWidget(b.Beschriftung("lblTextur1Laenge"), 1, 0);
    r->addWidget(b.Feld("edtTextur1Laenge"), 1, 1);
    r->addWidget(b.Beschriftung("Label46"), 2, 0, 1, 2);
    r->addWidget(b.Feld("edtTexPxl"), 2, 2);
    r->addWidget(b.Beschriftung("Label30"), 2, 3);
    r->addWidget(b.Beschriftung("Label47"), 3, 0);
    r->addWidget(b.Feld("edtTexStart"), 3, 1);
    r->addWidget(b.Feld("edtTexStartPxl"), 3, 2);
    r->addWidget(Text(Tr("pxl")), 3, 3);
    r->addWidget(b.Beschriftung("Label48"), 4, 0);
    r->addWidget(b.Feld("EdtTexEnde"), 4, 1);
    r->addWidget(b.Feld("EdtTexEndePxl"), 4, 2);
    r->addWidget(Text(Tr("pxl")), 4, 3);
    r->addWidget(b.Box("cboRandomBackFold"), 5, 0, 1, 2);
    r->addWidget(b.Feld("edtRandomBackfold"), 5, 2);
    r->addWidget(b.Box("cboRuecksetzen"), 6, 0, 1, 4);
    r->addWidget(b.Beschriftung("Label25"), 7, 0);
    r->addWidget(b.Feld("edtTexL0"), 7, 1);
    r->addWidget(b.Glyphe("spbOldTexL0", Symbol::Zurueck), 7, 2, Qt::AlignLeft);
    r->addWidget(b.Beschriftung("Label17"), 8, 0, 1, 2);
    r->addWidget(b.Feld("edtStreckung"), 8, 2);
    r->setColumnStretch(1, 1);
    r->setColumnStretch(2, 1);
    return g;
}

QGroupBox* SplineGruppe(Bausteine& b) {
    QGridLayout* r = nullptr;
    QGroupBox* g = b.Gruppe("gboSplinePts", r);
    QHBoxLayout* zeile = Knopfzeile(b, "sedSplinePtsNr", "spbSplineAdd", "spbSplineSub", "spbSplineAddEnd");
    // The import button exists once the window's logic offers the import.
    if (QPushButton* oeffnen = b.KnopfFallsVorhanden("bbnSplinePtsOpen", Symbol::Oeffnen))
        zeile->addWidget(oeffnen);
    r->addLayout(zeile, 0, 0, 1, 4);
    const char* achsen[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        const std::string a = achsen[i];
        r->addWidget(Text(achsen[i]), i + 1, 0);
        r->addWidget(b.Feld("edtSplinePts" + a), i + 1, 1);
        r->addWidget(Text((a + "rot").c_str()), i + 1, 2);
        r->addWidget(b.Feld("edtSplinePts" + a + "rot"), i + 1, 3);
    }
    // Orienting, extending by the distance in metres, the table: present once the
    // window's logic offers them.
    if (QPushButton* ausrichten = b.KnopfFallsVorhanden("btnSplineAusrichten", Symbol::Keines)) {
        r->addWidget(ausrichten, 4, 0, 1, 2);
        r->addWidget(b.Schlicht("btnSplinePunktAusrichten"), 4, 2, 1, 2);
        r->addWidget(b.Schlicht("btnSplineVerlaengern"), 5, 0, 1, 2);
        auto* strecke = new QHBoxLayout;
        strecke->addWidget(b.Feld("edtSplineStrecke"), 1);
        strecke->addWidget(Text("m"));
        r->addLayout(strecke, 5, 2);
        r->addWidget(b.Schlicht("btnPunktetabelle"), 5, 3);
    }
    r->setColumnStretch(1, 1);
    r->setColumnStretch(3, 1);
    return g;
}

QGroupBox* VerkehrGruppe(Bausteine& b) {
    QGridLayout* r = nullptr;
    QGroupBox* g = b.Gruppe("GroupBox1", r);
    r->addWidget(b.Box("cboTrafficSpline"), 0, 0, 1, 2);
    r->addWidget(b.Box("cboTrafficSplineRechts"), 1, 0);
    r->addWidget(b.Feld("edtTrafficSplineRechts"), 1, 1);
    r->addWidget(b.Box("cboTrafficSplineLinks"), 2, 0);
    r->addWidget(b.Feld("edtTrafficSplineLinks"), 2, 1);
    r->setColumnStretch(1, 1);
    return g;
}

Randgruppen RandGruppen(Bausteine& b, bool rechts) {
    const std::string s = rechts ? "R" : "L";
    Randgruppen gruppen{};

    // Columns: caption, field, unit, second field, its unit.
    QGridLayout* r = nullptr;
    gruppen.textur = b.Gruppe("gboRand" + s, r);
    r->addWidget(Text(Tr("File ")), 0, 0);
    r->addWidget(b.Feld("edtRand" + s + "TexFile"), 0, 1, 1, 3);
    r->addWidget(b.Knopf("bbnRand" + s + "LoadTex", Symbol::Oeffnen), 0, 4);
    r->addWidget(Text(Tr("Length")), 1, 0);
    r->addWidget(b.Feld("edtRand" + s + "TexLaenge"), 1, 1);
    r->addWidget(Text("m"), 1, 2);
    r->addWidget(Text(Tr("Width ")), 2, 0);
    r->addWidget(b.Feld("edtRand" + s + "TexBreite"), 2, 1);
    r->addWidget(Text("m"), 2, 2);
    r->addWidget(b.Feld("edtRand" + s + "TexBreitePxl"), 2, 3);
    r->addWidget(Text(Tr("pxl")), 2, 4);
    r->addWidget(b.Schlicht("btnRand" + s + "calcU"), 3, 0, 1, 5, Qt::AlignLeft);
    r->addWidget(b.Box("cboRand" + s + "Ruecksetzen"), 4, 0, 1, 5);
    r->setColumnStretch(1, 1);
    r->setColumnStretch(3, 1);

    gruppen.segmente = SegmentGruppe(b, rechts, rechts ? Tr("pxl") : Tr("px "));

    PlatzBehalten(gruppen.textur);
    return gruppen;
}

QGroupBox* SegmentGruppe(Bausteine& b, bool rechts, const char* pixelEinheit) {
    const std::string s = rechts ? "R" : "L";
    QGridLayout* r = nullptr;
    QGroupBox* g = b.Gruppe("gboRand" + s + "Segmente", r);
    // The left delete button kept its designer name.
    QHBoxLayout* zeile = Knopfzeile(b, "sedRand" + s + "Nr", "spbRand" + s + "Add",
                                    rechts ? "spbRandRDel" : "SpeedButton2", "spbRand" + s + "AddEnd");
    r->addLayout(zeile, 0, 0, 1, 5);
    r->addWidget(Text(Tr("Width ")), 1, 0);
    r->addWidget(b.Feld("edtRand" + s + "Breite"), 1, 1);
    r->addWidget(Text("m"), 1, 2);
    r->addWidget(Text(Tr("Angle ")), 2, 0);
    r->addWidget(b.Feld("edtRand" + s + "Winkel"), 2, 1);
    r->addWidget(Text("°"), 2, 2);
    r->addWidget(Text(Tr("End ")), 3, 0);
    r->addWidget(b.Feld("edtRand" + s + "Ende"), 3, 1);
    r->addWidget(b.Feld("edtRand" + s + "EndePxl"), 3, 3);
    r->addWidget(Text(pixelEinheit), 3, 4);
    r->addWidget(b.Box("cboRand" + s + "normMan"), 4, 0, 1, 3);
    r->addWidget(b.Feld("edtRand" + s + "normale"), 4, 3);
    r->addWidget(Text("°"), 4, 4);
    r->setColumnStretch(1, 1);
    r->setColumnStretch(3, 1);
    PlatzBehalten(g);
    return g;
}

}  // namespace pavolant::qt
