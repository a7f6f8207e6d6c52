// The tab set: creating, placing and activating tabs, opening addresses and page groups in
// them, the active tab's state in the window and the Tabs menu.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/NavigationRules.h"
#include "app/Throbber.h"
#include "app/WindowBars.h"
#include "app/WindowTabHost.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/TabListing.h"
#include "browser/TabSleeper.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "browser/strip/StateIcons.h"
#include "commands/MainActions.h"
#include "groups/SorvelGroupCommands.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>

TBrowserTab* TfrmMain::GetActivePage() const
{
    return qobject_cast<TBrowserTab*>(m_pcPage->activePage());
}

QList<TBrowserTab*> TfrmMain::tabs() const
{
    QList<TBrowserTab*> result;
    for (int i = 0; i < m_pcPage->pageCount(); ++i) {
        if (auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->page(i)))
            result << tab;
    }
    return result;
}

TBrowserTab* TfrmMain::createTab(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    auto* tab = new TBrowserTab(m_tabHost, hidden);
    connect(tab, &TBrowserTab::appearanceChanged, this, [this, tab] { syncAppearance(tab); });
    connect(tab, &TBrowserTab::stateChanged, this, &TfrmMain::noteSessionChange);
    connect(tab->Browser(), &TSorvelBrowser::addToFavoritesRequested, this,
            &TfrmMain::AddToFavorites);
    m_pcPage->addPage(tab, tab->Caption());
    syncAppearance(tab);
    placeNewTab(tab, previous);
    // A new tab becomes the active page, unless it is a window not yet classified: that
    // one has no tab to show and must not take the place of the page the user sees.
    if (!hidden || !previous)
        m_pcPage->setActivePage(tab);
    return tab;
}

void TfrmMain::placeNewTab(TBrowserTab* tab, TBrowserTab* previous)
{
    if (m_placeAtEnd)
        return;
    const int after = previous ? m_pcPage->pageIndex(previous) + 1 : 0;
    m_pcPage->setPageIndex(tab, after);
}

void TfrmMain::syncAppearance(TBrowserTab* tab)
{
    if (m_pcPage->pageIndex(tab) < 0)
        return;
    m_pcPage->setPageCaption(tab, tab->Caption());
    m_pcPage->setPageHint(tab, tab->Hint());
    m_pcPage->setPageImageIndex(tab, tab->ImageIndex());
    m_pcPage->setTabVisible(tab, tab->TabVisible());
}

TBrowserTab* TfrmMain::NewTab()
{
    return createTab(false);
}

TBrowserTab* TfrmMain::NewTabBackground(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    QPointer<TBrowserTab> tab;
    {
        m_suspendTabChange = true;
        m_pcPage->setUpdatesEnabled(false);
        tab = createTab(hidden);
        if (!m_settings.openNewInForeground && previous)
            m_pcPage->setActivePage(previous);
        m_pcPage->setUpdatesEnabled(true);
        m_suspendTabChange = false;
    }
    if (GetActivePage() != previous)
        onTabChange();
    if (hidden)
        m_popups->pendingWindowOpened();
    // No event loop runs here: this is called from inside the engine's create-window call,
    // where a sweep of hidden tabs or a Close All run from the loop could delete the very
    // page that asked.
    return tab && m_pcPage->pageIndex(tab) >= 0 ? tab.data() : nullptr;
}

void TfrmMain::onTabChange()
{
    TBrowserTab* tab = GetActivePage();
    if (!tab)
        return;
    noteSessionChange();
    // A tab that waited loads when it is first shown; one that slept comes back.
    TabSleeper::wake(tab);
    tab->Wake();
    if (!tab->Busy())
        tab->SetViewed(true);
    // The tab left behind may now show the "finished, not seen" mark again.
    if (m_lastActive && m_lastActive != tab) {
        syncAppearance(m_lastActive);
        m_lastActive->noteUsed(); // seen until now
    }
    m_lastActive = tab;
    UpdateTabState();
    UpdateBackForward();
    m_addressBand->showPageAddress(tab->GetAddress());
    m_statusBar->setPanelText(3, QString());
    m_statusBar->setBusy(false);
    m_statusBar->setText(QString());
    // A keyboard user walking the strip with the arrows stays on it.
    if (m_windowShown && QApplication::focusWidget() != m_pcPage->tabStrip())
        tab->FocusBrowser();
}

