#include "browser/TabSleeper.h"

#include "browser/BrowserTab.h"

#include <QDeadlineTimer>

namespace {

TabLifecycle::State stateOf(PageLifecycle state)
{
    switch (state) {
    case PageLifecycle::Frozen:
        return TabLifecycle::State::Frozen;
    case PageLifecycle::Discarded:
        return TabLifecycle::State::Discarded;
    default:
        return TabLifecycle::State::Active;
    }
}

PageLifecycle engineState(TabLifecycle::State state)
{
    switch (state) {
    case TabLifecycle::State::Frozen:
        return PageLifecycle::Frozen;
    case TabLifecycle::State::Discarded:
        return PageLifecycle::Discarded;
    default:
        return PageLifecycle::Active;
    }
}

} // namespace

TabSleeper::TabSleeper(Sources sources, QObject* parent)
    : QObject(parent)
    , m_sources(std::move(sources))
{
    m_timer.setInterval(60 * 1000);
    connect(&m_timer, &QTimer::timeout, this, &TabSleeper::check);
    m_timer.start();
}

void TabSleeper::setFreezeAfterMinutes(int minutes)
{
    m_freezeMinutes = qMax(0, minutes);
}

void TabSleeper::setUnloadAfterMinutes(int minutes)
{
    m_unloadMinutes = qMax(0, minutes);
}

TabLifecycle::Facts TabSleeper::factsOf(const TBrowserTab& tab, bool shown, qint64 nowMs)
{
    TabLifecycle::Facts facts;
    const TSorvelBrowser* browser = tab.Browser();
    facts.shown = shown;
    facts.waiting = tab.Waiting() || !browser || !tab.TabVisible();
    facts.idleMs = nowMs - tab.LastUsedMs();
    facts.locked = tab.Locked();
    facts.audible = browser && browser->backend()->audible();
    facts.editing = tab.TypedSinceLoad();
    facts.printing = browser && browser->backend()->printing();
    facts.busy = tab.Busy();
    facts.state = browser ? stateOf(browser->backend()->lifecycle()) : TabLifecycle::State::Active;
    return facts;
}

void TabSleeper::check()
{
    const QList<TBrowserTab*> tabs = m_sources.tabs();
    const TBrowserTab* shown = m_sources.shown();
    const qint64 now = m_sources.now ? m_sources.now() : QDeadlineTimer::current().deadline();
    QList<TabLifecycle::Facts> facts;
    for (const TBrowserTab* tab : tabs)
        facts << factsOf(*tab, tab == shown, now);
    TabLifecycle::Policy policy;
    policy.freezeAfterMs = qint64(m_freezeMinutes) * 60 * 1000;
    policy.memoryPressure = m_sources.memoryPressure && m_sources.memoryPressure();
    policy.unloadAfterMs = qint64(m_unloadMinutes) * 60 * 1000;
    const QList<TabLifecycle::State> states = TabLifecycle::decide(facts, policy);
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        if (states.at(i) != facts.at(i).state && tabs.at(i)->Browser())
            tabs.at(i)->Browser()->backend()->setLifecycle(engineState(states.at(i)));
    }
}

void TabSleeper::wake(TBrowserTab* tab)
{
    tab->noteUsed();
    if (tab->Browser())
        tab->Browser()->backend()->setLifecycle(PageLifecycle::Active);
}
