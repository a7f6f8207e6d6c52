#include "platform/PrivateFolder.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <unistd.h>

namespace {

// The sound folders beside `preferred` made in its stead, sorted by name, so that every
// copy takes the same one.
QStringList besides(const QString& preferred)
{
    const QFileInfo info(preferred);
    const QDir parent = info.absoluteDir();
    QStringList sound;
    const QStringList names =
        parent.entryList({info.fileName() + QStringLiteral(".??????")},
                         QDir::Dirs | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const QString path = parent.filePath(name);
        if (Paths::ownPrivateFolderProblem(path).isEmpty())
            sound << path;
    }
    return sound;
}

} // namespace

namespace PrivateFolder {

Choice choose(const QString& preferred)
{
    const QString problem = Paths::ensureOwnPrivateFolder(preferred);
    if (problem.isEmpty())
        return {preferred, {}};
    QStringList sound = besides(preferred);
    if (sound.isEmpty()) {
        // mkdtemp makes the folder with mode 0700 under a name that did not exist.
        QByteArray pattern = QFile::encodeName(QFileInfo(preferred).absoluteFilePath()) + ".XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return {{}, problem};
        const QString made = QFile::decodeName(pattern);
        // Another copy starting at the same moment may have made one too: all take the first.
        sound = besides(preferred);
        if (!sound.isEmpty() && sound.first() != made)
            ::rmdir(pattern.constData());
        if (sound.isEmpty())
            sound << made;
    }
    return {sound.first(), problem};
}

QStringList reachable(const QString& preferred)
{
    QStringList folders;
    if (Paths::ownPrivateFolderProblem(preferred).isEmpty())
        folders << preferred;
    return folders + besides(preferred);
}

} // namespace PrivateFolder
