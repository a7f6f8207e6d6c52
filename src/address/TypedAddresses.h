#pragma once

#include <QString>
#include <QStringList>

class RegistryHive;

// The list of addresses the user typed, most recent first. It is the system browser's own
// list, kept in the hive of the user under "Software\Microsoft\Internet Explorer\TypedUrls"
// as the string values "url1", "url2", ... (number 1 the most recent), so that both
// programs show the same recent addresses.
namespace TypedAddresses {

// The longest list the address box keeps.
constexpr int MaxEntries = 25;

// The key below HKEY_CURRENT_USER.
QString key(); // "\Software\Microsoft\Internet Explorer\TypedUrls"

// Empties `list`, then appends the values numbered 1, 2, ... and stops at the first that
// is missing or empty, or after the value numbered `maximum`. A key or value that cannot
// be read ends the list there; nothing is reported.
void LoadTypedAddresses(QStringList& list, int maximum, RegistryHive& hive);

// Replaces the key with one that holds exactly `list` as "url1" to "urlN", values of other
// names included in what goes. An empty list leaves the key present and empty. The
// replacement is one step: another running copy sees the old list or the new one. A key
// that cannot be written leaves the hive as it was, without a message.
void SaveTypedAddresses(const QStringList& list, RegistryHive& hive);

// Puts a remembered address on top: an entry equal to it without regard to letter case
// moves to the top and keeps its spelling; otherwise the address is inserted there. The
// list is then cut to `maximum` entries (the oldest go).
void Remember(QStringList& list, const QString& address, int maximum = MaxEntries);

} // namespace TypedAddresses
