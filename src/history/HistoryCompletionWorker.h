#pragma once

#include "history/HistoryStore.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

// Looks up completions in the history on a thread of its own, with its own connection to
// the store, so that typing never waits for the database. Requests carry a generation;
// one that is no longer the latest when its turn comes is dropped unanswered, so a burst
// of keystrokes costs one look-up, not one per key.
class HistoryCompletionWorker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryCompletionWorker)

public:
    using Generation = std::shared_ptr<std::atomic<quint64>>;

    // The store is opened read-only on first use, on the thread the worker then lives on.
    HistoryCompletionWorker(const QString& historyFile, Generation latest);
    ~HistoryCompletionWorker() override;

    // The completion rows for `text`: pages whose address (with or without its scheme and
    // "www.") or title begins with it, most visited first; when those are fewer than
    // `limit`, pages whose address or title holds it anywhere follow. No page twice.
    static QList<HistoryEntry> Lookup(const HistoryStore& store, const QString& text, int limit);

public Q_SLOTS:
    void query(quint64 generation, const QString& text, int limit);
    // Opens the store and reads a little of it, so that the first keystroke does not wait
    // for the file to open or the disk to wake.
    void prepare();

Q_SIGNALS:
    void found(quint64 generation, const QString& text, const QList<HistoryEntry>& entries);

private:
    HistoryStore& store();

    QString m_file;
    Generation m_latest;
    std::unique_ptr<HistoryStore> m_store;
};
