#include "ui/qt/Profilansicht.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Gruppen.h"
#include "ui/qt/Qtext.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace pavolant::qt {

namespace {

QColor Farbe(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

Steuerelementsuche Suche(Profilfenster& f) {
    Steuerelementsuche s;
    s.Edit = [&f](std::string_view n) { return f.Edit(n); };
    s.CheckBox = [&f](std::string_view n) { return f.CheckBox(n); };
    s.SpinEdit = [&f](std::string_view n) { return f.SpinEdit(n); };
    s.Button = [&f](std::string_view n) { return f.Button(n); };
    s.GroupBox = [&f](std::string_view n) { return f.GroupBox(n); };
    return s;
}

}  // namespace

Bildflaeche::Bildflaeche(QWidget* eltern) : QWidget(eltern), bild_(1, 1, QImage::Format_RGB32) {
    bild_.fill(Qt::white);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Bildflaeche::Stift(std::uint32_t farbe, int breite) {
    // Thick lines end and join round; a pixel exact image, so no smoothing.
    stift_ = QPen(Farbe(farbe), breite, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Bildflaeche::Fuellen(std::uint32_t farbe) {
    bild_.fill(Farbe(farbe));
    update();
}

void Bildflaeche::LinieZu(int x, int y) {
    const QPoint ziel(x, y);
    QPainter p(&bild_);
    p.setPen(stift_);
    p.drawLine(stand_, ziel);
    stand_ = ziel;
    update();
}

void Bildflaeche::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, bild_);
}

void Bildflaeche::resizeEvent(QResizeEvent* ereignis) {
    const QSize neu = ereignis->size();
    if (neu == bild_.size()) return;
    if (neu.isEmpty()) {
        bild_ = QImage();  // no pixels: nothing is drawn until the surface has some again
    } else {
        QImage bild(neu, QImage::Format_RGB32);
        bild.fill(Qt::white);
        if (!bild_.isNull()) QPainter(&bild).drawImage(0, 0, bild_);
        bild_ = std::move(bild);
    }
    if (NachGroessenaenderung) NachGroessenaenderung();
}

Profilansicht::Profilansicht(Profilfenster& form, Bindung::Grenze grenze, QWidget* eltern)
    : QDialog(eltern), form_(form), bindung_(new Bindung(*this, std::move(grenze))), bild_(new Bildflaeche) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromStdString(form.Caption));
    Bausteine b(Suche(form), *bindung_);

    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setToolTip(QString::fromStdString(form.Panel1Hint));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* knoepfe = new QVBoxLayout;
    QPushButton* ok = b.Schlicht("Button1");
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    knoepfe->addWidget(ok);
    knoepfe->addWidget(b.Box("cboUnverzerrt"));
    knoepfe->addWidget(b.Knopf("BitBtn1", Symbol::Neuzeichnen));
    knoepfe->addStretch(1);
    auto* zeile = new QHBoxLayout(panel);
    zeile->setContentsMargins(6, 4, 6, 4);
    zeile->addLayout(knoepfe);
    zeile->addWidget(SegmentGruppe(b, false, Tr("pxl")), 1);
    zeile->addWidget(SegmentGruppe(b, true, Tr("pxl")), 1);

    bild_->setObjectName(QStringLiteral("Image1"));
    bild_->setMinimumSize(0, 0);
    form.Image1 = bild_;
    bild_->NachGroessenaenderung = [this] { form_.FormResize(); };

    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addWidget(panel);
    spalte->addWidget(bild_, 1);

    QFont schrift = font();
    schrift.setPixelSize(16);
    setFont(schrift);
    resize(941, 503);
    bindung_->Synchronisieren();
}

Profilansicht::~Profilansicht() { form_.Image1 = nullptr; }

void Profilansicht::Zeigen() {
    bindung_->Synchronisieren();
    exec();
}

void Profilansicht::done(int ergebnis) {
    if (!bindung_->FokusAbgeben()) return;
    QDialog::done(ergebnis);
}

}  // namespace pavolant::qt
