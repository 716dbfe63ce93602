#include "ui/qt/Punktetabelle.h"

#include "ui/qt/Qtext.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace pavolant::qt {

// The form's table as Qt's item model: cells as the form shows them, a typed cell handed
// to the form as one event.
class Punktemodell : public QAbstractTableModel {
public:
    Punktemodell(Hauptfenster& form, Punktetabellenansicht::Ereignis& ereignis, QObject* eltern)
        : QAbstractTableModel(eltern), form_(form), ereignis_(ereignis) {}

    int rowCount(const QModelIndex& eltern) const override {
        return eltern.isValid() ? 0 : form_.SplinePunkte.AnzahlPunkte();
    }
    int columnCount(const QModelIndex& eltern) const override {
        return eltern.isValid() ? 0 : Hauptfenster::kTabellenSpalten;
    }
    QVariant data(const QModelIndex& i, int rolle) const override {
        if (!i.isValid()) return {};
        if (i.column() == Hauptfenster::kTabellenLassenSpalte) {
            const TSplinePkt* p = form_.SplinePunkte.Punkt(i.row());
            if (rolle == Qt::CheckStateRole && p) return p->GelaendeLassen ? Qt::Checked : Qt::Unchecked;
            if (rolle == Qt::ToolTipRole) return LassenHinweis();
            return {};
        }
        if (rolle == Qt::DisplayRole || rolle == Qt::EditRole)
            return QString::fromStdString(form_.Tabellenzelle(i.row(), i.column()));
        if (rolle == Qt::TextAlignmentRole)
            return QVariant(
                (i.column() == Hauptfenster::kTabellenNamenSpalte ? Qt::AlignLeft : Qt::AlignRight) |
                Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int abschnitt, Qt::Orientation richtung, int rolle) const override {
        if (richtung != Qt::Horizontal || abschnitt < 0 || abschnitt >= Hauptfenster::kTabellenSpalten)
            return {};
        if (rolle == Qt::ToolTipRole && abschnitt == Hauptfenster::kTabellenLassenSpalte)
            return LassenHinweis();
        if (rolle != Qt::DisplayRole) return {};
        // The axes' and rotations' names are the same in every language.
        static const char* const kKoepfe[] = {
            TrVorgemerkt("No."), "X", "Y", "Z", "Xrot", "Yrot", "Zrot", TrVorgemerkt("Leave terrain"),
            TrVorgemerkt("Name")};
        return QTr(kKoepfe[abschnitt]);
    }
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(i);
        // The number and the imported name are no values to type.
        if (i.isValid() && i.column() > 0 && i.column() < Hauptfenster::kTabellenWertSpalten)
            f |= Qt::ItemIsEditable;
        // The last point starts no connection: its switch is shown, greyed, but not offered.
        if (i.isValid() && i.column() == Hauptfenster::kTabellenLassenSpalte) {
            f |= Qt::ItemIsUserCheckable;
            if (i.row() + 1 >= form_.SplinePunkte.AnzahlPunkte()) f &= ~Qt::ItemIsEnabled;
        }
        return f;
    }
    bool setData(const QModelIndex& i, const QVariant& wert, int rolle) override {
        if (i.isValid() && i.column() == Hauptfenster::kTabellenLassenSpalte && rolle == Qt::CheckStateRole) {
            const bool an = wert.toInt() == Qt::Checked;
            const int z = i.row();
            return ereignis_([&] { form_.TabellenGelaendeLassen(z, an); });
        }
        if (!i.isValid() || rolle != Qt::EditRole) return false;
        const std::string text = wert.toString().toStdString();
        return ereignis_([&] { form_.TabellenzelleSetzen(i.row(), i.column(), text); });
    }

    // Every cell again; the rows anew only when their number changed, so an editor that
    // is just being closed keeps its row.
    void Neu() {
        if (zeilen_ != form_.SplinePunkte.AnzahlPunkte()) {
            beginResetModel();
            zeilen_ = form_.SplinePunkte.AnzahlPunkte();
            endResetModel();
        } else if (zeilen_ > 0) {
            emit dataChanged(index(0, 0), index(zeilen_ - 1, Hauptfenster::kTabellenSpalten - 1));
        }
    }

private:
    static QString LassenHinweis() {
        return QTr(
            "The ground stays as it is from this point to the next (a bridge, a ford) when it is "
            "shaped to the road");
    }

    Hauptfenster& form_;
    Punktetabellenansicht::Ereignis& ereignis_;
    int zeilen_ = -1;
};

