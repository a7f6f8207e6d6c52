#pragma once

#include "address/PVComboBox.h"
#include "app/KeyDispatcher.h"
#include "app/NavigationRules.h"
#include "browser/BrowserTabHost.h"
#include "platform/web/WebBackend.h"
#include "platform/web/WebContentSwitches.h"
#include "settings/dialogs/OptionsTarget.h"
#include "settings/PVOptions.h"

#include <QJsonArray>
#include <QMainWindow>
#include <QPageLayout>
#include <QPointer>

#include <memory>

class AddressCompleter;
class LaunchImage;
class MainActions;
class MessageBus;
struct DesktopApplication;
class QAction;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class GroupCommandQuestions;
class TBrowserTab;
class TTabMenu;
class TfrmPopupNotify;
class TPGTrayIcon;
class TSorvelGroupMenu;
class TPVPageControl;
class TPVStatusBar;
class Throbber;

// What the program's entry hands the main window.
struct MainWindowOptions
{
    QString argument;           // the first command-line argument
    WebBackendFactory backends; // makes the engine of every tab's browser
    MessageBus* bus = nullptr;  // running copies of this user; may be null
    QString screenshotFile;     // non-empty: picture mode (see TfrmMain)
    // Asks whether to become the default browser (true for Yes); empty: the start-up check
    // does not run (tests, pictures). The program gives TfrmDefaultBrowser::askUser.
    std::function<bool()> askDefaultBrowser;
    // Whether the desktop has a notification area now; empty: the desktop is asked.
    std::function<bool()> trayAvailable;
    // The engine's side of the browser's content switches and user-agent tokens; either may
    // be empty (fake engines).
    std::function<void(const WebContentSwitches&)> applyContentSwitches;
    std::function<void(const QStringList&)> applyUserAgentTokens;
    // Empties the web profile's cache and cookies (Internet Options); may be empty.
    std::function<void()> clearCacheAndCookies;
    // The history store the address box completes from; empty: the default store.
    QString historyFile;
};

