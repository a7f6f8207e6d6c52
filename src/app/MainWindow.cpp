// The main window's creation sequence and its exit sequence.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "app/Throbber.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"
#include "browser/strip/TabColors.h"
#include "browser/strip/pvstatus.h"
#include "platform/MessageBus.h"
#include "platform/Paths.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

TfrmMain::TfrmMain(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent)
    , m_start(std::move(options))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Pelvane"));

    // The keyboard table and the hint handler come first, as the window's own.
    m_actions = new MainActions(this);
    m_dispatcher = new KeyDispatcher(
        this, [this] { return keyContext(); }, [this](KeyDispatcher::Command c) { runCommand(c); },
        this);

    buildWindow();
    buildContentSwitches();
    SetUserAgentTag(true);
    readSettings();
    initNavigation();
    buildTray();

    // The first tab, blank. While the start pages open, new tabs go to the end so that
    // restored tabs keep their order.
    m_placeAtEnd = true;
    createTab(false);

    applyTabColors();
    runDefaultBrowserCheck();
    const auto side =
        m_options.GetTabsDown() ? TPVPageControl::Side::Bottom : TPVPageControl::Side::Top;
    m_pcPage->setTabPosition(side);

    LoadContentSwitches();
    m_actions->get("actViewToolbar")->setChecked(m_options.GetViewToolbar());
    m_actions->get("actViewAddressBar")->setChecked(m_options.GetViewAddressBar());
    m_actions->get("actViewLinksBar")->setChecked(m_options.GetViewLinksBar());
    m_actions->get("actViewStatusBar")->setChecked(m_options.GetViewStatusBar());
    m_actions->get("actViewMenuBar")->setChecked(true);
    m_tbMain->setVisible(m_actions->get("actViewToolbar")->isChecked());
    m_pnlAddress->setVisible(m_actions->get("actViewAddressBar")->isChecked());
    m_statusBar->setVisible(m_actions->get("actViewStatusBar")->isChecked());
    m_actions->get("actViewSorvelBar")->setChecked(m_viewSorvelBar);
    m_actions->get("actForeground")->setChecked(m_openNewInForeground);

    applyWindowPlacement();
    if (m_options.GetFullScreen())
        setFullScreen(true);

    openStartPages();
    m_placeAtEnd = m_openNewAtEnd;

    if (m_start.bus) {
        m_start.bus->setHandler(QStringLiteral("Pelvane"), [this](const QJsonValue& payload) {
            // Answer first; the tab work runs once the sender has its answer.
            const QString value = payload.toString();
            QTimer::singleShot(0, this, [this, value] { HandleHandOff(value); });
            return QJsonValue(true);
        });
        m_start.bus->setHandler(QStringLiteral("ListTabs"),
                                [this](const QJsonValue&) { return QJsonValue(describeTabs()); });
    }
    if (!m_start.screenshotFile.isEmpty())
        startScreenshotWatch();
}

TfrmMain::~TfrmMain()
{
    runExitSequence();
}

void TfrmMain::buildWindow()
{
    m_pcPage = new TPVPageControl(this);
    m_pcPage->setObjectName(QStringLiteral("pcPage"));
    m_pcPage->setImages(StateIcons::tabStateImages(devicePixelRatioF()));
    setCentralWidget(m_pcPage);
    connect(m_pcPage, &TPVPageControl::currentChanged, this, [this] {
        if (!m_suspendTabChange)
            onTabChange();
    });
    connect(m_pcPage, &TPVPageControl::hintChanged, this, [this](const QString& hint) {
        if (!hint.isEmpty())
            SetStatusText(hint);
    });

    m_statusBar = new TPVStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbMain"));
    setStatusBar(m_statusBar);

    buildMenus();
    // The logo area at the right end of the menu bar.
    auto* spacer = new QWidget(m_tbMenu);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_tbMenu->addWidget(spacer);
    m_throbber = new Throbber(m_tbMenu);
    m_throbber->setLoadingQuery([this] {
        const TBrowserTab* tab = GetActivePage();
        return tab && tab->Busy();
    });
    m_tbMenu->addWidget(m_throbber);
    buildToolbar();
    buildAddressBar();
    connectActions();
    buildClosing();
    connectGroupCommands();
    connectOptions();

    m_tmrCloseHidden = new QTimer(this);
    m_tmrCloseHidden->setObjectName(QStringLiteral("tmrCloseHidden"));
    m_tmrCloseHidden->setSingleShot(true);
    m_tmrCloseHidden->setInterval(2000);
    connect(m_tmrCloseHidden, &QTimer::timeout, this, &TfrmMain::CloseHiddenTabs);
}

