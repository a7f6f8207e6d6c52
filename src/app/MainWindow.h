#pragma once

#include "session/HandOff.h"
#include "app/KeyDispatcher.h"
#include "browser/strip/TabColors.h"
#include "commands/MenuLayout.h"
#include "session/LeftSession.h"
#include "settings/WindowSettings.h"

#include <QJsonArray>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class AddressBand;
class BarsControl;
class BlockingCommands;
class FilterSubscriptions;
class ContentBlocker;
class ContentSwitchControl;
class EngineServices;
class FormFillerQuestions;
class MainActions;
class MainToolbar;
class MenuBuilder;
class MessageBus;
class PopupControl;
class QMenu;
class RegistryHive;
class SessionKeeper;
class TabSet;
class TabSleeper;
class SideBar;
class SorvelGroupCommands;
class TBrowserTab;
class TPVOptions;
class TPVPageControl;
class TPVStatusBar;
class TrayControl;
class WindowBars;
class WindowExternal;
class FavoritesCommands;
class WindowHelp;
class FormFillerCommands;
class PasswordCommands;
class PasswordStore;
class LinksCommands;
class MailCommands;
class TabClosing;
class TTabMenu;
class GroupTabs;
class WindowHandOff;
class AddressCommands;
class InternetOptionsCommands;
class WindowPlacement;
class WindowQuestions;
class SearchCommands;
class SessionTabs;
struct SessionState;

// What the program's entry hands the main window.
struct MainWindowOptions
{
    RegistryHive* hive = nullptr;         // the settings; required
    EngineServices* engine = nullptr;     // the web engine; required
    MessageBus* bus = nullptr;            // running copies of this user; may be null
    WindowQuestions* questions = nullptr; // null: the window's own dialogs
    QString argument;                     // the first command-line argument
    QString screenshotFile;               // non-empty: picture mode (see TfrmMain)
    QString sessionFile;             // this copy's session, kept against crashes; empty: none kept
    QList<LeftSession> leftSessions; // other copies' sessions to bring back after it
    // Asks whether to become the default browser (true for Yes); empty: the start-up check
    // does not run (tests, pictures). The program gives TfrmDefaultBrowser::askUser.
    std::function<bool()> askDefaultBrowser;
    // Whether the desktop has a notification area now; empty: the desktop is asked.
    std::function<bool()> trayAvailable;
    // The form filler's questions; null: its own dialogs.
    FormFillerQuestions* formFillerQuestions = nullptr;
    // Content blocking (the engine consults it); null: none, and no switch in the window.
    ContentBlocker* contentBlocker = nullptr;
    // Where sign-ins are kept (the desktop's keyring); null: none offered or filled.
    PasswordStore* passwords = nullptr;
    // A private window: it says so in its title and above its tabs, opens its home page
    // rather than the last sites, takes nothing other copies hand over, and tells them
    // nothing of its content switches. What it keeps nothing of is the entry's doing.
    bool privateWindow = false;
    // Starts a private window; empty: New Private Window is not offered.
    std::function<void()> openPrivateWindow;
    // The start pages (or the tabs brought back) open once the window has first been drawn,
    // as the program's window does; false: at creation, for a window that is not shown.
    bool opensPagesWhenPainted = false;
};

