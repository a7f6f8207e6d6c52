#include "platform/InstanceLock.h"

#include "platform/Paths.h"
#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString& lockFile)
    : m_path(lockFile)
{}

InstanceLock::~InstanceLock()
{
    release();
}

QString InstanceLock::defaultLockFile()
{
    // Where the copies' sockets are (MessageBus), also when the runtime folder is not sound:
    // a lock nobody else finds would make every copy a first one.
    const QString folder = PrivateFolder::choose(Paths::runtimeFolder()).folder;
    return QDir(folder.isEmpty() ? Paths::runtimeFolder() : folder)
        .filePath(QStringLiteral("instance.lock"));
}

bool InstanceLock::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    // A lock in a folder another user can write to could be taken away or made to point
    // elsewhere; the file itself is opened without following a link.
    if (!Paths::ensureOwnPrivateFolder(QFileInfo(m_path).absolutePath()).isEmpty())
        return true; // cannot tell: behave as the first copy
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true; // cannot tell: behave as the first copy
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return !heldElsewhere;
    }
    m_fd = fd;
    return true;
}

void InstanceLock::release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