void TfrmMain::readSettings()
{
    m_showGo = m_options.GetShowGo();
    m_disableAltShortcuts = m_options.GetDisableALTShortcuts();
    m_autoCompleteStyle = m_options.GetAutoCompleteStyle();
    m_addressNewWin = m_options.GetAddressNewWin();
    m_openNewAtEnd = m_options.GetOpenNewAtEnd();
    m_sgCloseFirst = m_options.GetSGCloseFirst();
    m_searchBar = m_options.GetSearchBar();
    if (m_searchBar.isEmpty())
        m_searchBar = TPVOptions::DefaultSearchBar();
    m_minToTray = m_options.GetMinToTray();
    m_sorvelBarWidth = m_options.GetSorvelBarWidth();
    m_usePopupSorvel = m_options.GetUsePopupSorvel();
    m_popupList = m_options.GetPopupSorvelList();
    m_limitTitleLength = m_options.GetLimitTitleLength();
    m_multipleLines = m_options.GetMultipleLines();
    m_pcPage->setMultiLine(m_multipleLines);
    m_pcPage->SetAllowTabShifting(!m_multipleLines);
    m_startupMode = m_options.GetStartupMode();
    m_startupSorvelGroup = m_options.GetStartupSorvelGroup();
    m_favoritesNewWin = m_options.GetFavoritesNewWin();
    m_historyNewWin = m_options.GetHistoryNewWin();
    m_searchNewWin = m_options.GetSearchNewWin();
    m_linksNewWin = m_options.GetLinksNewWin();
    m_newAction = qBound(0, m_options.GetNewAction(), 2);
    m_sbAutoExpand = m_options.GetSBAutoExpand();
    m_openNewInForeground = m_options.GetOpenNewInForeground();
    m_viewSorvelBar = m_options.GetViewSorvelBar();
    if (!m_options.GetAskDefaultBrowser())
        m_options.SetAskDefaultBrowser(false);
}

void TfrmMain::applyTabColors()
{
    const auto pair = TabColors::tabColorsForScheme(m_options.GetTabColorScheme(),
                                                    m_options.GetInactiveTabColor(),
                                                    m_options.GetInactiveFontColor());
    m_pcPage->SetInactiveTabColor(pair.tab);
    m_pcPage->SetInactiveFontColor(pair.font);
}

void TfrmMain::applyWindowPlacement()
{
    if (m_options.GetMaximized()) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    // A placement from a larger screen, or a corrupt one, must not leave the window out
    // of reach: keep it on the screen it would appear on.
    QRect wanted(m_options.GetLeft(), m_options.GetTop(), m_options.GetWidth(),
                 m_options.GetHeight());
    const QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        wanted.setWidth(qBound(200, wanted.width(), qMax(200, area.width())));
        wanted.setHeight(qBound(150, wanted.height(), qMax(150, area.height())));
        if (!area.intersects(wanted))
            wanted.moveTopLeft(area.topLeft());
    }
    move(wanted.topLeft());
    resize(wanted.size());
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    runExitSequence();
    event->accept();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_windowShown = true;
}

void TfrmMain::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    m_windowShown = false;
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

void TfrmMain::runExitSequence()
{
    if (m_exited)
        return;
    m_exited = true;
    delete m_dispatcher;
    m_dispatcher = nullptr;
    m_tmrCloseHidden->stop();
    if (m_start.bus) {
        m_start.bus->setHandler(QStringLiteral("Pelvane"),
                                [](const QJsonValue&) { return QJsonValue(); });
        m_start.bus->setHandler(QStringLiteral("ListTabs"),
                                [](const QJsonValue&) { return QJsonValue(QJsonArray()); });
    }
    endContentSwitches();
    CloseHiddenTabs();

    // A picture of the window must not change the user's session.
    if (!m_start.screenshotFile.isEmpty())
        return;

    QStringList addresses;
    const auto all = tabs();
    for (TBrowserTab* tab : all)
        addresses << tab->GetAddress();
    try {
        m_options.SetLastOpenSites(TPVOptions::BuildLastOpenSites(addresses));
        writeSettings();
    } catch (const RegistryError&) {
        // Settings that cannot be written at exit are lost; the exit goes on.
    }
    saveTypedAddresses();
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        (*it)->Stop();
}

void TfrmMain::writeSettings()
{
    m_options.SetDisableALTShortcuts(m_disableAltShortcuts);
    m_options.SetOpenNewInForeground(m_openNewInForeground);
    m_options.SetAddressNewWin(m_addressNewWin);
    m_options.SetAutoCompleteStyle(m_autoCompleteStyle);
    m_options.SetMinToTray(m_minToTray);
    m_options.SetShowGo(m_showGo);
    m_options.SetSBAutoExpand(m_sbAutoExpand);

    // In full screen the window's own placement is the one it had before.
    const bool maximized = m_fullScreen ? m_beforeFullScreen.maximized : isMaximized();
    if (!maximized) {
        const QRect frame = m_fullScreen ? m_beforeFullScreen.geometry : QRect(pos(), size());
        m_options.SetTop(qMax(0, frame.top()));
        m_options.SetHeight(qMax(0, frame.height()));
        m_options.SetLeft(qMax(0, frame.left()));
        m_options.SetWidth(qMax(0, frame.width()));
    }
    m_options.SetMaximized(maximized);
    m_options.SetOpenNewAtEnd(m_openNewAtEnd);
    m_options.SetSorvelBarWidth(m_sorvelBarWidth);
    m_options.SetLimitTitleLength(m_limitTitleLength);
    m_options.SetSearchBar(m_searchBar);
    m_options.SetFullScreen(m_fullScreen);
    m_options.SetUsePopupSorvel(m_usePopupSorvel);
    m_options.SetViewSorvelBar(m_actions->get("actViewSorvelBar")->isChecked());
    m_options.SetViewToolbar(m_actions->get("actViewToolbar")->isChecked());
    m_options.SetViewAddressBar(m_actions->get("actViewAddressBar")->isChecked());
    m_options.SetViewLinksBar(m_actions->get("actViewLinksBar")->isChecked());
    m_options.SetViewStatusBar(m_actions->get("actViewStatusBar")->isChecked());
    m_options.SetSGCloseFirst(m_sgCloseFirst);
}
