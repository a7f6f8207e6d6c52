#include "platform/Paths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString homeOverride()
{
    return qEnvironmentVariable("PELVANE_HOME");
}

QString joined(const QString& base, const QString& leaf)
{
    return QDir::cleanPath(base + QLatin1Char('/') + leaf);
}

QString xdgDataFolder()
{
    return joined(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                  QStringLiteral("Brenmoor/Pelvane"));
}

} // namespace

namespace Paths {

QString hiveFile()
{
    const QString home = homeOverride();
    if (!home.isEmpty())
        return joined(home, QStringLiteral("registry.db"));
    return joined(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                  QStringLiteral("Brenmoor/Pelvane/registry.db"));
}

QString programFolder()
{
    const QString home = homeOverride();
    return home.isEmpty() ? xdgDataFolder() : joined(home, QStringLiteral("Pelvane"));
}

QString groupsFolder()
{
    return joined(programFolder(), QStringLiteral("SorvelGroups"));
}

QString defaultFavoritesFolder()
{
    const QString home = homeOverride();
    return joined(home.isEmpty() ? xdgDataFolder() : home, QStringLiteral("Favorites"));
}

QString defaultHistoryFolder()
{
    const QString home = homeOverride();
    return joined(home.isEmpty() ? xdgDataFolder() : home, QStringLiteral("History"));
}

QString webProfileFolder()
{
    const QString home = homeOverride();
    return joined(home.isEmpty() ? xdgDataFolder() : home, QStringLiteral("WebProfile"));
}

QString webProfileFolder(int slot)
{
    const QString main = webProfileFolder();
    return slot <= 1 ? main : main + QStringLiteral("-%1").arg(slot);
}

QString runtimeFolder()
{
    const QString home = homeOverride();
    if (!home.isEmpty()) {
        // A socket's path is limited to about a hundred bytes; a deep home gets a short
        // folder of its own in the temporary folder instead.
        const QString folder = joined(home, QStringLiteral("run"));
        if (folder.toLocal8Bit().size() <= 80)
            return folder;
        const QByteArray hash =
            QCryptographicHash::hash(QDir(home).absolutePath().toUtf8(), QCryptographicHash::Sha1)
                .toHex()
                .left(16);
        return joined(QDir::tempPath(),
                      QStringLiteral("pelvane-%1-%2")
                          .arg(QString::number(::getuid()), QString::fromLatin1(hash)));
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return joined(base, QStringLiteral("pelvane"));
}

QString sharedDataFolder()
{
    // The program's own file, also before the application object exists (the kernel's
    // link names it even when the program was started through another link).
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return sharedDataFolderFor(
        QFileInfo(program).absolutePath(), QStringLiteral(PELVANE_SHARE_FROM_BIN),
        QStringLiteral(PELVANE_BUILD_FOLDER), QStringLiteral(PELVANE_SOURCE_RESOURCES));
}

QString sharedDataFolderFor(const QString& programFolder, const QString& shareFromBin,
                            const QString& buildFolder, const QString& sourceResources)
{
    const QString installed = joined(programFolder, shareFromBin);
    if (QFileInfo(installed).isDir())
        return installed;
    const QString build = QDir::cleanPath(buildFolder) + QLatin1Char('/');
    if (!buildFolder.isEmpty() && (programFolder + QLatin1Char('/')).startsWith(build))
        return sourceResources;
    return installed;
}

bool ensurePrivateFolder(const QString& path)
{
    // A folder that exists already (a user's own Favorites folder, say) keeps its rights.
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
}

} // namespace Paths
