#pragma once

#include "platform/web/WebBackend.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

// A scripted engine for tests. The test raises every event by hand, in any order the real
// engine could produce (frames, redirects, new windows, titles, progress, status texts,
// command states), and reads back every call the browser made on its backend.
//
//     auto* fake = new FakeWebBackend;
//     TSorvelBrowser browser(fake);
//     fake->completeLoad("http://127.0.0.1/a.html", "A");
//     QCOMPARE(fake->navigations(), QStringList{...});
//
// The properties the browser reads (busy, locationUrl, locationName, hasDocument,
// zoomFactor) follow the raised top-level events the way the engine would, and each can be
// set by hand at any time. Answers that the engine gives asynchronously (toHtml,
// runJavaScript, print) come at once unless holdAnswers() keeps them for later.
class FakeWebBackend final : public WebBackend
{
    Q_DISABLE_COPY_MOVE(FakeWebBackend)

public:
    static constexpr WebFrame TopFrame = 1;

    // One call the browser made on this backend: its name (the WebBackend method name) and
    // its arguments in order (DocumentCommand as int, callbacks left out).
    struct Call
    {
        QString name;
        QVariantList args;
    };

    // What the browser's new-window handler handed back.
    struct NewWindow
    {
        TWebBrowser* browser = nullptr;
        bool cancel = false;
        FakeWebBackend* backend = nullptr; // the handed-back browser's fake, if it is one
    };

    // The fakes one factory made, in creation order. A fake leaves the list when it is
    // destroyed, so everything in alive() can be used.
    class Made
    {
    public:
        QList<FakeWebBackend*> alive() const { return m_alive; }
        FakeWebBackend* last() const { return m_alive.isEmpty() ? nullptr : m_alive.last(); }
        int total() const { return m_total; }

    private:
        friend class FakeWebBackend;
        QList<FakeWebBackend*> m_alive;
        int m_total = 0;
    };

    FakeWebBackend();
    ~FakeWebBackend() override;

    // A factory for code that makes its own browsers (tabs, pop-ups). Every fake it makes is
    // registered in `made` and first handed to `setup`, when given.
    static WebBackendFactory factory(const std::shared_ptr<Made>& made,
                                     std::function<void(FakeWebBackend&)> setup = {});

    // --- Raising events ------------------------------------------------------------------
    // Each returns what the browser answered where the event has an answer.
    bool beforeNavigate(const QString& url, WebFrame frame = TopFrame); // true: cancelled
    void navigateComplete(const QString& url, WebFrame frame = TopFrame);
    void documentComplete(const QString& url, WebFrame frame = TopFrame);
    void titleChange(const QString& title);
    void statusText(const QString& text);
    void progress(int progress, int maximum);
    void commandState(int command, bool enabled);
    void downloadBegin();
    void downloadComplete();
    void windowClosing(); // the page's window.close()
    NewWindow raiseNewWindow();

    // The sequences the engine raises for one top-level load:
    // beforeNavigate(top) -> downloadBegin -> navigateComplete(top) -> titleChange ->
    // documentComplete(top) -> downloadComplete. startLoad raises the first two, finishLoad
    // the rest; completeLoad all of them. A cancelled beforeNavigate ends the sequence (the
    // result is false then).
    bool completeLoad(const QString& url, const QString& title);
    bool startLoad(const QString& url);
    void finishLoad(const QString& url, const QString& title);
    // refresh() and refreshCompletely() raise startLoad of the address shown, as the engine
    // does for a reload; the test finishes it with finishLoad.
    // A redirect within the running load: another top-level beforeNavigate, as the engine
    // raises for a page that sends the browser elsewhere. True when the browser cancelled it.
    bool redirect(const QString& to) { return beforeNavigate(to); }
    // A sub-frame's load inside the current page: beforeNavigate -> navigateComplete ->
    // documentComplete with a fresh frame id, which is returned (0 when cancelled).
    WebFrame frameLoad(const QString& url);
    // A page asks for a window (window.open, target=_blank) and the engine then loads `url`
    // into whatever browser the handler handed back, when that is a fake too.
    NewWindow openWindow(const QString& url, const QString& title = {});

    // A new frame identity, different from the top frame and from every earlier one.
    WebFrame subFrame();

    // --- Scriptable state ----------------------------------------------------------------
    void setBusy(bool busy) { m_busy = busy; }
    void setLocationUrl(const QString& url) { m_locationUrl = url; }
    void setLocationName(const QString& name) { m_locationName = name; }
    void setHasDocument(bool has) { m_hasDocument = has; }
    void setZoomValue(qreal zoom) { m_zoom = zoom; }
    // What toHtml answers (empty: the engine failed).
    void setDocumentHtml(const QString& html) { m_html = html; }
    QString documentHtml() const { return m_html; }
    // What runJavaScript answers; by default an invalid QVariant (a failed script).
    void setScriptHandler(std::function<QVariant(const QString&, const QVariantList&)> handler)
    {
        m_scriptHandler = std::move(handler);
    }
    void setPrintResult(bool ok) { m_printResult = ok; }
    void setAudible(bool audible) { m_audible = audible; }
    void setPrinting(bool printing) { m_printing = printing; }
    void setScrollValue(QPointF scroll) { m_scroll = scroll; }
    // What navigationKind() says during the beforeNavigate events raised from now on.
    void setNavigationKind(NavigationKind kind) { m_navigationKind = kind; }
    NavigationKind navigationKind() const override { return m_navigationKind; }

