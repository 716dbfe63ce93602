#include "ui/qt/Programmstart.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <exception>

#include "model/Zahlen.h"
#include "persistence/Einstellungen.h"
#include "persistence/Plattform.h"
#include "persistence/Sprache.h"
#include "ui/qt/Fensterplatz.h"

namespace pavolant::qt {

namespace {

// The frame a desktop is likely to add, for a window not yet shown (it has no frame
// until the window manager gives it one): a title bar and thin borders.
constexpr QMargins kRahmenVorher(4, 30, 4, 4);

// Some window managers place a newly mapped window by its client area, not its frame,
// whatever the window asked for: the window would then open a title bar's height lower
// (or higher) each start. Once the frame is known after the first showing, the window
// is moved so that its frame stands where it was placed.
class Rahmenkorrektur : public QObject {
public:
    static constexpr const char* kName = "Rahmenkorrektur";

    Rahmenkorrektur(QWidget& fenster, QPoint ziel) : QObject(&fenster), fenster_(&fenster), ziel_(ziel) {
        setObjectName(QLatin1String(kName));
        fenster.installEventFilter(this);
    }
    // The place of a later start-up of the same window.
    void SetzeZiel(QPoint ziel) { ziel_ = ziel; }

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (objekt == fenster_ && ereignis->type() == QEvent::Show) {
            fenster_->removeEventFilter(this);
            // The frame extents arrive with the window manager's answers, a moment later.
            for (const int ms : {0, 150, 500}) QTimer::singleShot(ms, this, [this] { Pruefen(); });
            QTimer::singleShot(600, this, [this] { deleteLater(); });
        }
        return false;
    }

private:
    void Pruefen() {
        if (!fenster_ || fenster_->frameGeometry() == fenster_->geometry()) return;  // no frame (yet)
        if (fenster_->frameGeometry().topLeft() != ziel_) fenster_->move(ziel_);
    }

    QPointer<QWidget> fenster_;
    QPoint ziel_;
};

// The stored position exactly as written, or nullopt without a file; never throws (the
// start-up's own reading has reported a file that cannot be read).
std::optional<Fensterposition> GespeichertePosition(const std::filesystem::path& pfad) {
    try {
        return FensterpositionLesen(pfad);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

void AnwendungEinrichten(QTranslator& qtTexte, const std::filesystem::path& einstellungen) {
    QCoreApplication::setApplicationName(QStringLiteral("Pavolant"));
    // The formats do not depend on the C locale that QApplication has set.
    SetzeDezimaltrenner(SystemDezimaltrenner());
    Sprachumgebung umgebung = SprachumgebungDesProzesses();
    for (const QString& sprache : QLocale::system().uiLanguages())
        umgebung.Oberflaeche.push_back(sprache.toStdString());
    const std::string sprache = SpracheBestimmen(SprachwahlLesen(einstellungen), umgebung);
    if (SpracheEinrichten(sprache) &&
        qtTexte.load(QLocale(QString::fromStdString(sprache)), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexte);
}

Bildschirmflaechen Bildschirme() {
    Bildschirmflaechen f;
    for (const QScreen* s : QGuiApplication::screens()) f.bereiche << s->availableGeometry();
    if (const QScreen* p = QGuiApplication::primaryScreen()) f.primaer = p->availableGeometry();
    if (!f.primaer.isValid())
        f.primaer = QRect(0, 0, Hauptfenster::kBreite, Hauptfenster::kHoehe);  // no screen at all
    if (f.bereiche.isEmpty()) f.bereiche << f.primaer;
    return f;
}

bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad, QSize bildschirm) {
    const QRect bereich(QPoint(0, 0), bildschirm);
    return Starten(form, fenster, pfad, Bildschirmflaechen{{bereich}, bereich});
}

bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad,
             const Bildschirmflaechen& f) {
    const bool ok = form.FormCreate(pfad, f.primaer.width(), f.primaer.height());
    // The window logic keeps a window of the design size on the screen; the window as
    // built may be larger, and the position is taken as stored, so the place is settled
    // here with the real frame and every screen.
    const QMargins rand = fenster.frameGeometry() != fenster.geometry()
                              ? QMargins(fenster.geometry().left() - fenster.frameGeometry().left(),
                                         fenster.geometry().top() - fenster.frameGeometry().top(),
                                         fenster.frameGeometry().right() - fenster.geometry().right(),
                                         fenster.frameGeometry().bottom() - fenster.geometry().bottom())
                              : kRahmenVorher;
    // One pixel to spare: the design position's rule puts an edge 1 pixel into the area.
    const QSize innen = fenster.size()
                            .boundedTo(f.primaer.size().shrunkBy(rand) - QSize(1, 1))
                            .expandedTo(fenster.minimumSize());
    if (innen != fenster.size()) fenster.resize(innen);
    const QSize rahmen = innen.grownBy(rand);

    const std::optional<Fensterposition> gespeichert = ok ? GespeichertePosition(pfad) : std::nullopt;
    const QPoint platz =
        gespeichert
            ? Wiederhergestellt(QPoint(gespeichert->Links, gespeichert->Oben), rahmen, f.bereiche, f.primaer)
            : Entwurfsplatz(
                  QPoint(Hauptfenster::kEntwurfsPosition.Links, Hauptfenster::kEntwurfsPosition.Oben), rahmen,
                  f.primaer);
    form.Position = {platz.y(), platz.x()};
    // Before the first showing a top-level window's move places its frame.
    fenster.move(platz);
    if (auto* k = dynamic_cast<Rahmenkorrektur*>(
            fenster.findChild<QObject*>(QLatin1String(Rahmenkorrektur::kName), Qt::FindDirectChildrenOnly)))
        k->SetzeZiel(platz);
    else
        new Rahmenkorrektur(fenster, platz);
    return ok;
}

bool Schliessen(Hauptfenster& form, const QWidget& fenster, const std::filesystem::path& pfad) {
    // The frame's top-left corner, the kind of point the start-up places.
    const QPoint ecke = fenster.frameGeometry().topLeft();
    form.Position = {ecke.y(), ecke.x()};
    return form.FormCloseQuery(pfad);
}

}  // namespace pavolant::qt
