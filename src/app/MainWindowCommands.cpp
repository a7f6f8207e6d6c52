// Commands of the main window: the keyboard table's entries, the actions behind the menus
// and buttons, and opening addresses.
#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/MainActions.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

using Command = KeyDispatcher::Command;

void TfrmMain::connectActions()
{
    const auto on = [this](const char* name, auto slot) {
        connect(m_actions->get(name), &QAction::triggered, this, slot);
    };
    const auto command = [this, &on](const char* name, Command c) {
        on(name, [this, c] { runCommand(c); });
    };
    on("actNewBlank", [this] { newBlankFromAction(); });
    on("pmFileNewBlank", [this] { NewTab()->NavigateBlank(); });
    on("actNewHome", [this] { NewTab()->GoHome(); });
    on("actNewSearch", [this] { NewTab()->GoSearch(); });
    on("actNewCurrent", [this] {
        const TBrowserTab* current = GetActivePage();
        const QString address = current ? current->GetAddress() : QString();
        NewTab()->OpenAsHome(address);
    });
    command("actOpen", Command::Open);
    command("actClose", Command::Close);
    command("actCloseAll", Command::CloseAll);
    command("actGoBack", Command::Back);
    command("actGoForward", Command::Forward);
    on("actGoHome", [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->GoHome();
    });
    command("actTabHome", Command::TabHome);
    command("actViewStop", Command::Stop);
    command("actViewRefresh", Command::Refresh);
    command("actViewStopAll", Command::StopAll);
    command("actRefreshAll", Command::RefreshAll);
    command("actPreviousBrowserTab", Command::PreviousTab);
    command("actNextBrowserTab", Command::NextTab);
    command("actPrint", Command::Print);
    command("actSaveAs", Command::SaveAs);
    command("actCut", Command::Cut);
    command("actCopy", Command::Copy);
    command("actPaste", Command::Paste);
    command("actSelectAll", Command::SelectAll);
    command("actFind", Command::Find);
    command("actTabLocked", Command::ToggleLock);
    command("actStickyName", Command::StickyName);
    command("actFollowNextLink", Command::FollowNextLink);
    command("actForeground", Command::ToggleForeground);
    on("actFullScreen", [this] { toggleFullScreen(); });
    on("actPageSetup", [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->PageSetup();
    });
    on("actViewSource", [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->ViewSource();
    });
    on("actProperties", [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->ShowProperties();
    });
    on("actSetMediumFont", [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->SetFontSize(2);
    });
    const char* const bySize[] = {"actFontSmallest", "actFontSmaller", "actFontMedium",
                                  "actFontLarge", "actFontLargest"};
    for (int size = 0; size < 5; ++size) {
        on(bySize[size], [this, size] {
            if (TBrowserTab* tab = GetActivePage())
                tab->SetFontSize(size);
            updateTextSizeChecks();
        });
    }
    on("actViewToolbar", [this](bool on) { m_tbMain->setVisible(on); });
    on("actViewAddressBar", [this](bool on) { m_pnlAddress->setVisible(on); });
    on("actViewStatusBar", [this](bool on) { statusBar()->setVisible(on); });
    on("actViewMenuBar", [this](bool on) { m_tbMenu->setVisible(on); });
    on("actAbout", [this] { showAbout(); });
    on("actExit", [this] { close(); });
}

KeyDispatcher::Context TfrmMain::keyContext() const
{
    KeyDispatcher::Context context;
    context.altShortcutsDisabled = m_disableAltShortcuts;
    const TBrowserTab* tab = GetActivePage();
    context.hasActiveTab = tab != nullptr;
    context.canGoBack = tab && tab->CanGoBack();
    context.canGoForward = tab && tab->CanGoForward();
    return context;
}

