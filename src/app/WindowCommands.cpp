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
#include "commands/KeyTable.h"
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

#include <algorithm>

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
template<typename Work> std::function<void()> onActiveTab(TfrmMain& window, Work work)
{
    return [&window, work] {
        if (TBrowserTab* tab = window.GetActivePage())
            work(tab);
    };
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
    , m_help(
          window, [&window](const QString& address) { window.NewTab()->OpenAsHome(address); },
          hive)
{
    const auto on = [this](ActionId id, auto slot) {
        connect(m_window.action(id), &QAction::triggered, this, slot);
    };
    const auto withTab = [this](auto work) { return onActiveTab(m_window, work); };
    bindCommands();
    for (const ActionCommand& row : CommandBindings::actionCommands())
        on(row.action, [this, c = row.command] { run(c); });

    on(ActionId::pmFileNewBlank, [this] { m_window.NewTab()->NavigateBlank(); });
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

void WindowCommands::bindCommands()
{
    const auto withTab = [this](auto work) { return onActiveTab(m_window, work); };
    const auto eachTab = [this](auto work) {
        return [this, work] {
            const auto all = m_window.tabs();
            for (TBrowserTab* tab : all)
                work(tab);
        };
    };
    // The buttons show at once what a stop or a reload changed.
    const auto andShow = [this](auto work) {
        return [this, work] {
            work();
            m_window.UpdateTabState();
        };
    };
    const auto edit = [this](Command command) { return [this, command] { editCommand(command); }; };
    m_handlers = {
        // Alt+Home always goes somewhere: the tab's own home, or the home page for a tab
        // that has none (one opened from a link).
        {Command::TabHome, withTab([](TBrowserTab* t) {
             t->HomeUrl().isEmpty() ? t->GoHome() : t->GoTabHome();
         })},
        {Command::FocusAddress, [this] { focusAddressBox(Qt::ShortcutFocusReason); }},
        {Command::Back, withTab([](TBrowserTab* t) { t->GoBack(); })},
        {Command::Forward, withTab([](TBrowserTab* t) { t->GoForward(); })},
        // The walk passes hidden tabs by: windows still waiting for their address stay.
        {Command::NextTab, [this] { m_window.pages()->selectNextPage(true); }},
        {Command::PreviousTab, [this] { m_window.pages()->selectNextPage(false); }},
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
        {Command::NewHome, [this] { m_window.NewTab()->GoHome(); }},
        {Command::NewBlank, [this] { newBlankFromAction(); }},
        {Command::Open, [this] { openFileDialog(); }},
        {Command::FollowNextLink, withTab([](TBrowserTab* t) { t->FollowNextLink(); })},
        {Command::TabSearch, withTab([](TBrowserTab* t) { t->GoSearch(); })},
        {Command::SaveAs, withTab([](TBrowserTab* t) { t->SaveAs(); })},
        {Command::Close, withTab([this](TBrowserTab* t) {
             if (!m_window.GroupOpening())
                 m_window.closePage(t);
         })},
        {Command::CloseAll, [this] { m_window.CloseAll(); }},
        {Command::AddToGroup, [this] { m_window.AddTabToGroup(m_window.GetActivePage()); }},
        {Command::SaveGroup, [this] { m_window.SaveAsSorvelGroup(); }},
        {Command::AddToPopupList, [this] { m_window.AddToPopupList(m_window.GetActivePage()); }},
        {Command::StickyName, withTab([](TBrowserTab* t) {
             if (t->StickyName().isEmpty())
                 t->PromptStickyName();
             else
                 t->SetStickyName(QString());
         })},
        {Command::FullScreen, [this] { m_window.setFullScreen(!m_window.FullScreen()); }},
        {Command::ToggleLock, withTab([](TBrowserTab* t) { t->SetLocked(!t->Locked()); })},
        {Command::ToggleForeground,
         [this] {
             TabSet* tabs = m_window.tabSet();
             tabs->setOpenNewInForeground(!tabs->OpenNewInForeground());
             m_window.action(ActionId::actForeground)->setChecked(tabs->OpenNewInForeground());
         }},
        {Command::HelpTopics, [this] { m_help.showHelpTopics(); }},
        {Command::TabMenu, [this] { m_window.tabMenu()->popupForActiveTab(); }},
    };
    for (const ActionCommand& row : CommandBindings::keyActions())
        m_handlers.emplace_back(row.command, [this, id = row.action] { m_window.action(id)->trigger(); });
    for (const MenuCommand& row : CommandBindings::menuCommands()) {
        m_handlers.emplace_back(row.command, [this, row] {
            if (row.command == Command::TabsMenu)
                m_window.rebuildTabsMenu();
            m_menuBand.dropDown(row.menu);
        });
    }
    // Every command a key gives has its work (None, Swallow and Focus have none).
    for (const KeyRow& row : KeyTable::rows())
        Q_ASSERT_X(handles(row.command), "WindowCommands", "a key without its work");
    for (const AltLetter& letter : KeyTable::altLetters())
        Q_ASSERT_X(handles(letter.command), "WindowCommands", "a key without its work");
}

bool WindowCommands::handles(Command command) const
{
    if (command == Command::None || command == Command::Swallow || command == Command::Focus)
        return true;
    return std::any_of(m_handlers.begin(), m_handlers.end(),
                       [command](const Handler& h) { return h.first == command; });
}

void WindowCommands::run(Command command)
{
    const auto handler = std::find_if(m_handlers.begin(), m_handlers.end(),
                                      [command](const Handler& h) { return h.first == command; });
    if (handler != m_handlers.end())
        handler->second();
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
