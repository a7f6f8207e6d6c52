#include "groups/dialogs/SorvelGroup.h"

#include "groups/GroupCommands.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    colStickyName = 0,
    colLocation = 1,
    colLocked = 2
};

const QLatin1String LockedMark("X");

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

QToolButton* arrowButton(Qt::ArrowType arrow, const char* name, const QString& tip, QWidget* parent)
{
    auto* result = new QToolButton(parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setArrowType(arrow);
    result->setToolTip(tip);
    result->setAccessibleName(tip);
    return result;
}

} // namespace

TfrmSorvelGroup::TfrmSorvelGroup(QWidget* owner, const QString& fileName,
                                 GroupCommandQuestions* questions)
    : QDialog(owner)
    , m_fileName(fileName)
    , m_questions(questions)
{
    setObjectName(QStringLiteral("frmSorvelGroup"));
    setWindowTitle(QStringLiteral("SorvelGroup"));
    buildWidgets();

    const TSorvelGroup group(fileName);
    m_readError = group.readError();
    const QList<PageGroupEntry> entries = pageGroupEntries(group);
    for (const PageGroupEntry& entry : entries)
        addRow(entry);

    GroupBox1->hide();
    updateButtons();
}

void TfrmSorvelGroup::buildWidgets()
{
    lstSites = new QTreeWidget(this);
    lstSites->setObjectName(QStringLiteral("lstSites"));
    lstSites->setColumnCount(3);
    lstSites->setHeaderLabels(
        {QStringLiteral("StickyName"), QStringLiteral("Location"), QStringLiteral("Locked")});
    lstSites->setRootIsDecorated(false);
    lstSites->setItemsExpandable(false);
    lstSites->setUniformRowHeights(true);
    lstSites->setAllColumnsShowFocus(true);
    lstSites->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstSites->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstSites->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstSites->header()->setSectionsClickable(false);
    lstSites->header()->setSectionsMovable(false);
    lstSites->setColumnWidth(colStickyName, 100);
    lstSites->setColumnWidth(colLocation, 305);
    lstSites->setColumnWidth(colLocked, 50);
    lstSites->setMinimumSize(100 + 305 + 50 + 2 * lstSites->frameWidth() + 4, 220);

    cmdUp = arrowButton(Qt::UpArrow, "cmdUp", QStringLiteral("Move up"), this);
    cmdDown = arrowButton(Qt::DownArrow, "cmdDown", QStringLiteral("Move down"), this);
    lblTitle = new QLabel(
        QStringLiteral("Leave StickyName blank in order to see dynamic tab titles"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    cmdInsert = button(QStringLiteral("Insert"), "cmdInsert", this);
    cmdUpdate = button(QStringLiteral("Update"), "cmdUpdate", this);
    cmdDelete = button(QStringLiteral("Delete"), "cmdDelete", this);
    cmdOk = button(QStringLiteral("OK"), "cmdOk", this);
    cmdCancel = button(QStringLiteral("Cancel"), "cmdCancel", this);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    edtTitle = new QLineEdit(GroupBox1);
    edtTitle->setObjectName(QStringLiteral("edtTitle"));
    edtLocation = new QLineEdit(GroupBox1);
    edtLocation->setObjectName(QStringLiteral("edtLocation"));
    chkTabLocked = new QCheckBox(QStringLiteral("Tab locked?"), GroupBox1);
    chkTabLocked->setObjectName(QStringLiteral("chkTabLocked"));
    cmdUrlInsert = button(QStringLiteral("Insert"), "cmdUrlInsert", GroupBox1);
    cmdUrlCancel = button(QStringLiteral("Cancel"), "cmdUrlCancel", GroupBox1);
    auto* titleLabel = new QLabel(QStringLiteral("StickyName:"), GroupBox1);
    titleLabel->setBuddy(edtTitle);
    auto* locationLabel = new QLabel(QStringLiteral("Location:"), GroupBox1);
    locationLabel->setBuddy(edtLocation);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(cmdUp);
    arrows->addWidget(cmdDown);
    arrows->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(lstSites);
    listRow->addLayout(arrows);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdInsert);
    buttons->addWidget(cmdUpdate);
    buttons->addWidget(cmdDelete);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* edit = new QGridLayout(GroupBox1);
    edit->addWidget(titleLabel, 0, 0);
    edit->addWidget(edtTitle, 0, 1, 1, 3);
    edit->addWidget(locationLabel, 1, 0);
    edit->addWidget(edtLocation, 1, 1, 1, 3);
    edit->addWidget(chkTabLocked, 2, 1);
    edit->addWidget(cmdUrlInsert, 2, 2);
    edit->addWidget(cmdUrlCancel, 2, 3);
    edit->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listRow);
    layout->addWidget(lblTitle);
    layout->addLayout(buttons);
    layout->addWidget(GroupBox1);
    // A fixed dialog border: the window takes the size of what it shows, and grows and
    // shrinks with the edit area.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(lstSites, &QTreeWidget::itemSelectionChanged, this, &TfrmSorvelGroup::updateButtons);
    connect(cmdInsert, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdInsertClick);
    connect(cmdUpdate, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdUpdateClick);
    connect(cmdDelete, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdDeleteClick);
    connect(cmdUp, &QToolButton::clicked, this, &TfrmSorvelGroup::cmdUpClick);
    connect(cmdDown, &QToolButton::clicked, this, &TfrmSorvelGroup::cmdDownClick);
    connect(cmdUrlInsert, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdUrlInsertClick);
    connect(cmdUrlCancel, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdUrlCancelClick);
    connect(cmdOk, &QPushButton::clicked, this, &TfrmSorvelGroup::cmdOkClick);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    cmdOk->setDefault(true);
}

