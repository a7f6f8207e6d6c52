#pragma once

#include <QPointF>
#include <QString>
#include <QVariant>

#include <functional>

class QPrinter;
class QWidget;
class TWebBrowser;

// Identity of a frame within one browser. Each backend gives its top-level frame one id
// and every sub-frame navigation another; 0 means "no frame".
using WebFrame = quint64;

// Editing and document commands the browser forwards to its engine.
enum class DocumentCommand
{
    SelectAll,
    Copy,
    Cut,
    Paste,
    Find,       // open the find bar / ask for a text and search
    ViewSource, // show the page's source
    Properties, // show the page's address, title, type, security
};

// What started a navigation, as far as the engine tells.
enum class NavigationKind
{
    Other,    // a script, a typed address, anything the engine does not name
    Link,     // a link followed
    Form,     // a form submitted (it may carry a body)
    Redirect, // the server or the page sent the load elsewhere
    Reload,
    History, // back or forward
};

// The engine's page lifecycle: a page nobody looks at may be frozen (its scripts and timers
// stop, the page is kept) or discarded (the page is dropped and loaded again when shown).
enum class PageLifecycle
{
    Active,
    Frozen,
    Discarded,
};

// What a backend reports. TWebBrowser implements it and turns each call into the
// matching event handler; a backend never calls the program's handlers directly.
class WebBackendEvents
{
public:
    virtual void beforeNavigate(WebFrame frame, const QString& url, bool* cancel) = 0;
    // The backend hands the new window's browser back through *target; null with
    // *cancel false means "let the engine open nothing".
    virtual void newWindow(TWebBrowser** target, bool* cancel) = 0;
    virtual void navigateComplete(WebFrame frame, const QString& url) = 0;
    virtual void documentComplete(WebFrame frame, const QString& url) = 0;
    virtual void titleChange(const QString& title) = 0;
    virtual void statusTextChange(const QString& text) = 0;
    virtual void progressChange(int progress, int maximum) = 0;
    // command 1: forward is possible; command 2: back is possible
    virtual void commandStateChange(int command, bool enabled) = 0;
    virtual void downloadBegin() = 0;
    virtual void downloadComplete() = 0;
    // The page asked to close its window (window.close()).
    virtual void windowClosing() = 0;
    // The backend made a new view (its page was discarded and is back): the browser shows it
    // in place of the old one, which is gone.
    virtual void viewReplaced(QWidget* view) = 0;

protected:
    ~WebBackendEvents() = default;
};

// The engine behind one TWebBrowser. QtWebEngineBackend in the program; FakeWebBackend in
// tests, which scripts every event and records every call.
class WebBackend
{
public:
    virtual ~WebBackend() = default;

    // Called once by the browser that owns the backend, before any other call.
    virtual void attach(WebBackendEvents* events, QWidget* container) = 0;
    // The widget that shows the page (placed by TWebBrowser in its layout).
    virtual QWidget* view() const = 0;

    virtual void navigate(const QString& url) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    virtual void refreshCompletely() = 0; // bypasses the cache

    virtual QString locationUrl() const = 0;
    virtual QString locationName() const = 0;
    virtual bool busy() const = 0;
    virtual bool hasDocument() const = 0;
    virtual WebFrame topFrame() const = 0;

    virtual void execCommand(DocumentCommand command) = 0;
    // The page's zoom: 1 is its own size.
    virtual qreal zoomFactor() const = 0;
    virtual void setZoomFactor(qreal factor) = 0;

    // The document's current HTML, handed to `done` (empty on failure).
    virtual void toHtml(std::function<void(const QString&)> done) = 0;
    // Replaces the document with the given HTML.
    virtual void setHtml(const QString& html, const QString& baseUrl) = 0;
    // Runs a script in the page. The script is the body of a function whose one parameter,
    // `args`, is the array of `arguments` (passed as JSON data, never pasted into the
    // script's text); what the body returns is the result:
    //     runJavaScript("return document.title + args[0];", {suffix}, done)
    // A body without `return` gives an invalid result. `done` gets the result (invalid on
    // failure) and is called even when the page goes away first: with an invalid result,
    // from inside the browser's destruction.
    // The script runs apart from the page's own scripts, which cannot see or replace what it
    // uses; the document is shared.
    virtual void runJavaScript(const QString& script, const QVariantList& arguments,
                               std::function<void(const QVariant&)> done) = 0;
    // Prints the page on an already set-up printer; `done` gets success.
    virtual void print(QPrinter* printer, std::function<void(bool)> done) = 0;
    // Saves the page: `complete` keeps images and styles in a folder beside the file,
    // otherwise one self-contained file (MHTML when the name ends in .mht or .mhtml).
    // One save at a time: the engine drops a save asked for while another is running.
    virtual void savePage(const QString& filePath, bool complete) = 0;
    // Moves the keyboard focus into the page.
    virtual void focusPage() = 0;

    // The kind of the navigation that beforeNavigate is reporting; valid only during that call.
    virtual NavigationKind navigationKind() const { return NavigationKind::Other; }

    // Whether the page has a question open to the user that the engine's call waits for (a
    // script dialog, a password): it is then inside one of the engine's calls, and its
    // browser must not be destroyed before the call returns.
    virtual bool questionOpen() const { return false; }
    // Runs `then` once no question is open any more (at once when none is).
    virtual void afterQuestions(std::function<void()> then) { then(); }

    virtual PageLifecycle lifecycle() const { return PageLifecycle::Active; }
    // Frozen and Discarded apply to a page that is not shown; Active brings it back (a
    // discarded page loads again). A discarded page keeps its address, title and history;
    // its view may be replaced (viewReplaced) when it comes back.
    virtual void setLifecycle(PageLifecycle state) { Q_UNUSED(state); }
    // Whether the page played sound lately.
    virtual bool audible() const { return false; }
    // Whether the page is being printed (the engine is still laying it out for the printer).
    virtual bool printing() const { return false; }
    // Where the page is scrolled to, in CSS pixels; nothing when the engine does not say.
    virtual QPointF scrollPosition() const { return {}; }
    // The engine's developer tools for the page, in a window of their own that goes with
    // the page; `inspectElement` shows the element of the last context menu in them.
    virtual void showDeveloperTools(bool inspectElement) { Q_UNUSED(inspectElement); }
    // Sets the page up in the engine now, with nothing loaded: its view takes in the surface
    // it is drawn on before the window around it is first made.
    virtual void prepareDrawing() {}
    // Runs `script` (an expression; no arguments) in the page's own script world, where the
    // page's scripts can see and change what it uses: for questions whose answer is a hint
    // only. Unlike runJavaScript it makes no world of the program's in the page (a context
    // of the script engine, in every page it ran in) and never brings an unloaded page
    // back: it then answers nothing (an invalid QVariant), as it does when the script fails.
    virtual void runPageJavaScript(const QString& script, std::function<void(const QVariant&)> done)
    {
        Q_UNUSED(script);
        if (done)
            done(QVariant());
    }
};

// Makes the backend for a new browser. The program installs the Qt WebEngine factory at
// start; tests install a factory that makes fakes.
using WebBackendFactory = std::function<WebBackend*()>;