// The program's one main window: it owns the tab set (TabSet, wired to the bars in
// MainWindowTabs.cpp), the creation and exit sequences (MainWindow.cpp) and the wiring. The
// work is done by parts in their areas' folders, each handed what it uses: the subsystems
// (PopupControl, AddressBand, ContentSwitchControl, TrayControl, SorvelGroupCommands,
// SideBar, the bars) and their glue in the areas' window/ folders (TabClosing, TTabMenu,
// GroupTabs, SessionTabs, AddressCommands, InternetOptionsCommands, WindowBars,
// WindowExternal, WindowHandOff). WindowPlacement and WindowHelp, the window's own, are
// handed what they use too. The Window<Concern> objects still in src/app that take the
// window reach it through its public side; the named operations whose work a part does hand
// over to it in MainWindowEntryPoints.cpp.
class TfrmMain final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    explicit TfrmMain(MainWindowOptions options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- The tab set -----------------------------------------------------------------------
    TabSet* tabSet() const { return m_tabs; }
    TBrowserTab* GetActivePage() const;
    TBrowserTab* NewTab();
    TBrowserTab* NewTabBackground(bool hidden);
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark);
    // Opens an address for any part of the program: a new tab when `newTab` (inverted while
    // Shift is held), an idle blank tab reused.
    void OpenAddress(const QString& address, bool newTab);
    void OpenAddress(const QString& address, bool newTab, bool shiftHeld);
    QList<TBrowserTab*> tabs() const; // strip order, hidden tabs included
    TPVPageControl* pages() const { return m_pcPage; }
    // The Tabs menu, rebuilt from the tab set.
    void rebuildTabsMenu();
    // The tab set as the command-line tool prints it, one object per tab in strip order.
    QJsonArray describeTabs() const;
    void holdTabChange(bool held);
    void openAtEnd(const std::function<void()>& open);

    // --- The active tab's state in the window ----------------------------------------------
    void SetStatusText(const QString& text);

    // --- State -----------------------------------------------------------------------------
    bool WindowShown() const { return m_windowShown; }
    bool SGCloseFirst() const { return m_settings.sgCloseFirst; }
    bool FullScreen() const;
    void setFullScreen(bool on);
    bool IE4Mode() const { return m_ie4Mode; }
    // The working copies of the settings, as they would be written now.
    WindowSettings settings() const;
    // Makes `wanted` the working copies, applying what differs from `settings()`.
    void applySettings(const WindowSettings& wanted);

    // --- The parts ---------------------------------------------------------------------------
    MainActions* actions() const { return m_actions; }
    QAction* action(ActionId id) const;
    QMenu* menu(MenuId id) const;
    AddressBand* addressBand() const { return m_addressBand; }
    PopupControl* popups() const { return m_popups; }
    ContentSwitchControl* contentSwitches() const { return m_content; }
    TrayControl* tray() const { return m_tray; }
    TabSleeper* sleeper() const { return m_sleeper; }
    SorvelGroupCommands* groupCommands() const { return m_groups; }
    SideBar* sideBar() const { return m_sideBar; }
    SessionKeeper* session() const; // null when none is kept
    SearchCommands* search() const { return m_search; }
    // The open tabs as the session keeps them.
    SessionState sessionNow() const;
    MainToolbar* toolbar() const;
    BarsControl* bars() const;
    TPVStatusBar* statusPanel() const { return m_statusBar; }
    TTabMenu* tabMenu() const { return m_pmTab; } // the tab strip's context menu

    // --- Commands ----------------------------------------------------------------------------
    // What a command of the keyboard table runs; the keys, the menu items and the buttons bound
    // to it run this (MainWindowCommands.cpp).
    void runCommand(KeyDispatcher::Command command);
    // A hand-off as it arrived (over the bus or through the hive): each opens once.
    void acceptHandOff(const HandOff::Parcel& parcel);
    AddressCommands* addressCommands() const { return m_address; }
    InternetOptionsCommands* internetOptions() const { return m_internet; }

    // --- Page groups -------------------------------------------------------------------------
    void SaveAsSorvelGroup();
    void AddTabToGroup(TBrowserTab* tab);

    // --- Closing tabs (TabClosing) and pop-up control --------------------------------------
    // One tab always remains: Close on the only shown tab resets it; Close All asks first
    // and keeps the tabs hidden from it (or else the first tab, reset to blank).
    void closePage(TBrowserTab* tab);
    void CloseAll();
    void CloseAllShowList();
    void CloseHiddenTabs(); // the windows not (yet) let through
    bool IsPopupBlocked(const QString& url);
    // The tab's AddToPopupList (the tab closes), then the list is read again.
    void AddToPopupList(TBrowserTab* tab);

    // Leaves without asking anything (the process is told to end, the session ends): the
    // exit sequence runs and the window closes, also from the tray.
    void ExitNow();

Q_SIGNALS:
    // The exit sequence has run and the window has closed: the program ends, whatever other
    // top-level windows (downloads, page source) are still open.
    void exited();
    // Picture mode: the picture was written (or could not be); the window closes next.
    void screenshotTaken(bool ok);
    // The start pages or the tabs brought back have been asked for, and the other copies'
    // hand-offs are taken from now on.
    void firstPagesOpened();

