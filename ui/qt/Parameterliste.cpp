#include "ui/qt/Parameterliste.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Qtext.h"

#include <QFontDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace pavolant::qt {

namespace {

Steuerelementsuche Suche(Randauflistung& f) {
    Steuerelementsuche s;
    s.Button = [&f](std::string_view n) -> TButton* {
        if (n == "Button1") return &f.Button1;
        if (n == "SpeedButton1") return &f.SpeedButton1;
        return nullptr;
    };
    s.Memo = [&f](std::string_view n) { return n == "Memo1" ? &f.Memo1 : nullptr; };
    return s;
}

std::optional<QFont> DesktopSchriftwahl(const QFont& aktuell, QWidget* eltern) {
    bool ok = false;
    const QFont gewaehlt = QFontDialog::getFont(&ok, aktuell, eltern);
    if (!ok) return std::nullopt;
    return gewaehlt;
}

}  // namespace

Parameterliste::Parameterliste(Randauflistung& form, Bindung::Grenze grenze, QWidget* eltern)
    : QDialog(eltern),
      form_(form),
      bindung_(new Bindung(*this, std::move(grenze))),
      schriftwahl_(DesktopSchriftwahl) {
    setObjectName(QStringLiteral("frmShowParameter"));
    Bausteine b(Suche(form), *bindung_);

    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(41);
    auto* zeile = new QHBoxLayout(panel);
    zeile->setContentsMargins(6, 4, 6, 4);
    QPushButton* ok = b.Schlicht("Button1");
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    zeile->addWidget(ok);
    QToolButton* schrift = b.Glyphe("SpeedButton1", Symbol::Schrift);
    schrift->setToolTip(QTr("Font"));
    connect(schrift, &QToolButton::clicked, this, [this] { SchriftWaehlen(); });
    zeile->addWidget(schrift);
    zeile->addStretch(1);

    liste_ = b.Memo("Memo1");
    liste_->setReadOnly(true);
    liste_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The font dialog starts from an 11-pixel sans-serif font.
    QFont anfang = liste_->font();
    anfang.setFamily(QStringLiteral("Sans Serif"));
    anfang.setStyleHint(QFont::SansSerif);
    anfang.setPixelSize(11);
    liste_->setFont(anfang);

    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addWidget(panel);
    spalte->addWidget(liste_, 1);
    resize(802, 593);
    bindung_->Synchronisieren();
}

void Parameterliste::Zeigen() {
    setWindowTitle(QString::fromStdString(form_.Caption));
    bindung_->Synchronisieren();
    exec();
}

void Parameterliste::SchriftWaehlen() {
    if (const std::optional<QFont> gewaehlt = schriftwahl_(liste_->font(), this)) liste_->setFont(*gewaehlt);
}

}  // namespace pavolant::qt
