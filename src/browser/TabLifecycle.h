#pragma once

#include <QList>

// Which background tabs the engine may freeze (scripts and timers stopped, the page kept)
// or discard (the page dropped with its renderer, loaded again when the tab is shown), so
// that tabs nobody looks at cost little. A pure decision over the facts of each tab.
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
    bool printing = false;   // being printed: neither frozen nor discarded
    bool busy = false;       // still loading: left alone until it has loaded
    State state = State::Active;
};

struct Policy
{
    qint64 freezeAfterMs = 30 * 60 * 1000; // 0: no tab is frozen for being idle
    bool memoryPressure = false;           // the system runs short of memory
    qint64 unloadAfterMs = 0;              // 0: no tab is discarded for being idle
};

// Whether a tab's page may be dropped at all: not the shown tab, not one without a page or
// still loading, not one the user keeps (locked), hears, has typed into or prints, and not
// one already dropped.
bool mayDiscard(const Facts& tab);

// The tabs to discard for having been neither shown nor used for `unloadAfterMs` (0: none),
// by index in the order given: every tab that may be discarded (mayDiscard) and has been
// idle that long. Frozen tabs are among them: freezing keeps the page in memory.
QList<qsizetype> idleDiscards(const QList<Facts>& tabs, qint64 unloadAfterMs);

// The state each tab should be in, by index. Idle tabs are discarded by idleDiscards; under
// memory pressure the least recently used half of the tabs that may be discarded (at least
// one) are discarded too; a discarded tab stays so until it is shown.
QList<State> decide(const QList<Facts>& tabs, const Policy& policy);

} // namespace TabLifecycle
