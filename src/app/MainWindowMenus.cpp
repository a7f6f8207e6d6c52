// The menu bar (a toolbar of menu buttons), the main toolbar and the address bar.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "browser/BrowserTab.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

using Command = KeyDispatcher::Command;

QMenu* addMenuButton(QToolBar* bar, const QString& caption, const char* name)
{
    auto* menu = new QMenu(caption, bar);
    menu->setObjectName(QString::fromLatin1(name));
    auto* button = new QToolButton(bar);
    button->setText(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setObjectName(QStringLiteral("tb") + QString::fromLatin1(name).mid(3));
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    bar->addWidget(button);
    return menu;
}

QToolButton* buttonOf(QMenu* menu)
{
    const auto buttons = menu->parentWidget()->findChildren<QToolButton*>();
    for (QToolButton* button : buttons) {
        if (button->menu() == menu)
            return button;
    }
    return nullptr;
}

// Actions whose work arrives with later parts of the program: shown, but not yet usable.
constexpr const char* NotYetAvailable[] = {
    "actAddToFavorites",
    "actOrganizeFavorites",
    "actSynchSubscriptions",
    "actReadMail",
    "actViewSorvelBar",
    "actViewLinksBar",
    "actGoSearch", // the side bar's search page
    "actHelpTopics",
    "actSupport",
};

} // namespace

void TfrmMain::buildMenus()
{
    m_tbMenu = addToolBar(QStringLiteral("Menu"));
    m_tbMenu->setObjectName(QStringLiteral("tbMenu"));
    m_tbMenu->setMovable(true);
    const auto a = [this](const char* name) { return m_actions->get(name); };

    QMenu* file = addMenuButton(m_tbMenu, QStringLiteral("&File"), "mnuFile");
    QMenu* newBrowser = file->addMenu(QStringLiteral("&New Browser"));
    newBrowser->addAction(a("pmFileNewBlank"));
    newBrowser->addAction(a("actNewHome"));
    newBrowser->addAction(a("actNewSearch"));
    newBrowser->addAction(a("actNewCurrent"));
    file->addAction(a("actOpen"));
    file->addSeparator();
    file->addAction(a("actSaveAs"));
    file->addAction(a("actSaveAsSorvelGroup"));
    file->addSeparator();
    file->addAction(a("actPageSetup"));
    file->addAction(a("actPrint"));
    file->addSeparator();
    file->addAction(a("actProperties"));
    file->addAction(a("actWorkOffline"));
    file->addSeparator();
    file->addAction(a("actClose"));
    addCloseAllMenu(file);
    file->addSeparator();
    file->addAction(a("actExit"));
    m_menuButtons.insert(Command::FileMenu, buttonOf(file));

    QMenu* edit = addMenuButton(m_tbMenu, QStringLiteral("&Edit"), "mnuEdit");
    edit->addAction(a("actCut"));
    edit->addAction(a("actCopy"));
    edit->addAction(a("actPaste"));
    edit->addSeparator();
    edit->addAction(a("actSelectAll"));
    edit->addSeparator();
    edit->addAction(a("actFind"));
    m_menuButtons.insert(Command::EditMenu, buttonOf(edit));

    QMenu* view = addMenuButton(m_tbMenu, QStringLiteral("&View"), "mnuView");
    view->addAction(a("actViewToolbar"));
    view->addAction(a("actViewMenuBar"));
    view->addAction(a("actViewAddressBar"));
    view->addAction(a("actViewLinksBar"));
    view->addAction(a("actViewStatusBar"));
    view->addAction(a("actViewSorvelBar"));
    view->addSeparator();
    view->addAction(a("actViewStop"));
    view->addAction(a("actViewRefresh"));
    view->addSeparator();
    m_mnuFont = view->addMenu(QStringLiteral("Te&xt Size"));
    m_mnuFont->setObjectName(QStringLiteral("pmFont"));
    for (const char* name :
         {"actFontLargest", "actFontLarge", "actFontMedium", "actFontSmaller", "actFontSmallest"})
        m_mnuFont->addAction(a(name));
    connect(m_mnuFont, &QMenu::aboutToShow, this, &TfrmMain::updateTextSizeChecks);
    view->addAction(a("actViewSource"));
    view->addSeparator();
    view->addAction(a("actFullScreen"));
    a("actViewMenuBar")->setVisible(false); // offered in full screen only
    m_menuButtons.insert(Command::ViewMenu, buttonOf(view));

    QMenu* go = addMenuButton(m_tbMenu, QStringLiteral("&Go"), "mnuGo");
    go->addAction(a("actGoBack"));
    go->addAction(a("actGoForward"));
    go->addSeparator();
    go->addAction(a("actGoHome"));
    go->addAction(a("actGoSearch"));
    go->addAction(a("actTabHome"));
    go->addSeparator();
    go->addAction(a("actPreviousBrowserTab"));
    go->addAction(a("actNextBrowserTab"));
    go->addAction(a("actFollowNextLink"));
    m_menuButtons.insert(Command::GoMenu, buttonOf(go));

    QMenu* favorites = addMenuButton(m_tbMenu, QStringLiteral("F&avorites"), "mnuFavorites");
    favorites->addAction(a("actAddToFavorites"));
    favorites->addAction(a("actOrganizeFavorites"));
    favorites->addSeparator();
    m_menuButtons.insert(Command::FavoritesMenu, buttonOf(favorites));

    QMenu* groups = addMenuButton(m_tbMenu, QStringLiteral("&SorvelGroups"), "mnuSorvelGroups");
    groups->addAction(a("actSaveAsSorvelGroup"));
    groups->addAction(a("actAddToSorvelGroup"));
    groups->addAction(a("actOrganizeSorvelGroups"));
    groups->addSeparator();
    m_menuButtons.insert(Command::GroupsMenu, buttonOf(groups));

    QMenu* options = addMenuButton(m_tbMenu, QStringLiteral("&Options"), "mnuOptions");
    options->addAction(a("actForeground"));
    options->addSeparator();
    options->addAction(a("actOptions"));
    m_menuButtons.insert(Command::OptionsMenu, buttonOf(options));

    QMenu* tools = addMenuButton(m_tbMenu, QStringLiteral("&Tools"), "mnuTools");
    tools->addAction(a("actReadMail"));
    tools->addAction(a("actSynchSubscriptions"));
    tools->addSeparator();
    tools->addAction(a("mnuClearAddresses"));
    tools->addAction(a("actInternetOptions"));
    m_menuButtons.insert(Command::ToolsMenu, buttonOf(tools));

    m_mnuTabs = addMenuButton(m_tbMenu, QStringLiteral("Tab&s"), "mnuTabs");
    m_mnuTabs->addAction(QStringLiteral("(none)"))->setEnabled(false);
    connect(m_mnuTabs, &QMenu::aboutToShow, this, &TfrmMain::rebuildTabsMenu);
    m_menuButtons.insert(Command::TabsMenu, buttonOf(m_mnuTabs));

    QMenu* help = addMenuButton(m_tbMenu, QStringLiteral("&Help"), "mnuHelp");
    help->addAction(a("actHelpTopics"));
    help->addAction(a("actSupport"));
    help->addSeparator();
    help->addAction(a("actAbout"));
    m_menuButtons.insert(Command::HelpMenu, buttonOf(help));

    for (const char* name : NotYetAvailable)
        a(name)->setEnabled(false);
    addToolBarBreak();
}

