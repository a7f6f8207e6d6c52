// The main window's creation sequence, its bars, and its exit sequence.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "address/window/AddressCommands.h"
#include "app/FirstPaint.h"
#include "app/PrivateMark.h"
#include "app/UserInputWatch.h"
#include "app/WindowHelp.h"
#include "app/WindowPicture.h"
#include "app/WindowPlacement.h"
#include "app/WindowQuestions.h"
#include "bars/BarsControl.h"
#include "bars/MenuBand.h"
#include "bars/window/WindowBars.h"
#include "blocking/ContentBlocker.h"
#include "blocking/FilterSubscriptions.h"
#include "blocking/window/BlockingCommands.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/TabClosing.h"
#include "browser/TabSet.h"
#include "browser/TabSleeper.h"
#include "browser/WheelZoom.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "browser/strip/StateIcons.h"
#include "browser/strip/TabColors.h"
#include "browser/window/TabMenu.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "desktop/TrayControl.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/window/FavoritesCommands.h"
#include "formfiller/window/FormFillerCommands.h"
#include "groups/dialogs/GroupDialogs.h"
#include "groups/window/GroupTabs.h"
#include "integration/window/WindowExternal.h"
#include "links/window/LinksCommands.h"
#include "mail/window/MailCommands.h"
#include "passwords/window/PasswordCommands.h"
#include "platform/FramePacer.h"
#include "platform/StartupMarks.h"
#include "platform/MemoryPressure.h"
#include "platform/Paths.h"
#include "platform/ShellFolders.h"
#include "platform/web/EngineServices.h"
#include "search/window/SearchCommands.h"
#include "session/SessionKeeper.h"
#include "session/window/SessionTabs.h"
#include "session/window/WindowHandOff.h"
#include "settings/ContentSwitchControl.h"
#include "settings/IEOptions.h"
#include "settings/PVOptions.h"
#include "settings/SpellLanguages.h"
#include "settings/window/InternetOptionsCommands.h"
#include "sidebar/SideBar.h"
#include "sidebar/window/SideBarCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

namespace {

// Commands whose work arrives with later parts of the program: shown, but not yet usable.
constexpr ActionId NotYetAvailable[] = {
    ActionId::actSynchSubscriptions,
};

} // namespace

