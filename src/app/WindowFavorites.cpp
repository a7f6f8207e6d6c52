#include "app/WindowFavorites.h"

#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "app/WindowSideBarHost.h"
#include "bars/MainToolbar.h"
#include "commands/MainActions.h"
#include "commands/MenuLayout.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/dialogs/AddFavoriteDialog.h"
#include "favorites/dialogs/FavoritesWindow.h"
#include "favorites/dialogs/ImportExportWizard.h"
#include "favorites/dialogs/OrganizeFavoritesDialog.h"
#include "platform/FolderTree.h"
#include "platform/ShellFolders.h"
#include "platform/web/EngineServices.h"
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

WindowFavorites::WindowFavorites(TfrmMain& window, WindowQuestions& questions,
                                 const WindowSettings& settings, RegistryHive& hive,
                                 EngineServices& engine)
    : QObject(&window)
    , m_window(window)
    , m_questions(questions)
    , m_settings(settings)
    , m_hive(hive)
{
    m_menu = new FavoritesMenu(
        m_window.menu(MenuId::Favorites), [this] { return folder(); }, this);
    m_menu->setIconLookup([&engine](const QString& address) { return engine.siteIcon(address); });
    connect(m_menu, &FavoritesMenu::favoriteChosen, this,
            [this](const QString& address, bool shiftHeld) {
                m_window.OpenAddress(address, m_settings.newTabFlags.favorites, shiftHeld);
            });
    // Every tree that shows the folder follows it (each keeps what the user had open).
    SideBar* sideBar = m_window.sideBar();
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

    const auto on = [this](ActionId id, auto slot) {
        connect(m_window.action(id), &QAction::triggered, this, slot);
    };
    on(ActionId::actAddToFavorites, [this] {
        if (TBrowserTab* tab = m_window.GetActivePage())
            tab->AddToFavorites();
    });
    on(ActionId::tbFavorites, [this] { ShowFavoritesWindow(); });
    on(ActionId::actOrganizeFavorites, [this] { OrganizeFavorites(); });
    on(ActionId::actImportBookmarks, [this] { ImportExportFavorites(true); });
    on(ActionId::actExportFavorites, [this] { ImportExportFavorites(false); });
}

QString WindowFavorites::folder() const
{
    return ShellFolders::read(m_hive, QStringLiteral("Favorites"));
}

void WindowFavorites::OrganizeFavorites()
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

void WindowFavorites::ImportExportFavorites(bool importing)
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

void WindowFavorites::AddToFavorites(const QString& address, const QString& title)
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

void WindowFavorites::ShowFavoritesWindow()
{
    if (!m_floating) {
        auto* host = new WindowSideBarHost(m_window);
        auto* questions = new SideBarDialogs(&m_window);
        m_floating = new TfrmFavorites(*host, m_hive, *questions,
                                       m_window.action(ActionId::actAddToFavorites),
                                       m_window.action(ActionId::actOrganizeFavorites), &m_window);
        connect(m_floating, &QObject::destroyed, this, [questions] { delete questions; });
        m_menu->startWatching();
    }
    QPoint topLeft = m_window.mapToGlobal(QPoint(0, 0));
    if (const QToolButton* button = favoritesButton(*m_window.toolbar());
        button && button->isVisible())
        topLeft = button->mapToGlobal(button->rect().bottomLeft());
    m_floating->showAt(topLeft);
}
