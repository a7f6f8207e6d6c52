#pragma once

#include "platform/web/DevToolsWindow.h"
#include "platform/web/FullScreenWindow.h"
#include "platform/web/WebBackend.h"
#include "platform/web/WebEnginePage.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

class QWebEngineLoadingInfo;
class WebEngineContext;

// The real engine behind a TWebBrowser: a QWebEngineView showing a page of the context's
// profile. It turns the engine's signals into the control's events:
//
//   navigation request          -> beforeNavigate (top frame or a new sub-frame id; cancel
//                                  refuses it, and nothing more is reported for it)
//   load started                -> downloadBegin
//   address committed           -> navigateComplete (top frame)
//   load finished               -> downloadComplete, then documentComplete (top frame)
//   title, progress, hovered link, back/forward availability -> their events
//   a page opening a window     -> newWindow; the browser handed back receives the page
//   a page closing its window   -> windowClosing
//
// A sub-frame's navigation is reported complete as soon as it is under way (the engine
// says no more about frames). Every completed top-level navigation is recorded in the
// context's visit sink.
class QtWebEngineBackend final : public QObject, public WebBackend
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtWebEngineBackend)

public:
    static constexpr WebFrame TopFrame = 1;

    explicit QtWebEngineBackend(WebEngineContext* context);
    ~QtWebEngineBackend() override;

    QWebEnginePage* page() const;
    QWebEngineView* engineView() const { return m_view; }

    void attach(WebBackendEvents* events, QWidget* container) override;
    QWidget* view() const override;

    void navigate(const QString& url) override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void refresh() override;
    void refreshCompletely() override;

    QString locationUrl() const override;
    QString locationName() const override;
    bool busy() const override { return m_loading; }
    bool hasDocument() const override { return m_hasDocument; }
    WebFrame topFrame() const override { return TopFrame; }

    void execCommand(DocumentCommand command) override;
    qreal zoomFactor() const override;
    void setZoomFactor(qreal factor) override;

    void toHtml(std::function<void(const QString&)> done) override;
    void setHtml(const QString& html, const QString& baseUrl) override;
    void runJavaScript(const QString& script, const QVariantList& arguments,
                       std::function<void(const QVariant&)> done) override;
    void print(QPrinter* printer, std::function<void(bool)> done) override;
    void savePage(const QString& filePath, bool complete) override;
    void focusPage() override;
    void prepareDrawing() override;
    void runPageJavaScript(const QString& script,
                           std::function<void(const QVariant&)> done) override;
    bool questionOpen() const override;
    NavigationKind navigationKind() const override { return m_navigationKind; }
    void afterQuestions(std::function<void()> then) override;
    PageLifecycle lifecycle() const override;
    void setLifecycle(PageLifecycle state) override;
    bool audible() const override;
    bool printing() const override { return m_printing; }
    QPointF scrollPosition() const override;
    void showDeveloperTools(bool inspectElement) override;
    DevToolsWindow* developerTools() const { return m_devTools; }

    // The text a script receives: the function body wrapped round its arguments as JSON.
    static QString scriptSource(const QString& script, const QVariantList& arguments);

    // The context is going away: the page and view go now, before the profile they use.
    void releaseEngine();

    // Called by the page.
    bool onNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type,
                             bool isMainFrame);
    QWebEnginePage* onCreateWindow();
    void showStatus(const QString& text);

private:
    void makePage();
    // Discarding: the page and view go (and with them the renderer process), their state
    // is kept in m_saved; any command that needs the page brings it back first.
    void releasePage();
    void restorePage();
    bool wakePage(); // whether there is a page

    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onLoadStarted(const QUrl& url);
    void onLoadEnded(const QWebEngineLoadingInfo& info);
    void onUrlChanged(const QUrl& url);
    void onTitleChanged(const QString& title);
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                   int exitCode);
    void onFullScreenRequested(QWebEngineFullScreenRequest request);
    void updateCommandStates();
    void recordVisit(const QUrl& url);
    void recordSamePageChange(const QUrl& url);
    void find();
    void viewSource();
    void showProperties();
    void closeDeveloperTools();
    // "Add to dictionary" on the page's menu; a word that cannot be kept is said.
    void addToDictionary(const QString& word);

    QPointer<WebEngineContext> m_context;
    WebBackendEvents* m_events = nullptr;
    QPointer<QWebEngineView> m_view;
    QPointer<WebEnginePage> m_page;
    QPointer<FullScreenWindow> m_fullScreen;
    QPointer<DevToolsWindow> m_devTools;

    WebFrame m_nextSubFrame = TopFrame + 1;
    bool m_loading = false;            // a reported top-level load is under way
    bool m_committed = false;          // ... and its address has been committed
    bool m_navigationReported = false; // beforeNavigate was raised for the coming load
    bool m_htmlPending = false;        // setHtml was called; its load is no navigation
    bool m_loadIsHtml = false;
    bool m_hasDocument = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    bool m_printing = false;
    QUrl m_cancelledUrl;              // refused in beforeNavigate: its load start is not reported
    QUrl m_suppressedUrl;             // a load being ignored until it ends
    QUrl m_recordedUrl;               // the history entry that later titles go to
    QUrl m_pageUrl;                   // the address the page was on at the last change
    QElapsedTimer m_samePageRecorded; // since the last same-page change was recorded
    QUrl m_lostUrl;                   // the page a crash took away, while its explanation shows
    QString m_findText;
    struct Released
    {
        QUrl url;
        QString title;
        qreal zoom = 1.0;
        QPointF scroll;
        QByteArray history; // QWebEngineHistory as streamed by the engine
    };
    Released m_saved;
    bool m_released = false;
    // The address a released page comes back on: its reload is no new visit.
    QUrl m_returningUrl;
    QPointF m_returningScroll; // ... and the place it was scrolled to, in the page's pixels
    NavigationKind m_navigationKind = NavigationKind::Other;
};