void TfrmMain::runCommand(Command command)
{
    TBrowserTab* tab = GetActivePage();
    const auto withTab = [tab](auto&& work) {
        if (tab)
            work(tab);
    };
    switch (command) {
    case Command::None:
    case Command::Swallow:
        return;
    case Command::TabHome:
        return withTab([](TBrowserTab* t) { t->GoTabHome(); });
    case Command::FocusAddress:
        if (m_pnlAddress->isVisible()) {
            m_cboAddress->setFocus(Qt::ShortcutFocusReason);
            m_cboAddress->lineEdit()->selectAll();
        }
        return;
    case Command::TabsMenu:
        rebuildTabsMenu();
        return dropDownMenu(m_menuButtons.value(command));
    case Command::FileMenu:
    case Command::EditMenu:
    case Command::ViewMenu:
    case Command::GoMenu:
    case Command::FavoritesMenu:
    case Command::GroupsMenu:
    case Command::OptionsMenu:
    case Command::ToolsMenu:
    case Command::HelpMenu:
        return dropDownMenu(m_menuButtons.value(command));
    case Command::Back:
        return withTab([](TBrowserTab* t) { t->GoBack(); });
    case Command::Forward:
        return withTab([](TBrowserTab* t) { t->GoForward(); });
    case Command::NextTab:
    case Command::PreviousTab:
        CloseHiddenTabs();
        m_pcPage->selectNextPage(command == Command::NextTab);
        return;
    case Command::Paste:
    case Command::Cut:
    case Command::Copy:
    case Command::SelectAll:
        return editCommand(command);
    case Command::Stop:
        withTab([](TBrowserTab* t) { t->Stop(); });
        return UpdateTabState();
    case Command::StopAll:
        return forEachTab([](TBrowserTab* t) { t->Stop(); });
    case Command::Refresh: // a click on the button with Ctrl held also reloads completely
        withTab([](TBrowserTab* t) { t->Refresh(); });
        return UpdateTabState();
    case Command::RefreshComplete:
        withTab([](TBrowserTab* t) { t->Refresh(true); });
        return UpdateTabState();
    case Command::RefreshAll:
        return forEachTab([](TBrowserTab* t) { t->Refresh(); });
    case Command::Find:
        return withTab([](TBrowserTab* t) { t->Find(); });
    case Command::Print:
        return withTab([](TBrowserTab* t) { t->Print(); });
    case Command::NewHome:
        NewTab()->GoHome();
        return;
    case Command::NewBlank:
        return newBlankFromAction();
    case Command::Open:
        return openFileDialog();
    case Command::FollowNextLink:
        return withTab([](TBrowserTab* t) { t->FollowNextLink(); });
    case Command::TabSearch:
        return withTab([](TBrowserTab* t) { t->GoSearch(); });
    case Command::SaveAs:
        return withTab([](TBrowserTab* t) { t->SaveAs(); });
    case Command::Close:
        if (!m_groupOpening && tab)
            closePage(tab);
        return;
    case Command::CloseAll:
        return CloseAll();
    case Command::HelpTopics:
    case Command::ToggleSideBar:
        return; // these arrive with the side bar and pop-up commands
    case Command::AddToGroup:
        return AddTabToGroup(tab);
    case Command::SaveGroup:
        return SaveAsSorvelGroup();
    case Command::AddToPopupList:
        return AddToPopupList(tab);
    case Command::StickyName:
        return withTab([](TBrowserTab* t) {
            if (t->StickyName().isEmpty())
                t->PromptStickyName();
            else
                t->SetStickyName(QString());
        });
    case Command::FullScreen:
        return toggleFullScreen();
    case Command::ToggleLock:
        return withTab([](TBrowserTab* t) { t->SetLocked(!t->Locked()); });
    case Command::ToggleForeground:
        m_openNewInForeground = !m_openNewInForeground;
        m_actions->get("actForeground")->setChecked(m_openNewInForeground);
        return;
    }
}

void TfrmMain::editCommand(Command command)
{
    // The address box edits its own text while it has the focus; otherwise the page does.
    QLineEdit* edit = m_cboAddress->lineEdit();
    if (edit && edit->hasFocus()) {
        switch (command) {
        case Command::Cut:
            return edit->cut();
        case Command::Copy:
            return edit->copy();
        case Command::Paste:
            return edit->paste();
        default:
            return edit->selectAll();
        }
    }
    TBrowserTab* tab = GetActivePage();
    if (!tab)
        return;
    switch (command) {
    case Command::Cut:
        return tab->Cut();
    case Command::Copy:
        return tab->Copy();
    case Command::Paste:
        return tab->Paste();
    default:
        return tab->SelectAll();
    }
}

void TfrmMain::newBlankFromAction()
{
    const TBrowserTab* previous = GetActivePage();
    const QString previousAddress = previous ? previous->GetAddress() : QString();
    TBrowserTab* tab = NewTab();
    switch (m_newAction) {
    case 1:
        tab->NavigateTo(previousAddress);
        break;
    case 2:
        tab->GoHome();
        break;
    default:
        tab->NavigateBlank();
        break;
    }
    if (m_pnlAddress->isVisible()) {
        m_cboAddress->setFocus(Qt::OtherFocusReason);
        m_cboAddress->lineEdit()->selectAll();
    }
}

void TfrmMain::openFileDialog()
{
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                     QStringLiteral("Web Documents (*.htm *.html);;Any file (*)"));
    if (!file.isEmpty())
        OpenAddress(QUrl::fromLocalFile(file).toString(), true);
}

void TfrmMain::showAbout()
{
    TfrmSplash about(this);
    connect(&about, &TfrmSplash::linkClicked, this,
            [this](const QString& url) { NewTab()->OpenAsHome(url); });
    about.exec();
}