protected:
    QMenu* createPopupMenu() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The end of the start: the first pages, the hand-offs held until then, the picture.
    void openFirstPages();
    // The active tab's state in the window.
    void UpdateTabState();    // secure icon and busy animation
    void UpdateBackForward(); // the Back and Forward actions
    // The tab set changed in a way the session keeps.
    void noteSessionChange();
    bool GroupOpening() const;
    // The colours of the tabs not in front, on every strip of the window.
    void applyInactiveTabColors(const TabColors::TabColorPair& colors);
    // Creation and exit (MainWindow.cpp).
    void buildWindow();
    void buildBars();
    void runExitSequence();
    // A bar of the whole strip's width above the tabs (and the side bar).
    void placeAboveTabs(QWidget* bar);
    // The spelling and the PDF viewer as the settings say, for every page.
    void applyPageFeatures(const WindowSettings& settings);
    // Whether the user lets the window close now (asked while downloads run).
    bool mayExit();

    // The commands (MainWindowCommands.cpp): the actions connected to what they run, and the
    // table of what each command of the keyboard table runs.
    using CommandHandler = std::pair<KeyDispatcher::Command, std::function<void()>>;
    void connectCommands();
    void bindCommands();
    bool handlesCommand(KeyDispatcher::Command command) const;
    // What the keyboard table needs to know of the window at the moment of a key.
    KeyDispatcher::Context keyContext() const;
    // The actions' Alt shortcuts, off while the Alt keys are left to the page.
    void applyAltShortcuts();
    // The Options menu's content switches checked as the switches are.
    void showContentSwitches();
    // Pelvane Options, modal; afterwards, whatever the answer, the domain completion texts
    // and the pop-up list are read again.
    void showOptions();
    // Cut, Copy, Paste and Select All go to what the user is working in.
    void editCommand(KeyDispatcher::Command command);
    // A new tab as the new-tab setting says (blank, this page, or home), the address box
    // focused.
    void newBlankFromAction();
    void openFileDialog();
    void updateTextSizeChecks();
    // The address box, when its band is shown.
    void focusAddressBox(Qt::FocusReason reason);

    // The tab set in the window: its reports to the bars (MainWindowTabs.cpp).
    void wireTabSet();
    void onActiveTabChanged(TBrowserTab* tab);

    MainWindowOptions m_start;
    RegistryHive& m_hive;
    std::unique_ptr<TPVOptions> m_options; // first made, last gone
    std::unique_ptr<WindowQuestions> m_ownQuestions;
    WindowQuestions* m_questions = nullptr;
    WindowSettings m_settings; // the working copies

    MainActions* m_actions = nullptr;
    std::unique_ptr<MenuBuilder> m_menus;
    KeyDispatcher* m_dispatcher = nullptr;
    TPVPageControl* m_pcPage = nullptr;
    TPVStatusBar* m_statusBar = nullptr;
    WindowBars* m_windowBars = nullptr;
    AddressBand* m_addressBand = nullptr;
    TTabMenu* m_pmTab = nullptr;

    PopupControl* m_popups = nullptr;
    ContentSwitchControl* m_content = nullptr;
    TrayControl* m_tray = nullptr;
    SorvelGroupCommands* m_groups = nullptr;
    SideBar* m_sideBar = nullptr;
    MailCommands* m_mail = nullptr;
    BlockingCommands* m_blocking = nullptr;
    FilterSubscriptions* m_subscriptions = nullptr; // null: no lists are downloaded
    LinksCommands* m_links = nullptr;
    SearchCommands* m_search = nullptr;
    FavoritesCommands* m_favorites = nullptr;
    FormFillerCommands* m_formFiller = nullptr;
    PasswordCommands* m_passwords = nullptr;
    TabSet* m_tabs = nullptr;
    GroupTabs* m_groupTabs = nullptr;
    TabClosing* m_closing = nullptr;
    SessionTabs* m_session = nullptr; // gone before the tabs
    AddressCommands* m_address = nullptr;
    InternetOptionsCommands* m_internet = nullptr;
    WindowPlacement* m_placement = nullptr;
    std::vector<CommandHandler> m_commandHandlers;
    std::unique_ptr<WindowHelp> m_help;
    WindowExternal* m_external = nullptr;
    WindowHandOff* m_handOff = nullptr;
    TabSleeper* m_sleeper = nullptr;

    bool m_ie4Mode = false;
    bool m_windowShown = false;
    bool m_exited = false;
    bool m_firstPagesOpened = false;
};
