#pragma once

#include "history/HistoryStore.h"

#include <QDialog>

// The properties of one history page: title, address, last visit and visit count.
class HistoryProperties final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryProperties)

public:
    explicit HistoryProperties(const HistoryEntry& entry, QWidget* parent = nullptr);
    // The rows the window shows, as label and value.
    static QList<std::pair<QString, QString>> rowsFor(const HistoryEntry& entry);
};