Punktetabellenansicht::Punktetabellenansicht(Hauptfenster& form, Ereignis ereignis, QWidget* eltern)
    : QWidget(eltern, Qt::Window), form_(form), ereignis_(std::move(ereignis)) {
    setObjectName(QStringLiteral("frmPunktetabelle"));
    setWindowTitle(QTr("Spline points"));
    modell_ = new Punktemodell(form_, ereignis_, this);
    tabelle_ = new QTableView;
    tabelle_->setObjectName(QStringLiteral("grdPunkte"));
    tabelle_->setModel(modell_);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabelle_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    tabelle_->verticalHeader()->hide();
    tabelle_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tabelle_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto knopf = [this](const char* name, const QString& text, const QString& hinweis,
                        void (Punktetabellenansicht::*was)()) {
        auto* k = new QPushButton(text);
        k->setObjectName(QString::fromLatin1(name));
        k->setToolTip(hinweis);
        k->setAutoDefault(false);
        connect(k, &QPushButton::clicked, this, was);
        return k;
    };
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(knopf("btnZeilenLoeschen", QTr("Delete rows"), QTr("Delete the selected points (Del)"),
                           &Punktetabellenansicht::ZeilenLoeschen));
    zeile->addWidget(knopf("btnZeilenKopieren", QTr("Copy"),
                           QTr("Copy the selected rows, tab-separated (Ctrl+C)"),
                           &Punktetabellenansicht::Kopieren));
    zeile->addWidget(knopf("btnZeilenEinfuegen", QTr("Paste"),
                           QTr("Paste tab-separated rows at the current cell (Ctrl+V)"),
                           &Punktetabellenansicht::Einfuegen));
    zeile->addStretch(1);

    auto taste = [this](QKeySequence folge, void (Punktetabellenansicht::*was)()) {
        auto* a = new QAction(tabelle_);
        a->setShortcut(folge);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, was);
        tabelle_->addAction(a);
    };
    taste(QKeySequence::Delete, &Punktetabellenansicht::ZeilenLoeschen);
    taste(QKeySequence::Copy, &Punktetabellenansicht::Kopieren);
    taste(QKeySequence::Paste, &Punktetabellenansicht::Einfuegen);

    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(6, 6, 6, 6);
    spalte->addLayout(zeile);
    spalte->addWidget(tabelle_, 1);
    resize(560, 520);

    // Choosing a row makes it the current point; several rows chosen for deleting or
    // copying leave the current point where the cursor is.
    connect(tabelle_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& neu) {
                if (nachfuehren_ || !neu.isValid() || neu.row() == form_.AktuellerPunkt) return;
                const int z = neu.row();
                ereignis_([this, z] { form_.TabellenzeileWaehlen(z); });
            });
    Nachfuehren();
}

void Punktetabellenansicht::Nachfuehren() {
    nachfuehren_ = true;
    modell_->Neu();
    const int aktuell = form_.AktuellerPunkt;
    QItemSelectionModel* auswahl = tabelle_->selectionModel();
    if (aktuell >= 0 && aktuell < modell_->rowCount({})) {
        const QModelIndex jetzt = auswahl->currentIndex();
        if (!jetzt.isValid() || jetzt.row() != aktuell) {
            const int spalte = jetzt.isValid() ? jetzt.column() : 1;
            auswahl->setCurrentIndex(modell_->index(aktuell, spalte),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            tabelle_->scrollTo(modell_->index(aktuell, spalte));
        }
    }
    nachfuehren_ = false;
}

std::vector<int> Punktetabellenansicht::AusgewaehlteZeilen() const {
    std::set<int> zeilen;
    for (const QModelIndex& i : tabelle_->selectionModel()->selectedIndexes()) zeilen.insert(i.row());
    if (zeilen.empty() && tabelle_->currentIndex().isValid()) zeilen.insert(tabelle_->currentIndex().row());
    return {zeilen.begin(), zeilen.end()};
}

void Punktetabellenansicht::ZeilenLoeschen() {
    const std::vector<int> zeilen = AusgewaehlteZeilen();
    ereignis_([this, zeilen] { form_.TabellenzeilenLoeschen(zeilen); });
}

void Punktetabellenansicht::Kopieren() {
    const std::string text = form_.TabellenzeilenKopieren(AusgewaehlteZeilen());
    if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void Punktetabellenansicht::Einfuegen() {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const QModelIndex wo = tabelle_->currentIndex();
    const int zeile = wo.isValid() ? wo.row() : form_.SplinePunkte.AnzahlPunkte();
    const int spalte = wo.isValid() ? wo.column() : 1;
    ereignis_([this, text, zeile, spalte] { form_.TabelleEinfuegen(zeile, spalte, text); });
}

}  // namespace pavolant::qt
