#pragma once

#include "search/SearchPaneHost.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <optional>

class AddressBand;
class EngineServices;
class MainActions;
class QMenu;
class QWidget;
class Questions;
class RegistryHive;
class SearchPane;
class SideBar;
class TabSet;
class TSorvelBrowser;
struct WindowSettings;

// Searching in the window: the side bar's search pane and its host, the toolbar's
// search-engine menu with its organize dialog, and searching from the address box.
class SearchCommands final : public QObject, public SearchPaneHost
{
    Q_DISABLE_COPY_MOVE(SearchCommands)

public:
    struct Parts
    {
        QWidget& window; // the dialogs' owner
        TabSet& tabs;
        SideBar& sideBar;     // the search pane's place
        AddressBand& address; // its typed addresses; a search typed there is none of them
        const MainActions& actions;
        QMenu& enginesMenu; // the toolbar's Search menu: the engines after its fixed items
        Questions& questions;
        // The window's working copies: "SearchBar", "SearchNewWin", "FavoritesNewWin" (the
        // engines' pages) and "SearchFromAddressBar".
        WindowSettings& settings;
        RegistryHive& hive;
        EngineServices& engine;
        bool ie4Mode = false; // the side bar has no search page then
    };

    explicit SearchCommands(const Parts& parts, QObject* parent = nullptr);

    // The side bar's search pane, made now if it was not yet.
    SearchPane* pane() const;
    // The side bar shows its search page; the active tab is left alone.
    void GoSearch();
    // What the address box's text opens: a search with the first engine when it is no
    // address and the user searches from the address box, else the text itself.
    QString addressForTyped(const QString& text);
    // The search pane's browser when it has the keyboard focus; null otherwise.
    TSorvelBrowser* browserInUse() const;
    void stop();

    // SearchPaneHost
    void OpenSearchResult(const QString& address) override;
    void SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel) override;
    QString SearchHome() const override;
    void SetSearchHome(const QString& address) override;
    std::optional<QString> AskLocation() override;
    bool OrganizeSearchFavorites() override;
    std::optional<QString> AskFavoriteName(const QString& proposed) override;
    void Tell(const QString& message) override;

private:
    // Tells the side bar how the pane is made: when it is first shown or asked for.
    void makePane();
    // The toolbar's Search menu: the engines after its two fixed items, read again at every
    // drop-down.
    void LoadSearchEngines();
    void OrganizeSearchEngines();
    // Read when text is first committed, not at start-up.
    const QSet<QString>& knownHosts();
    // Opens as the window's OpenAddress does: a new tab when `newTab`, inverted while Shift
    // is held now.
    void open(const QString& address, bool newTab);

    QWidget& m_window;
    TabSet& m_tabs;
    SideBar& m_sideBar;
    AddressBand& m_address;
    QMenu& m_engines;
    Questions& m_questions;
    WindowSettings& m_settings;
    RegistryHive& m_hive;
    EngineServices& m_engine;
    const bool m_ie4Mode;
    SearchPane* m_pane = nullptr;
    std::optional<QSet<QString>> m_knownHosts;
    // Whether something opens a scheme typed before, by scheme in small letters: the
    // desktop's programs are read once for each.
    QHash<QString, bool> m_openedSchemes;
};
