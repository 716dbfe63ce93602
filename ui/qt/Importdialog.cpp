#include "ui/qt/Importdialog.h"

#include "model/Text.h"
#include "ui/qt/Qtext.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <string>

namespace pavolant::qt {

namespace {
constexpr int kKnotenRolle = Qt::UserRole + 1;  // the node index of a tree item
}

Importdialog::Importdialog(const I3dSzene& szene, const std::vector<Importzeile>& baum, QWidget* eltern)
    : QDialog(eltern), szene_(szene) {
    setObjectName(QStringLiteral("frmImportwahl"));
    setWindowTitle(QTr("Import spline points"));
    auto* spalte = new QVBoxLayout(this);
    const std::string datei = QFileInfo(QString::fromStdString(szene.Datei)).fileName().toStdString();
    // Catalog: %1 is the file's name, %2 "N shapes", %3 "N groups".
    auto* kopf = new QLabel(QString::fromStdString(
        Einsetzen(Tr("%1 holds %2 in %3. Choose what becomes spline points:"),
                  {datei,
                   Einsetzen(TrN("%1 shapes", "%1 shapes", static_cast<unsigned long>(szene.AnzahlShapes)),
                             {std::to_string(szene.AnzahlShapes)}),
                   Einsetzen(TrN("%1 groups", "%1 groups", static_cast<unsigned long>(szene.AnzahlGruppen())),
                             {std::to_string(szene.AnzahlGruppen())})})));
    kopf->setWordWrap(true);
    spalte->addWidget(kopf);

    baum_ = new QTreeWidget;
    baum_->setObjectName(QStringLiteral("trvSzene"));
    baum_->setColumnCount(3);
    baum_->setHeaderLabels({QTr("Name"), QTr("Node"), QTr("Shapes")});
    baum_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    baum_->setUniformRowHeights(true);
    std::vector<QTreeWidgetItem*> eintraege;
    eintraege.reserve(baum.size());
    for (const Importzeile& z : baum) {
        const I3dKnoten& k = szene.Knoten[static_cast<std::size_t>(z.Knoten)];
        auto* e =
            new QTreeWidgetItem({QString::fromStdString(z.Name), QString::fromStdString(k.Element),
                                 z.IstShape ? QString::number(k.Shapenummer) : QString::number(z.Shapes)});
        e->setData(0, kKnotenRolle, z.Knoten);
        e->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!z.IstShape) {
            // Groups stand out from the shapes: a shape's last column is its position.
            QFont f = e->font(0);
            f.setBold(true);
            e->setFont(0, f);
            e->setToolTip(2, QTr("Shapes in this group"));
        } else {
            e->setToolTip(2, QTr("Position of this shape in the file"));
        }
        if (k.Eltern < 0)
            baum_->addTopLevelItem(e);
        else
            eintraege[static_cast<std::size_t>(k.Eltern)]->addChild(e);
        eintraege.push_back(e);
        // Groups open, so their shapes show; big groups stay closed.
        if (!z.IstShape && z.Shapes <= 200) e->setExpanded(true);
    }
    baum_->header()->setStretchLastSection(false);
    baum_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    baum_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    baum_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    spalte->addWidget(baum_, 1);

    auto* wahl = new QGridLayout;
    auswahl_ = new QRadioButton(QTr("The selected groups and shapes"));
    auswahl_->setObjectName(QStringLiteral("rbtAuswahl"));
    bereich_ = new QRadioButton(QTr("The shapes from"));
    bereich_->setObjectName(QStringLiteral("rbtBereich"));
    alles_ = new QRadioButton(QTr("Every shape of the scene"));
    alles_->setObjectName(QStringLiteral("rbtAlles"));
    auto* gruppe = new QButtonGroup(this);
    for (QRadioButton* r : {auswahl_, bereich_, alles_}) gruppe->addButton(r);
    von_ = new QComboBox;
    von_->setObjectName(QStringLiteral("cboVon"));
    bis_ = new QComboBox;
    bis_->setObjectName(QStringLiteral("cboBis"));
    for (const I3dKnoten& k : szene.Knoten) {
        if (!k.IstShape()) continue;
        const QString text = QStringLiteral("%1: %2").arg(k.Shapenummer).arg(QString::fromStdString(k.Name));
        von_->addItem(text);
        bis_->addItem(text);
    }
    bis_->setCurrentIndex(bis_->count() - 1);
    wahl->addWidget(auswahl_, 0, 0, 1, 4);
    wahl->addWidget(bereich_, 1, 0);
    wahl->addWidget(von_, 1, 1);
    wahl->addWidget(new QLabel(QTr("to")), 1, 2);
    wahl->addWidget(bis_, 1, 3);
    wahl->addWidget(alles_, 2, 0, 1, 4);
    wahl->setColumnStretch(1, 1);
    wahl->setColumnStretch(3, 1);
    spalte->addLayout(wahl);

    ergebnis_ = new QLabel;
    ergebnis_->setObjectName(QStringLiteral("lblErgebnis"));
    spalte->addWidget(ergebnis_);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = knoepfe->button(QDialogButtonBox::Ok);
    ok_->setText(QTr("Import"));
    ok_->setObjectName(QStringLiteral("btnImportieren"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QTr("Cancel"));
    spalte->addWidget(knoepfe);
    connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A selection in the tree, or a choice in a range box, chooses that way of picking.
    connect(baum_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!baum_->selectedItems().isEmpty()) auswahl_->setChecked(true);
        Aktualisieren();
    });
    for (QComboBox* c : {von_, bis_})
        connect(c, &QComboBox::activated, this, [this] {
            bereich_->setChecked(true);
            Aktualisieren();
        });
    connect(gruppe, &QButtonGroup::buttonToggled, this, [this] { Aktualisieren(); });
    auswahl_->setChecked(true);
    resize(560, 520);
    Aktualisieren();
}

Importwahl Importdialog::Wahl() const {
    Importwahl w;
    if (alles_->isChecked()) return w;
    if (bereich_->isChecked()) {
        w.art = Importwahl::Art::Bereich;
        w.Erster = von_->currentIndex() + 1;
        w.Letzter = bis_->currentIndex() + 1;
        return w;
    }
    w.art = Importwahl::Art::Knoten;
    for (const QTreeWidgetItem* e : baum_->selectedItems())
        w.Knoten.push_back(e->data(0, kKnotenRolle).toInt());
    return w;
}

void Importdialog::Aktualisieren() {
    int n = 0;
    try {
        n = static_cast<int>(ShapesDerWahl(szene_, Wahl()).size());
    } catch (const std::exception&) {
        n = 0;  // a range that runs backwards yields nothing
    }
    // Catalog: %1 is the number of shapes picked.
    ergebnis_->setText(QString::fromStdString(
        Einsetzen(TrN("%1 shapes become spline points.", "%1 shapes become spline points.",
                      static_cast<unsigned long>(n)),
                  {std::to_string(n)})));
    ok_->setEnabled(n > 0);
}

std::optional<Importwahl> ImportWaehlen(QWidget* eltern, const I3dSzene& szene,
                                        const std::vector<Importzeile>& baum) {
    Importdialog dialog(szene, baum, eltern);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Wahl();
}

}  // namespace pavolant::qt
