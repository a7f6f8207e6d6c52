#pragma once

#include <QWidget>

class QMenu;
class QToolButton;
class RegistryHive;
class SearchBrowser;
class SearchPaneHost;
class WebBackend;

// The side bar's search pane: a toolbar ("New" with its home menu, "Search Favorites",
// "Choose Search") over a browser of its own. The pane is loaded on its first display; the
// search-bar favorites come from the hive's "Search Bar" list.
class SearchPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchPane)

public:
    // Takes ownership of the backend. `shippedPage` is the built-in search-bar page.
    SearchPane(SearchPaneHost& host, RegistryHive& hive, WebBackend* backend,
               const QString& shippedPage, QWidget* parent = nullptr);

    SearchBrowser* browser() const { return m_browser; }
    QMenu* favoritesMenu() const { return m_pmSearchFavs; }
    QMenu* homeMenu() const { return m_pmSearchHome; }
    bool SearchLoaded() const { return m_searchLoaded; }

    // The page written into the pane before a navigation the program starts there.
    static QString loadingPage();

    // The first display: a blank page, the loading page, then the home.
    void prepare();
    // "New": the home page.
    void newSearch();
    // "&Set Current as Home".
    void setCurrentAsHome();
    // "&Open...".
    void openLocation();
    // "Choose Search": the built-in search-bar page, whatever the home is.
    void chooseSearch();
    // Rebuilds the favorites after the menu's first three items.
    void LoadSearchBarFavorites();
    // "&Add to Search Favs..." and "&Organize Search Favs...".
    void addToSearchFavs();
    void organizeSearchFavs();
    // A favorite of the menu: navigated to as any page of the pane, the rule applying.
    void openFavorite(const QString& address);

private:
    void navigateLoading(const QString& address);
    bool isShippedPage(const QString& url) const;
    // Hands the shipped page the user's search engines.
    void offerEngines();

    SearchPaneHost& m_host;
    RegistryHive& m_hive;
    const QString m_shippedPage;
    SearchBrowser* m_browser = nullptr;
    QMenu* m_pmSearchHome = nullptr;
    QMenu* m_pmSearchFavs = nullptr;
    bool m_searchLoaded = false;
};