TfrmMain::TfrmMain(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent)
    , m_start(std::move(options))
    , m_hive(*m_start.hive)
    , m_options(std::make_unique<TPVOptions>(m_hive))
{
    Q_ASSERT(m_start.hive && m_start.engine);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(PrivateMark::windowTitle(m_start.privateWindow));
    if (!m_start.questions)
        m_ownQuestions = std::make_unique<WindowDialogs>(this);
    m_questions = m_start.questions ? m_start.questions : m_ownQuestions.get();

    // The keyboard table and the hint handler come first, as the window's own.
    m_actions = new MainActions(this);
    m_dispatcher = new KeyDispatcher(
        this, [this] { return keyContext(); }, [this](KeyDispatcher::Command c) { runCommand(c); },
        this);
    new WheelZoom(this);
    // While pages load, the strip, the status bar and the page itself are drawn together,
    // once a frame, rather than each in its own drawing of the whole window.
    new FramePacer(*this);

    // The window's settings in one look-up of the hive rather than one each.
    const TPVOptions::Held held(*m_options);
    m_settings = WindowSettings::read(*m_options);
    // The last sites of the user's own window are not for a private one to bring back.
    if (m_start.privateWindow)
        m_settings.startupMode = QStringLiteral("Home");
    if (!m_options->GetAskDefaultBrowser())
        m_options->SetAskDefaultBrowser(false);
    m_ie4Mode = TIEOptions::IsVersion4(m_hive);
    buildWindow();

    m_content = new ContentSwitchControl(m_hive, m_start.privateWindow ? nullptr : m_start.bus,
                                         m_start.engine, this);
    connect(m_content, &ContentSwitchControl::switchesChanged, this,
            &TfrmMain::showContentSwitches);
    connect(m_content, &ContentSwitchControl::refreshAllWanted, this,
            [this] { runCommand(KeyDispatcher::Command::RefreshAll); });
    m_content->SetUserAgentTag(true);

    m_tray = new TrayControl(
        this,
        [this] {
            const TBrowserTab* tab = GetActivePage();
            return tab ? tab->Browser()->LocationName() : QString();
        },
        m_start.trayAvailable);
    m_tray->SetMinToTray(m_settings.minToTray);

    // The first tab, blank. While the start pages open, new tabs go to the end so that
    // restored tabs keep their order.
    TBrowserTab* first = m_tabs->NewTab();
    // Other copies and the command-line tool are answered from here on, also while a
    // question of the start waits for the user.
    m_handOff = new WindowHandOff(
        {*this, *m_tabs,
         [this](const QString& file) { OpenPageGroup(file, SGCloseFirst(), false); }, m_hive,
         m_start.bus, m_start.privateWindow},
        this);
    m_handOff->holdUntilStarted();

    applyInactiveTabColors(TabColors::tabColorsForScheme(m_options->GetTabColorScheme(),
                                                         m_options->GetInactiveTabColor(),
                                                         m_options->GetInactiveFontColor()));
    // A picture of the window asks nothing.
    if (m_start.screenshotFile.isEmpty())
        m_external->runDefaultBrowserCheck(m_start.askDefaultBrowser);
    // Both strips, the tabs' and the side bar's panes', get the same side too.
    const bool tabsDown = m_options->GetTabsDown();
    m_pcPage->setTabPosition(tabsDown ? TPVPageControl::Side::Bottom : TPVPageControl::Side::Top);
    m_sideBar->setTabsOnTop(!tabsDown);

    m_content->load();
    showContentSwitches();
    m_windowBars->showAsSet();
    m_placement->applyStored();
    if (m_settings.fullScreen)
        setFullScreen(true);

    m_sleeper = new TabSleeper({[this] { return tabs(); },
                                [this]() -> const TBrowserTab* { return GetActivePage(); },
                                &MemoryPressure::isLowNow,
                                {}}, // the steady clock
                               this);
    m_sleeper->setFreezeAfterMinutes(m_settings.freezeTabsAfter);
    m_sleeper->setUnloadAfterMinutes(m_settings.unloadTabsAfter);
    applyPageFeatures(m_settings);
    // The first pages wait for the window's first picture: the user sees the window at
    // once, and the engine starting up does not hold it back.
    if (m_start.opensPagesWhenPainted) {
        // Nor does the first tab load a blank page before then; but its page is set up
        // in the engine now, so that the window is made once, with the surface the page
        // is drawn on.
        if (first) {
            first->holdBlankPage();
            first->Browser()->backend()->prepareDrawing();
        }
        new FirstPaint(*this, [this, held = QPointer<TBrowserTab>(first)] {
            StartupMarks::mark(StartupMarks::FirstPaint);
            openFirstPages();
            if (held)
                held->releaseBlankPage();
        });
    } else {
        openFirstPages();
    }

    // The saved band layout is put in place once the window is up.
    QTimer::singleShot(1, this, [this] { bars()->LoadBandLayout(m_hive); });
}

void TfrmMain::openFirstPages()
{
    m_session->openStartOrRestore();
    m_tabs->setOpenNewAtEnd(m_settings.openNewAtEnd);
    m_handOff->started();

    if (!m_start.screenshotFile.isEmpty()) {
        new WindowPicture(*this, *m_tabs, m_start.screenshotFile, [this](bool ok) {
            Q_EMIT screenshotTaken(ok);
            close();
        });
    }
    m_firstPagesOpened = true;
    StartupMarks::mark(StartupMarks::FirstPages);
    Q_EMIT firstPagesOpened();
}

