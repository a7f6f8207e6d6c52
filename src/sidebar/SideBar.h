#pragma once

#include "browser/strip/TabColors.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

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
// SorvelGroups panes on a strip of icon-only tabs at its bottom. The bar's content is made the
// first time it is shown (or asked for), so that a window whose bar is hidden pays nothing for
// it; each pane is read the first time it is shown; later switches do not read it again (its
// Refresh button does).
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
    // How the search pane's content is made (when the pane is first shown or searchContent is
    // asked for; it is made a child of the bar) and how it is prepared on its first display.
    // Until then the pane says that searching is not available.
    void setSearchPane(std::function<QWidget*()> make, std::function<void()> prepare);
    // The search pane's content, made now if it was not yet; null without a maker.
    QWidget* searchContent();

    // The pane strip's inactive-tab colours, the pair the window's tab strip has, and the
    // side of its tabs (at the bottom unless the tabs are put on top); kept for a strip not
    // made yet.
    void setInactiveTabColors(const TabColors::TabColorPair& colors);
    void setTabsOnTop(bool onTop);

    // The parts, made on the first call if the bar has not been shown yet.
    TPVPageControl* paneStrip();
    FavoritesPane* favorites();
    HistoryPane* history();
    GroupsPane* groups();
    QWidget* searchPane();
    QToolButton* closeButton();
    bool built() const { return m_pcVarloBar; }
    // The Favorites or the SorvelGroups tree has the keyboard (F2 renames there).
    bool renameTreeFocused() const;
    // One of the trees (Favorites, History, SorvelGroups) has the keyboard (Shift+F10 is its
    // context menu).
    bool treeFocused() const;
    bool FavoritesFilled() const { return m_favoritesFilled; }
    bool HistoryRooted() const { return m_historyRooted; }
    bool GroupsRooted() const { return m_groupsRooted; }
    bool SearchLoaded() const { return m_searchLoaded; }

Q_SIGNALS:
    // The bar was shown or hidden (the View item and the toolbar button follow it).
    void visibilityChanged(bool visible);

private:
    void build();
    void applyStripLook();
    void preparePane(QWidget* page);
    QWidget* pageOf(Pane pane) const;

    SideBarHost& m_host;
    RegistryHive& m_hive;
    SideBarQuestions* m_questions;
    std::unique_ptr<SideBarQuestions> m_ownQuestions;
    const Places m_places;
    QAction* m_addToFavorites = nullptr;
    QAction* m_organizeFavorites = nullptr;
    TPVPageControl* m_pcVarloBar = nullptr;
    std::optional<TabColors::TabColorPair> m_colors; // none: the strip's own
    bool m_tabsOnTop = false;
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
    bool m_searchMade = false;
    std::function<QWidget*()> m_makeSearch;
    std::function<void()> m_prepareSearch;
};
