#include "platform/web/WebProfileSlot.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The lock lives in the folder it guards; the engine leaves unknown files alone.
QString lockFile(int slot)
{
    return QDir(Paths::webProfileFolder(slot)).filePath(QStringLiteral("pelvane.lock"));
}

} // namespace

WebProfileSlot::WebProfileSlot(int maxSlots)
{
    for (int slot = 1; slot <= maxSlots; ++slot) {
        const QString folder = Paths::webProfileFolder(slot);
        const bool existed = QFileInfo(folder).isDir();
        auto lock = std::make_unique<InstanceLock>(lockFile(slot));
        if (!lock->tryAcquire())
            continue;
        m_lock = std::move(lock);
        m_number = slot;
        m_folder = folder;
        m_new = !existed;
        return;
    }
}

std::unique_ptr<InstanceLock> WebProfileSlot::holdIdle(int slot)
{
    auto lock = std::make_unique<InstanceLock>(lockFile(slot));
    // tryAcquire() answers true also when it cannot tell: only a lock really held counts.
    if (!lock->tryAcquire() || !lock->isHeld())
        return nullptr;
    return lock;
}