TfrmMain::~TfrmMain()
{
    runExitSequence();
    // Tabs report changes while they go; there is no session to note them in any more.
    delete m_session;
    m_session = nullptr;
}

void TfrmMain::buildWindow()
{
    // The Favorites and History folders are named in the hive on the first run, before the
    // links bar, the side bar or the Favorites menu look for them.
    ShellFolders::seed(m_hive);
    m_pcPage = new TPVPageControl(this);
    m_pcPage->setObjectName(QStringLiteral("pcPage"));
    m_popups = new PopupControl(m_hive, this);
    if (m_start.contentBlocker)
        m_popups->setContentFilter(m_start.contentBlocker->filter());
    m_tabs = new TabSet(
        *m_pcPage,
        {*m_start.engine, m_hive, *m_popups, [this] { return m_questions->askStickyName(); }},
        this);
    m_tabs->setLimitTitleLength(m_settings.limitTitleLength);
    m_tabs->setOpenNewInForeground(m_settings.openNewInForeground);
    // The window's own parts, which reach it through its public side only.
    m_closing = new TabClosing(
        *m_tabs, *m_options, *m_questions, [this] { return GroupOpening(); }, this);
    m_groupTabs = new GroupTabs(*m_tabs, *m_closing, m_settings, this);
    m_internet = new InternetOptionsCommands({m_hive, *m_start.engine, *m_questions,
                                              *action(ActionId::actWorkOffline),
                                              [this] {
                                                  const TBrowserTab* tab = GetActivePage();
                                                  return tab ? tab->GetAddress() : QString();
                                              },
                                              this},
                                             this);
    m_pcPage->setImages(StateIcons::tabStateImages(devicePixelRatioF()));
    m_pcPage->setMultiLine(m_settings.multipleLines);
    m_pcPage->SetAllowTabShifting(!m_settings.multipleLines);
    // Reached with Tab, never by a click, which leaves the keyboard with the page; there
    // Shift+F10 or the Menu key opens the tab menu.
    m_pcPage->tabStrip()->setFocusPolicy(Qt::TabFocus);
    setCentralWidget(m_pcPage);
    connect(m_pcPage, &TPVPageControl::hintChanged, this, [this](const QString& hint) {
        if (!hint.isEmpty())
            SetStatusText(hint);
    });

    m_statusBar = new TPVStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbMain"));
    setStatusBar(m_statusBar);

    m_menus = std::make_unique<MenuBuilder>(*m_actions, this);
    // Pages may open windows freely only as far as the user asks for them.
    new UserInputWatch(this);

    buildBars();
    m_placement = new WindowPlacement(
        {*this, m_settings, *m_actions, *m_windowBars->controls(), *m_statusBar}, this);
    m_groups =
        new SorvelGroupCommands(*m_groupTabs, new GroupDialogs(this), menu(MenuId::Groups), this);
    m_session = new SessionTabs(
        {*m_tabs, *m_groups, m_settings, *m_options, *m_questions, *m_questions,
         [this](QWidget* bar) { placeAboveTabs(bar); }},
        {m_start.sessionFile, m_start.argument, std::exchange(m_start.leftSessions, {})}, this);
    m_pmTab = new TTabMenu(
        *m_tabs, *m_actions, [this](TBrowserTab* tab) { AddTabToGroup(tab); }, this);
    connect(m_pcPage, &TPVPageControl::tabRightPressed, m_pmTab, &TTabMenu::popupFor);
    connectCommands();
    m_external = new WindowExternal(
        {*m_tabs, *m_windowBars->menuBand(), *menu(MenuId::EditWith), *m_questions, m_hive}, this);
    m_mail = new MailCommands(*m_tabs, *m_actions, *menu(MenuId::Mail), *m_statusBar, this);
    if (m_start.contentBlocker)
        m_blocking = new BlockingCommands(
            {*m_start.contentBlocker, *m_tabs, *m_actions, *m_pmTab, *m_statusBar}, this);
    // A private window or a picture downloads no lists: the user's copy keeps them fresh.
    FileFetcher* fetcher = m_start.engine->fileFetcher();
    if (m_start.contentBlocker && fetcher && !m_start.privateWindow &&
        m_start.screenshotFile.isEmpty()) {
        m_subscriptions = new FilterSubscriptions(
            FilterSubscriptionList(m_hive), *fetcher, m_start.contentBlocker->folder(),
            [] { return QDateTime::currentDateTimeUtc(); }, this);
        m_subscriptions->start();
    } else
        action(ActionId::actBlockedContent)->setEnabled(false);
    auto* sideBarCommands =
        new SideBarCommands({*this, *m_tabs, *m_groups, *m_actions, m_settings, *m_statusBar,
                             m_hive, m_start.engine->historyFile()},
                            this);
    m_sideBar = sideBarCommands->sideBar();
    m_formFiller =
        new FormFillerCommands(*m_tabs, *m_actions, m_hive, m_start.formFillerQuestions, this);
    m_passwords = new PasswordCommands({*m_tabs, *m_actions, *m_pmTab, m_hive, m_start.passwords,
                                        m_start.engine->offTheRecord(), this},
                                       this);
    m_search = new SearchCommands({*this, *m_tabs, *m_sideBar, *m_addressBand, *m_actions,
                                   *menu(MenuId::SearchEngines), *m_questions, m_settings, m_hive,
                                   *m_start.engine, m_ie4Mode},
                                  this);
    m_favorites = new FavoritesCommands({*this, *m_tabs, *m_actions, *menu(MenuId::Favorites),
                                         *toolbar(), *m_sideBar, sideBarCommands->host(),
                                         *m_questions, m_settings, m_hive, *m_start.engine},
                                        this);
    // The Favorites folder's monitor also finds a Links folder made after the start.
    connect(m_favorites->menu(), &FavoritesMenu::folderChanged, m_links,
            &LinksCommands::favoritesFolderChanged);
    connect(m_internet, &InternetOptionsCommands::historyChanged, m_sideBar,
            &SideBar::historyOptionsChanged);
    wireTabSet();
}

