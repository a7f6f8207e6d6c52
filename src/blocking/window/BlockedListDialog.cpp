#include "blocking/window/BlockedListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

BlockedListDialog::BlockedListDialog(const QString& site, int count,
                                     const QList<BlockedRequest>& blocked,
                                     const QStringList& listMessages, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Blocked Content"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(summaryText(site, count), this);
    layout->addWidget(m_summary);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvBlocked"));
    m_list->setHeaderLabels({QStringLiteral("Address"), QStringLiteral("Rule")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    for (const BlockedRequest& request : blocked)
        new QTreeWidgetItem(m_list, {request.url, request.rule});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->resizeColumnToContents(1);
    layout->addWidget(m_list);
    if (count > blocked.size()) {
        layout->addWidget(new QLabel(
            QStringLiteral("Only the first %1 are listed.").arg(blocked.size()), this));
    }
    for (const QString& message : listMessages) {
        auto* label = new QLabel(message, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 360);
}

QString BlockedListDialog::summaryText(const QString& site, int count)
{
    if (count == 0)
        return QStringLiteral("Nothing blocked on %1").arg(site);
    if (count == 1)
        return QStringLiteral("1 request blocked on %1").arg(site);
    return QStringLiteral("%1 requests blocked on %2").arg(count).arg(site);
}
