#pragma once

#include "browser/SorvelBrowser.h"

#include <functional>

// The search pane's own browser. Every top-level navigation that starts in it passes the
// pane's rule (SearchNavigation): the ones the program starts itself go ahead, links meant
// for the main browser area go to OnDivert instead, everything else stays in the pane.
//
// Only a navigation that may follow a link is asked about; forms, reloads, redirects and
// steps in the history go ahead.
//
// The engine gives the document's state only asynchronously. When its answer is not there
// at once, the navigation is held back (cancelled) until it comes, and then either followed
// again as the program's own or diverted; the window is never blocked meanwhile.
class SearchBrowser final : public TSorvelBrowser
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchBrowser)

public:
    // Takes ownership of the backend.
    SearchBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent = nullptr);

    bool AllowNextSearchNavigation() const { return m_allowNext; }
    void setAllowNextSearchNavigation(bool allow) { m_allowNext = allow; }
    // The program navigates the pane itself: the navigation is let through.
    void navigateOwn(const QString& url);

    // A navigation the rule sent to the tabs.
    std::function<void(const QString& url)> OnDivert;

protected:
    void beforeNavigate(WebFrame frame, const QString& url, bool* cancel) override;
    void navigateComplete(WebFrame frame, const QString& url) override;
    void documentComplete(WebFrame frame, const QString& url) override;

private:
    void followPaneLinks();
    void settle(quint64 ticket, const QString& url, bool divert);

    bool m_allowNext = false;
    quint64 m_ticket = 0; // the navigation whose answer is awaited; a newer one wins
};
