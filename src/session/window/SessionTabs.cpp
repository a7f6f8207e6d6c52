#include "session/window/SessionTabs.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "groups/SorvelGroupCommands.h"
#include "platform/Questions.h"
#include "session/RestoredBar.h"
#include "session/SessionKeeper.h"
#include "session/SessionQuestions.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr auto AboutBlank = QLatin1String("about:blank");

} // namespace

SessionTabs::SessionTabs(Parts parts, Start start, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
    , m_tabs(m_parts.tabs)
    , m_sessionFile(std::move(start.sessionFile))
    , m_argument(std::move(start.argument))
    , m_left(std::move(start.left))
{}

SessionState SessionTabs::now() const
{
    SessionState state;
    const TBrowserTab* active = m_tabs.GetActivePage();
    const auto all = m_tabs.tabs();
    for (const TBrowserTab* tab : all) {
        // Windows not yet let through, and blank tabs, have nothing worth bringing back.
        const QString address = tab->GetAddress();
        if (!tab->TabVisible() || address.isEmpty() || address == AboutBlank)
            continue;
        if (tab == active)
            state.active = int(state.tabs.size());
        state.tabs << SessionTab{address,
                                 tab->Hint(),
                                 tab->HomeUrl(),
                                 tab->StickyName(),
                                 tab->Locked(),
                                 tab->HideFromCloseAll(),
                                 tab->ScrollPosition()};
    }
    if (state.active < 0 && !state.tabs.isEmpty())
        state.active = 0;
    return state;
}

void SessionTabs::noteChange()
{
    if (m_keeper)
        m_keeper->noteChanged();
}

void SessionTabs::openStartOrRestore()
{
    if (m_sessionFile.isEmpty()) {
        openStartPages(m_argument);
        return;
    }
    m_keeper = new SessionKeeper(
        m_sessionFile, [this] { return now(); }, this);
    connect(&m_tabs.strip(), &TPVPageControl::pageMoved, this, &SessionTabs::noteChange);
    // This copy's own session first, then those other copies left, each by its own rule.
    QList<SessionKeeper::Previous> previous{m_keeper->inspect()};
    for (const LeftSession& left : std::as_const(m_left))
        previous << SessionKeeper::inspect(left.file);
    m_keeper->takeOver(std::exchange(m_left, {}));
    QList<SessionState> restoring;
    QStringList problems;
    for (const SessionKeeper::Previous& one : std::as_const(previous)) {
        if (!one.problem.isEmpty())
            problems << one.problem;
        bool restore = one.decision == SessionRecovery::Decision::Restore;
        if (one.decision == SessionRecovery::Decision::Ask)
            restore = m_parts.sessionQuestions.askRestoreAfterRepeatedCrash(int(one.saved.tabs.size()));
        if (restore)
            restoring << one.saved;
    }
    if (!problems.isEmpty()) {
        // The tabs of a run that ended abnormally are lost: the user is told why, once the
        // window is up.
        const QString then = restoring.isEmpty()
                                 ? QStringLiteral(" Pelvane starts with its start pages.")
                                 : QString();
        QTimer::singleShot(0, this, [this, problems, then] {
            for (const QString& problem : problems)
                m_parts.questions.tell(problem + then);
        });
    }
    if (restoring.isEmpty()) {
        openStartPages(m_argument);
        m_keeper->begin(false);
        return;
    }

    restoreTabs(restoring);
    // An address given at this start opens beside the tabs brought back, in front.
    // Another program's argument, as at any start: never a script.
    if (!m_argument.isEmpty() &&
        AddressPolicy::decide(AddressPolicy::Source::HandOff, m_argument) !=
            AddressPolicy::Decision::Refuse) {
        if (IsPageGroupFile(m_argument))
            m_parts.groups.OpenPageGroup(m_argument, false, true);
        else if (TBrowserTab* tab = m_tabs.NewTab())
            tab->OpenAsHome(m_argument);
    }
    m_keeper->begin(true);

    // Said, not asked: the tabs are already there.
    if (!m_parts.placeBar)
        return;
    auto* bar = new RestoredBar(int(m_restored.size()));
    m_parts.placeBar(bar);
    connect(bar, &RestoredBar::startFreshRequested, this, &SessionTabs::startFresh);
}

void SessionTabs::restoreTabs(const QList<SessionState>& sessions)
{
    // Every tab waits, with its address and caption, until it is first shown; only the
    // active one (that of the first session) loads now. The strip's change handling (which
    // wakes a tab) is held back while they are made.
    m_tabs.holdTabChange(true);
    TBrowserTab* active = nullptr;
    for (const SessionState& saved : sessions) {
        for (int i = 0; i < saved.tabs.size(); ++i) {
            const SessionTab& entry = saved.tabs.at(i);
            TBrowserTab* tab = m_restored.isEmpty() ? m_tabs.GetActivePage() : m_tabs.NewTab();
            if (!tab)
                continue;
            tab->Wait(entry.address, entry.title, entry.scroll);
            tab->setHomeUrl(entry.homeUrl);
            if (!entry.stickyName.isEmpty())
                tab->SetStickyName(entry.stickyName);
            if (entry.locked)
                tab->SetLocked(true);
            tab->setHideFromCloseAll(entry.hideFromCloseAll);
            m_restored << tab;
            if (!active && i == saved.active)
                active = tab;
        }
    }
    if (active)
        m_tabs.strip().setActivePage(active);
    m_tabs.holdTabChange(false);
}

void SessionTabs::startFresh()
{
    // The tabs brought back go, whatever their lock or Close All exemption. Other tabs (the
    // address given at this start, a hand-off, tabs the user opened) stay; when none is
    // left, the last restored tab is reset to a blank tab, which then opens the start pages.
    for (auto it = m_restored.crbegin(); it != m_restored.crend(); ++it) {
        if (TBrowserTab* tab = *it)
            tab->CloseTab();
    }
    const auto left = m_tabs.tabs();
    const bool othersLeft = std::any_of(
        left.cbegin(), left.cend(), [this](TBrowserTab* tab) { return !m_restored.contains(tab); });
    m_restored.clear();
    if (!othersLeft)
        // Not this start's address: when no tab is left, the user closed that one too.
        m_tabs.openAtEnd([this] { openStartPages(QString()); });
    noteChange();
}
