#include "history/HistoryCompletionWorker.h"

#include <QSet>

HistoryCompletionWorker::HistoryCompletionWorker(const QString& historyFile, Generation latest)
    : m_file(historyFile)
    , m_latest(std::move(latest))
{}

HistoryCompletionWorker::~HistoryCompletionWorker() = default;

QList<HistoryEntry> HistoryCompletionWorker::Lookup(const HistoryStore& store, const QString& text,
                                                    int limit)
{
    if (text.trimmed().isEmpty() || limit <= 0)
        return {};
    QList<HistoryEntry> rows = store.searchPrefix(text, limit);
    if (rows.size() >= limit)
        return rows;
    QSet<QString> seen;
    for (const HistoryEntry& row : std::as_const(rows))
        seen.insert(row.url);
    const QList<HistoryEntry> more = store.search(text, limit);
    for (const HistoryEntry& row : more) {
        if (rows.size() >= limit)
            break;
        if (!seen.contains(row.url)) {
            seen.insert(row.url);
            rows.append(row);
        }
    }
    return rows;
}

void HistoryCompletionWorker::query(quint64 generation, const QString& text, int limit)
{
    if (m_latest->load() != generation)
        return; // the user typed on: a newer request is queued
    QList<HistoryEntry> rows;
    if (const HistoryStore& history = store(); history.isOpen())
        rows = Lookup(history, text, limit);
    Q_EMIT found(generation, text, rows);
}

void HistoryCompletionWorker::prepare()
{
    if (const HistoryStore& history = store(); history.isOpen())
        history.searchPrefix(QStringLiteral("a"), 1);
}

HistoryStore& HistoryCompletionWorker::store()
{
    // Only looks things up: the program's own store creates the file and its tables. Until
    // it has, each request tries again.
    if (!m_store || !m_store->isOpen())
        m_store = std::make_unique<HistoryStore>(m_file, HistoryStore::Access::ReadOnly);
    return *m_store;
}
