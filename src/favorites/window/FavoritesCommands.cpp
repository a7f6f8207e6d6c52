#include "favorites/window/FavoritesCommands.h"

#include "bars/MainToolbar.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "commands/MainActions.h"
#include "commands/MenuLayout.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/dialogs/AddFavoriteDialog.h"
#include "favorites/dialogs/FavoritesWindow.h"
#include "favorites/dialogs/ImportExportWizard.h"
#include "favorites/dialogs/OrganizeFavoritesDialog.h"
#include "platform/FolderTree.h"
#include "platform/Questions.h"
#include "platform/ShellFolders.h"
#include "platform/web/EngineServices.h"
#include "settings/WindowSettings.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/SideBar.h"
#include "sidebar/SideBarDialogs.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace {

// The toolbar's Favorites button. The toolbar holds its buttons as widgets of its own, so
// the command's action has no widget there: the button is found by its tag.
QToolButton* favoritesButton(const MainToolbar& toolbar)
{
    for (const ToolbarButton& described : ToolbarLayout::buttons()) {
        if (described.action == ActionId::tbFavorites)
            return toolbar.button(described.tag);
    }
    return nullptr;
}

} // namespace

FavoritesCommands::FavoritesCommands(const Parts& parts, QObject* parent)
    : QObject(parent)
    , m_window(parts.window)
    , m_actions(parts.actions)
    , m_toolbar(parts.toolbar)
    , m_sideBarHost(parts.sideBarHost)
    , m_questions(parts.questions)
    , m_hive(parts.hive)
{
    m_menu = new FavoritesMenu(
        &parts.menu, [this] { return folder(); }, this);
    EngineServices& engine = parts.engine;
    m_menu->setIconLookup([&engine](const QString& address) { return engine.siteIcon(address); });
    TabSet& tabs = parts.tabs;
    const WindowSettings& settings = parts.settings;
    connect(m_menu, &FavoritesMenu::favoriteChosen, this,
            [&tabs, &settings](const QString& address, bool shiftHeld) {
                tabs.OpenAddress(address, settings.newTabFlags.favorites, shiftHeld);
            });
    // Every tree that shows the folder follows it (each keeps what the user had open).
    SideBar* sideBar = &parts.sideBar;
    connect(m_menu, &FavoritesMenu::folderChanged, this, [this, sideBar] {
        if (sideBar->FavoritesFilled())
            sideBar->favorites()->tree()->refresh();
        if (m_floating)
            m_floating->folderChanged();
    });
    // The side bar's tree is kept up to date from its first showing, menu opened or not.
    connect(sideBar, &SideBar::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_menu->startWatching();
    });
    if (sideBar->FavoritesFilled())
        m_menu->startWatching();

    // A page's own request (a script's, or the tab menu's) asks as the command does.
    connect(&tabs, &TabSet::addToFavoritesRequested, this, &FavoritesCommands::AddToFavorites);
    const auto on = [this](ActionId id, auto slot) {
        connect(m_actions[id], &QAction::triggered, this, slot);
    };
    on(ActionId::actAddToFavorites, [&tabs] {
        if (TBrowserTab* tab = tabs.GetActivePage())
            tab->AddToFavorites();
    });
    on(ActionId::tbFavorites, [this] { ShowFavoritesWindow(); });
    on(ActionId::actOrganizeFavorites, [this] { OrganizeFavorites(); });
    on(ActionId::actImportBookmarks, [this] { ImportExportFavorites(true); });
    on(ActionId::actExportFavorites, [this] { ImportExportFavorites(false); });
}

QString FavoritesCommands::folder() const
{
    return ShellFolders::read(m_hive, QStringLiteral("Favorites"));
}

void FavoritesCommands::OrganizeFavorites()
{
    const QString root = folder();
    if (root.isEmpty()) {
        m_questions.tell(QStringLiteral("There is no Favorites folder to organize."));
        return;
    }
    SideBarDialogs questions(&m_window);
    TfrmOrganizeFavorites dialog(root, questions, &m_window);
    m_questions.runDialog(dialog);
}

void FavoritesCommands::ImportExportFavorites(bool importing)
{
    const QString root = folder();
    if (root.isEmpty()) {
        m_questions.tell(QStringLiteral("There is no Favorites folder."));
        return;
    }
    SideBarDialogs questions(&m_window);
    TfrmImportExport wizard(root, QDir::homePath(), importing, questions, &m_window);
    m_questions.runDialog(wizard);
}

void FavoritesCommands::AddToFavorites(const QString& address, const QString& title)
{
    if (address.isEmpty())
        return;
    const QString root = folder();
    if (root.isEmpty()) {
        m_questions.tell(QStringLiteral("There is no Favorites folder to add the page to."));
        return;
    }
    SideBarDialogs questions(&m_window);
    TfrmAddFavorite dialog(root, title, address, questions, &m_window);
    m_questions.runDialog(dialog);
}

void FavoritesCommands::ShowFavoritesWindow()
{
    if (!m_floating) {
        auto* questions = new SideBarDialogs(&m_window);
        m_floating = new TfrmFavorites(m_sideBarHost, m_hive, *questions,
                                       m_actions[ActionId::actAddToFavorites],
                                       m_actions[ActionId::actOrganizeFavorites], &m_window);
        connect(m_floating, &QObject::destroyed, this, [questions] { delete questions; });
        m_menu->startWatching();
    }
    QPoint topLeft = m_window.mapToGlobal(QPoint(0, 0));
    if (const QToolButton* button = favoritesButton(m_toolbar); button && button->isVisible())
        topLeft = button->mapToGlobal(button->rect().bottomLeft());
    m_floating->showAt(topLeft);
}
