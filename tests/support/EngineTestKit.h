#pragma once

// What the real-engine tests share: a real event loop to wait in, a recorder of a browser's
// events, and a shown browser with its recorder.

#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"

#include <QEventLoop>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <functional>
#include <memory>

namespace EngineTestKit {

inline constexpr int LoadTimeout = 15000;

// Runs a real event loop until `done` holds. QTest's waits poll the loop with sleeps in
// between, which slows the engine (its work hops between threads through this loop) by
// an order of magnitude.
inline bool waitUntil(const std::function<bool()>& done, int timeout = LoadTimeout)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

inline QByteArray page(const QByteArray& title, const QByteArray& body = {})
{
    return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body +
           "</body></html>";
}

// Records a browser's events as text ("before top <url>", "begin", "complete sub2 <url>"),
// naming the top frame "top" and every other frame "sub<id>".
class EventLog final
{
public:
    explicit EventLog(TWebBrowser* browser)
        : m_browser(browser)
    {
        browser->OnBeforeNavigate2 = [this](WebFrame frame, const QString& url, bool& cancel) {
            add(QStringLiteral("before %1 %2").arg(frameName(frame), url));
            if (cancelWhen && cancelWhen(url))
                cancel = true;
        };
        browser->OnDownloadBegin = [this] { add(QStringLiteral("begin")); };
        browser->OnDownloadComplete = [this] { add(QStringLiteral("end")); };
        browser->OnNavigateComplete2 = [this](WebFrame frame, const QString& url) {
            add(QStringLiteral("navigated %1 %2").arg(frameName(frame), url));
        };
        browser->OnDocumentComplete = [this](WebFrame frame, const QString& url) {
            add(QStringLiteral("complete %1 %2").arg(frameName(frame), url));
        };
        browser->OnTitleChange = [this](const QString& t) { add(QStringLiteral("title ") + t); };
        browser->OnProgressChange = [this](int p, int m) {
            add(QStringLiteral("progress %1/%2").arg(p).arg(m));
        };
        browser->OnCommandStateChange = [this](int command, bool enabled) {
            add(QStringLiteral("command %1 %2").arg(command).arg(enabled));
        };
    }

    std::function<bool(const QString& url)> cancelWhen;
    QStringList events;
    QList<WebFrame> frames; // every frame identity seen, in order

    int indexOf(const QString& event, int from = 0) const { return events.indexOf(event, from); }
    bool has(const QString& event) const { return events.contains(event); }
    bool hasPrefix(const QString& prefix) const
    {
        for (const QString& e : events) {
            if (e.startsWith(prefix))
                return true;
        }
        return false;
    }

private:
    QString frameName(WebFrame frame)
    {
        frames << frame;
        return frame == m_browser->Application() ? QStringLiteral("top")
                                                 : QStringLiteral("sub%1").arg(frame);
    }
    void add(const QString& event) { events << event; }

    TWebBrowser* m_browser;
};

// A browser with its event log, shown so that the engine renders it.
struct Browser
{
    explicit Browser(WebEngineContext* context)
        : widget(std::make_unique<TWebBrowser>(context->createBackend(), nullptr))
        , log(widget.get())
    {
        widget->resize(640, 480);
        widget->show();
    }
    QtWebEngineBackend* backend() const
    {
        return static_cast<QtWebEngineBackend*>(widget->backend());
    }

    std::unique_ptr<TWebBrowser> widget;
    EventLog log;
};

// Navigates `b` to `address` and waits until its top frame completes it.
inline bool load(Browser& b, const QString& address)
{
    b.log.events.clear();
    b.widget->Navigate(address);
    return waitUntil([&] { return b.log.has(QStringLiteral("complete top ") + address); });
}

// Runs a script in the page of `b` (see WebBackend::runJavaScript) and waits for its answer.
inline QVariant evaluate(Browser& b, const QString& script, const QVariantList& arguments = {})
{
    QVariant result;
    bool done = false;
    b.widget->backend()->runJavaScript(script, arguments, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    waitUntil([&] { return done; });
    return result;
}

// A real mouse click, which pages demand before they open a file chooser, go full screen or
// show their menu. Clicks again until the page reacts: a click can arrive before the page
// takes input.
inline bool clickPageUntil(Browser& b, QPoint at, const std::function<bool()>& reacted,
                           Qt::MouseButton button = Qt::LeftButton)
{
    for (int i = 0; i < 10 && !reacted(); ++i) {
        QTest::mouseClick(b.backend()->engineView()->focusProxy(), button, {}, at);
        waitUntil(reacted, 500);
    }
    return reacted();
}

} // namespace EngineTestKit
