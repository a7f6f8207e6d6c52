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
    if (store().isOpen())
        rows = Lookup(store(), text, limit);
    Q_EMIT found(generation, text, rows);
}

void HistoryCompletionWorker::prepare()
{
    if (store().isOpen())
        store().searchPrefix(QStringLiteral("a"), 1);
}

HistoryStore& HistoryCompletionWorker::store()
{
    if (!m_store)
        m_store = std::make_unique<HistoryStore>(m_file);
    return *m_store;
}
