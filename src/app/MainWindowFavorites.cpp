// The Favorites in the window: the menu and its folder monitor, the floating favorites
// window, Add to Favorites, and the trees that show the folder kept up to date.
#include "app/MainWindow.h"

#include "app/WindowQuestions.h"
#include "app/WindowSideBarHost.h"
#include "bars/MainToolbar.h"
#include "commands/MainActions.h"
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

QString TfrmMain::favoritesFolder() const
{
    return ShellFolders::read(m_hive, QStringLiteral("Favorites"));
}

void TfrmMain::buildFavorites()
{
    m_favoritesMenu = new FavoritesMenu(menu(MenuId::Favorites),
                                        [this] { return favoritesFolder(); }, this);
    m_favoritesMenu->setIconLookup(
        [engine = m_start.engine](const QString& address) { return engine->siteIcon(address); });
    connect(m_favoritesMenu, &FavoritesMenu::favoriteChosen, this,
            [this](const QString& address, bool shiftHeld) {
                OpenAddress(address, m_settings.newTabFlags.favorites, shiftHeld);
            });
    // Every tree that shows the folder follows it (each keeps what the user had open).
    connect(m_favoritesMenu, &FavoritesMenu::folderChanged, this, [this] {
        favoritesFolderChanged();
        if (m_sideBar->FavoritesFilled())
            m_sideBar->favorites()->tree()->refresh();
        if (m_frmFavorites && m_frmFavorites->isVisible())
            m_frmFavorites->pane()->tree()->refresh();
    });
    // The side bar's tree is kept up to date from its first showing, menu opened or not.
    connect(m_sideBar, &SideBar::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_favoritesMenu->startWatching();
    });
    if (m_sideBar->FavoritesFilled())
        m_favoritesMenu->startWatching();

    connect(action(ActionId::actAddToFavorites), &QAction::triggered, this, [this] {
        if (TBrowserTab* tab = GetActivePage())
            tab->AddToFavorites();
    });
    connect(action(ActionId::tbFavorites), &QAction::triggered, this,
            &TfrmMain::ShowFavoritesWindow);
    connect(action(ActionId::actOrganizeFavorites), &QAction::triggered, this,
            &TfrmMain::OrganizeFavorites);
    connect(action(ActionId::actImportBookmarks), &QAction::triggered, this,
            [this] { ImportExportFavorites(true); });
    connect(action(ActionId::actExportFavorites), &QAction::triggered, this,
            [this] { ImportExportFavorites(false); });
}

void TfrmMain::OrganizeFavorites()
{
    const QString folder = favoritesFolder();
    if (folder.isEmpty()) {
        m_questions->tell(QStringLiteral("There is no Favorites folder to organize."));
        return;
    }
    SideBarDialogs questions(this);
    TfrmOrganizeFavorites dialog(folder, questions, this);
    m_questions->runDialog(dialog);
}

void TfrmMain::ImportExportFavorites(bool importing)
{
    const QString folder = favoritesFolder();
    if (folder.isEmpty()) {
        m_questions->tell(QStringLiteral("There is no Favorites folder."));
        return;
    }
    TfrmImportExport wizard(folder, QDir::homePath(), importing, this);
    m_questions->runDialog(wizard);
}

void TfrmMain::AddToFavorites(const QString& address, const QString& title)
{
    if (address.isEmpty())
        return;
    const QString folder = favoritesFolder();
    if (folder.isEmpty()) {
        m_questions->tell(QStringLiteral("There is no Favorites folder to add the page to."));
        return;
    }
    SideBarDialogs questions(this);
    TfrmAddFavorite dialog(folder, title, address, questions, this);
    m_questions->runDialog(dialog);
}

void TfrmMain::ShowFavoritesWindow()
{
    if (!m_frmFavorites) {
        auto* host = new WindowSideBarHost(*this);
        auto* questions = new SideBarDialogs(this);
        m_frmFavorites = new TfrmFavorites(*host, m_hive, *questions,
                                           action(ActionId::actAddToFavorites),
                                           action(ActionId::actOrganizeFavorites), this);
        connect(m_frmFavorites, &QObject::destroyed, this, [questions] { delete questions; });
        m_favoritesMenu->startWatching();
    }
    QPoint topLeft = mapToGlobal(QPoint(0, 0));
    if (QWidget* button = m_tbMain->widgetForAction(action(ActionId::tbFavorites));
        button && button->isVisible())
        topLeft = button->mapToGlobal(button->rect().bottomLeft());
    m_frmFavorites->showAt(topLeft);
}
