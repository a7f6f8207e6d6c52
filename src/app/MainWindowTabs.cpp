// The tab set in the window: what the active tab reports goes to the bars, and the window's
// named tab operations hand over to the set.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "bars/Throbber.h"
#include "bars/window/WindowBars.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "groups/SorvelGroupCommands.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>

void TfrmMain::wireTabSet()
{
    TabSet* tabs = m_tabs;
    connect(tabs, &TabSet::statusText, this, &TfrmMain::SetStatusText);
    connect(tabs, &TabSet::progress, m_statusBar, &TPVStatusBar::setProgress);
    connect(tabs, &TabSet::progressEnded, m_statusBar,
            [bar = m_statusBar] { bar->setProgressPosition(0); });
    connect(tabs, &TabSet::busy, m_statusBar, &TPVStatusBar::setBusy);
    connect(tabs, &TabSet::indicatorsChanged, this, &TfrmMain::UpdateTabState);
    connect(tabs, &TabSet::backForwardChanged, this, &TfrmMain::UpdateBackForward);
    connect(tabs, &TabSet::addressShown, m_addressBand, &AddressBand::ShowAddress);
    connect(tabs, &TabSet::addressTyped, m_addressBand, &AddressBand::RememberTypedAddress);
    connect(tabs, &TabSet::activeTabChanged, this, &TfrmMain::onActiveTabChanged);
    connect(tabs, &TabSet::changed, this, &TfrmMain::noteSessionChange);
}

void TfrmMain::onActiveTabChanged(TBrowserTab* tab)
{
    UpdateTabState();
    UpdateBackForward();
    m_addressBand->showPageAddress(tab->GetAddress());
    m_statusBar->setPanelText(3, QString());
    m_statusBar->setBusy(false);
    m_statusBar->setText(QString());
}

TBrowserTab* TfrmMain::GetActivePage() const
{
    return m_tabs->GetActivePage();
}

QList<TBrowserTab*> TfrmMain::tabs() const
{
    return m_tabs->tabs();
}

TBrowserTab* TfrmMain::NewTab()
{
    return m_tabs->NewTab();
}

TBrowserTab* TfrmMain::NewTabBackground(bool hidden)
{
    return m_tabs->NewTabBackground(hidden);
}

void TfrmMain::holdTabChange(bool held)
{
    m_tabs->holdTabChange(held);
}

void TfrmMain::openAtEnd(const std::function<void()>& open)
{
    m_tabs->openAtEnd(open);
}

void TfrmMain::OpenAddress(const QString& address, bool newTab)
{
    OpenAddress(address, newTab,
                QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
}

void TfrmMain::OpenAddress(const QString& address, bool newTab, bool shiftHeld)
{
    m_tabs->OpenAddress(address, newTab, shiftHeld);
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

void TfrmMain::rebuildTabsMenu()
{
    m_tabs->fillTabsMenu(menu(MenuId::Tabs));
}

QJsonArray TfrmMain::describeTabs() const
{
    return m_tabs->describeTabs();
}

// --- Page groups as tabs ------------------------------------------------------------------------

void TfrmMain::AddTabToGroup(TBrowserTab* tab)
{
    if (tab)
        m_groups->AddTabToGroup({tab->StickyName(), tab->GetAddress(), tab->Locked()});
}
