#include "ui/qt/Bausteine.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <exception>
#include <stdexcept>
#include <string>

namespace pavolant::qt {

namespace {

QString Name(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

template <class T>
T& Gefunden(const std::function<T*(std::string_view)>& suche, std::string_view name) {
    T* control = suche ? suche(name) : nullptr;
    if (!control) throw std::logic_error("the window has no control '" + std::string(name) + "'");
    return *control;
}

// Plus, minus, and a list with a plus below it (append), drawn in the palette's button
// text colour on a 16-pixel grid (twice the size, for sharp scaling).
QIcon Gezeichnet(Symbol symbol) {
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QApplication::palette().color(QPalette::ButtonText), 4, Qt::SolidLine, Qt::FlatCap));
    switch (symbol) {
        case Symbol::Anhaengen:
            p.drawLine(4, 5, 28, 5);
            p.drawLine(4, 12, 28, 12);
            p.drawLine(16, 17, 16, 31);
            p.drawLine(9, 24, 23, 24);
            break;
        case Symbol::Loeschen:
            p.drawLine(7, 16, 25, 16);
            break;
        default:
            p.drawLine(16, 7, 16, 25);
            p.drawLine(7, 16, 25, 16);
            break;
    }
    p.end();
    return QIcon(bild);
}

}  // namespace

QIcon Symbolbild(Symbol symbol) {
    struct Eintrag {
        Symbol symbol;
        const char* thema;
        QStyle::StandardPixmap ersatz;
    };
    static const Eintrag kTabelle[] = {
        {Symbol::Oeffnen, "document-open", QStyle::SP_DialogOpenButton},
        {Symbol::Speichern, "document-save", QStyle::SP_DialogSaveButton},
        {Symbol::SpeichernUnter, "document-save-as", QStyle::SP_DialogSaveButton},
        {Symbol::Start, "media-playback-start", QStyle::SP_MediaPlay},
        {Symbol::Kopieren, "edit-copy", QStyle::SP_FileDialogDetailedView},
        {Symbol::Info, "help-about", QStyle::SP_MessageBoxInformation},
        {Symbol::Einstellungen, "preferences-system", QStyle::SP_FileDialogContentsView},
        {Symbol::Zurueck, "edit-undo", QStyle::SP_ArrowBack},
        {Symbol::NachRechts, "go-next", QStyle::SP_ArrowRight},
        {Symbol::NachLinks, "go-previous", QStyle::SP_ArrowLeft},
        {Symbol::Neuzeichnen, "view-refresh", QStyle::SP_BrowserReload},
        {Symbol::Schrift, "preferences-desktop-font", QStyle::SP_FileDialogListView},
        {Symbol::Liste, "format-justify-left", QStyle::SP_FileDialogDetailedView},
        {Symbol::Profil, "image-x-generic", QStyle::SP_FileDialogInfoView},
    };
    if (symbol == Symbol::Keines) return {};
    if (symbol == Symbol::Einfuegen || symbol == Symbol::Loeschen || symbol == Symbol::Anhaengen)
        return Gezeichnet(symbol);
    for (const Eintrag& e : kTabelle) {
        if (e.symbol != symbol) continue;
        const QString thema = QString::fromLatin1(e.thema);
        if (QIcon::hasThemeIcon(thema)) return QIcon::fromTheme(thema);
        return QApplication::style()->standardIcon(e.ersatz);
    }
    return {};
}

QLineEdit* Bausteine::Feld(std::string_view name) {
    auto* w = new QLineEdit;
    w->setObjectName(Name(name));
    bindung_.Binden(Gefunden(suche_.Edit, name), w);
    return w;
}

QCheckBox* Bausteine::Box(std::string_view name) {
    auto* w = new QCheckBox;
    w->setObjectName(Name(name));
    bindung_.Binden(Gefunden(suche_.CheckBox, name), w);
    return w;
}

QSpinBox* Bausteine::Spin(std::string_view name) {
    auto* w = new QSpinBox;
    w->setObjectName(Name(name));
    bindung_.Binden(Gefunden(suche_.SpinEdit, name), w);
    return w;
}

QPushButton* Bausteine::Knopf(std::string_view name, Symbol symbol, std::function<void()> aktion) {
    auto* w = new QPushButton;
    w->setObjectName(Name(name));
    w->setIcon(Symbolbild(symbol));
    w->setFocusPolicy(Qt::StrongFocus);
    w->setAutoDefault(false);
    bindung_.Binden(Gefunden(suche_.Button, name), w, std::move(aktion));
    return w;
}

QPushButton* Bausteine::KnopfFallsVorhanden(std::string_view name, Symbol symbol) {
    if (!suche_.Button || !suche_.Button(name)) return nullptr;
    return Knopf(name, symbol);
}

QPushButton* Bausteine::Schlicht(std::string_view name) {
    auto* w = new QPushButton;
    w->setObjectName(Name(name));
    w->setFocusPolicy(Qt::StrongFocus);
    w->setAutoDefault(false);
    bindung_.Binden(Gefunden(suche_.Button, name), w);
    return w;
}

QToolButton* Bausteine::Glyphe(std::string_view name, Symbol symbol) {
    auto* w = new QToolButton;
    w->setObjectName(Name(name));
    w->setIcon(Symbolbild(symbol));
    // Reachable with Tab for the keyboard, but a click leaves the focus where it is.
    w->setFocusPolicy(Qt::TabFocus);
    w->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    w->setAutoRaise(false);
    bindung_.Binden(Gefunden(suche_.Button, name), w);
    return w;
}

QLabel* Bausteine::Beschriftung(std::string_view name) {
    auto* w = new QLabel;
    w->setObjectName(Name(name));
    bindung_.Binden(Gefunden(suche_.Label, name), w);
    return w;
}

QGroupBox* Bausteine::Gruppe(std::string_view name, QGridLayout*& raster) {
    auto* w = new QGroupBox;
    w->setObjectName(Name(name));
    raster = Raster(w);
    bindung_.Binden(Gefunden(suche_.GroupBox, name), w);
    return w;
}

QPlainTextEdit* Bausteine::Memo(std::string_view name) {
    auto* w = new QPlainTextEdit;
    w->setObjectName(Name(name));
    bindung_.Binden(Gefunden(suche_.Memo, name), w);
    return w;
}

QLabel* Text(const char* text) { return new QLabel(QString::fromUtf8(text)); }

QGridLayout* Raster(QWidget* eltern) {
    auto* raster = new QGridLayout(eltern);
    raster->setContentsMargins(6, 4, 6, 4);
    raster->setHorizontalSpacing(4);
    raster->setVerticalSpacing(3);
    return raster;
}

Bindung::Grenze Fehlerbox(Dialoge& dialoge) {
    return [&dialoge](const std::function<void()>& handler) {
        try {
            handler();
            return true;
        } catch (const std::exception& e) {
            dialoge.Fehler(e.what());
            return false;
        }
    };
}

}  // namespace pavolant::qt
