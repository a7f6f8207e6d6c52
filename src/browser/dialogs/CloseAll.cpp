#include "browser/dialogs/CloseAll.h"

#include "platform/DialogPlacement.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfrmCloseAll::TfrmCloseAll(const QStringList& lines, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCloseAll"));
    setWindowTitle(QStringLiteral("Select Browser Tabs to Close"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("clbTabs"));
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }

    auto* selectAll = new QPushButton(QStringLiteral("Select All"), this);
    selectAll->setObjectName(QStringLiteral("cmdSelectAll"));
    selectAll->setAutoDefault(false);
    connect(selectAll, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    auto* deselectAll = new QPushButton(QStringLiteral("Deselect All"), this);
    deselectAll->setObjectName(QStringLiteral("cmdDeselectAll"));
    deselectAll->setAutoDefault(false);
    connect(deselectAll, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(selectAll);
    side->addWidget(deselectAll);
    side->addStretch();
    side->addWidget(m_cmdOK);
    side->addWidget(m_cmdCancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
    resize(420, 300);
}

QList<int> TfrmCloseAll::checkedLines() const
{
    QList<int> result;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked)
            result << i;
    }
    return result;
}

void TfrmCloseAll::setLineChecked(int line, bool checked)
{
    if (QListWidgetItem* item = m_list->item(line))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmCloseAll::setAllChecked(bool checked)
{
    for (int i = 0; i < m_list->count(); ++i)
        setLineChecked(i, checked);
}

void TfrmCloseAll::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DialogPlacement::centreOnScreen(this);
}
