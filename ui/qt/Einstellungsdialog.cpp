#include "ui/qt/Einstellungsdialog.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Qtext.h"

#include "model/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <string_view>

namespace pavolant::qt {

namespace {

Steuerelementsuche Suche(Einstellungsfenster& p) {
    Steuerelementsuche s;
    s.Edit = Tabelle<TEdit>({{"edtLaenge", &p.edtLaenge},
                             {"edtWinkel", &p.edtWinkel},
                             {"edtSlope", &p.edtSlope},
                             {"edtZrotMin", &p.edtZrotMin},
                             {"edtmaxSturz", &p.edtmaxSturz},
                             {"edtStirnTextur", &p.edtStirnTextur},
                             {"edtStirnBreite", &p.edtStirnBreite},
                             {"edtStirnHoehe", &p.edtStirnHoehe}});
    s.CheckBox =
        Tabelle<TCheckBox>({{"cboAlteDreiecke", &p.cboAlteDreiecke}, {"cboStirnTexRot", &p.cboStirnTexRot}});
    s.Button = Tabelle<TButton>(
        {{"btnOK", &p.btnOK}, {"Button1", &p.Button1}, {"bbnRandRLoadTex", &p.bbnRandRLoadTex}});
    s.GroupBox = Tabelle<TGroupBox>({{"GroupBox1", &p.GroupBox1}, {"GroupBox2", &p.GroupBox2}});
    return s;
}

}  // namespace

Einstellungsdialog::Einstellungsdialog(Einstellungsfenster& pref, Dialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), pref_(pref), bindung_(new Bindung(*this, Fehlerbox(dialoge))) {
    setObjectName(QStringLiteral("FormPref"));
    setWindowTitle(QString::fromStdString(pref.Caption));
    Bausteine b(Suche(pref), *bindung_);

    QGridLayout* r = nullptr;
    QGroupBox* allgemein = b.Gruppe("GroupBox1", r);
    const std::pair<const char*, const char*> zeilen[] = {
        // Catalog: the fineness settings; each caption stands before its field and the
        // field's unit (metres for the length, degrees for the others).
        {TrVorgemerkt("minimal length "), "edtLaenge"},   {TrVorgemerkt("minimal angle   "), "edtWinkel"},
        {TrVorgemerkt("minimal bending   "), "edtSlope"}, {TrVorgemerkt("minimal Z-rotation "), "edtZrotMin"},
        {TrVorgemerkt("maximal camber"), "edtmaxSturz"},
    };
    int zeile = 0;
    for (const auto& [text, name] : zeilen) {
        r->addWidget(Text(Tr(text)), zeile, 0);
        r->addWidget(b.Feld(name), zeile, 1);
        r->addWidget(Text(zeile == 0 ? "m" : "°"), zeile, 2);
        ++zeile;
    }
    r->addWidget(b.Box("cboAlteDreiecke"), zeile, 0, 1, 3);
    r->setColumnStretch(1, 1);

    QGroupBox* stirn = b.Gruppe("GroupBox2", r);
    r->addWidget(Text(Tr("Textur")), 0, 0);
    r->addWidget(b.Feld("edtStirnTextur"), 0, 1);
    // Its own open dialog, without a filter, preset with the field's text; only the
    // file's name is kept.
    r->addWidget(b.Knopf("bbnRandRLoadTex", Symbol::Oeffnen,
                         [&pref, &dialoge] {
                             DateiAuswahl auswahl;
                             auswahl.Dateiname = pref.edtStirnTextur.Text;
                             if (const std::optional<std::string> pfad = dialoge.DateiOeffnen(auswahl))
                                 pref.TexturGewaehlt(*pfad);
                         }),
                 0, 2);
    r->addWidget(Text(Tr("Width       ")), 1, 0);
    r->addWidget(b.Feld("edtStirnBreite"), 1, 1);
    r->addWidget(Text("m"), 1, 2);
    r->addWidget(Text(Tr("Height     ")), 2, 0);
    r->addWidget(b.Feld("edtStirnHoehe"), 2, 1);
    r->addWidget(Text("m"), 2, 2);
    r->addWidget(b.Box("cboStirnTexRot"), 3, 0, 1, 3);
    r->setColumnStretch(1, 1);

    QPushButton* ok = b.Knopf("btnOK", Symbol::Keines, [this] { accept(); });
    ok->setDefault(true);
    QPushButton* abbrechen = b.Knopf("Button1", Symbol::Keines, [this] { reject(); });

    // The language: "System" in the language spoken now, each language in its own name,
    // so a user finds theirs whatever the program speaks.
    auto* sprachzeile = new QHBoxLayout;
    auto* sprachtext = new QLabel(QString::fromStdString(pref.lblSprache.Caption));
    sprachtext->setObjectName(QStringLiteral("lblSprache"));
    sprache_ = new QComboBox;
    sprache_->setObjectName(QStringLiteral("cboSprache"));
    sprache_->addItems({QTr("System"), QStringLiteral("English"), QStringLiteral("Deutsch")});
    sprachtext->setBuddy(sprache_);
    connect(sprache_, &QComboBox::currentIndexChanged, this, [this](int i) {
        pref_.Sprache = i == 1 ? Sprachwahl::Englisch : i == 2 ? Sprachwahl::Deutsch : Sprachwahl::System;
    });
    sprachzeile->addWidget(sprachtext);
    sprachzeile->addWidget(sprache_, 1);
    auto* sprachhinweis = new QLabel(QString::fromStdString(pref.lblSpracheHinweis.Caption));
    sprachhinweis->setObjectName(QStringLiteral("lblSpracheHinweis"));
    sprachhinweis->setWordWrap(true);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(ok);
    knoepfe->addWidget(abbrechen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(allgemein);
    spalte->addWidget(stirn);
    spalte->addLayout(sprachzeile);
    spalte->addWidget(sprachhinweis);
    spalte->addStretch(1);
    spalte->addLayout(knoepfe);

    QFont schrift = font();
    schrift.setPixelSize(16);
    setFont(schrift);
    resize(390, 520);
    bindung_->Synchronisieren();
}

bool Einstellungsdialog::Zeigen() {
    bindung_->Synchronisieren();
    sprache_->setCurrentIndex(pref_.Sprache == Sprachwahl::Englisch  ? 1
                              : pref_.Sprache == Sprachwahl::Deutsch ? 2
                                                                     : 0);
    return exec() == QDialog::Accepted;
}

}  // namespace pavolant::qt
