// The session kept against crashes: what the window writes while it runs, and the tabs it
// brings back after an abnormal end.
#include "app/MainWindow.h"

#include "address/AddressPolicy.h"

#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "browser/TabSleeper.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "platform/MemoryPressure.h"
#include "session/RestoredBar.h"
#include "session/SessionKeeper.h"

#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr auto AboutBlank = QLatin1String("about:blank");

} // namespace

SessionState TfrmMain::sessionNow() const
{
    SessionState state;
    const TBrowserTab* active = GetActivePage();
    const auto all = tabs();
    for (const TBrowserTab* tab : all) {
        // Windows not yet let through, and blank tabs, have nothing worth bringing back.
        const QString address = tab->GetAddress();
        if (!tab->TabVisible() || address.isEmpty() || address == AboutBlank)
            continue;
        if (tab == active)
            state.active = int(state.tabs.size());
        state.tabs << SessionTab{address,           tab->Hint(),
                                 tab->HomeUrl(),    tab->StickyName(),
                                 tab->Locked(),     tab->HideFromCloseAll(),
                                 tab->ScrollPosition()};
    }
    if (state.active < 0 && !state.tabs.isEmpty())
        state.active = 0;
    return state;
}

void TfrmMain::noteSessionChange()
{
    if (m_session)
        m_session->noteChanged();
}

void TfrmMain::openStartOrRestore()
{
    m_sleeper = new TabSleeper({[this] { return tabs(); },
                                [this]() -> const TBrowserTab* { return GetActivePage(); },
                                &MemoryPressure::isLowNow},
                               this);
    m_sleeper->setFreezeAfterMinutes(m_settings.freezeTabsAfter);
    if (m_start.sessionFile.isEmpty()) {
        openStartPages();
        return;
    }
    m_session = new SessionKeeper(m_start.sessionFile, [this] { return sessionNow(); }, this);
    connect(m_pcPage, &TPVPageControl::pageMoved, this, &TfrmMain::noteSessionChange);
    const SessionKeeper::Previous previous = m_session->inspect();
    if (!previous.problem.isEmpty()) {
        // The tabs of a run that ended abnormally are lost: the user is told why, once the
        // window is up.
        QTimer::singleShot(0, this, [this, problem = previous.problem] {
            m_questions->tell(problem + QStringLiteral(" Pelvane starts with its start pages."));
        });
    }
    const int count = int(previous.saved.tabs.size());
    bool restore = previous.decision == SessionRecovery::Decision::Restore;
    if (previous.decision == SessionRecovery::Decision::Ask)
        restore = m_questions->askRestoreAfterRepeatedCrash(count);
    if (!restore) {
        openStartPages();
        m_session->begin(false);
        return;
    }

    restoreTabs(previous.saved);
    // An address given at this start opens beside the tabs brought back, in front.
    // Another program's argument, as at any start: never a script.
    const QString argument = m_start.argument;
    if (!argument.isEmpty() && AddressPolicy::decide(AddressPolicy::Source::HandOff, argument) !=
                                   AddressPolicy::Decision::Refuse) {
        if (IsPageGroupFile(argument))
            OpenPageGroup(argument, false, true);
        else if (TBrowserTab* tab = NewTab())
            tab->OpenAsHome(argument);
    }
    m_session->begin(true);

    // Said, not asked: the tabs are already there.
    auto* container = new QWidget(this);
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new RestoredBar(count, container);
    layout->addWidget(bar);
    layout->addWidget(takeCentralWidget());
    setCentralWidget(container);
    connect(bar, &RestoredBar::startFreshRequested, this, &TfrmMain::startFresh);
}

void TfrmMain::restoreTabs(const SessionState& saved)
{
    // Every tab waits, with its address and caption, until it is first shown; only the
    // active one loads now. The strip's change handling (which wakes a tab) is held back
    // while they are made.
    m_suspendTabChange = true;
    QList<TBrowserTab*> made;
    for (const SessionTab& entry : saved.tabs) {
        TBrowserTab* tab = made.isEmpty() ? GetActivePage() : createTab(false);
        if (!tab)
            continue;
        tab->Wait(entry.address, entry.title, entry.scroll);
        tab->setHomeUrl(entry.homeUrl);
        if (!entry.stickyName.isEmpty())
            tab->SetStickyName(entry.stickyName);
        if (entry.locked)
            tab->SetLocked(true);
        tab->setHideFromCloseAll(entry.hideFromCloseAll);
        made << tab;
    }
    if (saved.active >= 0 && saved.active < made.size())
        m_pcPage->setActivePage(made.at(saved.active));
    m_suspendTabChange = false;
    onTabChange();
}

void TfrmMain::startFresh()
{
    // The tabs brought back go, whatever their lock or Close All exemption; the last one
    // left is reset to a blank tab, which then opens the start pages.
    const auto all = tabs();
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        (*it)->CloseTab();
    const bool placeAtEnd = m_placeAtEnd;
    m_placeAtEnd = true;
    openStartPages();
    m_placeAtEnd = placeAtEnd;
    noteSessionChange();
}
