#pragma once

#include "history/HistoryStore.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <memory>

// The history store, opened once the window is up and the first pages have started rather
// than before: nothing of it is needed to show them. Visits the engine reports before then
// wait, in order and up to a bound, and are recorded when it opens (at the latest when this
// object goes).
class DeferredHistory final : public QObject
{
    Q_DISABLE_COPY_MOVE(DeferredHistory)

public:
    static constexpr int MaxWaiting = 1000;

    explicit DeferredHistory(QString filePath, QObject* parent = nullptr);
    ~DeferredHistory() override;

    // The engine's reports; the history must outlive the engine's use of them.
    PageVisitSink visitSink();
    // Opens the store (once) and records what waited.
    void open();
    // Null until open.
    const HistoryStore* store() const { return m_store.get(); }

private:
    struct Waiting
    {
        bool visit = true; // false: a title that came later
        QString url;
        QString title;
        QDateTime when; // of the visit, not of the store's opening
    };
    void visited(const QString& url, const QString& title);
    void retitled(const QString& url, const QString& title);

    QString m_file;
    std::unique_ptr<HistoryStore> m_store;
    QList<Waiting> m_waiting;
};
