#include "bars/dialogs/CustomizeToolbar.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int TagColumn = 2; // kept with the row, never shown

} // namespace

TfrmCustomizeToolbar::TfrmCustomizeToolbar(const QList<MainToolbar::ButtonRow>& rows,
                                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCustomizeToolbar"));
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_lvCurrent = new QTreeWidget(this);
    m_lvCurrent->setObjectName(QStringLiteral("lvCurrent"));
    m_lvCurrent->setColumnCount(3);
    m_lvCurrent->setHeaderLabels({QStringLiteral("Toolbar Button"), QString(), QString()});
    m_lvCurrent->setHeaderHidden(true);
    m_lvCurrent->setColumnWidth(0, 150);
    m_lvCurrent->setColumnWidth(1, 265);
    m_lvCurrent->setColumnHidden(TagColumn, true);
    m_lvCurrent->setRootIsDecorated(false);
    m_lvCurrent->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvCurrent->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvCurrent->setIconSize(QSize(16, 16));
    m_lvCurrent->setMinimumSize(150 + 265 + 24, 300);
    for (const MainToolbar::ButtonRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_lvCurrent);
        item->setText(0, row.caption);
        item->setText(1, row.description);
        item->setText(TagColumn, QString::number(row.tag));
        if (!row.separator)
            item->setIcon(0, row.icon);
        item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        item->setCheckState(0, row.shown ? Qt::Checked : Qt::Unchecked);
    }

    const auto button = [this](const QString& text, const char* name) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        return made;
    };
    m_cmdUp = button(QStringLiteral("Up"), "cmdUp");
    m_cmdDown = button(QStringLiteral("Down"), "cmdDown");
    m_cmdUp->setFlat(true);
    m_cmdDown->setFlat(true);
    m_cmdOK = button(QStringLiteral("OK"), "cmdOK");
    m_cmdOK->setDefault(true);
    m_cmdReset = button(QStringLiteral("Reset"), "cmdReset");
    m_cmdCancel = button(QStringLiteral("Cancel"), "cmdCancel");

    auto* side = new QVBoxLayout;
    side->addWidget(m_cmdUp);
    side->addWidget(m_cmdDown);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_lvCurrent, 1);
    top->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_cmdOK);
    bottom->addWidget(m_cmdReset);
    bottom->addWidget(m_cmdCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(bottom);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdUp, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(m_cmdDown, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { finish(Answer::Ok); });
    connect(m_cmdReset, &QPushButton::clicked, this, [this] { finish(Answer::Reset); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { finish(Answer::Cancel); });
}

ToolbarArrangement TfrmCustomizeToolbar::arrangement() const
{
    ToolbarArrangement arrangement;
    for (int i = 0; i < m_lvCurrent->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_lvCurrent->topLevelItem(i);
        arrangement << ToolbarSlot{item->text(TagColumn).toInt(),
                                   item->checkState(0) == Qt::Checked};
    }
    return arrangement;
}

void TfrmCustomizeToolbar::moveSelected(int step)
{
    QTreeWidgetItem* item = m_lvCurrent->currentItem();
    if (!item || !item->isSelected())
        return;
    const int from = m_lvCurrent->indexOfTopLevelItem(item);
    const int to = from + step;
    if (to < 0 || to >= m_lvCurrent->topLevelItemCount())
        return;
    m_lvCurrent->takeTopLevelItem(from);
    m_lvCurrent->insertTopLevelItem(to, item);
    m_lvCurrent->setCurrentItem(item);
    item->setSelected(true);
}

void TfrmCustomizeToolbar::finish(Answer answer)
{
    m_answer = answer;
    if (answer == Answer::Cancel)
        reject();
    else
        accept();
}
