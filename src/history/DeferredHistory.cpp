#include "history/DeferredHistory.h"

DeferredHistory::DeferredHistory(QString filePath, QObject* parent)
    : QObject(parent)
    , m_file(std::move(filePath))
{}

DeferredHistory::~DeferredHistory()
{
    // A run that ends before the store was opened still keeps its visits.
    if (!m_waiting.isEmpty())
        open();
}

PageVisitSink DeferredHistory::visitSink()
{
    PageVisitSink sink;
    sink.visited = [this](const QString& url, const QString& title) {
        if (!HistoryStore::isRecordable(url))
            return false;
        visited(url, title);
        return true;
    };
    sink.retitled = [this](const QString& url, const QString& title) { retitled(url, title); };
    return sink;
}

void DeferredHistory::visited(const QString& url, const QString& title)
{
    if (m_store)
        m_store->recordVisit(url, title);
    else if (m_waiting.size() < MaxWaiting)
        m_waiting.append({true, url, title, QDateTime::currentDateTime()});
}

void DeferredHistory::retitled(const QString& url, const QString& title)
{
    if (m_store)
        m_store->updateTitle(url, title);
    else if (m_waiting.size() < MaxWaiting)
        m_waiting.append({false, url, title, {}});
}

void DeferredHistory::open()
{
    if (m_store)
        return;
    m_store = std::make_unique<HistoryStore>(m_file);
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    for (const Waiting& report : waiting) {
        if (report.visit)
            m_store->recordVisit(report.url, report.title, report.when);
        else
            m_store->updateTitle(report.url, report.title);
    }
}
