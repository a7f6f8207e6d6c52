// The window's named operations whose work is done by its parts: each hands over to the
// part that owns the concern.
#include "app/MainWindow.h"

#include "browser/BrowserTab.h"
#include "browser/TabClosing.h"
#include "browser/TabSet.h"
#include "groups/window/GroupTabs.h"
#include "app/WindowPlacement.h"
#include "search/window/SearchCommands.h"
#include "session/window/SessionTabs.h"
#include "session/window/WindowHandOff.h"
#include "bars/BarsControl.h"
#include "bars/window/WindowBars.h"
#include "browser/PopupControl.h"
#include "session/SessionKeeper.h"

// One line each: the list reads as a table of which part does what.
// clang-format off
// --- Closing ---

void TfrmMain::closePage(TBrowserTab* tab) { m_tabs->closePage(tab); }
void TfrmMain::CloseAll() { m_closing->CloseAll(); }
void TfrmMain::CloseAllShowList() { m_closing->CloseAllShowList(); }
void TfrmMain::CloseHiddenTabs() { m_tabs->CloseHiddenTabs(); }
void TfrmMain::AddToPopupList(TBrowserTab* tab) { if (tab) tab->AddToPopupList(); }
bool TfrmMain::IsPopupBlocked(const QString& url) { return m_popups->IsPopupBlocked(url); }

// --- Page groups ---

void TfrmMain::OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark)
{ m_groups->OpenPageGroup(fileName, replaceTabs, startupMark); }
void TfrmMain::SaveAsSorvelGroup() { m_groups->SaveAsSorvelGroup(); }
bool TfrmMain::GroupOpening() const { return m_groupTabs->opening(); }

// --- Session ---

SessionKeeper* TfrmMain::session() const { return m_session ? m_session->keeper() : nullptr; }

SessionState TfrmMain::sessionNow() const { return m_session->now(); }

void TfrmMain::noteSessionChange()
{
    if (m_session)
        m_session->noteChange();
}

// --- Placement ---

bool TfrmMain::FullScreen() const { return m_placement->fullScreen(); }

void TfrmMain::setFullScreen(bool on) { m_placement->setFullScreen(on); }

// --- Bars ---

MainToolbar* TfrmMain::toolbar() const { return m_windowBars->toolbar(); }
BarsControl* TfrmMain::bars() const { return m_windowBars->controls(); }

// --- Hand-off ---

void TfrmMain::acceptHandOff(const HandOff::Parcel& parcel) { m_handOff->accept(parcel); }
// clang-format on