void TfrmMain::buildToolbar()
{
    m_tbMain = addToolBar(QStringLiteral("Toolbar"));
    m_tbMain->setObjectName(QStringLiteral("tbMain"));
    m_tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const auto add = [this](const char* name, QStyle::StandardPixmap icon, const QString& text) {
        QAction* action = m_actions->get(name);
        action->setIcon(style()->standardIcon(icon));
        action->setIconText(text);
        m_tbMain->addAction(action);
    };
    add("actGoBack", QStyle::SP_ArrowBack, QStringLiteral("Back"));
    add("actGoForward", QStyle::SP_ArrowForward, QStringLiteral("Forward"));
    add("actViewStop", QStyle::SP_BrowserStop, QStringLiteral("Stop"));
    add("actViewRefresh", QStyle::SP_BrowserReload, QStringLiteral("Refresh"));
    add("actGoHome", QStyle::SP_DirHomeIcon, QStringLiteral("Home"));
    m_tbMain->addSeparator();
    add("actNewBlank", QStyle::SP_FileIcon, QStringLiteral("New"));
    add("actClose", QStyle::SP_DialogCloseButton, QStringLiteral("Close"));
    m_tbMain->addSeparator();
    add("actPrint", QStyle::SP_DialogSaveButton, QStringLiteral("Print"));
    add("actFullScreen", QStyle::SP_TitleBarMaxButton, QStringLiteral("FullScreen"));
    addToolBarBreak();
}

void TfrmMain::dropDownMenu(QToolButton* button)
{
    if (button && button->isVisible())
        button->showMenu();
}

void TfrmMain::updateTextSizeChecks()
{
    static constexpr const char* bySize[] = {"actFontSmallest", "actFontSmaller", "actFontMedium",
                                             "actFontLarge", "actFontLargest"};
    for (const char* name : bySize)
        m_actions->get(name)->setChecked(false);
    if (TBrowserTab* tab = GetActivePage()) {
        const int size = tab->GetFontSize();
        if (size >= 0 && size <= 4)
            m_actions->get(bySize[size])->setChecked(true);
    }
}
