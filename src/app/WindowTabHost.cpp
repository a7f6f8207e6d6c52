#include "app/WindowTabHost.h"

#include "address/AddressBand.h"
#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "platform/web/EngineServices.h"

#include <QPointer>
#include <QTimer>

WindowTabHost::WindowTabHost(TfrmMain& window, RegistryHive& hive, EngineServices& engine,
                             WindowQuestions& questions)
    : QObject(&window)
    , m_window(window)
    , m_hive(hive)
    , m_engine(engine)
    , m_questions(questions)
{}

WebBackend* WindowTabHost::createWebBackend()
{
    return m_engine.createBackend();
}

bool WindowTabHost::isActiveTab(const TBrowserTab* tab) const
{
    return tab && m_window.pages()->activePage() == tab;
}

int WindowTabHost::LimitTitleLength() const
{
    return m_window.LimitTitleLength();
}

std::optional<QString> WindowTabHost::askStickyName()
{
    return m_questions.askStickyName();
}

bool WindowTabHost::WindowShown() const
{
    return m_window.WindowShown();
}

// --- Reports ---------------------------------------------------------------------------------

void WindowTabHost::SetStatusText(const QString& text)
{
    m_window.SetStatusText(text);
}

void WindowTabHost::SetProgress(int progress, int maximum)
{
    m_window.statusPanel()->setProgress(progress, maximum);
}

void WindowTabHost::resetProgress()
{
    m_window.statusPanel()->setProgressPosition(0);
}

void WindowTabHost::SetBusy(bool busy)
{
    m_window.statusPanel()->setBusy(busy);
}

void WindowTabHost::UpdateTabState()
{
    m_window.UpdateTabState();
}

void WindowTabHost::UpdateBackForward()
{
    m_window.UpdateBackForward();
}

void WindowTabHost::ShowAddress(const QString& url)
{
    m_window.addressBand()->ShowAddress(url);
}

void WindowTabHost::RememberTypedAddress(const QString& url)
{
    m_window.addressBand()->RememberTypedAddress(url);
}

// --- New windows -----------------------------------------------------------------------------

TBrowserTab* WindowTabHost::NewTabBackground(bool hidden)
{
    return m_window.NewTabBackground(hidden);
}

bool WindowTabHost::IsPopupBlocked(const QString& url)
{
    return m_window.popups()->IsPopupBlocked(url);
}

void WindowTabHost::recordPopupAddress(const QString& address)
{
    m_window.popups()->addToList(address);
}

void WindowTabHost::ScheduleCloseHiddenTabs()
{
    m_window.popups()->ScheduleCloseHiddenTabs();
}

void WindowTabHost::PopupsRefused(TBrowserTab* opener)
{
    SetStatusText(PopupControl::refusedText(opener ? opener->GetAddress() : QString()));
    // Windows that never ask for an address wait hidden; let them go in a while so the
    // page may open others later.
    ScheduleCloseHiddenTabs();
}

bool WindowTabHost::takeUnaskedWindow()
{
    PopupControl* popups = m_window.popups();
    if (popups->takeUnaskedWindow())
        return true;
    if (popups->firstRefusal()) {
        SetStatusText(PopupControl::budgetSpentText());
        ScheduleCloseHiddenTabs();
    }
    return false;
}

void WindowTabHost::noteUserInput()
{
    m_window.popups()->noteUserInput();
}

bool WindowTabHost::OpenNewInForeground() const
{
    return m_window.OpenNewInForeground();
}

void WindowTabHost::BringPopupToFront(TBrowserTab* tab)
{
    // Not from inside the engine's navigation callback: activating runs the tab change,
    // which moves the focus into the page.
    const QPointer<TBrowserTab> shown(tab);
    TPVPageControl* pages = m_window.pages();
    QTimer::singleShot(0, pages, [pages, shown] {
        if (shown && shown->TabVisible() && pages->pageIndex(shown) >= 0)
            pages->setActivePage(shown);
    });
}

// --- The strip -------------------------------------------------------------------------------

int WindowTabHost::pageCount() const
{
    return m_window.pages()->pageCount();
}

int WindowTabHost::pageIndexOf(const TBrowserTab* tab) const
{
    return m_window.pages()->pageIndex(const_cast<TBrowserTab*>(tab));
}

void WindowTabHost::selectNextPage(const TBrowserTab* tab, bool forward)
{
    TPVPageControl* pages = m_window.pages();
    const int index = pageIndexOf(tab);
    if (index < 0)
        return;
    const int count = pages->pageCount();
    for (int step = 1; step < count; ++step) {
        const int candidate = (index + (forward ? step : -step) + count) % count;
        QWidget* page = pages->page(candidate);
        if (pages->isTabVisible(page)) {
            pages->setActivePage(page);
            return;
        }
    }
}

void WindowTabHost::destroyTab(TBrowserTab* tab)
{
    m_window.pages()->removePage(tab);
    tab->hide();
    tab->deleteLater();
    m_window.noteSessionChange();
}

int WindowTabHost::tabCount() const
{
    return m_window.pages()->tabCount();
}

void WindowTabHost::CloseHiddenTabs()
{
    m_window.CloseHiddenTabs();
}
