#pragma once

#include "blocking/ContentBlocker.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

// What content blocking kept from a page: each refused address with the rule that refused
// it, and what the lists had to say when they were read.
class BlockedListDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlockedListDialog)

public:
    BlockedListDialog(const QString& site, int count, const QList<BlockedRequest>& blocked,
                      const QStringList& listMessages, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    QLabel* summary() const { return m_summary; }
    // "3 requests blocked on example.com", "Nothing blocked on example.com".
    static QString summaryText(const QString& site, int count);

private:
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
};
