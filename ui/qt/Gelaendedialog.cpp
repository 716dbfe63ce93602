#include "ui/qt/Gelaendedialog.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Qtext.h"

#include "model/Text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavolant::qt {

namespace {

Steuerelementsuche Suche(Gelaendefenster& f) {
    Steuerelementsuche s;
    s.Edit = Tabelle<TEdit>({{"edtDatei", &f.edtDatei},
                             {"edtHeightScale", &f.edtHeightScale},
                             {"edtUnitsPerPixel", &f.edtUnitsPerPixel},
                             {"edtAbstand", &f.edtAbstand},
                             {"edtTiefe", &f.edtTiefe},
                             {"edtRand", &f.edtRand},
                             {"edtAuslauf", &f.edtAuslauf}});
    s.Button = Tabelle<TButton>({{"btnOK", &f.btnOK},
                                 {"btnAbbrechen", &f.btnAbbrechen},
                                 {"btnKeines", &f.btnKeines},
                                 {"btnDatei", &f.btnDatei},
                                 {"btnFormen", &f.btnFormen}});
    s.CheckBox = Tabelle<TCheckBox>({{"cboZiehenFolgt", &f.cboZiehenFolgt},
                                     {"cboNurHeben", &f.cboNurHeben},
                                     {"cboNurSenken", &f.cboNurSenken},
                                     {"cboMasken", &f.cboMasken}});
    s.Label = Tabelle<TLabel>({{"lblBild", &f.lblBild},
                               {"lblGroesse", &f.lblGroesse},
                               {"lblHoehen", &f.lblHoehen},
                               {"lblHinweise", &f.lblHinweise}});
    return s;
}

DateiAuswahl GelaendeAuswahl(const std::string& datei) {
    DateiAuswahl a;
    a.Filter = {{Tr("Map or height image"), "*.i3d *.png"},
                {Tr("Map (i3d)"), "*.i3d"},
                {Tr("Height image (PNG)"), "*.png"},
                {Tr("all files   "), "*.*"}};
    a.Dateiname = datei;
    a.MussExistieren = true;
    return a;
}

}  // namespace

Gelaendedialog::Gelaendedialog(Gelaendefenster& fenster, Dialoge& dialoge,
                               const std::uint64_t& speichergrenze, QWidget* eltern)
    : QDialog(eltern),
      fenster_(fenster),
      dialoge_(dialoge),
      grenze_(speichergrenze),
      bindung_(new Bindung(*this, Fehlerbox(dialoge))) {
    setObjectName(QStringLiteral("FormGelaende"));
    setWindowTitle(QString::fromStdString(fenster.Caption));
    Bausteine b(Suche(fenster), *bindung_);

    // Leaving a field reads the terrain it now names, so the figures below always belong
    // to the fields.
    for (TEdit* e : {&fenster.edtDatei, &fenster.edtHeightScale, &fenster.edtUnitsPerPixel,
                     &fenster.edtAbstand, &fenster.edtTiefe, &fenster.edtRand, &fenster.edtAuslauf})
        e->OnExit = [this] { fenster_.Pruefen(grenze_); };

    auto* r = Raster();
    r->addWidget(Text(Tr("File")), 0, 0);
    QLineEdit* datei = b.Feld("edtDatei");
    datei->setMinimumWidth(360);
    r->addWidget(datei, 0, 1, 1, 2);
    r->addWidget(b.Knopf("btnDatei", Symbol::Oeffnen,
                         [this] {
                             if (const std::optional<std::string> pfad =
                                     dialoge_.DateiOeffnen(GelaendeAuswahl(fenster_.edtDatei.Text)))
                                 fenster_.DateiGewaehlt(*pfad, grenze_);
                         }),
                 0, 3);
    r->addWidget(Text("heightScale"), 1, 0);
    r->addWidget(b.Feld("edtHeightScale"), 1, 1);
    r->addWidget(Text("m"), 1, 2);
    r->addWidget(Text("unitsPerPixel"), 2, 0);
    r->addWidget(b.Feld("edtUnitsPerPixel"), 2, 1);
    r->addWidget(Text("m"), 2, 2);
    r->addWidget(Text(Tr("Clearance")), 3, 0);
    r->addWidget(b.Feld("edtAbstand"), 3, 1);
    r->addWidget(Text("m"), 3, 2);
    r->addWidget(b.Box("cboZiehenFolgt"), 4, 0, 1, 4);
    r->setColumnStretch(1, 1);
    int zeile = 5;
    for (const char* name : {"lblBild", "lblGroesse", "lblHoehen", "lblHinweise"}) {
        QLabel* l = b.Beschriftung(name);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        r->addWidget(l, zeile++, 0, 1, 4);
    }

    // Shaping the ground to the road: a new height image, the source left as it is.
    auto* formung = new QGroupBox(QTr("Shape terrain"));
    QGridLayout* f = Raster(formung);
    const std::pair<const char*, const char*> felder[] = {{TrVorgemerkt("Depth"), "edtTiefe"},
                                                          {TrVorgemerkt("Margin"), "edtRand"},
                                                          {TrVorgemerkt("Falloff"), "edtAuslauf"}};
    int fz = 0;
    for (const auto& [text, name] : felder) {
        f->addWidget(Text(Tr(text)), fz, 0);
        f->addWidget(b.Feld(name), fz, 1);
        f->addWidget(Text("m"), fz++, 2);
    }
    f->addWidget(b.Box("cboNurHeben"), 0, 3);
    f->addWidget(b.Box("cboNurSenken"), 1, 3);
    f->addWidget(b.Box("cboMasken"), fz, 0, 1, 4);
    f->addWidget(b.Knopf("btnFormen", Symbol::Speichern,
                         [this] {
                             const std::string grund =
                                 fenster_.Gelesen() ? std::string() : fenster_.Pruefen(grenze_);
                             if (!grund.empty()) {
                                 dialoge_.Fehler(grund);
                                 return;
                             }
                             fenster_.FormenGewaehlt = true;
                             accept();
                         }),
                 fz + 1, 0, 1, 4);
    f->setColumnStretch(1, 1);
    r->addWidget(formung, zeile++, 0, 1, 4);
    QPushButton* ok = b.Knopf("btnOK", Symbol::Keines, [this] {
        // Only a terrain that could be read is taken; the reason stays in the dialog.
        if (fenster_.edtDatei.Text.empty() || fenster_.Gelesen()) {
            accept();
            return;
        }
        const std::string grund = fenster_.Pruefen(grenze_);
        if (grund.empty())
            accept();
        else
            dialoge_.Fehler(grund);
    });
    ok->setDefault(true);
    QPushButton* keines = b.Knopf("btnKeines", Symbol::Keines, [this] {
        fenster_.KeinesWaehlen();
        accept();
    });
    QPushButton* abbrechen = b.Knopf("btnAbbrechen", Symbol::Keines, [this] { reject(); });
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(keines);
    knoepfe->addStretch(1);
    knoepfe->addWidget(ok);
    knoepfe->addWidget(abbrechen);

    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(r);
    spalte->addStretch(1);
    spalte->addLayout(knoepfe);
    QFont schrift = font();
    schrift.setPixelSize(16);
    setFont(schrift);
    resize(560, 500);
    bindung_->Synchronisieren();
}

bool Gelaendedialog::Zeigen() {
    bindung_->Synchronisieren();
    return exec() == QDialog::Accepted;
}

}  // namespace pavolant::qt
