#include "platform/web/WebProfileSlot.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

WebProfileSlot::WebProfileSlot(int maxSlots)
{
    for (int slot = 1; slot <= maxSlots; ++slot) {
        const QString folder = Paths::webProfileFolder(slot);
        const bool existed = QFileInfo(folder).isDir();
        // The lock lives in the folder it guards; the engine leaves unknown files alone.
        auto lock =
            std::make_unique<InstanceLock>(QDir(folder).filePath(QStringLiteral("pelvane.lock")));
        if (!lock->tryAcquire())
            continue;
        m_lock = std::move(lock);
        m_number = slot;
        m_folder = folder;
        m_new = !existed;
        return;
    }
}