void TfrmMain::buildBars()
{
    m_windowBars = new WindowBars({*this, *m_menus, *m_actions, m_settings, *m_tabs, *m_statusBar,
                                   [this] { return FullScreen(); }});
    menu(MenuId::Tabs)->addAction(QStringLiteral("(none)"))->setEnabled(false);
    connect(menu(MenuId::Tabs), &QMenu::aboutToShow, this, &TfrmMain::rebuildTabsMenu);
    // The offline state belongs to the system: other programs change it too.
    connect(menu(MenuId::File), &QMenu::aboutToShow, m_internet,
            &InternetOptionsCommands::syncWorkOffline);

    m_addressBand = new AddressBand(m_hive, m_start.engine->historyFile(), this);
    m_address = new AddressCommands(
        {*m_addressBand, *m_tabs, m_settings, *m_options, *m_questions,
         [this](const QString& typed) { return m_search->addressForTyped(typed); }, m_ie4Mode},
        this);
    m_addressBand->SetShowGo(m_settings.showGo);
    m_addressBand->loadTypedAddresses();
    m_address->SetAutoCompleteStyle(m_settings.autoCompleteStyle);
    m_address->LoadAddressCompletion();

    m_windowBars->placeBands(*m_addressBand);
    m_links = new LinksCommands(*m_tabs, *bars(), *m_statusBar, m_settings, m_hive, *m_start.engine,
                                this);
    for (ActionId id : NotYetAvailable)
        action(id)->setEnabled(false);
    action(ActionId::actNewPrivate)->setEnabled(bool(m_start.openPrivateWindow));
    if (m_start.privateWindow)
        PrivateMark::mark(*this, *m_addressBand, [this](QWidget* bar) { placeAboveTabs(bar); });
}

QAction* TfrmMain::action(ActionId id) const
{
    return m_actions->get(id);
}

