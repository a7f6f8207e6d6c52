#include "history/HistoryPeriod.h"

namespace {

// The history tree's captions are the program's own texts, not the user's locale.
QString weekdayName(int dayOfWeek)
{
    static const char* const names[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                        "Friday", "Saturday", "Sunday"};
    return QString::fromLatin1(names[(dayOfWeek - 1) % 7]);
}

QDate weekStartOf(const QDate& day)
{
    return day.addDays(1 - day.dayOfWeek());
}

HistoryPeriod periodOfDay(const QDate& day, const QDate& today)
{
    HistoryPeriod period;
    if (day >= today) {
        period.kind = HistoryPeriod::Kind::Today;
        period.first = today;
        period.end = today.addDays(1);
        return period;
    }
    const QDate weekStart = weekStartOf(today);
    if (day >= weekStart) {
        period.kind = HistoryPeriod::Kind::Weekday;
        period.first = day;
        period.end = day.addDays(1);
        return period;
    }
    const int weeks = int(1 + (day.daysTo(weekStart) - 1) / 7);
    period.kind = weeks == 1 ? HistoryPeriod::Kind::LastWeek : HistoryPeriod::Kind::WeeksAgo;
    period.weeksAgo = weeks;
    period.first = weekStart.addDays(-7 * weeks);
    period.end = period.first.addDays(7);
    return period;
}

} // namespace

QString HistoryPeriod::caption() const
{
    switch (kind) {
    case Kind::Today:
        return QStringLiteral("Today");
    case Kind::Weekday:
        return weekdayName(first.dayOfWeek());
    case Kind::LastWeek:
        return QStringLiteral("Last Week");
    case Kind::WeeksAgo:
        return QStringLiteral("%1 Weeks Ago").arg(weeksAgo);
    }
    return {};
}

qint64 HistoryPeriod::beginMSecs() const
{
    return first.startOfDay().toMSecsSinceEpoch();
}

qint64 HistoryPeriod::endMSecs() const
{
    return end.startOfDay().toMSecsSinceEpoch();
}

HistoryPeriod historyPeriodOf(const QDateTime& visit, const QDateTime& now)
{
    return periodOfDay(visit.toLocalTime().date(), now.toLocalTime().date());
}

QList<HistoryPeriod> historyPeriodsBetween(const QDateTime& oldest, const QDateTime& now)
{
    const QDate today = now.toLocalTime().date();
    const HistoryPeriod last = historyPeriodOf(oldest, now);
    QList<HistoryPeriod> periods;
    // Walk back one day at a time through this week, then a week at a time.
    for (QDate day = today;;) {
        const HistoryPeriod period = periodOfDay(day, today);
        periods.append(period);
        if (period == last || period.first <= last.first)
            break;
        day = period.first.addDays(-1);
    }
    return periods;
}
