#pragma once

#include <QSignalSpy>

#include <functional>

namespace DiscMonitorWait {

// A monitor takes up new parameters on its own thread: a change made at once could come
// before its watch. Repeats `change` until the spy hears of it, and so tells that the
// monitor is watching. Each round waits longer than a burst is gathered, so that a round's
// change is not heard only after the next round has made another.
inline bool changeUntilHeard(QSignalSpy& spy, const std::function<void(int)>& change)
{
    const int before = int(spy.count());
    for (int round = 0; round < 20; ++round) {
        change(round);
        if (spy.wait(700) || spy.count() > before)
            return true;
    }
    return false;
}

} // namespace DiscMonitorWait
