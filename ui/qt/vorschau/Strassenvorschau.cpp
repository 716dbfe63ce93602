#include "ui/qt/vorschau/Strassenvorschau.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

#include "persistence/Einstellungen.h"
#include "persistence/Plattform.h"
#include "ui/qt/Qtext.h"
#include "ui/qt/vorschau/Vorschauplan.h"

namespace pavolant::qt {

// A line of text that never widens its window: a text longer than the line is cut with
// an ellipsis, and the whole of it is in the tool tip.
class Statuszeile : public QLabel {
public:
    Statuszeile() {
        setTextInteractionFlags(Qt::TextSelectableByMouse);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void Setzen(const QString& text) {
        voll_ = text;
        setToolTip(text);
        Kuerzen();
    }
    const QString& Voll() const { return voll_; }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }
    QSize sizeHint() const override { return QSize(0, QLabel::sizeHint().height()); }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QLabel::resizeEvent(e);
        Kuerzen();
    }
    void changeEvent(QEvent* e) override {
        QLabel::changeEvent(e);
        // A style sheet may make it bold: the cut is measured in the font it shows.
        if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) Kuerzen();
    }

private:
    void Kuerzen() {
        ensurePolished();
        const QString kurz =
            fontMetrics().elidedText(voll_, Qt::ElideRight, std::max(contentsRect().width(), 0));
        if (kurz != text()) setText(kurz);
    }
    QString voll_;
};

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

// Lays its items out in rows as wide as it is, wrapping to the next row where one would
// run over, so that a bar of buttons can be narrower than all of them side by side.
// Each row is as high as its highest item; the items are centred in it.
class Flusslayout : public QLayout {
public:
    explicit Flusslayout(int abstand) { setSpacing(abstand); }
    ~Flusslayout() override {
        while (QLayoutItem* teil = takeAt(0)) delete teil;
    }
    void addItem(QLayoutItem* teil) override { teile_.append(teil); }
    int count() const override { return static_cast<int>(teile_.size()); }
    QLayoutItem* itemAt(int i) const override { return teile_.value(i); }
    QLayoutItem* takeAt(int i) override { return i >= 0 && i < teile_.size() ? teile_.takeAt(i) : nullptr; }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int breite) const override { return Anordnen(QRect(0, 0, breite, 0), false); }
    void setGeometry(const QRect& r) override {
        QLayout::setGeometry(r);
        Anordnen(r, true);
    }
    // All in one row.
    QSize sizeHint() const override {
        int breite = 0, hoehe = 0;
        for (const QLayoutItem* t : teile_) {
            if (t->isEmpty()) continue;
            if (breite > 0) breite += spacing();
            breite += t->sizeHint().width();
            hoehe = std::max(hoehe, t->sizeHint().height());
        }
        const QMargins r = contentsMargins();
        return QSize(breite + r.left() + r.right(), hoehe + r.top() + r.bottom());
    }
    // As narrow as the widest item and as low as one row: the rows a width needs come
    // from heightForWidth, so a narrow window does not have to be a tall one.
    QSize minimumSize() const override {
        int breite = 0, hoehe = 0;
        for (const QLayoutItem* t : teile_) {
            if (t->isEmpty()) continue;
            breite = std::max(breite, t->sizeHint().width());
            hoehe = std::max(hoehe, t->sizeHint().height());
        }
        const QMargins r = contentsMargins();
        return QSize(breite + r.left() + r.right(), hoehe + r.top() + r.bottom());
    }

private:
    // Places the items in `flaeche` (when `setzen`); the height they take.
    int Anordnen(const QRect& flaeche, bool setzen) const {
        const QRect innen = flaeche.marginsRemoved(contentsMargins());
        int y = innen.y();
        QList<QLayoutItem*> zeile;
        int zeilenbreite = 0, zeilenhoehe = 0;
        auto abschliessen = [&] {
            if (setzen) {
                int x = innen.x();
                for (QLayoutItem* t : zeile) {
                    const QSize g = t->sizeHint();
                    t->setGeometry(QRect(QPoint(x, y + (zeilenhoehe - g.height()) / 2), g));
                    x += g.width() + spacing();
                }
            }
            if (!zeile.isEmpty()) y += zeilenhoehe + spacing();
            zeile.clear();
            zeilenbreite = zeilenhoehe = 0;
        };
        for (QLayoutItem* t : teile_) {
            if (t->isEmpty()) continue;
            const QSize g = t->sizeHint();
            const int noetig = zeile.isEmpty() ? g.width() : zeilenbreite + spacing() + g.width();
            if (!zeile.isEmpty() && noetig > innen.width()) abschliessen();
            zeilenbreite = zeile.isEmpty() ? g.width() : zeilenbreite + spacing() + g.width();
            zeilenhoehe = std::max(zeilenhoehe, g.height());
            zeile.append(t);
        }
        abschliessen();
        const QMargins r = contentsMargins();
        return std::max(y - spacing(), innen.y()) - flaeche.y() + r.bottom();
    }

    QList<QLayoutItem*> teile_;
};

