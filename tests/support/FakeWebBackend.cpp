#include "support/FakeWebBackend.h"

#include "platform/web/WebBrowser.h"

FakeWebBackend::FakeWebBackend()
    : m_view(new QWidget)
{
    m_view->setObjectName(QStringLiteral("fakeWebView"));
    m_view->setFocusPolicy(Qt::StrongFocus);
}

FakeWebBackend::~FakeWebBackend()
{
    if (auto made = m_made.lock())
        made->m_alive.removeOne(this);
    // The browser normally owns the view through its layout; one never attached is ours.
    delete m_view.data();
}

WebBackendFactory FakeWebBackend::factory(const std::shared_ptr<Made>& made,
                                          std::function<void(FakeWebBackend&)> setup)
{
    return [made, setup]() -> WebBackend* {
        auto* fake = new FakeWebBackend;
        fake->m_made = made;
        made->m_alive.append(fake);
        ++made->m_total;
        if (setup)
            setup(*fake);
        return fake;
    };
}

WebBackendEvents* FakeWebBackend::requireEvents() const
{
    Q_ASSERT_X(m_events, "FakeWebBackend", "raise events only after a browser attached");
    return m_events;
}

// --- Raising events ---------------------------------------------------------------------

bool FakeWebBackend::beforeNavigate(const QString& url, WebFrame frame)
{
    bool cancel = false;
    requireEvents()->beforeNavigate(frame, url, &cancel);
    if (!cancel && frame == TopFrame)
        m_busy = true;
    return cancel;
}

void FakeWebBackend::navigateComplete(const QString& url, WebFrame frame)
{
    if (frame == TopFrame) {
        m_locationUrl = url;
        m_hasDocument = true;
    }
    requireEvents()->navigateComplete(frame, url);
}

void FakeWebBackend::documentComplete(const QString& url, WebFrame frame)
{
    if (frame == TopFrame)
        m_busy = false;
    requireEvents()->documentComplete(frame, url);
}

void FakeWebBackend::titleChange(const QString& title)
{
    m_locationName = title;
    requireEvents()->titleChange(title);
}

void FakeWebBackend::statusText(const QString& text)
{
    requireEvents()->statusTextChange(text);
}

void FakeWebBackend::progress(int progress, int maximum)
{
    requireEvents()->progressChange(progress, maximum);
}

void FakeWebBackend::commandState(int command, bool enabled)
{
    requireEvents()->commandStateChange(command, enabled);
}

void FakeWebBackend::downloadBegin()
{
    requireEvents()->downloadBegin();
}

void FakeWebBackend::downloadComplete()
{
    requireEvents()->downloadComplete();
}

void FakeWebBackend::windowClosing()
{
    requireEvents()->windowClosing();
}

FakeWebBackend::NewWindow FakeWebBackend::raiseNewWindow()
{
    NewWindow result;
    requireEvents()->newWindow(&result.browser, &result.cancel);
    if (result.browser)
        result.backend = dynamic_cast<FakeWebBackend*>(result.browser->backend());
    return result;
}

bool FakeWebBackend::startLoad(const QString& url)
{
    if (beforeNavigate(url))
        return false;
    downloadBegin();
    return true;
}

void FakeWebBackend::finishLoad(const QString& url, const QString& title)
{
    navigateComplete(url);
    titleChange(title);
    documentComplete(url);
    downloadComplete();
}

bool FakeWebBackend::completeLoad(const QString& url, const QString& title)
{
    if (!startLoad(url))
        return false;
    finishLoad(url, title);
    return true;
}

WebFrame FakeWebBackend::frameLoad(const QString& url)
{
    const WebFrame frame = subFrame();
    if (beforeNavigate(url, frame))
        return 0;
    navigateComplete(url, frame);
    documentComplete(url, frame);
    return frame;
}

FakeWebBackend::NewWindow FakeWebBackend::openWindow(const QString& url, const QString& title)
{
    NewWindow result = raiseNewWindow();
    if (!result.cancel && result.backend)
        result.backend->completeLoad(url, title.isEmpty() ? url : title);
    return result;
}

WebFrame FakeWebBackend::subFrame()
{
    return ++m_lastFrame;
}

void FakeWebBackend::releaseAnswers()
{
    // An answer may hold more answers back (a caller asking again); take them in turns.
    while (!m_held.isEmpty()) {
        const auto deliver = m_held.takeFirst();
        deliver();
    }
}

// --- Reading back -----------------------------------------------------------------------

QStringList FakeWebBackend::callNames() const
{
    QStringList names;
    for (const Call& call : m_calls)
        names.append(call.name);
    return names;
}

QList<FakeWebBackend::Call> FakeWebBackend::calls(const QString& name) const
{
    QList<Call> result;
    for (const Call& call : m_calls)
        if (call.name == name)
            result.append(call);
    return result;
}

QStringList FakeWebBackend::navigations() const
{
    QStringList urls;
    for (const Call& call : calls(QStringLiteral("navigate")))
        urls.append(call.args.value(0).toString());
    return urls;
}

