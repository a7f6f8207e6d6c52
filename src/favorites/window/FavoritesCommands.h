#pragma once

#include <QObject>

class EngineServices;
class FavoritesMenu;
class MainActions;
class MainToolbar;
class QMenu;
class QWidget;
class Questions;
class RegistryHive;
class SideBar;
class SideBarHost;
class TabSet;
class TfrmFavorites;
struct WindowSettings;

// The Favorites in the window: the menu and its folder monitor, the floating favorites
// window, Add to Favorites (the command and the pages' own requests), Organize Favorites,
// the import and export wizard, and the trees that show the folder kept up to date.
class FavoritesCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(FavoritesCommands)

public:
    struct Parts
    {
        QWidget& window; // the dialogs' owner; the floating window's place without a button
        TabSet& tabs;
        const MainActions& actions;
        QMenu& menu;                // "F&avorites": the folder goes below its head
        const MainToolbar& toolbar; // the floating window drops from its Favorites button
        SideBar& sideBar;
        SideBarHost& sideBarHost; // the floating window's, the side bar's own
        Questions& questions;
        const WindowSettings& settings; // the window's working copies ("FavoritesNewWin")
        RegistryHive& hive;
        EngineServices& engine;
    };

    explicit FavoritesCommands(const Parts& parts, QObject* parent = nullptr);

    FavoritesMenu* menu() const { return m_menu; }
    TfrmFavorites* floatingWindow() const { return m_floating; } // made on first use

private:
    // The Favorites folder as the hive names it; empty when it names none.
    QString folder() const;
    // The Add Favorite dialog for a page (the active tab's, or the tab menu's tab).
    void AddToFavorites(const QString& address, const QString& title);
    // The floating favorites window under the toolbar's Favorites button.
    void ShowFavoritesWindow();
    void OrganizeFavorites();
    // The import and export wizard, starting on import or export.
    void ImportExportFavorites(bool importing);

    QWidget& m_window;
    const MainActions& m_actions;
    const MainToolbar& m_toolbar;
    SideBarHost& m_sideBarHost;
    Questions& m_questions;
    RegistryHive& m_hive;
    FavoritesMenu* m_menu = nullptr;
    TfrmFavorites* m_floating = nullptr; // made on first use
};
