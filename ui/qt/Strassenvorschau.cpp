#include "ui/qt/Strassenvorschau.h"

#include "persistence/Einstellungen.h"
#include "persistence/Plattform.h"
#include "ui/qt/Qtext.h"
#include "ui/qt/Vorschauplan.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

namespace pavolant::qt {

namespace {

// Resizing the 3-D view changes its aspect; a view the user has not moved is framed again.
class Groessenwaechter : public QObject {
public:
    Groessenwaechter(QObject* eltern, std::function<void()> geaendert)
        : QObject(eltern), geaendert_(std::move(geaendert)) {}

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::Resize) geaendert_();
        return QObject::eventFilter(objekt, ereignis);
    }

private:
    std::function<void()> geaendert_;
};

QString Zusammenfassung(const Vorschaudaten& d) {
    // Catalog: the preview's status line; %1 "N vertices", %2 "N triangles", %3 "N control points".
    return QEinsetzen("%1, %2, %3",
                      {Einsetzen(TrN("%1 vertices", "%1 vertices", d.AnzahlVertices()), {std::to_string(d.AnzahlVertices())}),
                       Einsetzen(TrN("%1 triangles", "%1 triangles", d.AnzahlDreiecke()), {std::to_string(d.AnzahlDreiecke())}),
                       Einsetzen(TrN("%1 control point", "%1 control points", d.Kontrollpunkte.size()),
                                 {std::to_string(d.Kontrollpunkte.size())})});
}

}  // namespace

Strassenvorschau::Strassenvorschau(QWidget* eltern)
    : QWidget(eltern, Qt::Window),
      daten_(std::make_shared<const Vorschaudaten>(VorschauAus(std::nullopt))),
      fuehrung_(
          kamera_, [this] { KameraBewegt(); }, [this] { Einpassen(); },
          [this](QPointF ndc, float seitenverhaeltnis) -> std::optional<QVector3D> {
              // Only a road the 3-D view draws can be picked.
              if (!ansicht3d_->MitOpenGL() || !Vorschaurenderer::PasstInPuffer(*daten_)) return std::nullopt;
              return Flaechenpunkt(kamera_, *daten_, ndc, seitenverhaeltnis, darstellung_.Ueberhoehung);
          }) {
    setObjectName(QStringLiteral("frmVorschau"));
    setWindowTitle(QTr("Road preview"));

    einpassen_ = new QPushButton(QTr("Fit"));
    einpassen_->setObjectName(QStringLiteral("btnEinpassen"));
    einpassen_->setToolTip(QTr("Frame the whole road (a double click beside the road in the 3-D view does the same)"));
    einpassen_->setAutoDefault(false);
    drahtgitter_ = new QCheckBox(QTr("Wireframe"));
    drahtgitter_->setObjectName(QStringLiteral("cboDrahtgitter"));
    drahtgitter_->setToolTip(QTr("Show every triangle's edges, to judge the fineness settings"));
    hinweis_ = new QLabel;
    hinweis_->setObjectName(QStringLiteral("lblHinweis"));
    hinweis_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* vonOben = new QPushButton(QTr("Top"));
    vonOben->setObjectName(QStringLiteral("btnVonOben"));
    vonOben->setToolTip(QTr("Look straight down on the whole road"));
    vonOben->setAutoDefault(false);
    auto* entlang = new QPushButton(QTr("Along"));
    entlang->setObjectName(QStringLiteral("btnEntlang"));
    entlang->setToolTip(QTr("Look along the road from its first control point"));
    entlang->setAutoDefault(false);
    connect(vonOben, &QPushButton::clicked, this, [this] { VonOben(); });
    connect(entlang, &QPushButton::clicked, this, [this] { Entlang(); });

    auto* oben = new QHBoxLayout;
    oben->addWidget(einpassen_);
    oben->addWidget(vonOben);
    oben->addWidget(entlang);
    oben->addWidget(drahtgitter_);
    uvKaro_ = new QCheckBox(QTr("UV check"));
    uvKaro_->setObjectName(QStringLiteral("cboUvKaro"));
    uvKaro_->setToolTip(QTr(
        "Draw every part as a numbered checker in its texture coordinates: a quarter repeat per cell, the cells "
        "of a repeat numbered 1 to 16 in a colour sequence, so mirroring, resets, flips and the texture start "
        "can be judged"));
    oben->addWidget(uvKaro_);
    texturen_ = new QCheckBox(QTr("Textures"));
    texturen_->setObjectName(QStringLiteral("cboTexturen"));
    texturen_->setToolTip(QTr(
        "Draw every part with the texture file its parameters name, found beside the output document or in the "
        "texture folder"));
    oben->addWidget(texturen_);
    texturordnerKnopf_ = new QPushButton(QTr("Texture folder..."));
    texturordnerKnopf_->setObjectName(QStringLiteral("btnTexturordner"));
    texturordnerKnopf_->setAutoDefault(false);
    connect(texturordnerKnopf_, &QPushButton::clicked, this, [this] {
        const QString ordner = QFileDialog::getExistingDirectory(this, QTr("Texture folder"),
                                                                 QString::fromStdString(texturordner_));
        if (!ordner.isEmpty()) SetzeTexturordner(ordner.toStdString());
    });
    oben->addWidget(texturordnerKnopf_);
    ueberhoehung_ = new QSpinBox;
    ueberhoehung_->setObjectName(QStringLiteral("sedUeberhoehung"));
    ueberhoehung_->setRange(1, 10);
    ueberhoehung_->setPrefix(QTr("Height ×"));
    ueberhoehung_->setToolTip(QTr("Draw the heights up to ten times as high, to see crests and dips"));
    connect(ueberhoehung_, &QSpinBox::valueChanged, this, [this](int wert) {
        darstellung_.Ueberhoehung = static_cast<float>(wert);
        ansicht3d_->Neuzeichnen();
    });
    oben->addWidget(ueberhoehung_);
    oben->addSpacing(12);
    oben->addWidget(hinweis_, 1);

    ansicht3d_ = Vorschau3dErzeugen(kamera_, darstellung_, fuehrung_);
    QWidget* flaeche = ansicht3d_->Widget();
    flaeche->setToolTip(QTr("Left drag: orbit - right drag or Shift+left drag: pan - wheel: zoom toward "
                                       "the cursor - double click: orbit around the point under the cursor "
                                       "(beside the road: fit)"));
    flaeche->installEventFilter(new Groessenwaechter(this, [this] {
        if (!benutzerBewegt_) Einpassen();
    }));
    plan_ = new Vorschauplan;
    auto* teiler = new QSplitter(Qt::Horizontal);
    teiler->setObjectName(QStringLiteral("splVorschau"));
    teiler->addWidget(flaeche);
    teiler->addWidget(plan_);
    teiler->setStretchFactor(0, 3);
    teiler->setStretchFactor(1, 2);
    teiler->setChildrenCollapsible(false);

    auto* fenster = new QVBoxLayout(this);
    fenster->setContentsMargins(6, 6, 6, 6);
    fenster->addLayout(oben);
    fenster->addWidget(teiler, 1);
    fenster->addLayout(Legende());

    connect(einpassen_, &QPushButton::clicked, this, [this] { Einpassen(); });
    connect(drahtgitter_, &QCheckBox::toggled, this, [this](bool an) { SetzeDrahtgitter(an); });
    connect(uvKaro_, &QCheckBox::toggled, this, [this](bool an) { SetzeUvKaro(an); });
    connect(texturen_, &QCheckBox::toggled, this, [this](bool an) { SetzeTexturen(an); });

    SetzeEinstellungsdatei(EinstellungsPfad());
    kamera_.Grundrichtung();
    resize(1180, 560);
    Anzeigen(daten_);
}

