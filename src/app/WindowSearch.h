#pragma once

#include "search/SearchPaneHost.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <optional>

class EngineServices;
class RegistryHive;
class SearchPane;
class TfrmMain;
class TSorvelBrowser;
class WindowQuestions;
struct WindowSettings;

// Searching in the window: the side bar's search pane and its host, the toolbar's
// search-engine menu with its organize dialog, and searching from the address box.
class WindowSearch final : public QObject, public SearchPaneHost
{
public:
    WindowSearch(TfrmMain& window, WindowQuestions& questions, WindowSettings& settings,
                 RegistryHive& hive, EngineServices& engine);

    // The side bar's search pane, made now if it was not yet.
    SearchPane* pane() const;
    // The side bar shows its search page; the active tab is left alone.
    void GoSearch();
    // The toolbar's Search menu: the engines after its two fixed items, read again at every
    // drop-down.
    void LoadSearchEngines();
    void OrganizeSearchEngines();
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
    // Read when text is first committed, not at start-up.
    const QSet<QString>& knownHosts();

    TfrmMain& m_window;
    WindowQuestions& m_questions;
    WindowSettings& m_settings;
    RegistryHive& m_hive;
    EngineServices& m_engine;
    SearchPane* m_pane = nullptr;
    std::optional<QSet<QString>> m_knownHosts;
    // Whether something opens a scheme typed before, by scheme in small letters: the
    // desktop's programs are read once for each.
    QHash<QString, bool> m_openedSchemes;
};