// The program's one main window: the tab set and everything round it. It coordinates; the
// tabs, the strip, the settings store and the small collaborators do the work. Its members
// are defined in files by concern: creation and exit (MainWindow.cpp), the tab set
// (MainWindowTabs.cpp), commands and keys (MainWindowCommands.cpp), menus and bars
// (MainWindowMenus.cpp) and the start pages and hand-off (MainWindowStart.cpp).
class TfrmMain final : public QMainWindow, public BrowserTabHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    explicit TfrmMain(MainWindowOptions options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- The tab set -----------------------------------------------------------------------
    TBrowserTab* GetActivePage() const;
    TBrowserTab* NewTab();
    TBrowserTab* NewTabBackground(bool hidden) override;
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark);
    void MakeMeActiveTab(QObject* sender);
    void OpenAddress(const QString& address, bool newTab);
    // The same with the state of the Shift key given rather than read.
    void OpenAddress(const QString& address, bool newTab, bool shiftHeld);
    QList<TBrowserTab*> tabs() const; // strip order, hidden tabs included
    TPVPageControl* pages() const { return m_pcPage; }

    // --- Reports of the tabs ---------------------------------------------------------------
    void SetStatusText(const QString& text) override;
    void SetProgress(int progress, int maximum) override;
    void resetProgress() override;
    void SetBusy(bool busy) override;
    void UpdateTabState() override;
    void UpdateBackForward() override;
    void ShowAddress(const QString& url) override;
    void RememberTypedAddress(const QString& url) override;

    // --- State ---------------------------------------------------------------------------
    bool WindowShown() const override { return m_windowShown; }
    int LimitTitleLength() const override { return m_limitTitleLength; }
    bool GroupOpening() const { return m_groupOpening; }
    bool OpenNewInForeground() const override { return m_openNewInForeground; }
    bool OpenNewAtEnd() const { return m_openNewAtEnd; }
    bool DisableALTShortcuts() const { return m_disableAltShortcuts; }
    bool FullScreen() const { return m_fullScreen; }
    TPVOptions& options() { return m_options; }
    MainActions* actions() const { return m_actions; }
    TPVComboBox* addressBox() const { return m_cboAddress; }
    AddressCompleter* addressCompleter() const { return m_completer; }
    TPVStatusBar* statusPanel() const { return m_statusBar; }
    QMenu* tabsMenu() const { return m_mnuTabs; }

    // Runs one entry of the keyboard table (also what the menus and buttons run).
    void runCommand(KeyDispatcher::Command command);
    // A second copy's argument (empty: only come to the front).
    void HandleHandOff(const QString& value);
    // The tab set as the command-line tool prints it, one object per tab in strip order.
    QJsonArray describeTabs() const;
    // Rebuilds the Tabs menu from the tab set.
    void rebuildTabsMenu();
    // The caption of the Tabs menu item for tab number n (from 1).
    static QString tabsMenuCaption(int n, const QString& text);

    // --- Address entry and navigation (MainWindowNavigation.cpp) ---------------------------
    void SetAutoCompleteStyle(int style);
    int AutoCompleteStyle() const { return m_autoCompleteStyle; }
    void LoadAddressCompletion();
    void ClearAddresses();
    bool IE4Mode() const { return m_ie4Mode; }
    bool AddressTyped() const { return m_addressTyped; }
    // Enter in the address box with these modifier keys held.
    void AddressEntered(Qt::KeyboardModifiers modifiers);
    void GoButtonClicked();
    void GoSearch();
    void SetWorkOffline(bool offline);
    void ShowInternetOptions();
    // A link dropped on the tab of the strip at `tabIndex`.
    void DropOnTab(int tabIndex, const QString& address);
    // Opens the saved page of the active tab in `program`.
    void EditDocumentWith(const DesktopApplication& program);

    // --- Page groups (MainWindowGroups.cpp) ------------------------------------------------
    // Saves the shown tabs as a new group (hidden tabs are discarded first).
    void SaveAsSorvelGroup();
    // Adds the tab to a group the user picks (F6 for the active tab, the tab menu's item).
    void AddTabToGroup(TBrowserTab* tab);
    // The organize dialog for one group file, modal.
    void OrganizeSorvelGroup(const QString& fileName);
    // The page-group menu is rebuilt from the folder when it next opens.
    bool GroupsChanged() const;
    void SetGroupsChanged();
    QMenu* groupsMenu() const;
    // Who answers the page-group commands' questions; null: the window's own dialogs.
    void setGroupQuestions(GroupCommandQuestions* questions);

    // --- Closing tabs and pop-up control (MainWindowClosing.cpp) ---------------------------
    // Close on one tab (Close, Ctrl+W, the tab menu's Close, Show List). When it is the only
    // shown tab, the hidden ones go first, so that it is reset rather than leaving no tab.
    void closePage(TBrowserTab* tab);
    // Close All: asks first (ConfirmCloseAll), keeps the tabs hidden from it, and leaves
    // at least one tab (the first, reset to blank, when none is kept).
    void CloseAll();
    void CloseAllKeepCurrent();
    void CloseAllShowList();
    // Destroys every tab whose tab is hidden (blocked windows and windows not yet
    // classified), from the last to the first.
    void CloseHiddenTabs();
    // The tab under the pointer at the last right press on the strip (hidden tabs are
    // destroyed first); null when none was hit.
    TBrowserTab* PopupTab();
    int PopupTabIndex() const { return m_popupTabIndex; }
    QMenu* tabMenu() const;
    QMenu* closeAllButtonMenu() const { return m_pmCloseAll; }
    // Whether a new window's first address is blocked; tells the user when
    // PopupSorvelNotify is on.
    bool IsPopupBlocked(const QString& url) override;
    // The tab's AddToPopupList, then ReloadPopupList.
    void AddToPopupList(TBrowserTab* tab);
    void ReloadPopupList();
    QStringList PopupList() const { return m_popupList; }
    bool UsePopupSorvel() const { return m_usePopupSorvel; }
    void SetUsePopupSorvel(bool on) { m_usePopupSorvel = on; }
    // The notice of closed windows while it is open.
    TfrmPopupNotify* popupNotice() const;

    // --- The options dialog and what it changes at once (MainWindowOptions.cpp) -----------
    // Pelvane Options, modal; afterwards, whatever the answer, the domain completion texts
    // and the pop-up list are read again.
    void ShowOptions();
    void SetShowGo(bool show); // shows or hides the Go button
    // The longest tab caption (0: no limit); every tab is captioned anew.
    void SetLimitTitleLength(int limit);
    void SetInactiveTabColors(TabColors::TabColorPair colors);
    void SetOpenNewInForeground(bool on); // with the menu item's check mark
    void SetOpenNewAtEnd(bool on);
    void SetDisableALTShortcuts(bool on);
    void SetNewAction(int action);
    bool SGCloseFirst() const { return m_sgCloseFirst; }
    void SetSGCloseFirst(bool on);
    bool AddressNewWin() const { return m_addressNewWin; }
    void SetAddressNewWin(bool on);
    bool SBAutoExpand() const { return m_sbAutoExpand; }
    void SetSBAutoExpand(bool on);
    bool MinToTray() const { return m_minToTray; }
    void SetMinToTray(bool on);
    NewTabFlags newTabFlags() const;
    void SetNewTabFlags(const NewTabFlags& flags);

    // --- Content switches and the user-agent token (MainWindowContent.cpp) -----------------
    // Each writes the browser's switch when it differs from `on` (and tells the other
    // running copies), then sets the working copy, the check marks and the engine.
    void ApplyLoadImages(bool on);
    void ApplyLoadVideos(bool on);
    void ApplyLoadSounds(bool on);
    void ApplyLoadAnimations(bool on);
    // Reads the four switches and applies them: at creation, and when another copy has
    // changed them.
    void LoadContentSwitches();
    // Adds (at creation) or removes (at exit) the program's user-agent token.
    void SetUserAgentTag(bool add);
    WebContentSwitches ContentSwitches() const { return m_contentSwitches; }

    // --- Tray (MainWindowTray.cpp) ---------------------------------------------------------
    TPGTrayIcon* tray() const { return m_pgTray; }
    QMenu* trayMenu() const { return m_pmTray; }
    bool TrayMinimized() const { return m_trayMinimized; }
    // The tray menu's first item and a double-click on the icon: into the tray, or back.
    void TrayRestoreClick();

