#include "app/WindowCommands.h"

#include "address/AddressBand.h"
#include "app/FocusedField.h"
#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "address/window/AddressCommands.h"
#include "app/WindowSearch.h"
#include "settings/window/InternetOptionsCommands.h"
#include "bars/BandPanel.h"
#include "bars/BarsControl.h"
#include "bars/MenuBand.h"
#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "browser/TabSet.h"
#include "browser/window/TabMenu.h"
#include "browser/strip/PVPageControl.h"
#include "commands/MainActions.h"
#include "desktop/TrayControl.h"
#include "settings/ContentSwitchControl.h"
#include "settings/dialogs/Options.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusBar>
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

} // namespace

WindowCommands::WindowCommands(TfrmMain& window, WindowSettings& settings,
                               WindowQuestions& questions, RegistryHive& hive, MenuBand& menuBand)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
    , m_questions(questions)
    , m_hive(hive)
    , m_menuBand(menuBand)
    , m_help(window, hive)
{
    const auto on = [this](ActionId id, auto slot) {
        connect(m_window.action(id), &QAction::triggered, this, slot);
    };
    const auto withTab = [this](auto work) {
        return [this, work] {
            if (TBrowserTab* tab = m_window.GetActivePage())
                work(tab);
        };
    };
    for (const ActionCommand& row : CommandBindings::actionCommands())
        on(row.action, [this, c = row.command] { m_window.runCommand(c); });

    on(ActionId::actNewBlank, [this] { newBlankFromAction(); });
    on(ActionId::pmFileNewBlank, [this] { m_window.NewTab()->NavigateBlank(); });
    on(ActionId::actNewHome, [this] { m_window.NewTab()->GoHome(); });
    on(ActionId::actNewSearch, [this] { m_window.NewTab()->GoSearch(); });
    on(ActionId::actNewCurrent, [this] {
        const TBrowserTab* current = m_window.GetActivePage();
        const QString address = current ? current->GetAddress() : QString();
        m_window.NewTab()->OpenAsHome(address);
    });
    on(ActionId::actGoHome, withTab([](TBrowserTab* t) { t->GoHome(); }));
    on(ActionId::actGoSearch, [this] { m_window.GoSearch(); });
    on(ActionId::actPageSetup, withTab([](TBrowserTab* t) { t->PageSetup(); }));
    on(ActionId::actViewSource, withTab([](TBrowserTab* t) { t->ViewSource(); }));
    on(ActionId::actProperties, withTab([](TBrowserTab* t) { t->ShowProperties(); }));
    on(ActionId::actSetMediumFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    on(ActionId::tbFont, withTab([](TBrowserTab* t) { t->SetFontSize(2); }));
    for (int size = 0; size < int(std::size(TextSizes)); ++size) {
        on(TextSizes[size], [this, size] {
            if (TBrowserTab* tab = m_window.GetActivePage())
                tab->SetFontSize(size);
            updateTextSizeChecks();
        });
    }
    connect(m_window.menu(MenuId::TextSize), &QMenu::aboutToShow, this,
            &WindowCommands::updateTextSizeChecks);
    // The switches are made after the commands; they are looked up when used.
    for (const SwitchItem& item : SwitchItems)
        on(item.action, [this, which = item.which] { m_window.contentSwitches()->toggle(which); });

    on(ActionId::actViewStatusBar,
       [this](bool visible) { m_window.statusBar()->setVisible(visible); });
    on(ActionId::actWorkOffline,
       [this](bool checked) { m_window.internetOptions()->SetWorkOffline(checked); });
    on(ActionId::actInternetOptions, [this] { m_window.internetOptions()->ShowInternetOptions(); });
    on(ActionId::mnuClearAddresses, [this] { m_window.addressCommands()->ClearAddresses(); });
    on(ActionId::actOptions, [this] { showOptions(); });
    on(ActionId::actOrganizeSorvelGroups,
       [this] { m_window.sideBar()->showPane(SideBar::Pane::SorvelGroups); });
    on(ActionId::actCloseAllKeepCurrent, [this] { m_window.CloseAllKeepCurrent(); });
    on(ActionId::actCloseAllShowList, [this] { m_window.CloseAllShowList(); });
    on(ActionId::actAbout, [this] { m_help.showAbout(); });
    on(ActionId::actHelpTopics, [this] { m_help.showHelpTopics(); });
    on(ActionId::actSupport, [this] { m_help.showSupport(); });
    on(ActionId::actExit, [this] { m_window.close(); });
    applyAltShortcuts();
}

void WindowCommands::applyAltShortcuts()
{
    // With the Alt keys left to the page, the actions' own Alt shortcuts must not fire
    // either; the keyboard table already leaves them alone.
    for (const ActionRow* row = ActionTable::begin(); row != ActionTable::end(); ++row) {
        const QKeySequence designed(QString::fromLatin1(row->shortcut));
        if (designed.isEmpty() || !(designed[0].keyboardModifiers() & Qt::AltModifier))
            continue;
        m_window.action(row->id)->setShortcut(m_settings.disableAltShortcuts ? QKeySequence()
                                                                             : designed);
    }
}

void WindowCommands::showContentSwitches()
{
    const ContentSwitchControl* switches = m_window.contentSwitches();
    for (const SwitchItem& item : SwitchItems)
        m_window.action(item.action)->setChecked(switches->isOn(item.which));
}

void WindowCommands::updateTextSizeChecks()
{
    for (ActionId id : TextSizes)
        m_window.action(id)->setChecked(false);
    if (TBrowserTab* tab = m_window.GetActivePage()) {
        const int size = tab->GetFontSize();
        if (size >= 0 && size < int(std::size(TextSizes)))
            m_window.action(TextSizes[size])->setChecked(true);
    }
}

KeyDispatcher::Context WindowCommands::keyContext() const
{
    KeyDispatcher::Context context;
    context.altShortcutsDisabled = m_settings.disableAltShortcuts;
    const TBrowserTab* tab = m_window.GetActivePage();
    context.hasActiveTab = tab != nullptr;
    context.canGoBack = tab && tab->CanGoBack();
    context.canGoForward = tab && tab->CanGoForward();
    const SideBar* sideBar = m_window.sideBar();
    context.renameTreeFocused = sideBar && sideBar->renameTreeFocused();
    context.sideBarTreeFocused = sideBar && sideBar->treeFocused();
    const QWidget* focus = QApplication::focusWidget();
    context.tabStripFocused = focus && focus == m_window.pages()->tabStrip();
    return context;
}

void WindowCommands::run(Command command)
{
    for (const MenuCommand& row : CommandBindings::menuCommands()) {
        if (row.command == command) {
            if (command == Command::TabsMenu)
                m_window.rebuildTabsMenu();
            return m_menuBand.dropDown(row.menu);
        }
    }
    TBrowserTab* tab = m_window.GetActivePage();
    const auto withTab = [tab](auto&& work) {
        if (tab)
            work(tab);
    };
    const auto eachTab = [this](auto&& work) {
        const auto all = m_window.tabs();
        for (TBrowserTab* t : all)
            work(t);
    };
    switch (command) {
    case Command::TabHome:
        // Alt+Home always goes somewhere: the tab's own home, or the home page for a tab
        // that has none (one opened from a link).
        return withTab(
            [](TBrowserTab* t) { t->HomeUrl().isEmpty() ? t->GoHome() : t->GoTabHome(); });
    case Command::FocusAddress:
        return focusAddressBox(Qt::ShortcutFocusReason);
    case Command::Back:
        return withTab([](TBrowserTab* t) { t->GoBack(); });
    case Command::Forward:
        return withTab([](TBrowserTab* t) { t->GoForward(); });
    case Command::NextTab:
    case Command::PreviousTab:
        // The walk passes hidden tabs by: windows still waiting for their address stay.
        m_window.pages()->selectNextPage(command == Command::NextTab);
        return;
    case Command::Paste:
    case Command::Cut:
    case Command::Copy:
    case Command::SelectAll:
        return editCommand(command);
    case Command::Stop:
        withTab([](TBrowserTab* t) { t->Stop(); });
        return m_window.UpdateTabState();
    case Command::StopAll:
        return eachTab([](TBrowserTab* t) { t->Stop(); });
    case Command::Refresh: // a click on the button with Ctrl held also reloads completely
        withTab([](TBrowserTab* t) { t->Refresh(); });
        return m_window.UpdateTabState();
    case Command::RefreshComplete:
        withTab([](TBrowserTab* t) { t->Refresh(true); });
        return m_window.UpdateTabState();
    case Command::RefreshAll:
        return eachTab([](TBrowserTab* t) { t->Refresh(); });
    case Command::Find:
        return withTab([](TBrowserTab* t) { t->Find(); });
    case Command::Print:
        return withTab([](TBrowserTab* t) { t->Print(); });
    case Command::NewHome:
        m_window.NewTab()->GoHome();
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
        if (!m_window.GroupOpening() && tab)
            m_window.closePage(tab);
        return;
    case Command::CloseAll:
        return m_window.CloseAll();
    case Command::AddToGroup:
        return m_window.AddTabToGroup(tab);
    case Command::SaveGroup:
        return m_window.SaveAsSorvelGroup();
    case Command::AddToPopupList:
        return m_window.AddToPopupList(tab);
    case Command::StickyName:
        return withTab([](TBrowserTab* t) {
            if (t->StickyName().isEmpty())
                t->PromptStickyName();
            else
                t->SetStickyName(QString());
        });
    case Command::FullScreen:
        return m_window.setFullScreen(!m_window.FullScreen());
    case Command::ToggleLock:
        return withTab([](TBrowserTab* t) { t->SetLocked(!t->Locked()); });
    case Command::ToggleForeground:
    {
        TabSet* tabs = m_window.tabSet();
        tabs->setOpenNewInForeground(!tabs->OpenNewInForeground());
        m_window.action(ActionId::actForeground)->setChecked(tabs->OpenNewInForeground());
        return;
    }
    case Command::ToggleSideBar:
        m_window.action(ActionId::actViewSorvelBar)->trigger();
        return;
    case Command::HelpTopics:
        return m_help.showHelpTopics();
    case Command::TabMenu:
        return m_window.tabMenu()->popupForActiveTab();
    default:
        return; // None, Swallow, and the menus above
    }
}

void WindowCommands::editCommand(Command command)
{
    // A field of the window's own (the address box, a find box, a field of a dialog inside
    // the page) edits its own text while it has the focus, and a dialog over the page is
    // never edited through; otherwise the page is.
    QWidget* focus = QApplication::focusWidget();
    if (FocusedField::edit(focus, command) || FocusedField::insideDialog(focus))
        return;
    // Next the search pane's page, when the user is working in it.
    if (TSorvelBrowser* search = m_window.search()->browserInUse())
        return editPage(*search, command);
    if (TBrowserTab* tab = m_window.GetActivePage())
        editPage(*tab, command);
}

void WindowCommands::focusAddressBox(Qt::FocusReason reason)
{
    if (m_window.bars()->panel(BarsControl::Band::Address)->isVisible())
        m_window.addressBand()->focusBox(reason);
}

void WindowCommands::newBlankFromAction()
{
    const TBrowserTab* previous = m_window.GetActivePage();
    const QString previousAddress = previous ? previous->GetAddress() : QString();
    TBrowserTab* tab = m_window.NewTab();
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

void WindowCommands::openFileDialog()
{
    const QString file = m_questions.chooseFileToOpen();
    if (!file.isEmpty())
        m_window.OpenAddress(QUrl::fromLocalFile(file).toString(), true);
}

void WindowCommands::showOptions()
{
    {
        TfrmOptions dialog(m_hive, m_window.settings(),
                           {m_window.IE4Mode(), m_window.tray()->trayAvailable()}, &m_window);
        dialog.setFont(m_window.font());
        if (m_questions.runDialog(dialog) == QDialog::Accepted) {
            m_window.applySettings(dialog.settings());
            m_window.applyInactiveTabColors(dialog.tabColors());
        }
    }
    // Whatever the answer: another copy may have changed them meanwhile.
    m_window.addressCommands()->LoadAddressCompletion();
    m_window.ReloadPopupList();
}
