#pragma once

#include "platform/DesktopEntry.h"
#include "platform/FolderMenu.h"

#include <QString>
#include <QStringList>

#include <optional>

class RegistryHive;

namespace DefaultPrograms {
struct Places;
}

// The Links folder and what the links bar reads from it.
namespace LinksFolder {

// The user's Links folder: the Favorites folder, then the system browser's
// "LinksFolderName" (default "Links"), with a trailing "/"; empty without a Favorites
// folder.
QString path(RegistryHive& hive);

// One level of the folder as the links bar shows it: its folders first, sorted by name
// (without regard to case, in the user's language), then all its files in the order the
// file system lists them, of every type. Names beginning with "." are left out. A file's
// caption is its name without extension; its address (path and hint) is the "URL" of an
// Internet shortcut (".url" in any case; empty when it has none), else its full path. A
// folder has its full path. At most `limit` entries are read.
QList<FolderMenuEntry> read(const QString& folder, int limit = 2000);

// Whether a folder holds anything the links bar would show.
bool hasEntries(const QString& folder);

// Whether a link's address names an existing file (a folder does not count): the link
// opener gives those to their own program and everything else to a tab.
bool isExistingFile(const QString& address);

// The desktop's default program for `file`'s type (or one of the types it belongs to);
// none when there is none.
std::optional<DesktopApplication> fileProgram(const QString& file,
                                              const DefaultPrograms::Places& places);

} // namespace LinksFolder
