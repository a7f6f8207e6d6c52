#pragma once

#include <QString>
#include <QUrl>

// What the engine asks of content blocking, which lives above the platform: for each
// request of a page, whether it may leave the program, and for each page, the style sheet
// that hides its unwanted elements. The program hands the engine one filter at start
// (WebEngineContext::setContentFilter); without one nothing is blocked.

// The kinds of request the filter lists tell apart (a bit each, so a rule may name several).
enum class WebResource : unsigned
{
    Document = 1u << 0,       // the page of a tab (a top-level navigation)
    Subdocument = 1u << 1,    // a frame
    Script = 1u << 2,
    Image = 1u << 3,
    Stylesheet = 1u << 4,
    XmlHttpRequest = 1u << 5, // XMLHttpRequest and fetch
    Media = 1u << 6,
    Font = 1u << 7,
    WebSocket = 1u << 8,
    Popup = 1u << 9,          // the page of a window a page opened
    Object = 1u << 10,
    Ping = 1u << 11,
    Other = 1u << 12,
};

struct WebRequest
{
    QUrl url;
    QUrl firstParty;          // the page's own address (the request's, for a document)
    WebResource kind = WebResource::Other;
    // The browser the request belongs to (its backend): blocked requests are counted per
    // browser. Only compared, never used to reach the browser.
    const void* source = nullptr;
};

class ContentFilter
{
public:
    virtual ~ContentFilter() = default;
    // Whether the request is refused. Called for every request, on whichever thread the
    // engine intercepts on, for many at once: it must be safe to call from any thread.
    virtual bool blocks(const WebRequest& request) = 0;
    // The style sheet that hides elements on pages of `pageUrl`; empty when nothing is
    // hidden there. Called on the window's thread as a top-level load starts.
    virtual QString hidingStyleSheet(const QUrl& pageUrl) = 0;
    // The browser named `source` has gone (window's thread): what was kept of it can go.
    virtual void browserGone(const void* source) { Q_UNUSED(source); }

protected:
    ContentFilter() = default;
    ContentFilter(const ContentFilter&) = default;
    ContentFilter& operator=(const ContentFilter&) = default;
};
