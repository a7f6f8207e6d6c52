#include "blocking/FilterSubscriptions.h"

#include "blocking/SubscriptionRules.h"
#include "platform/web/FileFetcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString partFor(const QString& folder, const QUrl& address)
{
    return QDir(FilterSubscriptions::incomingFolder(folder))
        .filePath(SubscriptionRules::fileNameFor(address) + QStringLiteral(".part"));
}

// The part and what the engine leaves of a download it was told to stop.
void removePart(const QString& part)
{
    QFile::remove(part);
    QFile::remove(part + QStringLiteral(".download"));
}

} // namespace

FilterSubscriptions::FilterSubscriptions(FilterSubscriptionList list, FileFetcher& fetcher,
                                         QString folder, Clock clock, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_fetcher(fetcher)
    , m_folder(std::move(folder))
    , m_clock(std::move(clock))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->start(CheckEveryMs);
        checkNow();
    });
    connect(&m_fetcher, &FileFetcher::fetched, this, &FilterSubscriptions::onFetched);
}

QString FilterSubscriptions::incomingFolder(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral(".incoming"));
}

void FilterSubscriptions::start()
{
    // Only what was there before this start: another copy of the program may be writing
    // its own download now.
    const QDateTime started = QDateTime::currentDateTimeUtc();
    const QDir incoming(incomingFolder(m_folder));
    // The engine writes "<part>.download" until it is done.
    const QFileInfoList parts = incoming.entryInfoList(
        {QStringLiteral("*.part"), QStringLiteral("*.part.download")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& part : parts) {
        if (part.lastModified() < started.addSecs(-1))
            QFile::remove(part.filePath());
    }
    for (const FilterSubscription& subscription : m_list.read())
        m_known.insert(subscription.address);
    m_timer->start(FirstCheckMs);
}

void FilterSubscriptions::checkNow()
{
    queue(false);
}

void FilterSubscriptions::refreshNow()
{
    queue(true);
}

bool FilterSubscriptions::isBusy() const
{
    return !m_current.isEmpty() || !m_queue.isEmpty();
}

void FilterSubscriptions::queue(bool all)
{
    const QList<FilterSubscription> current = m_list.read();
    removeDropped(current);
    const QDateTime now = m_clock();
    for (const FilterSubscription& s : current) {
        if (s.address == m_current || m_queue.contains(s.address))
            continue;
        if (all || SubscriptionRules::isDue(s.lastDownload, now, s.lastFailure))
            m_queue.append(s.address);
    }
    next();
}

void FilterSubscriptions::removeDropped(const QList<FilterSubscription>& current)
{
    QSet<QUrl> addresses;
    for (const FilterSubscription& s : current)
        addresses.insert(s.address);
    for (const QUrl& dropped : m_known - addresses) {
        QFile::remove(QDir(m_folder).filePath(SubscriptionRules::fileNameFor(dropped)));
        m_queue.removeAll(dropped);
    }
    m_known = addresses;
}

void FilterSubscriptions::next()
{
    if (!m_current.isEmpty())
        return;
    if (m_queue.isEmpty()) {
        Q_EMIT finished();
        return;
    }
    m_current = m_queue.takeFirst();
    const QString part = partFor(m_folder, m_current);
    QDir().mkpath(incomingFolder(m_folder));
    QFile::remove(part);
    // Answers may come at once: the fetch is the last thing done here.
    m_fetcher.fetch(m_current, part, SubscriptionRules::MaxListBytes);
}

void FilterSubscriptions::onFetched(const QUrl& address, const QString& fetchError)
{
    if (address != m_current)
        return; // another user of the fetcher
    m_current.clear();
    const QString part = partFor(m_folder, address);
    QString error = fetchError;
    bool subscribed = false;
    for (const FilterSubscription& s : m_list.read())
        subscribed = subscribed || s.address == address;
    if (!subscribed) {
        // Removed while it was downloaded.
        removePart(part);
    } else {
        if (error.isEmpty())
            error = install(part, QDir(m_folder).filePath(SubscriptionRules::fileNameFor(address)));
        removePart(part);
        m_list.recordOutcome(address, m_clock(), error);
        Q_EMIT outcome(address, error);
    }
    // Outside this call: a fetcher may be told to start again only once it has told.
    QTimer::singleShot(0, this, &FilterSubscriptions::next);
}

QString FilterSubscriptions::install(const QString& part, const QString& target) const
{
    QFile file(part);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The download could not be read: %1").arg(file.errorString());
    const qint64 size = file.size();
    const QString problem =
        SubscriptionRules::contentProblem(file.read(SubscriptionRules::SniffBytes), size);
    file.close();
    if (!problem.isEmpty())
        return problem;
    // Renamed over the old list in one step: the blocker reads the old one or the new one,
    // never a part.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) !=
        0)
        return QStringLiteral("The list could not be put in place: %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
