// The tab set: creating, placing and activating tabs, opening page groups, the reports
// the tabs make and the Tabs menu.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/AddressPolicy.h"
#include "address/PVComboBox.h"
#include "app/Throbber.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/TabListing.h"
#include "browser/TabSleeper.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "browser/strip/StateIcons.h"
#include "commands/MainActions.h"
#include "platform/web/EngineServices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

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

void TfrmMain::forEachTab(const std::function<void(TBrowserTab*)>& action) const
{
    const auto all = tabs();
    for (TBrowserTab* tab : all)
        action(tab);
}

TBrowserTab* TfrmMain::createTab(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    auto* tab = new TBrowserTab(this, hidden);
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
    if (m_windowShown)
        tab->FocusBrowser();
}

// --- Reports --------------------------------------------------------------------------------

void TfrmMain::SetStatusText(const QString& text)
{
    m_statusBar->setText(text);
}

void TfrmMain::SetProgress(int progress, int maximum)
{
    m_statusBar->setProgress(progress, maximum);
}

void TfrmMain::resetProgress()
{
    m_statusBar->setProgressPosition(0);
}

void TfrmMain::SetBusy(bool busy)
{
    m_statusBar->setBusy(busy);
}

void TfrmMain::UpdateTabState()
{
    const TBrowserTab* tab = GetActivePage();
    m_statusBar->setSecure(tab && tab->Secure());
    m_throbber->setRunning(tab && tab->Busy());
}

void TfrmMain::UpdateBackForward()
{
    const TBrowserTab* tab = GetActivePage();
    action(ActionId::actGoBack)->setEnabled(tab && tab->CanGoBack());
    action(ActionId::actGoForward)->setEnabled(tab && tab->CanGoForward());
}

// --- BrowserTabHost --------------------------------------------------------------------------

WebBackend* TfrmMain::createWebBackend()
{
    return m_start.engine->createBackend();
}

bool TfrmMain::isActiveTab(const TBrowserTab* tab) const
{
    return tab && m_pcPage->activePage() == tab;
}

int TfrmMain::pageCount() const
{
    return m_pcPage->pageCount();
}

int TfrmMain::pageIndexOf(const TBrowserTab* tab) const
{
    return m_pcPage->pageIndex(const_cast<TBrowserTab*>(tab));
}

void TfrmMain::selectNextPage(const TBrowserTab* tab, bool forward)
{
    const int index = pageIndexOf(tab);
    if (index < 0)
        return;
    const int count = m_pcPage->pageCount();
    for (int step = 1; step < count; ++step) {
        const int candidate = (index + (forward ? step : -step) + count) % count;
        QWidget* page = m_pcPage->page(candidate);
        if (m_pcPage->isTabVisible(page)) {
            m_pcPage->setActivePage(page);
            return;
        }
    }
}

void TfrmMain::destroyTab(TBrowserTab* tab)
{
    m_pcPage->removePage(tab);
    tab->hide();
    tab->deleteLater();
    noteSessionChange();
}

// --- Tabs menu and the tab set as data ----------------------------------------------------------

void TfrmMain::rebuildTabsMenu()
{
    CloseHiddenTabs();
    TabListing::fillTabsMenu(menu(MenuId::Tabs), tabs(),
                             StateIcons::tabStateImages(devicePixelRatioF()),
                             [this](QAction* item) { MakeMeActiveTab(item); });
}

void TfrmMain::MakeMeActiveTab(QObject* sender)
{
    const int position = TabListing::positionOf(sender);
    if (position < 0 || position >= m_pcPage->pageCount())
        return;
    m_pcPage->setActivePageIndex(position);
    onTabChange();
}

QJsonArray TfrmMain::describeTabs() const
{
    return TabListing::describeTabs(tabs(), GetActivePage());
}

// --- Reports that the address band shows ------------------------------------------------------

void TfrmMain::ShowAddress(const QString& url)
{
    m_addressBand->ShowAddress(url);
}

void TfrmMain::RememberTypedAddress(const QString& url)
{
    m_addressBand->RememberTypedAddress(url);
}

// --- Page groups as tabs ------------------------------------------------------------------------

QList<PageGroupEntry> TfrmMain::shownTabs()
{
    const auto all = tabs();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (!(*it)->TabVisible()) {
            m_pcPage->removePage(*it);
            delete *it;
        }
    }
    QList<PageGroupEntry> shown;
    const auto remaining = tabs();
    for (const TBrowserTab* tab : remaining)
        shown.append({tab->StickyName(), tab->GetAddress(), tab->Locked()});
    return shown;
}

void TfrmMain::OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark)
{
    m_groups->OpenPageGroup(fileName, replaceTabs, startupMark);
}

void TfrmMain::openGroupEntries(const QList<PageGroupEntry>& groupEntries, bool replaceTabs,
                                bool startupMark)
{
    // Every entry gets a tab of its own, so only script addresses are left out.
    QList<PageGroupEntry> entries = groupEntries;
    entries.removeIf([](const PageGroupEntry& e) {
        return AddressPolicy::decide(AddressPolicy::Source::GroupEntry, e.address) ==
               AddressPolicy::Decision::Refuse;
    });
    if (entries.isEmpty())
        return;
    const bool placement = m_placeAtEnd;
    m_placeAtEnd = true;
    int first = 0;
    if (replaceTabs) {
        CloseAll();
        m_groupOpening = true;
        if (TBrowserTab* tab = GetActivePage()) {
            // The first entry's "*" is honoured like every other entry's: taken as
            // written, the tab would be sent to an address that starts with "*".
            const PageGroupEntry& entry = entries.first();
            if (!entry.stickyName.isEmpty())
                tab->SetStickyName(entry.stickyName);
            tab->setLockWhenLoaded(entry.locked);
            tab->OpenAsHome(entry.address);
        }
        first = 1;
    }
    m_groupOpening = true;
    for (qsizetype i = first; i < entries.size(); ++i) {
        const PageGroupEntry& entry = entries.at(i);
        TBrowserTab* tab = NewTab();
        if (startupMark)
            tab->SetStartupMark(true);
        if (!entry.stickyName.isEmpty())
            tab->SetStickyName(entry.stickyName);
        if (entry.locked)
            tab->setLockWhenLoaded(true);
        tab->OpenAsHome(entry.address);
    }
    m_groupOpening = false;
    m_placeAtEnd = placement;
}

void TfrmMain::SaveAsSorvelGroup()
{
    m_groups->SaveAsSorvelGroup();
}

void TfrmMain::AddTabToGroup(TBrowserTab* tab)
{
    if (tab)
        m_groups->AddTabToGroup({tab->StickyName(), tab->GetAddress(), tab->Locked()});
}
