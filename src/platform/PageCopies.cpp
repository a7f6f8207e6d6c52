#include "platform/PageCopies.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace PageCopies {

int prune(const QString& folder, const QDateTime& before, const std::atomic_bool& cancelled)
{
    if (folder.isEmpty() || !Paths::ownPrivateFolderProblem(folder).isEmpty())
        return 0;
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        if (cancelled)
            break;
        if (entry.lastModified() >= before)
            continue;
        // A link is removed as a link: what it points to is not ours.
        const bool gone = entry.isDir() && !entry.isSymLink()
                              ? QDir(entry.filePath()).removeRecursively()
                              : QFile::remove(entry.filePath());
        if (gone)
            ++removed;
    }
    return removed;
}

} // namespace PageCopies
