#include "search/SearchEngines.h"

#include "platform/Registry.h"
#include "settings/PVOptions.h"

#include <QUrl>

namespace SearchEngines {

QList<Entry> fromLines(const QStringList& lines)
{
    QList<Entry> entries;
    entries.reserve(lines.size());
    for (const QString& line : lines) {
        const qsizetype split = line.indexOf(QLatin1Char('='));
        if (split < 0)
            continue;
        entries.append({line.left(split), line.mid(split + 1)});
    }
    return entries;
}

QStringList toLines(const QList<Entry>& entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const Entry& entry : entries)
        lines << entry.title + QLatin1Char('=') + entry.address;
    return lines;
}

QList<Entry> read(RegistryHive& hive, List list)
{
    const TPVOptions options(hive);
    return fromLines(list == List::Engines ? options.GetSearchEngines()
                                           : options.GetSearchBarList());
}

void write(RegistryHive& hive, List list, const QList<Entry>& entries)
{
    TPVOptions options(hive);
    if (list == List::Engines)
        options.SetSearchEngines(toLines(entries));
    else
        options.SetSearchBarList(toLines(entries));
}

QString pageAddress(const QString& engineAddress)
{
    QString address = engineAddress;
    return address.remove(QueryMark);
}

QString queryAddress(const QString& engineAddress, const QString& text)
{
    if (!engineAddress.contains(QueryMark))
        return {};
    // Nothing but unreserved characters stays as it is: the text can neither end the query
    // ("&", "#"), nor break the line, nor be read as an escape of its own ("%").
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(text));
    QString address = engineAddress;
    return address.replace(QueryMark, encoded);
}

bool isUsableAddress(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty() || trimmed != address || trimmed.contains(QLatin1Char(' ')))
        return false;
    const QUrl url(pageAddress(trimmed), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    if (url.isLocalFile() || url.scheme() == QLatin1String("about"))
        return true;
    return !url.host().isEmpty();
}

QList<Entry> defaultEngines()
{
    return {
        {QStringLiteral("DuckDuckGo"), QStringLiteral("https://duckduckgo.com/?q=%s")},
        {QStringLiteral("Google"), QStringLiteral("https://www.google.com/search?q=%s")},
        {QStringLiteral("Bing"), QStringLiteral("https://www.bing.com/search?q=%s")},
        {QStringLiteral("Wikipedia"),
         QStringLiteral("https://en.wikipedia.org/wiki/Special:Search?search=%s")},
    };
}

bool seedDefaults(RegistryHive& hive)
{
    // The list alone cannot tell: emptying it removes its key. A hive deployed with a few
    // settings has no list and was never given one, so the defaults are given then too,
    // once, and the hive keeps that they were.
    TRegistry reg(hive);
    if (reg.keyExists(TPVOptions::CurrentVersionKey() + QStringLiteral("\\Search Engines")))
        return false;
    if (reg.openKey(TPVOptions::CurrentVersionKey(), false) && reg.valueExists(DefaultsGiven))
        return false;
    write(hive, List::Engines, defaultEngines());
    if (reg.openKey(TPVOptions::CurrentVersionKey(), true))
        reg.writeBool(DefaultsGiven, true);
    return true;
}

} // namespace SearchEngines
