// Navigation: opening addresses for the rest of the program, what the address band commits,
// searching, work offline, Internet Options and full screen.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "app/InternetOptionsDialog.h"
#include "app/WindowQuestions.h"
#include "app/WindowSearch.h"
#include "bars/BarsControl.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "history/HistoryStore.h"
#include "platform/Registry.h"
#include "platform/web/EngineServices.h"
#include "platform/web/OfflineMode.h"
#include "settings/PVOptions.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QGuiApplication>
#include <QToolBar>

// --- The address band ------------------------------------------------------------------------

void TfrmMain::SetAutoCompleteStyle(int style)
{
    m_settings.autoCompleteStyle = m_addressBand->SetAutoCompleteStyle(style, m_ie4Mode);
}

void TfrmMain::LoadAddressCompletion()
{
    m_addressBand->LoadAddressCompletion(*m_options);
}

void TfrmMain::ClearAddresses()
{
    if (!m_questions->confirmClearAddresses())
        return;
    m_addressBand->clearTypedAddresses();
    const TBrowserTab* tab = GetActivePage();
    const QString location = tab ? tab->GetAddress() : QString();
    if (m_addressBand->box()->currentText() != location)
        ShowAddress(location);
}

void TfrmMain::commitAddress(const QString& typed)
{
    const QString text = m_search->addressForTyped(typed);
    TBrowserTab* tab = GetActivePage();
    // A locked tab keeps its page: what is typed there opens in a tab of its own, in front,
    // where it is remembered as typed when it starts.
    if (m_settings.addressNewWin || !tab || tab->Locked()) {
        // The new tab comes to the front, which lets go of what was typed: it is this tab's.
        const bool typed = m_addressBand->AddressTyped();
        tab = NewTab();
        m_addressBand->setAddressTyped(typed);
        tab->OpenAsHome(text);
    } else {
        tab->NavigateTo(text);
    }
    tab->FocusBrowser();
    tab->setFocusOnLoad(true);
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

// --- Commands --------------------------------------------------------------------------------

void TfrmMain::syncWorkOffline()
{
    action(ActionId::actWorkOffline)->setChecked(OfflineMode::isOffline(m_hive));
}

void TfrmMain::SetWorkOffline(bool offline)
{
    try {
        OfflineMode::setOffline(offline, m_hive);
    } catch (const RegistryError& error) {
        m_questions->tell(error.message());
    }
    syncWorkOffline();
}

void TfrmMain::ShowInternetOptions()
{
    const TBrowserTab* tab = GetActivePage();
    const QString historyFile = m_start.engine->historyFile();
    TfrmInternetOptions::Actions actions;
    actions.currentPage = tab ? tab->GetAddress() : QString();
    actions.clearHistory = [historyFile] {
        HistoryStore store(historyFile);
        return store.isOpen() && store.clear();
    };
    EngineServices* engine = m_start.engine;
    actions.clearCacheAndCookies = [engine] { engine->clearCacheAndCookies(); };
    TfrmInternetOptions dialog(m_hive, actions, this);
    if (dialog.exec() == QDialog::Accepted) {
        HistoryStore store(historyFile);
        if (store.isOpen())
            store.expire(dialog.values().daysToKeep);
    }
    // The dialog may have cleared the history even when cancelled.
    m_sideBar->historyOptionsChanged();
}

// --- Full screen -----------------------------------------------------------------------------

void TfrmMain::setFullScreen(bool on)
{
    QAction* fullScreenItem = action(ActionId::actFullScreen);
    if (on == m_fullScreen) {
        fullScreenItem->setChecked(on);
        return;
    }
    QAction* toolbarItem = action(ActionId::actViewToolbar);
    QAction* menuBarItem = action(ActionId::actViewMenuBar);
    if (on) {
        toolbarItem->setVisible(false);
        menuBarItem->setVisible(true);
        // The bands' own state, also before the window is first shown.
        m_beforeFullScreen.maximized = isMaximized();
        m_beforeFullScreen.geometry = QRect(pos(), size());
        m_beforeFullScreen.statusBarVisible = m_statusBar->isVisibleTo(this);
        m_beforeFullScreen.toolbarVisible = m_bars->isBandVisible(BarsControl::Band::Tool);
        m_bars->setBandVisible(BarsControl::Band::Tool, true);
        setUpdatesEnabled(false);
        m_statusBar->hide();
        setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                       Qt::WindowFullScreen);
        setUpdatesEnabled(true);
    } else {
        toolbarItem->setVisible(true);
        menuBarItem->setVisible(false);
        setUpdatesEnabled(false);
        m_statusBar->setVisible(m_beforeFullScreen.statusBarVisible);
        if (m_beforeFullScreen.maximized) {
            setWindowState(Qt::WindowMaximized);
        } else {
            setWindowState(Qt::WindowNoState);
            move(m_beforeFullScreen.geometry.topLeft());
            resize(m_beforeFullScreen.geometry.size());
        }
        m_bars->setBandVisible(BarsControl::Band::Menu, true);
        menuBarItem->setChecked(true);
        m_bars->setBandVisible(BarsControl::Band::Tool, m_beforeFullScreen.toolbarVisible);
        // Then every band as its View menu item says.
        ApplyBarVisibility();
        setUpdatesEnabled(true);
    }
    m_fullScreen = on;
    fullScreenItem->setChecked(on);
}
