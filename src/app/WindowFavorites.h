#pragma once

#include <QObject>

class EngineServices;
class FavoritesMenu;
class RegistryHive;
class TfrmFavorites;
class TfrmMain;
class WindowQuestions;
struct WindowSettings;

// The Favorites in the window: the menu and its folder monitor, the floating favorites
// window, Add to Favorites, and the trees that show the folder kept up to date.
class WindowFavorites final : public QObject
{
public:
    WindowFavorites(TfrmMain& window, WindowQuestions& questions, const WindowSettings& settings,
                    RegistryHive& hive, EngineServices& engine);

    FavoritesMenu* menu() const { return m_menu; }
    TfrmFavorites* floatingWindow() const { return m_floating; }
    // The Favorites folder as the hive names it; empty when it names none.
    QString folder() const;
    void AddToFavorites(const QString& address, const QString& title);
    void ShowFavoritesWindow();
    void OrganizeFavorites();
    void ImportExportFavorites(bool importing);

private:
    TfrmMain& m_window;
    WindowQuestions& m_questions;
    const WindowSettings& m_settings;
    RegistryHive& m_hive;
    FavoritesMenu* m_menu = nullptr;
    TfrmFavorites* m_floating = nullptr; // made on first use
};