    // Keeps asynchronous answers until releaseAnswers(), to test callers that must not
    // assume an immediate answer (or that are destroyed before it arrives).
    void holdAnswers(bool hold) { m_hold = hold; }
    int heldAnswers() const { return int(m_held.size()); }
    void releaseAnswers();

    // --- Reading back the calls ----------------------------------------------------------
    const QList<Call>& calls() const { return m_calls; }
    QStringList callNames() const;
    QList<Call> calls(const QString& name) const;
    int count(const QString& name) const { return int(calls(name).size()); }
    bool received(const QString& name) const { return count(name) > 0; }
    Call lastCall() const { return m_calls.isEmpty() ? Call{} : m_calls.last(); }
    QStringList navigations() const; // the urls of every navigate call
    QList<DocumentCommand> commands() const;
    void clearCalls() { m_calls.clear(); }

    WebBackendEvents* events() const { return m_events; }
    QWidget* container() const { return m_container; }

    // --- WebBackend ----------------------------------------------------------------------
    void attach(WebBackendEvents* events, QWidget* container) override;
    QWidget* view() const override { return m_view.data(); }
    void navigate(const QString& url) override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void refresh() override;
    void refreshCompletely() override;
    QString locationUrl() const override { return m_locationUrl; }
    QString locationName() const override { return m_locationName; }
    bool busy() const override { return m_busy; }
    bool hasDocument() const override { return m_hasDocument; }
    WebFrame topFrame() const override { return TopFrame; }
    void execCommand(DocumentCommand command) override;
    qreal zoomFactor() const override { return m_zoom; }
    void setZoomFactor(qreal factor) override;
    void toHtml(std::function<void(const QString&)> done) override;
    void setHtml(const QString& html, const QString& baseUrl) override;
    void runJavaScript(const QString& script, const QVariantList& arguments,
                       std::function<void(const QVariant&)> done) override;
    void print(QPrinter* printer, std::function<void(bool)> done) override;
    void savePage(const QString& filePath, bool complete) override;
    void focusPage() override;
    void prepareDrawing() override { record(QStringLiteral("prepareDrawing")); }
    // Answered by the script handler as runJavaScript is; nothing while discarded.
    void runPageJavaScript(const QString& script,
                           std::function<void(const QVariant&)> done) override;
    bool questionOpen() const override { return m_questionOpen; }
    void afterQuestions(std::function<void()> then) override;
    // The lifecycle as the engine's backend has it: Frozen and Discarded are refused while a
    // question is open or the page prints. Discarded drops the view (the address, title,
    // zoom, scroll and back/forward stay); Active after Discarded makes a new view
    // (viewReplaced) and starts loading the address shown, as the engine's reload of the
    // history's current entry; the test finishes it with finishLoad.
    PageLifecycle lifecycle() const override { return m_lifecycle; }
    void setLifecycle(PageLifecycle state) override;
    bool audible() const override { return m_audible; }
    bool printing() const override { return m_printing; }
    QPointF scrollPosition() const override { return m_scroll; }

    // A question of the page is open (as a script dialog keeps it inside an engine call)
    // until closeQuestion(), which runs what waited for it.
    void openQuestion() { m_questionOpen = true; }
    void closeQuestion();

private:
    bool m_questionOpen = false;
    QList<std::function<void()>> m_afterQuestions;
    void record(const QString& name, QVariantList args = {});
    void answer(std::function<void()> deliver);
    void startReload();
    WebBackendEvents* requireEvents() const;

    WebBackendEvents* m_events = nullptr;
    QPointer<QWidget> m_container;
    QPointer<QWidget> m_view;
    QList<Call> m_calls;
    QList<std::function<void()>> m_held;
    std::function<QVariant(const QString&, const QVariantList&)> m_scriptHandler;
    std::weak_ptr<Made> m_made;

    QString m_locationUrl;
    QString m_locationName;
    QString m_html;
    WebFrame m_lastFrame = TopFrame;
    qreal m_zoom = 1.0;
    bool m_busy = false;
    bool m_hasDocument = false;
    bool m_printResult = true;
    bool m_audible = false;
    bool m_printing = false;
    QPointF m_scroll;
    PageLifecycle m_lifecycle = PageLifecycle::Active;
    NavigationKind m_navigationKind = NavigationKind::Other;
    bool m_hold = false;
};
