#pragma once

#include <QList>

// Which background tabs the engine may freeze (scripts and timers stopped, the page kept)
// or discard (the page dropped, loaded again when the tab is shown), so that tabs nobody
// looks at cost little. A pure decision over the facts of each tab.
namespace TabLifecycle {

enum class State
{
    Active,
    Frozen,
    Discarded,
};

struct Facts
{
    bool shown = false;      // the active tab of the window: always active
    bool waiting = false;    // never loaded: nothing to freeze or discard
    qint64 idleMs = 0;       // since the tab was last shown or used
    bool locked = false;     // the user keeps this page: never discarded
    bool audible = false;    // playing sound: neither frozen nor discarded
    bool editing = false;    // typed into since its page loaded: never discarded
    bool busy = false;       // still loading: left alone until it has loaded
    State state = State::Active;
};

struct Policy
{
    qint64 freezeAfterMs = 30 * 60 * 1000; // 0: no tab is frozen for being idle
    bool memoryPressure = false;           // the system runs short of memory
};

// The state each tab should be in, by index. Under memory pressure the least recently
// used half of the tabs that may be discarded (at least one) are discarded; a discarded
// tab stays so until it is shown.
QList<State> decide(const QList<Facts>& tabs, const Policy& policy);

} // namespace TabLifecycle