QMenu* TfrmMain::menu(MenuId id) const
{
    return m_menus->menu(id);
}

WindowSettings TfrmMain::settings() const
{
    WindowSettings now = m_settings;
    now.openNewInForeground = m_tabs->OpenNewInForeground();
    m_placement->save(now);
    now.usePopupSorvel = m_popups->UsePopupSorvel();
    now.viewSorvelBar = action(ActionId::actViewSorvelBar)->isChecked();
    now.viewToolbar = action(ActionId::actViewToolbar)->isChecked();
    now.viewAddressBar = action(ActionId::actViewAddressBar)->isChecked();
    now.viewLinksBar = action(ActionId::actViewLinksBar)->isChecked();
    now.viewStatusBar = action(ActionId::actViewStatusBar)->isChecked();
    return now;
}

void TfrmMain::applySettings(const WindowSettings& wanted)
{
    const WindowSettings old = settings();
    m_settings = wanted;
    // Each owner's setter, by the setting it takes; WindowSettings::pushes says who is told.
    using S = WindowSetting;
    const std::pair<S, std::function<void()>> setters[] = {
        {S::DisableALTShortcuts, [this] { applyAltShortcuts(); }},
        {S::OpenNewInForeground,
         [&] {
             m_tabs->setOpenNewInForeground(wanted.openNewInForeground);
             action(ActionId::actForeground)->setChecked(wanted.openNewInForeground);
         }},
        {S::AutoCompleteStyle, [&] { m_address->SetAutoCompleteStyle(wanted.autoCompleteStyle); }},
        {S::MinToTray, [&] { m_tray->SetMinToTray(wanted.minToTray); }},
        {S::ShowGo, [&] { m_addressBand->SetShowGo(wanted.showGo); }},
        // While a group opens, its tabs keep going to the end whatever the rule says.
        {S::OpenNewAtEnd, [&] { m_tabs->setOpenNewAtEnd(wanted.openNewAtEnd); }},
        {S::LimitTitleLength, [&] { m_tabs->setLimitTitleLength(wanted.limitTitleLength); }},
        {S::UsePopupSorvel, [&] { m_popups->SetUsePopupSorvel(wanted.usePopupSorvel); }},
        {S::FreezeTabsAfter, [&] { m_sleeper->setFreezeAfterMinutes(wanted.freezeTabsAfter); }},
        {S::UnloadTabsAfter, [&] { m_sleeper->setUnloadAfterMinutes(wanted.unloadTabsAfter); }},
        {S::SpellCheck, [&] { applyPageFeatures(wanted); }},
        {S::SpellCheckLanguage, [&] { applyPageFeatures(wanted); }},
        {S::PdfViewer, [&] { applyPageFeatures(wanted); }},
    };
    for (const WindowSettings::Push& push : WindowSettings::pushes(old, wanted)) {
        const auto setter =
            std::find_if(std::begin(setters), std::end(setters),
                         [&push](const auto& s) { return s.first == push.setting; });
        Q_ASSERT_X(setter != std::end(setters), "applySettings",
                   WindowSettings::row(push.setting).name);
        if (setter != std::end(setters))
            setter->second();
    }
}

void TfrmMain::applyPageFeatures(const WindowSettings& settings)
{
    const QString language =
        SpellLanguages::choose(settings.spellCheckLanguage, QLocale::system().name(),
                               SpellLanguages::available(Paths::dictionariesFolder()));
    m_start.engine->applyPageFeatures({settings.spellCheck, language, settings.pdfViewer});
}

void TfrmMain::placeAboveTabs(QWidget* bar)
{
    auto* container = new QWidget(this);
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bar->setParent(container);
    layout->addWidget(bar);
    layout->addWidget(takeCentralWidget());
    setCentralWidget(container);
}