QList<DocumentCommand> FakeWebBackend::commands() const
{
    QList<DocumentCommand> result;
    for (const Call& call : calls(QStringLiteral("execCommand")))
        result.append(DocumentCommand(call.args.value(0).toInt()));
    return result;
}

void FakeWebBackend::record(const QString& name, QVariantList args)
{
    m_calls.append(Call{name, std::move(args)});
}

void FakeWebBackend::answer(std::function<void()> deliver)
{
    if (m_hold)
        m_held.append(std::move(deliver));
    else
        deliver();
}

// --- WebBackend -------------------------------------------------------------------------

void FakeWebBackend::attach(WebBackendEvents* events, QWidget* container)
{
    record(QStringLiteral("attach"));
    m_events = events;
    m_container = container;
}

void FakeWebBackend::navigate(const QString& url)
{
    record(QStringLiteral("navigate"), {url});
}

void FakeWebBackend::goBack()
{
    record(QStringLiteral("goBack"));
}

void FakeWebBackend::goForward()
{
    record(QStringLiteral("goForward"));
}

void FakeWebBackend::stop()
{
    record(QStringLiteral("stop"));
    m_busy = false;
}

void FakeWebBackend::refresh()
{
    record(QStringLiteral("refresh"));
    startReload();
}

void FakeWebBackend::refreshCompletely()
{
    record(QStringLiteral("refreshCompletely"));
    startReload();
}

void FakeWebBackend::startReload()
{
    // The engine reports a reload as a new top-level navigation to the address shown.
    if (m_events && m_hasDocument && !m_locationUrl.isEmpty())
        startLoad(m_locationUrl);
}

void FakeWebBackend::execCommand(DocumentCommand command)
{
    record(QStringLiteral("execCommand"), {int(command)});
}

void FakeWebBackend::setZoomFactor(qreal factor)
{
    record(QStringLiteral("setZoomFactor"), {factor});
    m_zoom = factor;
}

void FakeWebBackend::toHtml(std::function<void(const QString&)> done)
{
    record(QStringLiteral("toHtml"));
    answer([done = std::move(done), html = m_html] {
        if (done)
            done(html);
    });
}

void FakeWebBackend::setHtml(const QString& html, const QString& baseUrl)
{
    record(QStringLiteral("setHtml"), {html, baseUrl});
    m_html = html;
}

void FakeWebBackend::runJavaScript(const QString& script, const QVariantList& arguments,
                                   std::function<void(const QVariant&)> done)
{
    record(QStringLiteral("runJavaScript"), {script, arguments});
    const QVariant result = m_scriptHandler ? m_scriptHandler(script, arguments) : QVariant();
    answer([done = std::move(done), result] {
        if (done)
            done(result);
    });
}

void FakeWebBackend::runPageJavaScript(const QString& script,
                                       std::function<void(const QVariant&)> done)
{
    record(QStringLiteral("runPageJavaScript"), {script});
    const QVariant result = m_scriptHandler && m_lifecycle != PageLifecycle::Discarded
                                ? m_scriptHandler(script, {})
                                : QVariant();
    answer([done = std::move(done), result] {
        if (done)
            done(result);
    });
}

void FakeWebBackend::print(QPrinter* printer, std::function<void(bool)> done)
{
    Q_UNUSED(printer)
    record(QStringLiteral("print"));
    answer([done = std::move(done), ok = m_printResult] {
        if (done)
            done(ok);
    });
}

void FakeWebBackend::savePage(const QString& filePath, bool complete)
{
    record(QStringLiteral("savePage"), {filePath, complete});
}

void FakeWebBackend::focusPage()
{
    record(QStringLiteral("focusPage"));
}

void FakeWebBackend::afterQuestions(std::function<void()> then)
{
    if (!m_questionOpen)
        then();
    else
        m_afterQuestions.append(std::move(then));
}

void FakeWebBackend::setLifecycle(PageLifecycle state)
{
    record(QStringLiteral("setLifecycle"), {int(state)});
    if (state == m_lifecycle)
        return;
    if (state == PageLifecycle::Active) {
        const bool dropped = m_lifecycle == PageLifecycle::Discarded;
        m_lifecycle = state;
        if (!dropped)
            return;
        m_view = new QWidget(m_container);
        m_view->setObjectName(QStringLiteral("fakeWebView"));
        m_view->setFocusPolicy(Qt::StrongFocus);
        if (m_events) {
            m_events->viewReplaced(m_view);
            if (!m_locationUrl.isEmpty())
                startLoad(m_locationUrl);
        }
        return;
    }
    if (m_questionOpen || m_printing)
        return;
    m_lifecycle = state;
    if (state == PageLifecycle::Discarded) {
        delete m_view.data();
        m_busy = false;
    }
}

void FakeWebBackend::closeQuestion()
{
    m_questionOpen = false;
    const auto waiting = std::exchange(m_afterQuestions, {});
    for (const auto& then : waiting)
        then();
}
