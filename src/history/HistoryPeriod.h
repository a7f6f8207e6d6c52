#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// One folder of the history tree: a day of the current week, or a whole earlier week.
// Weeks begin on Monday; dates are local dates.
struct HistoryPeriod
{
    enum class Kind
    {
        Today,
        Weekday,
        LastWeek,
        WeeksAgo
    };

    Kind kind = Kind::Today;
    int weeksAgo = 0; // 1 for LastWeek, n >= 2 for WeeksAgo, 0 otherwise
    QDate first;      // first day that belongs to the period
    QDate end;        // the day after the last one

    // "Today", a weekday name ("Monday"), "Last Week", "2 Weeks Ago", ...
    QString caption() const;
    bool contains(const QDate& day) const { return day >= first && day < end; }
    // The period's bounds as milliseconds since the epoch (local midnight), for queries.
    qint64 beginMSecs() const;
    qint64 endMSecs() const;

    friend bool operator==(const HistoryPeriod&, const HistoryPeriod&) = default;
};

// The period a visit falls into, seen at `now`. A visit later than today (the clock was
// put back) counts as today.
HistoryPeriod historyPeriodOf(const QDateTime& visit, const QDateTime& now);

// Every period from today back to the one holding `oldest`, newest first: today, the
// earlier days of this week, then whole weeks.
QList<HistoryPeriod> historyPeriodsBetween(const QDateTime& oldest, const QDateTime& now);
