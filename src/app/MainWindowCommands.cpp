// Commands of the main window: the actions behind the menus and buttons, and the keyboard
// table's entries.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "app/AboutBox.h"
#include "app/WindowQuestions.h"
#include "app/WindowSearch.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/strip/PVPageControl.h"
#include "commands/MainActions.h"
#include "desktop/TrayControl.h"
#include "settings/ContentSwitchControl.h"
#include "settings/dialogs/Options.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

using Command = KeyDispatcher::Command;
using Switch = ContentSwitchControl::Switch;

namespace {

// The text sizes, smallest first (the engine's 0 to 4).
constexpr ActionId TextSizes[] = {ActionId::actFontSmallest, ActionId::actFontSmaller,
                                  ActionId::actFontMedium, ActionId::actFontLarge,
                                  ActionId::actFontLargest};

struct SwitchItem
{
    ActionId action;
    Switch which;
};

constexpr SwitchItem SwitchItems[] = {
    {ActionId::pmOptionsLoadImages, Switch::Images},
    {ActionId::tbLoadImages, Switch::Images},
    {ActionId::pmOptionsLoadVideos, Switch::Videos},
    {ActionId::pmOptionsLoadSounds, Switch::Sounds},
    {ActionId::pmOptionsLoadAnimations, Switch::Animations},
};

} // namespace

