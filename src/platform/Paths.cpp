#include "platform/Paths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
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

// The program's folder in one of the desktop's standard places.
QString xdgFolder(QStandardPaths::StandardLocation where)
{
    return joined(QStandardPaths::writableLocation(where), QStringLiteral("Brenmoor/Pelvane"));
}

// `leaf` in the home PELVANE_HOME names, when it is set; else in the program's folder in
// the standard place `where`.
QString homeOr(QStandardPaths::StandardLocation where, const QString& leaf)
{
    const QString home = homeOverride();
    return joined(home.isEmpty() ? xdgFolder(where) : home, leaf);
}

} // namespace

namespace Paths {

QString hiveFile()
{
    return homeOr(QStandardPaths::GenericConfigLocation, QStringLiteral("registry.db"));
}

QString programFolder()
{
    const QString home = homeOverride();
    return home.isEmpty() ? xdgFolder(QStandardPaths::GenericDataLocation)
                          : joined(home, QStringLiteral("Pelvane"));
}

QString groupsFolder()
{
    return joined(programFolder(), QStringLiteral("SorvelGroups"));
}

QString defaultFavoritesFolder()
{
    return homeOr(QStandardPaths::GenericDataLocation, QStringLiteral("Favorites"));
}

QString defaultHistoryFolder()
{
    return homeOr(QStandardPaths::GenericDataLocation, QStringLiteral("History"));
}

QString webProfileFolder()
{
    return homeOr(QStandardPaths::GenericDataLocation, QStringLiteral("WebProfile"));
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
    // Without a runtime folder of the session the temporary folder is shared by every
    // user: the name carries the user id, so no other user's folder is taken for ours.
    const QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!base.isEmpty() && QFileInfo(base).isAbsolute())
        return joined(base, QStringLiteral("pelvane"));
    return joined(QDir::tempPath(),
                  QStringLiteral("pelvane-%1").arg(QString::number(::getuid())));
}

QString pageCopiesFolder()
{
    return homeOr(QStandardPaths::GenericCacheLocation, QStringLiteral("PageCopies"));
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

QString dictionariesFolder()
{
    const QString shipped = QDir(sharedDataFolder()).filePath(QStringLiteral("qtwebengine_dictionaries"));
    if (QFileInfo(shipped).isDir())
        return shipped;
    // Run from its build folder, the program takes the dictionaries built there.
    const QString built = QStringLiteral(PELVANE_BUILD_FOLDER "/qtwebengine_dictionaries");
    return QFileInfo(built).isDir() ? built : shipped;
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

QString ownPrivateFolderProblem(const QString& path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("%1 cannot be read: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is a symbolic link").arg(path);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user").arg(path);
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("%1 can be used by other users (mode %2)")
            .arg(path, QString::number(st.st_mode & 07777, 8));
    return {};
}

QString ensureOwnPrivateFolder(const QString& path)
{
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("%1 cannot be made: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    return ownPrivateFolderProblem(path);
}

} // namespace Paths