Strassenvorschau::~Strassenvorschau() = default;

void Strassenvorschau::Uebernehmen(const std::optional<Laufbericht>& lauf) {
    const Stand neu = !lauf                                           ? Stand::KeinLauf
                      : lauf->Dreiecksnetz && lauf->Geometrie ? Stand::MitStrasse
                                                                      : Stand::OhneStrasse;
    if (neu == stand_) {
        if (neu != Stand::MitStrasse) return;
        // Held weakly: a mesh still alive at this address is the same run.
        if (!netz_.expired() && netz_.lock() == lauf->Dreiecksnetz) return;
    }
    stand_ = neu;
    netz_ = neu == Stand::MitStrasse ? std::weak_ptr<const Netz>(lauf->Dreiecksnetz) : std::weak_ptr<const Netz>();
    Anzeigen(std::make_shared<const Vorschaudaten>(VorschauAus(lauf)));
}

void Strassenvorschau::Zeigen(const Vorschauergebnis& ergebnis) {
    if (ergebnis.Bericht && ergebnis.Bericht->Geschrieben) {
        Uebernehmen(std::optional<Laufbericht>(*ergebnis.Bericht));
    } else {
        // The road shown stays, with the points as they are now; a road that was already
        // out of date keeps its own data and takes the newer reason.
        Vorschaudaten d = MitKontrollpunkten(*daten_, ergebnis.Punkte);
        if (d.Hinweis.empty())
            d.Veraltet = ergebnis.Grund;
        else
            d.Hinweis = Einsetzen(Tr("No road: %1"), {ergebnis.Grund});
        stand_ = Stand::OhneStrasse;
        netz_.reset();
        Anzeigen(std::make_shared<const Vorschaudaten>(std::move(d)), false);
    }
    SetzeAktuell(ergebnis.AktuellerPunkt);
}