void TfrmMain::connectActions()
{
    const auto on = [this](ActionId id, auto slot) {
        connect(action(id), &QAction::triggered, this, slot);
    };
    const auto withTab = [this](auto work) {
        return [this, work] {
            if (TBrowserTab* tab = GetActivePage())
                work(tab);
        };
    };
    for (const ActionCommand& row : CommandBindings::actionCommands())
        on(row.action, [this, c = row.command] { runCommand(c); });

    on(ActionId::actNewBlank, [this] { newBlankFromAction(); });
    on(ActionId::pmFileNewBlank, [this] { NewTab()->NavigateBlank(); });
    on(ActionId::actNewHome, [this] { NewTab()->GoHome(); });
    on(ActionId::actNewSearch, [this] { NewTab()->GoSearch(); });
    on(ActionId::actNewCurrent, [this] {
        const TBrowserTab* current = GetActivePage();
        const QString address = current ? current->GetAddress() : QString();
        NewTab()->OpenAsHome(address);
    });
    on(ActionId::actGoHome, withTab([](TBrowserTab* t) { t->GoHome(); }));
    on(ActionId::actGoSearch, [this] { GoSearch(); });
    on(ActionId::actPageSetup, withTab([](TBrowserTab* t) { t->PageSetup(); }));
    on(ActionId::actViewSource, withTab([](TBrowserTab* t) { t->ViewSource(); }));
    on(ActionId::actProperties, withTab([](TBrowserTab* t) { t->ShowProperties(); }));
    on(ActionId::actSetMediumFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    on(ActionId::tbFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    for (int size = 0; size < int(std::size(TextSizes)); ++size) {
        on(TextSizes[size], [this, size] {
            if (TBrowserTab* tab = GetActivePage())
                tab->SetFontSize(size);
            updateTextSizeChecks();
        });
    }
    for (const SwitchItem& item : SwitchItems)
        on(item.action, [this, which = item.which] { m_content->toggle(which); });

    on(ActionId::actViewStatusBar, [this](bool visible) { statusBar()->setVisible(visible); });
    on(ActionId::actWorkOffline, [this](bool checked) { SetWorkOffline(checked); });
    on(ActionId::actInternetOptions, [this] { ShowInternetOptions(); });
    on(ActionId::mnuClearAddresses, [this] { ClearAddresses(); });
    on(ActionId::actOptions, [this] { ShowOptions(); });
    on(ActionId::actOrganizeSorvelGroups,
       [this] { m_sideBar->showPane(SideBar::Pane::SorvelGroups); });
    on(ActionId::actCloseAllKeepCurrent, [this] { CloseAllKeepCurrent(); });
    on(ActionId::actCloseAllShowList, [this] { CloseAllShowList(); });
    on(ActionId::actAbout, [this] { showAbout(); });
    on(ActionId::actHelpTopics, [this] { showHelpTopics(); });
    on(ActionId::actSupport, [this] { showSupport(); });
    on(ActionId::actExit, [this] { close(); });
}

void TfrmMain::applyAltShortcuts()
{
    // With the Alt keys left to the page, the actions' own Alt shortcuts must not fire
    // either; the keyboard table already leaves them alone.
    for (const ActionRow* row = ActionTable::begin(); row != ActionTable::end(); ++row) {
        const QKeySequence designed(QString::fromLatin1(row->shortcut));
        if (designed.isEmpty() || !(designed[0].keyboardModifiers() & Qt::AltModifier))
            continue;
        action(row->id)->setShortcut(m_settings.disableAltShortcuts ? QKeySequence() : designed);
    }
}

void TfrmMain::showContentSwitches()
{
    for (const SwitchItem& item : SwitchItems)
        action(item.action)->setChecked(m_content->isOn(item.which));
}

void TfrmMain::updateTextSizeChecks()
{
    for (ActionId id : TextSizes)
        action(id)->setChecked(false);
    if (TBrowserTab* tab = GetActivePage()) {
        const int size = tab->GetFontSize();
        if (size >= 0 && size < int(std::size(TextSizes)))
            action(TextSizes[size])->setChecked(true);
    }
}

void TfrmMain::dropDownMenu(MenuId id)
{
    m_tbMenu->dropDown(id);
}

QMenu* TfrmMain::closeAllButtonMenu() const
{
    return m_tbMenu->closeAllMenu();
}

KeyDispatcher::Context TfrmMain::keyContext() const
{
    KeyDispatcher::Context context;
    context.altShortcutsDisabled = m_settings.disableAltShortcuts;
    const TBrowserTab* tab = GetActivePage();
    context.hasActiveTab = tab != nullptr;
    context.canGoBack = tab && tab->CanGoBack();
    context.canGoForward = tab && tab->CanGoForward();
    context.favoritesTreeFocused = m_sideBar && m_sideBar->favoritesTreeFocused();
    return context;
}

void TfrmMain::runCommand(Command command)
{
    for (const MenuCommand& row : CommandBindings::menuCommands()) {
        if (row.command == command) {
            if (command == Command::TabsMenu)
                rebuildTabsMenu();
            return dropDownMenu(row.menu);
        }
    }
    TBrowserTab* tab = GetActivePage();
    const auto withTab = [tab](auto&& work) {
        if (tab)
            work(tab);
    };
    switch (command) {
    case Command::TabHome:
        // Alt+Home always goes somewhere: the tab's own home, or the home page for a tab
        // that has none (one opened from a link).
        return withTab(
            [](TBrowserTab* t) { t->HomeUrl().isEmpty() ? t->GoHome() : t->GoTabHome(); });
    case Command::FocusAddress:
        if (m_pnlAddress->isVisible())
            m_addressBand->focusBox(Qt::ShortcutFocusReason);
        return;
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
        if (!GroupOpening() && tab)
            closePage(tab);
        return;
    case Command::CloseAll:
        return CloseAll();
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
        return setFullScreen(!FullScreen());
    case Command::ToggleLock:
        return withTab([](TBrowserTab* t) { t->SetLocked(!t->Locked()); });
    case Command::ToggleForeground:
        m_settings.openNewInForeground = !m_settings.openNewInForeground;
        action(ActionId::actForeground)->setChecked(m_settings.openNewInForeground);
        return;
    case Command::ToggleSideBar:
        action(ActionId::actViewSorvelBar)->trigger();
        return;
    case Command::HelpTopics:
        return showHelpTopics();
    default:
        return; // None, Swallow, and the menus above
    }
}

void TfrmMain::editCommand(Command command)
{
    // The address box edits its own text while it has the focus; otherwise the page does.
    QLineEdit* edit = m_addressBand->box()->lineEdit();
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
    // Next the search pane's page, when the user is working in it.
    if (TSorvelBrowser* search = m_search->browserInUse()) {
        switch (command) {
        case Command::Cut:
            return search->Cut();
        case Command::Copy:
            return search->Copy();
        case Command::Paste:
            return search->Paste();
        default:
            return search->SelectAll();
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
    switch (m_settings.newAction) {
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
    if (m_pnlAddress->isVisible())
        m_addressBand->focusBox(Qt::OtherFocusReason);
}

void TfrmMain::openFileDialog()
{
    const QString file = m_questions->chooseFileToOpen();
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

void TfrmMain::ShowOptions()
{
    {
        TfrmOptions dialog(m_hive, settings(), {m_ie4Mode, m_tray->trayAvailable()}, this);
        dialog.setFont(font());
        if (m_questions->runDialog(dialog) == QDialog::Accepted) {
            applySettings(dialog.settings());
            const auto colors = dialog.tabColors();
            m_pcPage->SetInactiveTabColor(colors.tab);
            m_pcPage->SetInactiveFontColor(colors.font);
        }
    }
    // Whatever the answer: another copy may have changed them meanwhile.
    LoadAddressCompletion();
    ReloadPopupList();
}
