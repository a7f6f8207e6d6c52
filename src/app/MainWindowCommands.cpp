// The window's commands: the actions behind the menus and buttons, connected to the window's
// operations, and the one table of what each command of the keyboard table runs (the keys, the
// menu items and the buttons bound to a command run the same).
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/window/AddressCommands.h"
#include "app/FocusedField.h"
#include "app/WindowHelp.h"
#include "app/WindowQuestions.h"
#include "browser/PopupControl.h"
#include "browser/TabClosing.h"
#include "search/window/SearchCommands.h"
#include "bars/BandPanel.h"
#include "bars/BarsControl.h"
#include "bars/MenuBand.h"
#include "bars/window/WindowBars.h"
#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "browser/window/TabMenu.h"
#include "commands/KeyTable.h"
#include "commands/MainActions.h"
#include "desktop/TrayControl.h"
#include "settings/ContentSwitchControl.h"
#include "blocking/FilterSubscriptions.h"
#include "settings/dialogs/ContentBlockingPage.h"
#include "settings/dialogs/Options.h"
#include "settings/window/InternetOptionsCommands.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>
#include <memory>

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

// A page's edit commands, named as the menu names them.
template<typename Page> void editPage(Page& page, Command command)
{
    switch (command) {
    case Command::Cut:
        return page.Cut();
    case Command::Copy:
        return page.Copy();
    case Command::Paste:
        return page.Paste();
    default:
        return page.SelectAll();
    }
}

// The work on the active tab, when there is one.
template<typename Work> std::function<void()> onActiveTab(const TabSet& tabs, Work work)
{
    return [&tabs, work] {
        if (TBrowserTab* tab = tabs.GetActivePage())
            work(tab);
    };
}

} // namespace