QMenu* TfrmMain::createPopupMenu()
{
    // The bars have their own context menu (pmCustomize), which keeps the View menu's
    // items saying what is shown.
    return nullptr;
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!m_exited && !mayExit()) {
        event->ignore();
        return;
    }
    runExitSequence();
    event->accept();
    Q_EMIT exited();
}

void TfrmMain::ExitNow()
{
    runExitSequence();
    close();
}

bool TfrmMain::mayExit()
{
    const int running = m_start.engine->runningDownloads();
    return running == 0 || m_questions->confirmExitWithDownloads(running);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_windowShown = true;
    m_tabs->setWindowShown(true);
}

void TfrmMain::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    m_windowShown = false;
    m_tabs->setWindowShown(false);
}

bool TfrmMain::event(QEvent* event)
{
    // The hint handler: the long part of the hint under the mouse goes to panel 0.
    if (event->type() == QEvent::StatusTip) {
        SetStatusText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::applyInactiveTabColors(const TabColors::TabColorPair& colors)
{
    // Both strips, the tabs' and the side bar's panes', get the same pair.
    m_pcPage->SetInactiveTabColor(colors.tab);
    m_pcPage->SetInactiveFontColor(colors.font);
    m_sideBar->setInactiveTabColors(colors);
}

bool TfrmMain::focusNextPrevChild(bool next)
{
    // The tabs come right after the address band, wherever the user has moved the bands:
    // Tab from its last stop reaches them, where the arrows walk them, and Shift+Tab goes
    // back to the address.
    QWidget* const strip = m_pcPage->tabStrip();
    QWidget* const from = QApplication::focusWidget();
    if (!next) {
        QWidget* const address = m_addressBand->box();
        if (from != strip || !address->isVisible())
            return QMainWindow::focusNextPrevChild(next);
        address->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    const bool fromBand = from && m_addressBand->isAncestorOf(from);
    const bool moved = QMainWindow::focusNextPrevChild(next);
    QWidget* const to = QApplication::focusWidget();
    if (fromBand && to != from && !m_addressBand->isAncestorOf(to) && strip->isVisible())
        strip->setFocus(Qt::TabFocusReason);
    return moved;
}

void TfrmMain::runExitSequence()
{
    if (m_exited)
        return;
    m_exited = true;
    delete m_dispatcher;
    m_dispatcher = nullptr;
    m_popups->stopSweep();
    m_search->stop();
    m_handOff->stopAnswering();
    m_content->end();
    CloseHiddenTabs();

    // A picture of the window must not change the user's session, nor a private window
    // the user's bars (its settings are a stand-in that goes with it).
    if (!m_start.screenshotFile.isEmpty() || m_start.privateWindow)
        return;

    m_windowBars->saveToolbarLayout();
    QStringList addresses;
    const auto all = tabs();
    for (TBrowserTab* tab : all)
        addresses << tab->GetAddress();
    bool sitesKept = false;
    try {
        // Told to leave before its first pages opened (while starting), the window has no
        // sites of its own: those stored stay for the next start.
        if (m_firstPagesOpened)
            m_options->SetLastOpenSites(TPVOptions::BuildLastOpenSites(addresses));
        sitesKept = true;
        // The band layout goes among the settings, before the bars' visibility.
        settings().write(*m_options, [this] {
            try {
                bars()->SaveBandLayout(m_hive);
            } catch (const RegistryError&) {
                // A layout that cannot be written is lost; the design one comes back.
            }
        });
    } catch (const RegistryError&) {
        // Settings that cannot be written at exit are lost; the exit goes on.
    }
    try {
        m_addressBand->saveTypedAddresses();
    } catch (const RegistryError&) {
    }
    // A clean exit: "Last Open Sites" and "StartupMode" decide the next start, as always.
    // When the open sites could not be written, the kept session is all that holds the
    // tabs: it stays, up to date, and the next start brings them back from it.
    if (SessionKeeper* keeper = session()) {
        if (sitesKept)
            keeper->endCleanly();
        else
            keeper->flush();
    }
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        (*it)->Stop();
}
