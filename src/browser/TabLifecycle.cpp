#include "browser/TabLifecycle.h"

#include <algorithm>

bool TabLifecycle::mayDiscard(const Facts& tab)
{
    return !tab.shown && !tab.waiting && !tab.busy && !tab.audible && !tab.locked &&
           !tab.editing && !tab.printing && tab.state != State::Discarded;
}

QList<qsizetype> TabLifecycle::idleDiscards(const QList<Facts>& tabs, qint64 unloadAfterMs)
{
    QList<qsizetype> result;
    if (unloadAfterMs <= 0)
        return result;
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        if (mayDiscard(tabs.at(i)) && tabs.at(i).idleMs >= unloadAfterMs)
            result << i;
    }
    return result;
}

QList<TabLifecycle::State> TabLifecycle::decide(const QList<Facts>& tabs, const Policy& policy)
{
    QList<State> result;
    QList<qsizetype> discardable;
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        const Facts& tab = tabs.at(i);
        State state = tab.state;
        if (tab.shown) {
            state = State::Active;
        } else if (tab.waiting || tab.busy || tab.state == State::Discarded) {
            // Nothing loaded, not yet settled, or already as cheap as it gets.
        } else if (tab.audible || tab.printing) {
            state = State::Active;
        } else if (policy.freezeAfterMs > 0 && tab.idleMs >= policy.freezeAfterMs) {
            state = State::Frozen;
        }
        if (mayDiscard(tab))
            discardable << i;
        result << state;
    }
    // Memory pressure weighs only the tabs still holding a page once the idle ones are gone.
    for (qsizetype i : idleDiscards(tabs, policy.unloadAfterMs)) {
        result[i] = State::Discarded;
        discardable.removeOne(i);
    }
    if (policy.memoryPressure && !discardable.isEmpty()) {
        std::stable_sort(discardable.begin(), discardable.end(), [&tabs](qsizetype a, qsizetype b) {
            return tabs.at(a).idleMs > tabs.at(b).idleMs; // least recently used first
        });
        const qsizetype count = std::max<qsizetype>(1, discardable.size() / 2);
        for (qsizetype n = 0; n < count; ++n)
            result[discardable.at(n)] = State::Discarded;
    }
    return result;
}