void TfrmMain::connectCommands()
{
    m_help = std::make_unique<WindowHelp>(
        *this, [this](const QString& address) { NewTab()->OpenAsHome(address); }, m_hive);
    const auto on = [this](ActionId id, auto slot) {
        connect(action(id), &QAction::triggered, this, slot);
    };
    const auto withTab = [this](auto work) { return onActiveTab(*m_tabs, work); };
    bindCommands();
    for (const ActionCommand& row : CommandBindings::actionCommands())
        on(row.action, [this, c = row.command] { runCommand(c); });

    on(ActionId::pmFileNewBlank, [this] { NewTab()->NavigateBlank(); });
    on(ActionId::actNewSearch, [this] { NewTab()->GoSearch(); });
    on(ActionId::actNewCurrent, [this] {
        const TBrowserTab* current = GetActivePage();
        const QString address = current ? current->GetAddress() : QString();
        NewTab()->OpenAsHome(address);
    });
    on(ActionId::actGoHome, withTab([](TBrowserTab* t) { t->GoHome(); }));
    on(ActionId::actGoSearch, [this] { m_search->GoSearch(); });
    on(ActionId::actPageSetup, withTab([](TBrowserTab* t) { t->PageSetup(); }));
    on(ActionId::actViewSource, withTab([](TBrowserTab* t) { t->ViewSource(); }));
    on(ActionId::actProperties, withTab([](TBrowserTab* t) { t->ShowProperties(); }));
    on(ActionId::actDeveloperTools, withTab([](TBrowserTab* t) {
           if (TSorvelBrowser* browser = t->Browser())
               browser->ShowDeveloperTools();
       }));
    on(ActionId::actSetMediumFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    on(ActionId::tbFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    for (int size = 0; size < int(std::size(TextSizes)); ++size) {
        on(TextSizes[size], [this, size] {
            if (TBrowserTab* tab = GetActivePage())
                tab->SetFontSize(size);
            updateTextSizeChecks();
        });
    }
    for (const auto& [id, direction] : {std::pair{ActionId::actZoomIn, 1},
                                        std::pair{ActionId::actZoomOut, -1},
                                        std::pair{ActionId::actZoomReset, 0}}) {
        on(id, withTab([direction](TBrowserTab* t) {
               if (TSorvelBrowser* browser = t->Browser())
                   browser->ZoomBy(direction);
           }));
    }
    connect(menu(MenuId::TextSize), &QMenu::aboutToShow, this, &TfrmMain::updateTextSizeChecks);
    // The switches are made after the commands; they are looked up when used.
    for (const SwitchItem& item : SwitchItems)
        on(item.action, [this, which = item.which] { contentSwitches()->toggle(which); });

    on(ActionId::actViewStatusBar, [this](bool visible) { statusBar()->setVisible(visible); });
    on(ActionId::actWorkOffline,
       [this](bool checked) { internetOptions()->SetWorkOffline(checked); });
    on(ActionId::actInternetOptions, [this] { internetOptions()->ShowInternetOptions(); });
    on(ActionId::mnuClearAddresses, [this] { addressCommands()->ClearAddresses(); });
    on(ActionId::actOptions, [this] { showOptions(); });
    on(ActionId::actOrganizeSorvelGroups,
       [this] { sideBar()->showPane(SideBar::Pane::SorvelGroups); });
    on(ActionId::actCloseAllKeepCurrent, [this] { m_closing->CloseAllKeepCurrent(); });
    on(ActionId::actCloseAllShowList, [this] { CloseAllShowList(); });
    on(ActionId::actAbout, [this] { m_help->showAbout(); });
    on(ActionId::actSupport, [this] { m_help->showSupport(); });
    on(ActionId::actExit, [this] { close(); });
    applyAltShortcuts();
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
    const ContentSwitchControl* switches = contentSwitches();
    for (const SwitchItem& item : SwitchItems)
        action(item.action)->setChecked(switches->isOn(item.which));
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

KeyDispatcher::Context TfrmMain::keyContext() const
{
    KeyDispatcher::Context context;
    context.altShortcutsDisabled = m_settings.disableAltShortcuts;
    const TBrowserTab* tab = GetActivePage();
    context.hasActiveTab = tab != nullptr;
    context.canGoBack = tab && tab->CanGoBack();
    context.canGoForward = tab && tab->CanGoForward();
    const SideBar* sideBar = m_sideBar;
    context.renameTreeFocused = sideBar && sideBar->renameTreeFocused();
    context.sideBarTreeFocused = sideBar && sideBar->treeFocused();
    const QWidget* focus = QApplication::focusWidget();
    context.tabStripFocused = focus && focus == pages()->tabStrip();
    return context;
}

void TfrmMain::bindCommands()
{
    const auto withTab = [this](auto work) { return onActiveTab(*m_tabs, work); };
    const auto eachTab = [this](auto work) {
        return [this, work] {
            const auto all = tabs();
            for (TBrowserTab* tab : all)
                work(tab);
        };
    };
    // The buttons show at once what a stop or a reload changed.
    const auto andShow = [this](auto work) {
        return [this, work] {
            work();
            UpdateTabState();
        };
    };
    const auto edit = [this](Command command) { return [this, command] { editCommand(command); }; };
    m_commandHandlers = {
        // Alt+Home always goes somewhere: the tab's own home, or the home page for a tab
        // that has none (one opened from a link).
        {Command::TabHome,
         withTab([](TBrowserTab* t) { t->HomeUrl().isEmpty() ? t->GoHome() : t->GoTabHome(); })},
        {Command::FocusAddress, [this] { focusAddressBox(Qt::ShortcutFocusReason); }},
        {Command::Back, withTab([](TBrowserTab* t) { t->GoBack(); })},
        {Command::Forward, withTab([](TBrowserTab* t) { t->GoForward(); })},
        // The walk passes hidden tabs by: windows still waiting for their address stay.
        {Command::NextTab, [this] { pages()->selectNextPage(true); }},
        {Command::PreviousTab, [this] { pages()->selectNextPage(false); }},
        {Command::Paste, edit(Command::Paste)},
        {Command::Cut, edit(Command::Cut)},
        {Command::Copy, edit(Command::Copy)},
        {Command::SelectAll, edit(Command::SelectAll)},
        {Command::Stop, andShow(withTab([](TBrowserTab* t) { t->Stop(); }))},
        {Command::StopAll, eachTab([](TBrowserTab* t) { t->Stop(); })},
        // A click on the button with Ctrl held also reloads completely.
        {Command::Refresh, andShow(withTab([](TBrowserTab* t) { t->Refresh(); }))},
        {Command::RefreshComplete, andShow(withTab([](TBrowserTab* t) { t->Refresh(true); }))},
        {Command::RefreshAll, eachTab([](TBrowserTab* t) { t->Refresh(); })},
        {Command::Find, withTab([](TBrowserTab* t) { t->Find(); })},
        {Command::Print, withTab([](TBrowserTab* t) { t->Print(); })},
        {Command::NewHome, [this] { NewTab()->GoHome(); }},
        {Command::NewBlank, [this] { newBlankFromAction(); }},
        {Command::NewPrivate,
         [this] {
             if (m_start.openPrivateWindow)
                 m_start.openPrivateWindow();
         }},
        {Command::Open, [this] { openFileDialog(); }},
        {Command::FollowNextLink, withTab([](TBrowserTab* t) { t->FollowNextLink(); })},
        {Command::TabSearch, withTab([](TBrowserTab* t) { t->GoSearch(); })},
        {Command::SaveAs, withTab([](TBrowserTab* t) { t->SaveAs(); })},
        {Command::Close, withTab([this](TBrowserTab* t) {
             if (!GroupOpening())
                 closePage(t);
         })},
        {Command::CloseAll, [this] { CloseAll(); }},
        {Command::AddToGroup, [this] { AddTabToGroup(GetActivePage()); }},
        {Command::SaveGroup, [this] { SaveAsSorvelGroup(); }},
        {Command::AddToPopupList, [this] { AddToPopupList(GetActivePage()); }},
        {Command::StickyName, withTab([](TBrowserTab* t) {
             if (t->StickyName().isEmpty())
                 t->PromptStickyName();
             else
                 t->SetStickyName(QString());
         })},
        {Command::FullScreen, [this] { setFullScreen(!FullScreen()); }},
        {Command::ToggleLock, withTab([](TBrowserTab* t) { t->SetLocked(!t->Locked()); })},
        {Command::ToggleForeground,
         [this] {
             TabSet* tabs = tabSet();
             tabs->setOpenNewInForeground(!tabs->OpenNewInForeground());
             action(ActionId::actForeground)->setChecked(tabs->OpenNewInForeground());
         }},
        {Command::HelpTopics, [this] { m_help->showHelpTopics(); }},
        {Command::TabMenu, [this] { tabMenu()->popupForActiveTab(); }},
    };
    for (const ActionCommand& row : CommandBindings::keyActions())
        m_commandHandlers.emplace_back(row.command,
                                       [this, id = row.action] { action(id)->trigger(); });
    for (const MenuCommand& row : CommandBindings::menuCommands()) {
        m_commandHandlers.emplace_back(row.command, [this, row] {
            if (row.command == Command::TabsMenu)
                rebuildTabsMenu();
            m_windowBars->menuBand()->dropDown(row.menu);
        });
    }
    // Every command a key gives has its work (None, Swallow and Focus have none).
    for (const KeyRow& row : KeyTable::rows())
        Q_ASSERT_X(handlesCommand(row.command), "bindCommands", "a key without its work");
    for (const AltLetter& letter : KeyTable::altLetters())
        Q_ASSERT_X(handlesCommand(letter.command), "bindCommands", "a key without its work");
}

bool TfrmMain::handlesCommand(Command command) const
{
    if (command == Command::None || command == Command::Swallow || command == Command::Focus)
        return true;
    return std::any_of(m_commandHandlers.begin(), m_commandHandlers.end(),
                       [command](const CommandHandler& h) { return h.first == command; });
}

void TfrmMain::runCommand(Command command)
{
    const auto handler =
        std::find_if(m_commandHandlers.begin(), m_commandHandlers.end(),
                     [command](const CommandHandler& h) { return h.first == command; });
    if (handler != m_commandHandlers.end())
        handler->second();
}

void TfrmMain::editCommand(Command command)
{
    // A field of the window's own (the address box, a find box, a field of a dialog inside
    // the page) edits its own text while it has the focus, and a dialog over the page is
    // never edited through; otherwise the page is.
    QWidget* focus = QApplication::focusWidget();
    if (FocusedField::edit(focus, command) || FocusedField::insideDialog(focus))
        return;
    // Next the search pane's page, when the user is working in it.
    if (TSorvelBrowser* search = m_search->browserInUse())
        return editPage(*search, command);
    if (TBrowserTab* tab = GetActivePage())
        editPage(*tab, command);
}

void TfrmMain::focusAddressBox(Qt::FocusReason reason)
{
    if (bars()->panel(BarsControl::Band::Address)->isVisible())
        addressBand()->focusBox(reason);
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
    focusAddressBox(Qt::OtherFocusReason);
}

void TfrmMain::openFileDialog()
{
    const QString file = m_questions->chooseFileToOpen();
    if (!file.isEmpty())
        OpenAddress(QUrl::fromLocalFile(file).toString(), true);
}

void TfrmMain::showOptions()
{
    {
        TfrmOptions dialog(m_hive, settings(), {IE4Mode(), tray()->trayAvailable()}, this);
        dialog.setFont(font());
        ContentBlockingPage* lists = dialog.blockingPage();
        if (m_subscriptions) {
            lists->setRefreshAvailable(true);
            connect(lists, &ContentBlockingPage::refreshRequested, m_subscriptions,
                    &FilterSubscriptions::refreshNow);
            connect(m_subscriptions, &FilterSubscriptions::outcome, lists,
                    [this, lists] { lists->updateStatus(FilterSubscriptionList(m_hive).read()); });
        }
        if (m_questions->runDialog(dialog) == QDialog::Accepted) {
            applySettings(dialog.settings());
            applyInactiveTabColors(dialog.tabColors());
            if (m_subscriptions)
                m_subscriptions->checkNow();
        }
    }
    // Whatever the answer: another copy may have changed them meanwhile.
    addressCommands()->LoadAddressCompletion();
    m_popups->ReloadPopupList();
}
