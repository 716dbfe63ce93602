// The main window speaks one language: run once per language (PAVOLANT_TEST_SPRACHE =
// "en", "de", or empty for the texts as the code holds them), it loads the example road,
// runs "Go" and then reads every text the window shows (captions, group titles, hints,
// the report in the memo) and every message. Each word must be a word of that
// language's catalog: a text that missed the translator, or a catalog entry left in the
// other language, shows up as a word the catalog does not have.
#include "persistence/Sprache.h"
#include "tests/qt/Qthilfen.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextDocumentFragment>

#include <fstream>
#include <sstream>

using namespace pavolant;
using namespace pavolant::test;

namespace {

// A C string of a catalog line ("…" with \n, \t, \" and \\ escaped) as UTF-8.
std::string Entschluesselt(const std::string& zeile) {
    const auto anfang = zeile.find('"'), ende = zeile.rfind('"');
    std::string text;
    for (std::size_t i = anfang + 1; i < ende; ++i) {
        if (zeile[i] == '\\' && i + 1 < ende) {
            const char c = zeile[++i];
            text += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            text += zeile[i];
        }
    }
    return text;
}

// The texts of a catalog: its translations (msgstr, msgstr[n]) or its ids.
QStringList Katalogtexte(const std::string& datei, bool uebersetzungen) {
    std::ifstream ein(datei);
    QStringList texte;
    std::string zeile, aktuell;
    bool sammeln = false;
    const auto abschliessen = [&] {
        if (sammeln && !aktuell.empty()) texte << QString::fromStdString(aktuell);
        aktuell.clear();
        sammeln = false;
    };
    while (std::getline(ein, zeile)) {
        if (zeile.rfind("#~", 0) == 0) continue;       // obsolete
        const bool id = zeile.rfind("msgid", 0) == 0;  // msgid and msgid_plural
        const bool str = zeile.rfind("msgstr", 0) == 0;
        if (id || str) {
            abschliessen();
            sammeln = uebersetzungen ? str : id;
            aktuell = Entschluesselt(zeile);
        } else if (!zeile.empty() && zeile[0] == '"' && sammeln) {
            aktuell += Entschluesselt(zeile);
        }
    }
    abschliessen();
    return texte;
}

const QRegularExpression& Woerter() {
    static const QRegularExpression muster(QStringLiteral("\\p{L}{3,}"));
    return muster;
}

QSet<QString> Wortschatz(const QStringList& texte) {
    QSet<QString> woerter;
    for (const QString& text : texte)
        for (auto it = Woerter().globalMatch(text); it.hasNext();)
            woerter.insert(it.next().captured().toLower());
    return woerter;
}

// The text as read: rich text without its tags, a caption without the mark of its
// keyboard letter ("Pre&view").
QString Klartext(const QString& text) {
    QString klar = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
    static const QRegularExpression kennbuchstabe(QStringLiteral("&(?=\\S)"));
    return klar.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(kennbuchstabe)
        .replace(QChar(1), QChar('&'));
}

}  // namespace

class Sprachen : public QObject {
    Q_OBJECT

    QString sprache_;
    QSet<QString> wortschatz_;

private slots:
    void initTestCase() {
        SetzeDezimaltrenner('.');
        sprache_ = qEnvironmentVariable("PAVOLANT_TEST_SPRACHE");
        const std::string katalog = std::string(PAVOLANT_SOURCE_DIR) + "/po/" +
                                    (sprache_.isEmpty() ? "en" : sprache_.toStdString()) + ".po";
        if (!sprache_.isEmpty() && !SpracheEinrichten(sprache_.toStdString())) {
            if (ImCi()) QFAIL("the catalogs were not built (msgfmt missing?)");
            QSKIP("the message catalogs were not built (msgfmt missing)");
        }
        // Without a language the window shows the ids themselves.
        wortschatz_ = Wortschatz(Katalogtexte(katalog, !sprache_.isEmpty()));
        QVERIFY2(wortschatz_.size() > 300, "the catalog holds hardly any words");
    }

    void JedesWortIstEinWortDerSprache() {
        TempOrdner ordner;
        const std::string beispiel = std::string(PAVOLANT_SOURCE_DIR) + "/examples/Dorfstrasse.ini";
        const std::string ausgabe = (ordner / "strasse.i3d").string();
        Ansicht a;
        a.fenster.Verbindung().Ereignis([&] { a.form.ParameterLaden(beispiel); });
        a.dialoge.antworten = {ausgabe};
        Klicken(a.Knopf("bbnSave"));
        Klicken(a.Knopf("bbnGo"));
        QVERIFY(a.form.LetzterLauf() && a.form.LetzterLauf()->Geschrieben);

        QStringList texte;
        for (const QWidget* w : a.fenster.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&a.fenster)) continue;
            texte << w->toolTip() << w->windowTitle();
            if (const auto* l = qobject_cast<const QLabel*>(w)) texte << l->text();
            if (const auto* b = qobject_cast<const QAbstractButton*>(w)) texte << b->text();
            if (const auto* g = qobject_cast<const QGroupBox*>(w)) texte << g->title();
            if (const auto* f = qobject_cast<const QLineEdit*>(w)) texte << f->placeholderText();
            if (const auto* m = qobject_cast<const QPlainTextEdit*>(w)) texte << m->toPlainText();
            if (const auto* t = qobject_cast<const QTabWidget*>(w))
                for (int i = 0; i < t->count(); ++i) texte << t->tabText(i);
        }
        texte << a.fenster.windowTitle();
        for (const auto& e : a.melder.eintraege) texte << QString::fromStdString(e.text);
        for (const std::string& f : a.dialoge.fehler) texte << QString::fromStdString(f);

        QStringList fremd;
        int woerter = 0;
        for (QString text : texte) {
            // The names of files are the user's, not the program's words.
            text = Klartext(text)
                       .replace(QString::fromStdString(beispiel), QString())
                       .replace(QString::fromStdString(ausgabe), QString())
                       .replace(QStringLiteral("Dorfstrasse"), QString());
            for (auto it = Woerter().globalMatch(text); it.hasNext();) {
                const QString wort = it.next().captured();
                ++woerter;
                if (!wortschatz_.contains(wort.toLower()))
                    fremd << wort + QStringLiteral(" in \"") + text + '"';
            }
        }
        QVERIFY2(woerter > 100, "the window shows hardly any words");
        fremd.removeDuplicates();
        QVERIFY2(fremd.isEmpty(),
                 qPrintable(QStringLiteral("words outside the language '%1':\n").arg(sprache_) +
                            fremd.join('\n')));
        if (sprache_ == QLatin1String("en")) {
            static const QRegularExpression umlaute(QStringLiteral("[äöüÄÖÜß]"));
            for (const QString& text : texte) QVERIFY2(!text.contains(umlaute), qPrintable(text));
        }
    }
};

QTEST_MAIN(Sprachen)
#include "sprachen_Hauptfenster.moc"
