#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

// Forgets the pages the history keeps no longer (visits older than the days the user
// keeps) on a worker thread with a connection of its own, in bounded steps: a history of
// months can take seconds to expire, and the window goes on meanwhile. Writes of the
// window's own connection wait for one step at most. Deletes itself when done.
class HistoryExpiry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryExpiry)

public:
    HistoryExpiry(QString filePath, int days, QObject* parent = nullptr);
    // Stops after the step under way (and waits for it).
    ~HistoryExpiry() override;

    // Begins; `stepVisits` bounds each step's transaction.
    void start(int stepVisits);

Q_SIGNALS:
    // Done: `pages` pages were forgotten in all; -1 when the store could not be opened or
    // changed (the next start tries again).
    void finished(int pages);

private:
    void run(int stepVisits);

    QString m_file;
    int m_days;
    std::atomic<bool> m_stop = false;
    std::thread m_worker;
};