Q_SIGNALS:
    // Picture mode: the picture was written (or could not be); the window closes next.
    void screenshotTaken(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    // BrowserTabHost
    WebBackend* createWebBackend() override;
    QPageLayout* pageLayout() override { return &m_pageLayout; }
    bool isActiveTab(const TBrowserTab* tab) const override;
    void ScheduleCloseHiddenTabs() override;
    void PopupsRefused(TBrowserTab* opener) override;
    void BringPopupToFront(TBrowserTab* tab) override;
    int pageCount() const override;
    int pageIndexOf(const TBrowserTab* tab) const override;
    void selectNextPage(const TBrowserTab* tab, bool forward) override;
    void destroyTab(TBrowserTab* tab) override;

    // Closing tabs.
    void buildClosing();
    void addCloseAllMenu(QMenu* file);
    bool confirmCloseAll();

    // Creation and exit.
    void readSettings();
    void buildWindow();
    void applyTabColors();
    void applyWindowPlacement();
    void runExitSequence();
    void writeSettings();

    // Menus and bars.
    void buildMenus();
    void buildToolbar();
    void buildAddressBar();
    void initNavigation();
    void buildExternalPlaces();
    void fillEditMenu(QMenu* menu);
    void syncWorkOffline();
    void saveTypedAddresses();
    void connectActions();
    void connectGroupCommands();
    void connectOptions();
    void dropDownMenu(QToolButton* button);
    void updateTextSizeChecks();

    // Tabs.
    TBrowserTab* createTab(bool hidden);
    void placeNewTab(TBrowserTab* tab, TBrowserTab* previous);
    void onTabChange();
    void syncAppearance(TBrowserTab* tab);
    void forEachTab(const std::function<void(TBrowserTab*)>& action) const;

    // Commands.
    void commitAddress(const QString& text);
    void newBlankFromAction();
    void setFullScreen(bool on);
    void toggleFullScreen() { setFullScreen(!m_fullScreen); }
    void openFileDialog();
    void showAbout();
    void editCommand(KeyDispatcher::Command command);
    KeyDispatcher::Context keyContext() const;

    // Start pages and picture mode.
    void openStartPages();
    void startScreenshotWatch();

    MainWindowOptions m_start;
    TPVOptions m_options; // first made, last gone
    MainActions* m_actions = nullptr;
    KeyDispatcher* m_dispatcher = nullptr;
    TPVPageControl* m_pcPage = nullptr;
    TPVStatusBar* m_statusBar = nullptr;
    TPVComboBox* m_cboAddress = nullptr;
    AddressCompleter* m_completer = nullptr;
    QToolButton* m_spdGo = nullptr;
    LaunchImage* m_imgIELink = nullptr;
    QToolBar* m_tbMenu = nullptr;
    QToolBar* m_tbMain = nullptr;
    QToolBar* m_pnlAddress = nullptr;
    QHash<KeyDispatcher::Command, QToolButton*> m_menuButtons;
    QMenu* m_mnuTabs = nullptr;
    QMenu* m_mnuFont = nullptr;
    QTimer* m_tmrCloseHidden = nullptr;
    TTabMenu* m_pmTab = nullptr;
    QMenu* m_pmCloseAll = nullptr;
    QPointer<TfrmPopupNotify> m_popupNotify;
    int m_popupTabIndex = -1;
    Throbber* m_throbber = nullptr;
    QPageLayout m_pageLayout;

    // Working copies of the settings, read at creation and written at exit.
    bool m_showGo = false;
    bool m_disableAltShortcuts = false;
    int m_autoCompleteStyle = TPVOptions::StyleIE5;
    bool m_addressNewWin = false;
    bool m_openNewAtEnd = false; // the stored rule
    bool m_placeAtEnd = true;    // the rule in force (forced on at start and in groups)
    bool m_sgCloseFirst = false;
    QString m_searchBar;
    bool m_minToTray = false;
    int m_sorvelBarWidth = 234;
    bool m_usePopupSorvel = true;
    QStringList m_popupList;
    int m_limitTitleLength = 35;
    bool m_multipleLines = false;
    QString m_startupMode;
    QString m_startupSorvelGroup;
    bool m_favoritesNewWin = true;
    bool m_historyNewWin = true;
    bool m_searchNewWin = true;
    bool m_linksNewWin = true;
    int m_newAction = 0;
    bool m_sbAutoExpand = true;
    bool m_openNewInForeground = false;
    bool m_fullScreen = false;
    bool m_viewSorvelBar = false;
    bool m_ie4Mode = false;
    bool m_addressTyped = false;
    NavigationRules::DomainCompletion m_domainCompletion;

    // Full screen keeps what it changed, to put it back.
    struct Placement
    {
        QRect geometry;
        bool maximized = false;
        bool statusBarVisible = true;
        bool toolbarVisible = true;
    } m_beforeFullScreen;

    bool m_groupOpening = false;
    bool m_windowShown = false;
    bool m_exited = false;
    bool m_suspendTabChange = false;
    QPointer<TBrowserTab> m_lastActive;
    TSorvelGroupMenu* m_groupMenu = nullptr;
    GroupCommandQuestions* m_groupDialogs = nullptr;  // the window's own
    GroupCommandQuestions* m_groupQuestions = nullptr; // in use

    // Tray and the default-browser check (MainWindowTray.cpp, MainWindowDefault.cpp).
    void buildTray();
    // The tray icon follows "MinToTray" (m_minToTray): at creation and from SetMinToTray.
    void syncTray();
    void pmTrayPopup();
    void TrayExitClick();
    void runDefaultBrowserCheck();
    TPGTrayIcon* m_pgTray = nullptr;
    QMenu* m_pmTray = nullptr;
    QAction* m_mnuTrayRestore = nullptr;
    bool m_trayMinimized = false;

    // Content switches (MainWindowContent.cpp).
    enum class ContentSwitch
    {
        Images,
        Videos,
        Sounds,
        Animations
    };
    void buildContentSwitches();
    void endContentSwitches();
    void applyContentSwitch(ContentSwitch which, bool on);
    void toggleContentSwitch(ContentSwitch which);
    void showContentSwitches();
    WebContentSwitches m_contentSwitches; // the working copies
    QToolButton* m_tbLoadImages = nullptr;
};
