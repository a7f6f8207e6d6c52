#pragma once

#include "settings/FilterSubscriptionList.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>

class FileFetcher;
class QTimer;

// Keeps the subscribed filter lists fresh: a little after start and then every hour it
// downloads those due (SubscriptionRules::isDue), one at a time, into the filter folder's
// hidden ".incoming" folder, checks what came and renames it over the list's file, where the
// folder's watch makes the blocker read it. A failed download leaves the old list in place;
// either way the outcome goes into the settings. A list no longer subscribed to goes from
// the folder at the next check.
class FilterSubscriptions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterSubscriptions)

public:
    using Clock = std::function<QDateTime()>;

    static constexpr int FirstCheckMs = 5000;
    static constexpr int CheckEveryMs = 3600 * 1000;

    // `folder` is the blocker's (ContentBlocker::folder()); `clock` tells the time.
    FilterSubscriptions(FilterSubscriptionList list, FileFetcher& fetcher, QString folder,
                        Clock clock, QObject* parent = nullptr);

    // Removes what downloads cut short by an earlier run left behind, then checks after
    // FirstCheckMs and every CheckEveryMs.
    void start();
    // Downloads the lists due (after the options were changed).
    void checkNow();
    // Downloads every list, due or not.
    void refreshNow();
    bool isBusy() const;

    static QString incomingFolder(const QString& folder);

Q_SIGNALS:
    // A download's outcome, recorded in the settings: `error` is empty when the list is in
    // place.
    void outcome(const QUrl& address, const QString& error);
    // Nothing is left to download.
    void finished();

private:
    void queue(bool all);
    void next();
    void onFetched(const QUrl& address, const QString& error);
    // Puts a finished download in place; why not, or empty.
    QString install(const QString& part, const QString& target) const;
    void removeDropped(const QList<FilterSubscription>& current);

    FilterSubscriptionList m_list;
    FileFetcher& m_fetcher;
    const QString m_folder;
    const Clock m_clock;
    QTimer* m_timer = nullptr;
    QList<QUrl> m_queue;
    QUrl m_current; // empty when none runs
    QSet<QUrl> m_known;
};
