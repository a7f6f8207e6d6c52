#pragma once

#include "platform/web/WebBackend.h"

#include <QString>

#include <optional>

class TWebBrowser;

// What the search pane needs of the main window.
class SearchPaneHost
{
public:
    // A result meant for the tabs: opened where "SearchNewWin" says (Shift inverts it).
    virtual void OpenSearchResult(const QString& address) = 0;
    // A window the pane's page asks for, handled as a tab's, left in front.
    virtual void SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel) = 0;
    // The pane's home ("SearchBar"), kept by the window and written at exit.
    virtual QString SearchHome() const = 0;
    virtual void SetSearchHome(const QString& address) = 0;
    // The "Open" location box without its new-tab check box; nothing when cancelled.
    virtual std::optional<QString> AskLocation() = 0;
    // The organize dialog for the search-bar favorites; true when it closed with OK.
    virtual bool OrganizeSearchFavorites() = 0;
    // The name for a new favorite; nothing (or empty) adds nothing.
    virtual std::optional<QString> AskFavoriteName(const QString& proposed) = 0;
    virtual void Tell(const QString& message) = 0;

protected:
    ~SearchPaneHost() = default;
};
