#include "browser/PopupRules.h"

#include <QSet>

namespace PopupRules {

QString entryValue(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.mid(equals + 1);
}

bool entryBlocks(const QString& entry, const QString& address)
{
    if (entry.isEmpty() || address.isEmpty())
        return false;
    const qsizetype length = qMin(entry.size(), address.size());
    return QStringView(entry).left(length) == QStringView(address).left(length);
}

int blockingEntry(const QStringList& lines, const QString& address)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (entryBlocks(entryValue(lines.at(i)), address))
            return int(i);
    }
    return -1;
}

bool isBlocked(bool usePopupSorvel, const QStringList& lines, const QString& address)
{
    return usePopupSorvel && blockingEntry(lines, address) >= 0;
}

bool mayOpenWindow(int waiting, int openedSinceUserInput)
{
    return waiting < MaxWindowsAtOnce && openedSinceUserInput < MaxWindowsAtOnce;
}

QString addressForList(const QString& popupUrl, const QString& currentAddress)
{
    const QString address = popupUrl.isEmpty() ? currentAddress : popupUrl;
    const qsizetype query = address.indexOf(QLatin1Char('?'));
    return query < 0 ? address : address.left(query);
}

QStringList appendEntry(const QStringList& lines, const QString& address)
{
    QSet<QString> taken;
    for (const QString& line : lines)
        taken.insert(line.section(QLatin1Char('='), 0, 0).toLower());
    qsizetype number = lines.size() + 1;
    while (taken.contains(QStringLiteral("url%1").arg(number)))
        ++number;
    QStringList result = lines;
    result << QStringLiteral("url%1=").arg(number) + address;
    return result;
}

} // namespace PopupRules
