#include "search/SearchBrowser.h"

#include "search/SearchNavigation.h"

#include <QPointer>

#include <memory>

SearchBrowser::SearchBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent)
    : TSorvelBrowser(backend, hive, parent)
{
    setObjectName(QStringLiteral("SearchBrowser"));
    setNo3DBorder(true);
    setNoScroll(false);
    setFlatScrollbar(true);
    setUseDownloadControl(false);
}

void SearchBrowser::navigateOwn(const QString& url)
{
    ++m_ticket; // an answer still awaited for an earlier navigation no longer counts
    m_allowNext = true;
    Navigate(url);
}

void SearchBrowser::beforeNavigate(WebFrame frame, const QString& url, bool* cancel)
{
    // A frame's navigation proceeds: the top document's focused element is then the frame
    // itself, never a link. So do forms, reloads, redirects and steps in the history: they
    // follow no link, and holding them back to follow them again would lose a form's body
    // or add to the history instead of moving in it.
    const NavigationKind kind = backend()->navigationKind();
    const bool mayFollowLink = kind == NavigationKind::Link || kind == NavigationKind::Other;
    if (frame != Application() || m_allowNext || !HasDocument() || !mayFollowLink) {
        if (frame == Application())
            m_allowNext = false;
        TSorvelBrowser::beforeNavigate(frame, url, cancel);
        return;
    }
    struct Pending
    {
        bool inCall = true;
        std::optional<SearchNavigation::Verdict> verdict;
    };
    const auto pending = std::make_shared<Pending>();
    const quint64 ticket = ++m_ticket;
    const QPointer<SearchBrowser> self(this);
    backend()->runJavaScript(
        SearchNavigation::stateScript(), {}, [self, pending, ticket, url](const QVariant& answer) {
            const auto verdict =
                SearchNavigation::decide(false, SearchNavigation::stateFromScript(answer));
            if (pending->inCall) {
                pending->verdict = verdict;
                return;
            }
            if (self)
                self->settle(ticket, url, verdict == SearchNavigation::Verdict::Divert);
        });
    pending->inCall = false;
    if (!pending->verdict) {
        *cancel = true; // held back until the page has answered
        return;
    }
    if (*pending->verdict == SearchNavigation::Verdict::Proceed) {
        TSorvelBrowser::beforeNavigate(frame, url, cancel);
        return;
    }
    *cancel = true;
    if (OnDivert)
        OnDivert(url);
}

void SearchBrowser::settle(quint64 ticket, const QString& url, bool divert)
{
    if (ticket != m_ticket)
        return; // the user went on meanwhile: the later navigation counts
    if (!divert)
        navigateOwn(url);
    else if (OnDivert)
        OnDivert(url);
}

void SearchBrowser::navigateComplete(WebFrame frame, const QString& url)
{
    if (frame == Application())
        followPaneLinks();
    TSorvelBrowser::navigateComplete(frame, url);
}

void SearchBrowser::documentComplete(WebFrame frame, const QString& url)
{
    if (frame == Application())
        followPaneLinks();
    TSorvelBrowser::documentComplete(frame, url);
}

void SearchBrowser::followPaneLinks()
{
    backend()->runJavaScript(SearchNavigation::paneLinksScript(), {}, [](const QVariant&) {});
}