void TfrmMain::holdTabChange(bool held)
{
    m_suspendTabChange = held;
    if (!held)
        onTabChange();
}

void TfrmMain::openAtEnd(const std::function<void()>& open)
{
    const bool placement = m_placeAtEnd;
    m_placeAtEnd = true;
    open();
    m_placeAtEnd = placement;
}

// --- Opening addresses -----------------------------------------------------------------------

void TfrmMain::OpenAddress(const QString& address, bool newTab)
{
    OpenAddress(address, newTab,
                QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
}

void TfrmMain::OpenAddress(const QString& address, bool newTab, bool shiftHeld)
{
    if (address.isEmpty())
        return;
    TBrowserTab* active = GetActivePage();
    using NavigationRules::OpenTarget;
    switch (NavigationRules::ChooseOpenTarget(newTab, shiftHeld, active != nullptr,
                                              active ? active->GetAddress() : QString(),
                                              active && active->Busy())) {
    case OpenTarget::ActiveTab:
        active->NavigateTo(address);
        return;
    case OpenTarget::ReuseBlankTab:
        active->OpenAsHome(address);
        return;
    case OpenTarget::NewTab:
        NewTab()->OpenAsHome(address);
        return;
    }
}

// --- The active tab's state ------------------------------------------------------------------

void TfrmMain::SetStatusText(const QString& text)
{
    m_statusBar->setText(text);
}

void TfrmMain::UpdateTabState()
{
    const TBrowserTab* tab = GetActivePage();
    m_statusBar->setSecure(tab && tab->Secure());
    m_windowBars->throbber()->setRunning(tab && tab->Busy());
}

void TfrmMain::UpdateBackForward()
{
    const TBrowserTab* tab = GetActivePage();
    action(ActionId::actGoBack)->setEnabled(tab && tab->CanGoBack());
    action(ActionId::actGoForward)->setEnabled(tab && tab->CanGoForward());
}

// --- Tabs menu and the tab set as data ----------------------------------------------------------

void TfrmMain::popupTabMenu(int tabIndex, const QPoint& globalPos)
{
    m_popupTabIndex = tabIndex;
    m_pmTab->popup(globalPos);
}

void TfrmMain::popupTabMenuForActiveTab()
{
    const int tabIndex = m_pcPage->activeTabIndex();
    const QRect tab = m_pcPage->tabRect(tabIndex);
    if (tab.isNull())
        return;
    // Beside the tab, on the side of the pages: below tabs on top, above tabs at the bottom.
    const bool onTop = m_pcPage->tabPosition() == TPVPageControl::Side::Top;
    QWidget* strip = m_pcPage->tabStrip();
    const QPoint at =
        onTop ? strip->mapToGlobal(tab.bottomLeft())
              : strip->mapToGlobal(tab.topLeft()) - QPoint(0, m_pmTab->sizeHint().height());
    popupTabMenu(tabIndex, at);
}

void TfrmMain::rebuildTabsMenu()
{
    CloseHiddenTabs();
    TabListing::fillTabsMenu(menu(MenuId::Tabs), tabs(),
                             StateIcons::tabStateImages(devicePixelRatioF()),
                             [this](QAction* item) { MakeMeActiveTab(item); });
}

void TfrmMain::MakeMeActiveTab(QObject* sender)
{
    TBrowserTab* tab = TabListing::tabOf(sender);
    if (!tab || m_pcPage->pageIndex(tab) < 0)
        return;
    m_pcPage->setActivePage(tab);
    onTabChange();
}

QJsonArray TfrmMain::describeTabs() const
{
    return TabListing::describeTabs(tabs(), GetActivePage());
}

// --- Page groups as tabs ------------------------------------------------------------------------

void TfrmMain::AddTabToGroup(TBrowserTab* tab)
{
    if (tab)
        m_groups->AddTabToGroup({tab->StickyName(), tab->GetAddress(), tab->Locked()});
}