QList<PageGroupEntry> TfrmSorvelGroup::rows() const
{
    QList<PageGroupEntry> result;
    for (int i = 0; i < lstSites->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lstSites->topLevelItem(i);
        result.append(
            {row->text(colStickyName), row->text(colLocation), row->text(colLocked) == LockedMark});
    }
    return result;
}

bool TfrmSorvelGroup::editing() const
{
    return !GroupBox1->isHidden();
}

void TfrmSorvelGroup::addRow(const PageGroupEntry& entry)
{
    auto* row = new QTreeWidgetItem(lstSites);
    setRow(row, entry);
}

void TfrmSorvelGroup::setRow(QTreeWidgetItem* row, const PageGroupEntry& entry)
{
    row->setText(colStickyName, entry.stickyName);
    row->setText(colLocation, entry.address);
    row->setText(colLocked, entry.locked ? QString(LockedMark) : QString());
}

void TfrmSorvelGroup::updateButtons()
{
    const bool selected = !lstSites->selectedItems().isEmpty();
    // While a row is edited, the rows stay where the edit can find them: no new edit and
    // no deletion until it is committed or cancelled.
    const bool idle = !editing();
    cmdInsert->setEnabled(idle);
    cmdUpdate->setEnabled(idle && selected);
    cmdDelete->setEnabled(idle && selected);
    cmdUp->setEnabled(selected);
    cmdDown->setEnabled(selected);
}

void TfrmSorvelGroup::showEditArea(const QString& commitCaption)
{
    cmdUrlInsert->setText(commitCaption);
    GroupBox1->show();
    // Enter commits the row being edited rather than the whole dialog.
    cmdOk->setDefault(false);
    cmdUrlInsert->setDefault(true);
    updateButtons();
    edtTitle->setFocus();
}

void TfrmSorvelGroup::cmdInsertClick()
{
    if (editing())
        return;
    m_editRow = nullptr;
    edtTitle->clear();
    edtLocation->clear();
    chkTabLocked->setChecked(false);
    showEditArea(QStringLiteral("Insert"));
}

void TfrmSorvelGroup::cmdUpdateClick()
{
    const QList<QTreeWidgetItem*> selected = lstSites->selectedItems();
    if (editing() || selected.size() != 1)
        return;
    m_editRow = selected.constFirst();
    edtTitle->setText(m_editRow->text(colStickyName));
    edtLocation->setText(m_editRow->text(colLocation));
    chkTabLocked->setChecked(m_editRow->text(colLocked) == LockedMark);
    showEditArea(QStringLiteral("Update"));
}

void TfrmSorvelGroup::cmdUrlInsertClick()
{
    if (!editing())
        return;
    // Blanks alone would be lost on reading, and the entry with them.
    const QString location = edtLocation->text().trimmed();
    if (location.isEmpty())
        return;
    const PageGroupEntry entry{edtTitle->text(), location, chkTabLocked->isChecked()};
    if (m_editRow)
        setRow(m_editRow, entry);
    else
        addRow(entry);
    cmdUrlCancelClick();
}

void TfrmSorvelGroup::cmdUrlCancelClick()
{
    m_editRow = nullptr;
    GroupBox1->hide();
    cmdUrlInsert->setDefault(false);
    cmdOk->setDefault(true);
    lstSites->setFocus();
    updateButtons();
}

void TfrmSorvelGroup::reject()
{
    if (editing()) {
        cmdUrlCancelClick();
        return;
    }
    QDialog::reject();
}

void TfrmSorvelGroup::cmdDeleteClick()
{
    if (editing())
        return;
    const QList<QTreeWidgetItem*> selected = lstSites->selectedItems();
    for (QTreeWidgetItem* row : selected)
        delete row;
    updateButtons();
}

void TfrmSorvelGroup::cmdUpClick()
{
    moveRow(-1);
}

void TfrmSorvelGroup::cmdDownClick()
{
    moveRow(+1);
}

void TfrmSorvelGroup::moveRow(int by)
{
    const QList<QTreeWidgetItem*> selected = lstSites->selectedItems();
    if (selected.isEmpty())
        return;
    // With several rows selected, the one that has the focus moves.
    QTreeWidgetItem* row = lstSites->currentItem();
    if (!row || !row->isSelected())
        row = selected.constFirst();
    const int from = lstSites->indexOfTopLevelItem(row);
    const int to = from + by;
    if (to < 0 || to >= lstSites->topLevelItemCount())
        return;
    lstSites->setUpdatesEnabled(false);
    lstSites->takeTopLevelItem(from);
    lstSites->insertTopLevelItem(to, row);
    lstSites->clearSelection();
    lstSites->setCurrentItem(row);
    row->setSelected(true);
    lstSites->setUpdatesEnabled(true);
    updateButtons();
}

void TfrmSorvelGroup::cmdOkClick()
{
    // Read again, so that a file gone since the dialog opened is saved through the
    // questions; the other sections of the file are kept by Save.
    TSorvelGroup group(m_fileName);
    group.clear();
    const QList<PageGroupEntry> entries = rows();
    for (const PageGroupEntry& entry : entries)
        group.AddEntry(entry.stickyName, entry.address, entry.locked);
    const GroupCommandOutcome outcome = saveGroup(group, m_questions);
    switch (outcome.result) {
    case TSorvelGroup::SaveResult::Saved:
        m_fileName = group.FileName();
        accept();
        return;
    case TSorvelGroup::SaveResult::Failed:
        if (m_questions)
            m_questions->tell(outcome.message);
        return; // the rows stay, to try again or to cancel
    case TSorvelGroup::SaveResult::Cancelled:
        return; // the user declined a new name; the edits are still here
    }
}
