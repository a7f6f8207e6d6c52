#include "sidebar/FindPanel.h"

#include "platform/PlainTip.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int AddressRole = Qt::UserRole + 1;
}

FindPanel::FindPanel(const QString& namePrefix, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlFind") + namePrefix);
    auto* label = new QLabel(QStringLiteral("F&ind:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edtFind") + namePrefix);
    label->setBuddy(m_edit);
    m_go = new QPushButton(QStringLiteral("Go"), this);
    m_go->setObjectName(QStringLiteral("spdFind") + namePrefix);
    m_go->setAutoDefault(false);
    m_go->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvFind") + namePrefix);
    m_list->setHeaderHidden(true);
    m_list->setColumnCount(1);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setStretchLastSection(true);
    m_list->setMouseTracking(true);
    m_list->viewport()->setCursor(Qt::PointingHandCursor);
    m_list->setStyleSheet(QStringLiteral("QTreeWidget::item:hover { text-decoration: underline; }"));

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(m_edit, 1);
    row->addWidget(m_go);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(row);
    layout->addWidget(m_list, 1);

    connect(m_go, &QPushButton::clicked, this, [this] { Q_EMIT findRequested(text()); });
    m_edit->installEventFilter(this);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
}

QString FindPanel::text() const
{
    return m_edit->text();
}

void FindPanel::showRows(const QList<FoundRow>& rows)
{
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    if (rows.isEmpty())
        appendRows({{noItemsFound(), QString()}});
    else
        appendRows(rows);
    m_list->setUpdatesEnabled(true);
}

void FindPanel::appendRows(const QList<FoundRow>& rows)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const FoundRow& row : rows) {
        auto* item = new QTreeWidgetItem({row.caption});
        item->setData(0, AddressRole, row.address);
        item->setToolTip(0, plainTip(row.address));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
}

QList<FoundRow> FindPanel::rows() const
{
    QList<FoundRow> result;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        result.append({item->text(0), item->data(0, AddressRole).toString()});
    }
    return result;
}

void FindPanel::openCurrent(Qt::KeyboardModifiers modifiers)
{
    const QTreeWidgetItem* item = m_list->currentItem();
    const QString address = item ? item->data(0, AddressRole).toString() : QString();
    if (!address.isEmpty())
        Q_EMIT rowOpened(address, modifiers);
}

bool FindPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_edit && enter) {
            Q_EMIT findRequested(text());
            return true; // swallowed: it goes to no default button
        }
        if (watched == m_list && (enter || key->key() == Qt::Key_Space)) {
            openCurrent(key->modifiers());
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == m_list->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QTreeWidgetItem* item = m_list->itemAt(mouse->position().toPoint());
            if (item) {
                m_list->setCurrentItem(item);
                openCurrent(mouse->modifiers());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
