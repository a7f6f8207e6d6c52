#pragma once

#include <QString>

// Tells a second copy of the program that a first one runs. The lock is an advisory lock
// on a file in the runtime folder; the kernel frees it when the holder dies, so a crashed
// copy never leaves the next start believing it is a second copy.
class InstanceLock final
{
public:
    explicit InstanceLock(const QString& lockFile);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when another process holds it.
    // A lock file that cannot be made at all counts as held by us: the program then runs
    // as a first copy rather than not at all.
    bool tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    void release();

    // In the runtime folder, or in the private folder the copies meet in instead of it.
    static QString defaultLockFile();

private:
    QString m_path;
    int m_fd = -1;
};
