#pragma once

#include <QString>

class RegistryHive;

// The user's special folders as the system browser's settings name them: the values
// "Favorites" and "History" of the "Shell Folders" key. A user may point them elsewhere
// (a Favorites folder on a Windows disk, an old profile's History); the first run writes
// our own folders there.
namespace ShellFolders {

QString keyPath(); // below HKEY_CURRENT_USER

// Writes the default folders for the values not there yet. A hive that cannot be written
// leaves them missing: the panes then show nothing rather than failing.
void seed(RegistryHive& hive);

// The folder a value names; empty when it is missing, not a string or the hive is
// unreadable.
QString read(RegistryHive& hive, const QString& name);

} // namespace ShellFolders
