#include "links/LinksFolder.h"

#include "platform/FolderListing.h"
#include "platform/InternetShortcut.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "settings/DefaultPrograms.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>


namespace {

QIcon fileIcon(const QString& path, bool shortcut)
{
    if (shortcut)
        return QIcon::fromTheme(QStringLiteral("text-html"));
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QIcon icon = QIcon::fromTheme(type.iconName());
    return icon.isNull() ? QIcon::fromTheme(type.genericIconName()) : icon;
}

} // namespace

namespace LinksFolder {

QString path(RegistryHive& hive)
{
    QString favorites = ShellFolders::read(hive, QStringLiteral("Favorites"));
    if (favorites.isEmpty())
        return {};
    if (!favorites.endsWith(QLatin1Char('/')))
        favorites += QLatin1Char('/');
    QString name = QStringLiteral("Links");
    try {
        TRegistry reg(hive);
        if (reg.openKeyReadOnly(
                QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Toolbar"))) {
            const QString value = reg.readString(QStringLiteral("LinksFolderName"));
            if (!value.isEmpty())
                name = value;
        }
    } catch (const RegistryError&) {
        // An unreadable hive leaves the default name.
    }
    return favorites + name + QLatin1Char('/');
}

QList<FolderMenuEntry> read(const QString& folder, int limit)
{
    QList<FolderMenuEntry> folders;
    QList<FolderMenuEntry> files;
    // Names that start with a dot are not shown, so not listed.
    const QFileInfoList found = listFolder(folder, QDir::AllEntries | QDir::System, limit);
    for (const QFileInfo& info : found) {
        const QString name = info.fileName();
        FolderMenuEntry entry;
        entry.path = info.absoluteFilePath();
        if (info.isDir()) {
            entry.caption = folderMenuCaption(name);
            entry.folder = true;
            entry.hint = entry.path;
            folders << entry;
            continue;
        }
        const bool shortcut = InternetShortcut::isShortcutName(name);
        // The name without its last extension; a name that is only an extension keeps it.
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        entry.caption = folderMenuCaption(dot > 0 ? name.left(dot) : name);
        entry.icon = fileIcon(entry.path, shortcut);
        if (shortcut)
            entry.path = InternetShortcut::readAddress(entry.path);
        entry.hint = entry.path;
        files << entry;
    }
    sortFolderMenuEntriesLocaleAware(folders);
    return folders + files;
}

bool hasEntries(const QString& folder)
{
    return !listFolder(folder, QDir::AllEntries | QDir::System, 1).isEmpty();
}

bool isExistingFile(const QString& address)
{
    if (address.isEmpty() || !QDir::isAbsolutePath(address))
        return false;
    const QFileInfo info(address);
    return info.exists() && !info.isDir();
}

std::optional<DesktopApplication> fileProgram(const QString& file,
                                              const DefaultPrograms::Places& places)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    return DefaultPrograms::defaultFor(QStringList{type.name()} + type.allAncestors(), places);
}

} // namespace LinksFolder
