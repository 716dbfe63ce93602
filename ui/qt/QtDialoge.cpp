#include "ui/qt/QtDialoge.h"
#include "ui/qt/Importdialog.h"

#include "ui/qt/Qtext.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

namespace pavolant::qt {

QString Meldungstext(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QStringList Namensfilter(const DateiAuswahl& auswahl) {
    QStringList filter;
    for (const Dateifilter& f : auswahl.Filter) {
        QString muster = QString::fromStdString(f.Muster);
        if (muster == QLatin1String("*.*")) muster = QStringLiteral("*");
        filter << QStringLiteral("%1 (%2)").arg(QString::fromStdString(f.Beschreibung).trimmed(), muster);
    }
    if (filter.isEmpty()) filter << QTr("All files (*)");
    return filter;
}

void Einrichten(QFileDialog& dialog, const DateiAuswahl& auswahl, bool speichern) {
    dialog.setAcceptMode(speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(auswahl.MussExistieren ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(Namensfilter(auswahl));
    dialog.setDefaultSuffix(QString::fromStdString(auswahl.StandardEndung));
    // Choosing an existing output file replaces it without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!auswahl.Dateiname.empty()) dialog.selectFile(QString::fromStdString(auswahl.Dateiname));
}

QString MitStandardendung(const QString& pfad, const DateiAuswahl& auswahl, bool speichern) {
    if (auswahl.StandardEndung.empty() || !QFileInfo(pfad).suffix().isEmpty()) return pfad;
    const QString erweitert = pfad + QLatin1Char('.') + QString::fromStdString(auswahl.StandardEndung);
    if (speichern) return erweitert;
    return !QFileInfo::exists(pfad) && QFileInfo::exists(erweitert) ? erweitert : pfad;
}

void Meldungsbox(QWidget* eltern, QMessageBox::Icon icon, const QString& titel, const QString& text) {
    QMessageBox box(icon, titel, text, QMessageBox::Ok, eltern);
    // A box of many lines (the repeats of one event gathered) would reach past the
    // screen and hide its button: the first lines, and all of them in the details.
    constexpr int kZeilen = 12;
    const QStringList zeilen = text.split(QLatin1Char('\n'));
    if (zeilen.size() > kZeilen) {
        box.setText(zeilen.mid(0, kZeilen - 1).join(QLatin1Char('\n')) + QStringLiteral("\n…"));
        box.setDetailedText(text);
    }
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void QtMelder::Melden(MeldungsArt art, const std::string& text) {
    if (art == MeldungsArt::Warnung)
        Meldungsbox(fenster_, QMessageBox::Warning, QTr("Warning"), Meldungstext(text));
    else
        Meldungsbox(fenster_, QMessageBox::Information, QTr("Information"), Meldungstext(text));
}

std::optional<std::string> QtDialoge::DateiOeffnen(const DateiAuswahl& auswahl) {
    return Zeigen(auswahl, false);
}

std::optional<std::string> QtDialoge::DateiSpeichern(const DateiAuswahl& auswahl) {
    return Zeigen(auswahl, true);
}

void QtDialoge::Fehler(const std::string& text) {
    Meldungsbox(fenster_, QMessageBox::Critical, QTr("Error"), Meldungstext(text));
}

Dialoge::Sichern QtDialoge::AenderungenSichern(const std::string& frage) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pavolant"), Meldungstext(frage),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, fenster_);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Save:
            return Sichern::Speichern;
        case QMessageBox::Discard:
            return Sichern::Verwerfen;
        default:
            return Sichern::Abbrechen;
    }
}

bool QtDialoge::Ersetzen(const std::string& frage) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Pavolant"), Meldungstext(frage),
                    QMessageBox::NoButton, fenster_);
    QPushButton* ersetzen = box.addButton(QTr("Replace"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    // Enter alone must not destroy another road's document.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == ersetzen;
}

std::optional<std::size_t> QtDialoge::Anbieten(MeldungsArt art, const std::string& text,
                                               const std::vector<std::string>& angebote) {
    const bool warnung = art == MeldungsArt::Warnung;
    QMessageBox box(warnung ? QMessageBox::Warning : QMessageBox::Information,
                    warnung ? QTr("Warning") : QTr("Information"), Meldungstext(text), QMessageBox::Ok,
                    fenster_);
    std::vector<QPushButton*> knoepfe;
    for (const std::string& a : angebote)
        knoepfe.push_back(box.addButton(QString::fromStdString(a), QMessageBox::ActionRole));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    for (std::size_t i = 0; i < knoepfe.size(); ++i)
        if (box.clickedButton() == knoepfe[i]) return i;
    return std::nullopt;
}

std::optional<Importwahl> QtDialoge::ImportWaehlen(const I3dSzene& szene,
                                                   const std::vector<Importzeile>& baum) {
    return qt::ImportWaehlen(fenster_, szene, baum);
}

std::optional<std::string> QtDialoge::Zeigen(const DateiAuswahl& auswahl, bool speichern) {
    QFileDialog dialog(fenster_);
    Einrichten(dialog, auswahl, speichern);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList gewaehlt = dialog.selectedFiles();
    if (gewaehlt.isEmpty()) return std::nullopt;
    const QString pfad = MitStandardendung(gewaehlt.front(), auswahl, speichern);
#ifdef Q_OS_WIN
    // The core takes paths as UTF-8 (PfadAusUtf8); the ANSI code page would lose letters.
    return pfad.toStdString();
#else
    // The file system's own encoding of the name, which the core's paths use as bytes.
    return QFile::encodeName(pfad).toStdString();
#endif
}

}  // namespace pavolant::qt
