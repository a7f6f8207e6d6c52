#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class RegistryHive;

// The two lists of named search addresses kept in the settings: the search engines of the
// toolbar's Search menu and the favorites of the side bar's search pane. An entry is a title
// and an address; the first engine is the default one, which the address box searches with.
namespace SearchEngines {

struct Entry
{
    QString title;
    QString address;
    friend bool operator==(const Entry&, const Entry&) = default;
};

enum class List
{
    SearchBar, // "Search Bar": the search pane's favorites
    Engines,   // "Search Engines"
};

// Where a query goes in an engine's address.
inline constexpr QLatin1StringView QueryMark{"%s"};

// The stored "title=address" lines as entries: the title is the text before the first "=".
QList<Entry> fromLines(const QStringList& lines);
QStringList toLines(const QList<Entry>& entries);

QList<Entry> read(RegistryHive& hive, List list);
// Replaces the stored list; throws RegistryError when the hive refuses.
void write(RegistryHive& hive, List list, const QList<Entry>& entries);

// The address an engine's menu item opens: its query mark replaced by nothing.
QString pageAddress(const QString& engineAddress);
// The address that searches `engineAddress` for `text`: every query mark replaced by the text,
// percent-encoded as UTF-8 (blanks, line breaks, "&", "#" and "%" included). Empty when the
// address has no query mark, so the text has nowhere to go.
QString queryAddress(const QString& engineAddress, const QString& text);
// Whether an address typed into the organize dialog can be opened as an address.
bool isUsableAddress(const QString& address);

// The list written for a user who has none yet.
QList<Entry> defaultEngines();
// Until the hive has been given an engine list (a first run, also one whose hive was
// deployed with a few settings) the default engines are written, so that searching from
// the address box works at once; the value DefaultsGiven of "CurrentVersion" keeps that
// they were. A list the user has, even one emptied, is never touched. True when the
// defaults were written.
inline const QString DefaultsGiven = QStringLiteral("SearchEnginesGiven");
bool seedDefaults(RegistryHive& hive);

} // namespace SearchEngines