QString Strassenvorschau::Status() const { return hinweis_->text(); }

void Strassenvorschau::Anzeigen(std::shared_ptr<const Vorschaudaten> daten, bool einpassen) {
    daten_ = std::move(daten);
    const bool strasse = daten_->Hinweis.empty();
    ansicht3d_->SetzeDaten(strasse ? daten_ : nullptr);
    plan_->SetzeDaten(daten_);
    TexturenLaden();
    StatusZeigen();
    if (strasse && einpassen && !benutzerBewegt_) Einpassen();
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::StatusZeigen() {
    const Vorschaudaten& d = *daten_;
    const bool strasse = d.Hinweis.empty();
    // Out of date reads as a warning, so the road is not taken for the current one.
    hinweis_->setStyleSheet(d.Veraltet.empty() ? QString() : QStringLiteral("color: #a03000; font-weight: bold"));
    QString text;
    if (!strasse)
        text = QString::fromStdString(d.Hinweis);
    else if (!d.Veraltet.empty())
        text = QEinsetzen("Out of date: %1", {d.Veraltet});
    else if (!Vorschaurenderer::PasstInPuffer(d))
        text = QTr("%1 - too large for the 3-D view").arg(Zusammenfassung(d));
    else
        text = Zusammenfassung(d);
    for (const std::string& h : texturHinweise_) text += QStringLiteral(" - ") + QString::fromStdString(h);
    hinweis_->setText(text);
}

void Strassenvorschau::TexturenLaden() {
    texturHinweise_.clear();
    std::array<std::shared_ptr<const Texturbild>, 4> bilder{};
    if (darstellung_.Texturen && daten_->Hinweis.empty()) {
        Texturlager::Ergebnis e = texturlager_.Laden(daten_->Texturen, daten_->Dokument, texturordner_);
        bilder = e.Bilder;
        texturHinweise_ = std::move(e.Hinweise);
    }
    ansicht3d_->SetzeTexturen(bilder);
}

void Strassenvorschau::SetzeAktuell(int index) {
    if (darstellung_.Aktuell == index) return;
    darstellung_.Aktuell = index;
    plan_->SetzeAktuell(index);
    ansicht3d_->Neuzeichnen();
}

float Strassenvorschau::Seitenverhaeltnis3d() const {
    const QWidget* w = ansicht3d_->Widget();
    return static_cast<float>(w->width()) / static_cast<float>(std::max(w->height(), 1));
}

void Strassenvorschau::Einpassen() {
    benutzerBewegt_ = false;
    if (!daten_->RahmenGueltig()) return;
    const QVector3D min(daten_->RahmenMin[0], daten_->RahmenMin[1], daten_->RahmenMin[2]);
    const QVector3D max(daten_->RahmenMax[0], daten_->RahmenMax[1], daten_->RahmenMax[2]);
    kamera_.SetzeSzene(min, max);
    kamera_.Einpassen(min, max, Seitenverhaeltnis3d());
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::KameraBewegt() {
    benutzerBewegt_ = true;
    ansicht3d_->Neuzeichnen();
}

QHBoxLayout* Strassenvorschau::Legende() {
    auto* zeile = new QHBoxLayout;
    zeile->setSpacing(4);
    auto eintrag = [zeile](const Farbe& f, const QString& text) {
        QPixmap muster(12, 12);
        muster.fill(QColor::fromRgbF(f[0], f[1], f[2]));
        auto* farbe = new QLabel;
        farbe->setPixmap(muster);
        zeile->addWidget(farbe);
        auto* name = new QLabel(text);
        zeile->addWidget(name);
        zeile->addSpacing(10);
    };
    eintrag(Teilfarbe(Netzteil::Fahrbahn), QTr("Roadway"));
    eintrag(Teilfarbe(Netzteil::RandRechts), QTr("Right border"));
    eintrag(Teilfarbe(Netzteil::RandLinks), QTr("Left border"));
    eintrag(Teilfarbe(Netzteil::Fuellung), QTr("Front faces"));
    eintrag(Kurvenfarbe(Verkehrskurve::Mitte), QTr("Centre curve"));
    eintrag(Kurvenfarbe(Verkehrskurve::Rechts), QTr("Right curve"));
    eintrag(Kurvenfarbe(Verkehrskurve::Links), QTr("Left curve"));
    eintrag(kMarkenfarbe, QTr("Control point"));
    eintrag(kAktuellfarbe, QTr("Current point"));
    zeile->addStretch(1);
    return zeile;
}

void Strassenvorschau::VonOben() {
    kamera_.SetzeNick(89.0f);
    Einpassen();
}

void Strassenvorschau::Entlang() {
    const std::vector<float>& m = daten_->Marken;
    if (m.size() < 6) return;
    QVector3D start(m[0], m[1], m[2]);
    QVector3D richtung(m[3] - m[0], 0, m[5] - m[2]);
    if (richtung.length() == 0) return;
    richtung.normalize();
    // The eye behind the start looks along the first connection, a little from above:
    // Blickrichtung's level part is -(sin gier, cos gier).
    kamera_.SetzeGier(static_cast<float>(std::atan2(-richtung.x(), -richtung.z()) * 180 / std::numbers::pi));
    kamera_.SetzeNick(12.0f);
    const QVector3D ende = start + 60.0f * richtung;
    kamera_.Einpassen(QVector3D(std::min(start.x(), ende.x()) - 5, start.y() - 2, std::min(start.z(), ende.z()) - 5),
                      QVector3D(std::max(start.x(), ende.x()) + 5, start.y() + 4, std::max(start.z(), ende.z()) + 5),
                      Seitenverhaeltnis3d());
    benutzerBewegt_ = true;  // a chosen view stays when the road changes
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeUvKaro(bool an) {
    if (uvKaro_->isChecked() != an) uvKaro_->setChecked(an);  // comes back through toggled
    if (darstellung_.UvKaro == an) return;
    darstellung_.UvKaro = an;
    if (an) SetzeTexturen(false);
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeTexturen(bool an) {
    if (texturen_->isChecked() != an) texturen_->setChecked(an);  // comes back through toggled
    if (darstellung_.Texturen == an) return;
    darstellung_.Texturen = an;
    if (an) SetzeUvKaro(false);
    TexturenLaden();
    StatusZeigen();
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeEinstellungsdatei(const std::filesystem::path& pfad) {
    einstellungsdatei_ = pfad;
    try {
        texturordner_ = TexturordnerLesen(pfad).value_or(std::string());
    } catch (const std::exception& e) {
        // An unreadable settings file leaves the folder unset; the main window reports
        // the file itself.
        qWarning("road preview: %s", e.what());
        texturordner_.clear();
    }
    texturordnerKnopf_->setToolTip(
        QTr("The folder to look in for textures that are not beside the output document; now: %1")
            .arg(texturordner_.empty() ? QTr("none") : QString::fromStdString(texturordner_)));
}

void Strassenvorschau::SetzeTexturordner(const std::string& ordner) {
    texturordner_ = ordner;
    std::string fehler;
    try {
        TexturordnerSchreiben(einstellungsdatei_, ordner);
    } catch (const std::exception& e) {
        fehler = e.what();
    }
    texturordnerKnopf_->setToolTip(
        QTr("The folder to look in for textures that are not beside the output document; now: %1")
            .arg(ordner.empty() ? QTr("none") : QString::fromStdString(ordner)));
    TexturenLaden();
    if (!fehler.empty()) texturHinweise_.push_back(Einsetzen(Tr("the texture folder was not kept: %1"), {fehler}));
    StatusZeigen();
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeDrahtgitter(bool an) {
    if (drahtgitter_->isChecked() != an) drahtgitter_->setChecked(an);  // comes back through toggled
    if (darstellung_.Drahtgitter == an) return;
    darstellung_.Drahtgitter = an;
    ansicht3d_->Neuzeichnen();
}

QImage Strassenvorschau::Bild3d() { return ansicht3d_->Bild(); }

QImage Strassenvorschau::BildPlan() { return plan_->Bild(); }

QIcon Strassenvorschau::Symbol() {
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::Antialiasing);
    QPainterPath strasse;
    strasse.moveTo(3, 30);
    strasse.lineTo(13, 3);
    strasse.lineTo(19, 3);
    strasse.lineTo(29, 30);
    strasse.closeSubpath();
    maler.fillPath(strasse, QColor(95, 98, 105));
    maler.setPen(QPen(QColor(60, 150, 60), 2));
    maler.drawLine(QPointF(3, 30), QPointF(13, 3));
    maler.drawLine(QPointF(29, 30), QPointF(19, 3));
    maler.setPen(QPen(QColor(255, 215, 0), 2));
    for (const auto& [von, bis] : {std::pair{28.0, 22.0}, std::pair{17.0, 12.5}, std::pair{9.0, 6.0}})
        maler.drawLine(QPointF(16, von), QPointF(16, bis));
    return QIcon(bild);
}

}  // namespace pavolant::qt
