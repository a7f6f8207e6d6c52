#pragma once

#include "platform/InstanceLock.h"

#include <QString>

#include <memory>

// The persistent web profile folder this running copy owns. The engine cannot share one
// folder between processes (site storage written by one is lost to the other), so the
// first running copy takes the main folder and each further copy the first free numbered
// one, each held by a lock the kernel frees when the copy ends. A copy that runs again as
// the second finds what it stored the last time it was the second.
class WebProfileSlot final
{
public:
    static constexpr int MaxSlots = 16;

    // Takes the first free slot of `maxSlots`. When every one is held, the copy gets none:
    // folder() is empty and its profile lives in memory only.
    explicit WebProfileSlot(int maxSlots = MaxSlots);
    WebProfileSlot(const WebProfileSlot&) = delete;
    WebProfileSlot& operator=(const WebProfileSlot&) = delete;

    int number() const { return m_number; } // 1: the main profile; 0: none
    QString folder() const { return m_folder; }
    bool isMain() const { return m_number == 1; }
    // True when this copy made the folder: a further copy that has never run before.
    bool isNew() const { return m_new; }
    // The lock of `slot`, now held by this copy, when no running copy holds it; null when
    // one does (or when it cannot be told). What a copy left there can then be taken over
    // without a copy started meanwhile in that slot taking it too.
    static std::unique_ptr<InstanceLock> holdIdle(int slot);

private:
    std::unique_ptr<InstanceLock> m_lock;
    int m_number = 0;
    QString m_folder;
    bool m_new = false;
};
