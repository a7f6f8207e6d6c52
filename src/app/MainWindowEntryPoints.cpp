// The window's entry points whose work is done by one of its parts.
#include "app/MainWindow.h"

#include "app/WindowClosing.h"
#include "app/WindowGroupHost.h"
#include "app/WindowNavigation.h"
#include "app/WindowPlacement.h"
#include "app/WindowSession.h"
#include "browser/PopupControl.h"
#include "session/SessionKeeper.h"

// --- Closing ---

void TfrmMain::closePage(TBrowserTab* tab)
{
    m_closing->closePage(tab);
}

void TfrmMain::CloseAll()
{
    m_closing->CloseAll();
}

void TfrmMain::CloseAllKeepCurrent()
{
    m_closing->CloseAllKeepCurrent();
}

void TfrmMain::CloseAllShowList()
{
    m_closing->CloseAllShowList();
}

void TfrmMain::CloseHiddenTabs()
{
    m_closing->CloseHiddenTabs();
}

TBrowserTab* TfrmMain::PopupTab()
{
    return m_closing->PopupTab();
}

void TfrmMain::AddToPopupList(TBrowserTab* tab)
{
    m_closing->AddToPopupList(tab);
}

bool TfrmMain::IsPopupBlocked(const QString& url)
{
    return m_popups->IsPopupBlocked(url);
}

void TfrmMain::ReloadPopupList()
{
    m_popups->ReloadPopupList();
}

// --- Page groups ---

bool TfrmMain::GroupOpening() const
{
    return m_groupHost->opening();
}

// --- Session ---

SessionKeeper* TfrmMain::session() const
{
    return m_windowSession ? m_windowSession->keeper() : nullptr;
}

SessionState TfrmMain::sessionNow() const
{
    return m_windowSession->now();
}

void TfrmMain::noteSessionChange()
{
    if (m_windowSession)
        m_windowSession->noteChange();
}

// --- Navigation ---

void TfrmMain::SetAutoCompleteStyle(int style)
{
    m_navigation->SetAutoCompleteStyle(style);
}

void TfrmMain::LoadAddressCompletion()
{
    m_navigation->LoadAddressCompletion();
}

void TfrmMain::ClearAddresses()
{
    m_navigation->ClearAddresses();
}

void TfrmMain::GoSearch()
{
    m_navigation->GoSearch();
}

void TfrmMain::SetWorkOffline(bool offline)
{
    m_navigation->SetWorkOffline(offline);
}

void TfrmMain::ShowInternetOptions()
{
    m_navigation->ShowInternetOptions();
}

// --- Placement ---

bool TfrmMain::FullScreen() const
{
    return m_placement->fullScreen();
}

void TfrmMain::setFullScreen(bool on)
{
    m_placement->setFullScreen(on);
}
