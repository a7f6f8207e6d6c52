#include "app/WindowSession.h"

#include "address/AddressPolicy.h"
#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "session/RestoredBar.h"
#include "session/SessionKeeper.h"

#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr auto AboutBlank = QLatin1String("about:blank");

} // namespace

WindowSession::WindowSession(TfrmMain& window, WindowQuestions& questions, QString sessionFile,
                             QString argument, QList<LeftSession> left)
    : QObject(&window)
    , m_window(window)
    , m_questions(questions)
    , m_sessionFile(std::move(sessionFile))
    , m_argument(std::move(argument))
    , m_left(std::move(left))
{}

SessionState WindowSession::now() const
{
    SessionState state;
    const TBrowserTab* active = m_window.GetActivePage();
    const auto all = m_window.tabs();
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

void WindowSession::noteChange()
{
    if (m_keeper)
        m_keeper->noteChanged();
}

void WindowSession::openStartOrRestore()
{
    if (m_sessionFile.isEmpty()) {
        m_window.openStartPages(m_argument);
        return;
    }
    m_keeper = new SessionKeeper(
        m_sessionFile, [this] { return now(); }, this);
    connect(m_window.pages(), &TPVPageControl::pageMoved, this, &WindowSession::noteChange);
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
            restore = m_questions.askRestoreAfterRepeatedCrash(int(one.saved.tabs.size()));
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
                m_questions.tell(problem + then);
        });
    }
    if (restoring.isEmpty()) {
        m_window.openStartPages(m_argument);
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
            m_window.OpenPageGroup(m_argument, false, true);
        else if (TBrowserTab* tab = m_window.NewTab())
            tab->OpenAsHome(m_argument);
    }
    m_keeper->begin(true);

    // Said, not asked: the tabs are already there.
    auto* container = new QWidget(&m_window);
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new RestoredBar(int(m_restored.size()), container);
    layout->addWidget(bar);
    layout->addWidget(m_window.takeCentralWidget());
    m_window.setCentralWidget(container);
    connect(bar, &RestoredBar::startFreshRequested, this, &WindowSession::startFresh);
}

void WindowSession::restoreTabs(const QList<SessionState>& sessions)
{
    // Every tab waits, with its address and caption, until it is first shown; only the
    // active one (that of the first session) loads now. The strip's change handling (which
    // wakes a tab) is held back while they are made.
    m_window.holdTabChange(true);
    TBrowserTab* active = nullptr;
    for (const SessionState& saved : sessions) {
        for (int i = 0; i < saved.tabs.size(); ++i) {
            const SessionTab& entry = saved.tabs.at(i);
            TBrowserTab* tab = m_restored.isEmpty() ? m_window.GetActivePage() : m_window.NewTab();
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
        m_window.pages()->setActivePage(active);
    m_window.holdTabChange(false);
}

void WindowSession::startFresh()
{
    // The tabs brought back go, whatever their lock or Close All exemption. Other tabs (the
    // address given at this start, a hand-off, tabs the user opened) stay; when none is
    // left, the last restored tab is reset to a blank tab, which then opens the start pages.
    for (auto it = m_restored.crbegin(); it != m_restored.crend(); ++it) {
        if (TBrowserTab* tab = *it)
            tab->CloseTab();
    }
    const auto left = m_window.tabs();
    const bool othersLeft = std::any_of(
        left.cbegin(), left.cend(), [this](TBrowserTab* tab) { return !m_restored.contains(tab); });
    m_restored.clear();
    if (!othersLeft)
        // Not this start's address: when no tab is left, the user closed that one too.
        m_window.openAtEnd([this] { m_window.openStartPages(QString()); });
    noteChange();
}
