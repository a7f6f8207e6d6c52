#include "settings/OptionsRules.h"

#include <QFileInfo>

namespace OptionsRules {

namespace {
constexpr int MaxTitleLength = 100;
constexpr int OfferedTitleLength = 35;
} // namespace

TitleLimitShown titleLimitShown(int stored)
{
    // A negative length limits nothing the user could see; it shows as no limit.
    const int length = qBound(0, stored, MaxTitleLength);
    if (length == 0)
        return {false, OfferedTitleLength};
    return {true, length};
}

int titleLimitStored(bool limited, int length)
{
    return limited ? qBound(1, length, MaxTitleLength) : 0;
}

StartupChoice startupChoice(const QString& mode)
{
    if (mode == QLatin1String("Last"))
        return StartupLast;
    if (mode == QLatin1String("Home"))
        return StartupHome;
    return StartupGroup;
}

QString startupModeText(StartupChoice choice)
{
    switch (choice) {
    case StartupLast:
        return QStringLiteral("Last");
    case StartupHome:
        return QStringLiteral("Home");
    case StartupGroup:
        break;
    }
    return QStringLiteral("SorvelGroup");
}

bool isValidStartupGroup(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QStringList popupItemsFromLines(const QStringList& lines)
{
    QStringList items;
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0)
            items << line.mid(equals + 1);
    }
    return items;
}

QStringList popupLinesFromItems(const QStringList& items)
{
    QStringList lines;
    lines.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i)
        lines << QStringLiteral("url") + QString::number(i + 1) + QLatin1Char('=') + items.at(i);
    return lines;
}

} // namespace OptionsRules
