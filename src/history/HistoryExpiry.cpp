#include "history/HistoryExpiry.h"

#include "history/HistoryStore.h"

HistoryExpiry::HistoryExpiry(QString filePath, int days, QObject* parent)
    : QObject(parent)
    , m_file(std::move(filePath))
    , m_days(days)
{}

HistoryExpiry::~HistoryExpiry()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void HistoryExpiry::start(int stepVisits)
{
    if (m_worker.joinable())
        return;
    m_worker = std::thread([this, stepVisits] { run(stepVisits); });
}

// On the worker thread: the store's connection is made, used and closed there.
void HistoryExpiry::run(int stepVisits)
{
    int pages = 0;
    {
        HistoryStore store(m_file);
        if (!store.isOpen())
            pages = -1;
        while (pages >= 0 && !m_stop) {
            const std::optional<HistoryStore::Expired> step = store.expireSome(m_days, stepVisits);
            if (!step)
                pages = -1;
            else if (step->visits == 0 && step->pages == 0)
                break;
            else
                pages += step->pages;
        }
    }
    if (m_stop)
        return;
    // Posted before the destructor can end: it waits for this thread.
    QMetaObject::invokeMethod(
        this,
        [this, pages] {
            Q_EMIT finished(pages);
            deleteLater();
        },
        Qt::QueuedConnection);
}
