#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class FavoritesPane;
class GroupsPane;
class HistoryPane;
class QAction;
class QToolButton;
class RegistryHive;
class SideBarHost;
class SideBarQuestions;
class TPVPageControl;

// The SorvelBar: the pane at the window's left with the Favorites, History, Search and
// SorvelGroups panes on a strip of icon-only tabs at its bottom. Each pane is read the first
// time it is shown; later switches do not read it again (its Refresh button does).
class SideBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SideBar)

public:
    enum class Pane
    {
        Favorites,
        History,
        Search,
        SorvelGroups
    };

    struct Places
    {
        QString historyStore; // the history store's file
        QString groupsFolder; // the page-group folder
    };

    // `questions` null: message boxes over the side bar.
    SideBar(SideBarHost& host, RegistryHive& hive, const Places& places,
            SideBarQuestions* questions, QWidget* parent = nullptr);
    ~SideBar() override;

    // Shows or hides the bar; the Favorites tree is first read when the bar is first shown.
    void ShowSideBar(bool visible);
    // Shows the bar with `pane` in front (the Search command, Organize SorvelGroups).
    void showPane(Pane pane);
    Pane currentPane() const;
    // The history options changed (Internet Options): the History pane is read again now
    // when it is in front, else on its next display.
    void historyOptionsChanged();
    // The window's "Add to Favorites" and "Organize Favorites" for the Favorites toolbar.
    void setFavoritesCommands(QAction* addToFavorites, QAction* organizeFavorites);
    // The search pane's content, handed in by the window, and how it is prepared on its first
    // display. Until then the pane says that searching is not available.
    void setSearchPane(QWidget* pane, std::function<void()> prepare);

    TPVPageControl* paneStrip() const { return m_pcVarloBar; }
    FavoritesPane* favorites() const { return m_favorites; }
    HistoryPane* history() const { return m_history; }
    GroupsPane* groups() const { return m_groups; }
    QWidget* searchPane() const { return m_search; }
    QToolButton* closeButton() const { return m_cmdClose; }
    // The Favorites tree has the keyboard (F2 is its rename there).
    bool favoritesTreeFocused() const;
    bool FavoritesFilled() const { return m_favoritesFilled; }
    bool HistoryRooted() const { return m_historyRooted; }
    bool GroupsRooted() const { return m_groupsRooted; }
    bool SearchLoaded() const { return m_searchLoaded; }

Q_SIGNALS:
    // The bar was shown or hidden (the View item and the toolbar button follow it).
    void visibilityChanged(bool visible);

private:
    void preparePane(QWidget* page);
    QWidget* pageOf(Pane pane) const;

    SideBarHost& m_host;
    std::unique_ptr<SideBarQuestions> m_ownQuestions;
    const Places m_places;
    TPVPageControl* m_pcVarloBar = nullptr;
    QToolButton* m_cmdClose = nullptr;
    FavoritesPane* m_favorites = nullptr;
    HistoryPane* m_history = nullptr;
    QWidget* m_search = nullptr;
    GroupsPane* m_groups = nullptr;
    bool m_favoritesFilled = false;
    bool m_historyRooted = false;
    bool m_groupsRooted = false;
    bool m_searchLoaded = false;
    QWidget* m_searchContent = nullptr;
    std::function<void()> m_prepareSearch;
};
