#pragma once

#include "browser/TabLifecycle.h"

#include <QObject>
#include <QTimer>

#include <functional>

class TBrowserTab;

// Puts the window's background tabs to sleep by the TabLifecycle rules: every minute (and
// when asked) it weighs each tab and hands the engine the state the rules give: frozen
// after a while unused, unloaded (discarded) after longer. A tab shown again is woken by
// the window (wake) before it is seen.
class TabSleeper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabSleeper)

public:
    struct Sources
    {
        std::function<QList<TBrowserTab*>()> tabs;
        std::function<const TBrowserTab*()> shown; // the tab the user sees; may be null
        std::function<bool()> memoryPressure;
        // Milliseconds of the steady clock that TBrowserTab::LastUsedMs counts in; the
        // steady clock itself when not given (tests step their own).
        std::function<qint64()> now;
    };
    explicit TabSleeper(Sources sources, QObject* parent = nullptr);

    // 0: idle tabs are not frozen (memory pressure may still discard).
    void setFreezeAfterMinutes(int minutes);
    int freezeAfterMinutes() const { return m_freezeMinutes; }
    // 0: idle tabs are not unloaded (memory pressure may still discard).
    void setUnloadAfterMinutes(int minutes);
    int unloadAfterMinutes() const { return m_unloadMinutes; }
    // Weighs the tabs now.
    void check();
    // A tab is about to be shown: its page comes back if it slept.
    static void wake(TBrowserTab* tab);
    static TabLifecycle::Facts factsOf(const TBrowserTab& tab, bool shown, qint64 nowMs);

private:
    Sources m_sources;
    QTimer m_timer;
    int m_freezeMinutes = 30;
    int m_unloadMinutes = 120;
};