QString Zusammenfassung(const Vorschaudaten& d) {
    // Catalog: the preview's status line; %1 "N vertices", %2 "N triangles", %3 "N control points".
    return QEinsetzen("%1, %2, %3",
                      {Einsetzen(TrN("%1 vertices", "%1 vertices", d.AnzahlVertices()),
                                 {std::to_string(d.AnzahlVertices())}),
                       Einsetzen(TrN("%1 triangles", "%1 triangles", d.AnzahlDreiecke()),
                                 {std::to_string(d.AnzahlDreiecke())}),
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
              return Flaechenpunkt(kamera_, *daten_, ndc, seitenverhaeltnis, darstellung_.Ueberhoehung,
                                   darstellung_.Gelaende);
          }) {
    setObjectName(QStringLiteral("frmVorschau"));
    setWindowTitle(QTr("Road preview"));

    einpassen_ = new QPushButton(QTr("Fit"));
    einpassen_->setObjectName(QStringLiteral("btnEinpassen"));
    einpassen_->setToolTip(
        QTr("Frame the whole road (a double click beside the road in the 3-D view does the same)"));
    einpassen_->setAutoDefault(false);
    drahtgitter_ = new QCheckBox(QTr("Wireframe"));
    drahtgitter_->setObjectName(QStringLiteral("cboDrahtgitter"));
    drahtgitter_->setToolTip(QTr("Show every triangle's edges, to judge the fineness settings"));
    kurven_ = new QCheckBox(QTr("Traffic curves"));
    kurven_->setObjectName(QStringLiteral("cboKurven"));
    kurven_->setToolTip(QTr("Show the traffic curves on the road"));
    kurven_->setChecked(true);
    gelaende_ = new QCheckBox(QTr("Terrain"));
    gelaende_->setObjectName(QStringLiteral("cboGelaende"));
    gelaende_->setToolTip(
        QTr("Show the terrain around the road: lit in 3-D, shaded with contour lines in the plan"));
    gelaende_->setChecked(true);
    gelaende_->setEnabled(false);  // until a road with a ground is shown
    hinweis_ = new Statuszeile;
    hinweis_->setObjectName(QStringLiteral("lblHinweis"));

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

    // The bar wraps, so the window can stand beside the main window on a small screen.
    auto* oben = new Flusslayout(6);
    oben->addWidget(einpassen_);
    oben->addWidget(vonOben);
    oben->addWidget(entlang);
    oben->addWidget(drahtgitter_);
    oben->addWidget(kurven_);
    oben->addWidget(gelaende_);
    uvKaro_ = new QCheckBox(QTr("UV check"));
    uvKaro_->setObjectName(QStringLiteral("cboUvKaro"));
    uvKaro_->setToolTip(
        QTr("Draw every part as a numbered checker in its texture coordinates: a quarter repeat per cell, "
            "the cells "
            "of a repeat numbered 1 to 16 in a colour sequence, so mirroring, resets, flips and the texture "
            "start "
            "can be judged"));
    oben->addWidget(uvKaro_);
    texturen_ = new QCheckBox(QTr("Textures"));
    texturen_->setObjectName(QStringLiteral("cboTexturen"));
    texturen_->setToolTip(
        QTr("Draw every part with the texture file its parameters name, found beside the output document or "
            "in the "
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

    ansicht3d_ = Vorschau3dErzeugen(kamera_, darstellung_, fuehrung_);
    QWidget* flaeche = ansicht3d_->Widget();
    flaeche->setToolTip(
        QTr("Left drag: orbit - right drag or Shift+left drag: pan - wheel: zoom toward "
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
    fenster->addWidget(hinweis_);
    fenster->addLayout(Legende());

    connect(einpassen_, &QPushButton::clicked, this, [this] { Einpassen(); });
    connect(drahtgitter_, &QCheckBox::toggled, this, [this](bool an) { SetzeDrahtgitter(an); });
    connect(kurven_, &QCheckBox::toggled, this, [this](bool an) { SetzeKurven(an); });
    connect(gelaende_, &QCheckBox::toggled, this, [this](bool an) { SetzeGelaende(an); });
    connect(uvKaro_, &QCheckBox::toggled, this, [this](bool an) { SetzeUvKaro(an); });
    connect(texturen_, &QCheckBox::toggled, this, [this](bool an) { SetzeTexturen(an); });

    SetzeEinstellungsdatei(EinstellungsPfad());
    kamera_.Grundrichtung();
    resize(1180, 560);
    Anzeigen(daten_);
}

Strassenvorschau::~Strassenvorschau() = default;

void Strassenvorschau::Uebernehmen(const std::optional<Bauergebnis>& lauf, const std::string& dokument,
                                   const std::optional<Gelaende>& boden) {
    const Stand neu = !lauf                                   ? Stand::KeinLauf
                      : lauf->Dreiecksnetz && lauf->Geometrie ? Stand::MitStrasse
                                                              : Stand::OhneStrasse;
    // Held weakly: pixels still alive at this address are the same ground.
    const bool gleicherBoden =
        boden ? mitBoden_ && !bodenPixel_.expired() && bodenPixel_.lock() == boden->Raster.Werte : !mitBoden_;
    if (neu == stand_ && gleicherBoden) {
        if (neu != Stand::MitStrasse) return;
        // Held weakly: a mesh still alive at this address is the same run.
        if (!netz_.expired() && netz_.lock() == lauf->Dreiecksnetz) return;
    }
    stand_ = neu;
    netz_ = neu == Stand::MitStrasse ? std::weak_ptr<const Netz>(lauf->Dreiecksnetz)
                                     : std::weak_ptr<const Netz>();
    mitBoden_ = boden.has_value();
    bodenPixel_ = boden ? boden->Raster.Werte : nullptr;
    Vorschaudaten d = VorschauAus(lauf, dokument);
    if (boden) d.Boden = bodenlager_.Fuer(d, *boden);
    Anzeigen(std::make_shared<const Vorschaudaten>(std::move(d)));
}

void Strassenvorschau::Zeigen(const Vorschauergebnis& ergebnis) {
    if (ergebnis.Bericht && ergebnis.Bericht->Vollstaendig) {
        Uebernehmen(std::optional<Bauergebnis>(*ergebnis.Bericht), ergebnis.Dokument, ergebnis.Boden);
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
    plan_->SetzeGelassen(ergebnis.GelaendeLassen);
}

QString Strassenvorschau::Status() const { return hinweis_->Voll(); }

void Strassenvorschau::Anzeigen(std::shared_ptr<const Vorschaudaten> daten, bool einpassen) {
    daten_ = std::move(daten);
    const bool strasse = daten_->Hinweis.empty();
    ansicht3d_->SetzeDaten(strasse ? daten_ : nullptr);
    plan_->SetzeDaten(daten_);
    gelaende_->setEnabled(daten_->Boden != nullptr);
    TexturenLaden();
    StatusZeigen();
    if (strasse && einpassen && !benutzerBewegt_) Einpassen();
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::StatusZeigen() {
    const Vorschaudaten& d = *daten_;
    const bool strasse = d.Hinweis.empty();
    // Out of date reads as a warning, so the road is not taken for the current one.
    hinweis_->setStyleSheet(d.Veraltet.empty() ? QString()
                                               : QStringLiteral("color: #a03000; font-weight: bold"));
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
    hinweis_->Setzen(text);
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
    SzeneSetzen();
    kamera_.Einpassen(min, max, Seitenverhaeltnis3d());
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SzeneSetzen() {
    if (!daten_->RahmenGueltig()) return;
    const auto [min, max] = daten_->Szenenrahmen(darstellung_.Gelaende);
    kamera_.SetzeSzene(QVector3D(min[0], min[1], min[2]), QVector3D(max[0], max[1], max[2]));
}

void Strassenvorschau::KameraBewegt() {
    benutzerBewegt_ = true;
    ansicht3d_->Neuzeichnen();
}

QLayout* Strassenvorschau::Legende() {
    // Wraps like the bar; a colour stays with its name.
    auto* zeile = new Flusslayout(14);
    auto eintrag = [zeile](const Farbe& f, const QString& text) {
        auto* paar = new QWidget;
        auto* innen = new QHBoxLayout(paar);
        innen->setContentsMargins(0, 0, 0, 0);
        innen->setSpacing(4);
        QPixmap muster(12, 12);
        muster.fill(QColor::fromRgbF(f[0], f[1], f[2]));
        auto* farbe = new QLabel;
        farbe->setPixmap(muster);
        innen->addWidget(farbe);
        innen->addWidget(new QLabel(text));
        zeile->addWidget(paar);
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
    eintrag(kGelassenfarbe, QTr("Terrain left as it is"));
    return zeile;
}

void Strassenvorschau::VonOben() {
    // Heading 0: the eye on the +Z side looks toward -Z, so north (-Z) is up and +X to
    // the right, as in the plan view.
    kamera_.SetzeGier(0.0f);
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
    kamera_.Einpassen(
        QVector3D(std::min(start.x(), ende.x()) - 5, start.y() - 2, std::min(start.z(), ende.z()) - 5),
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
    if (!fehler.empty())
        texturHinweise_.push_back(Einsetzen(Tr("the texture folder was not kept: %1"), {fehler}));
    StatusZeigen();
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeKurven(bool an) {
    if (kurven_->isChecked() != an) kurven_->setChecked(an);  // comes back through toggled
    if (darstellung_.Kurven == an) return;
    darstellung_.Kurven = an;
    ansicht3d_->Neuzeichnen();
}

void Strassenvorschau::SetzeGelaende(bool an) {
    if (gelaende_->isChecked() != an) gelaende_->setChecked(an);  // comes back through toggled
    if (darstellung_.Gelaende == an) return;
    darstellung_.Gelaende = an;
    plan_->SetzeGelaende(an);
    SzeneSetzen();
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
