#include "platform/web/QtWebEngineBackend.h"

#include "platform/web/UserAddress.h"

#include "platform/web/CrashPage.h"
#include "platform/web/FullScreenWindow.h"
#include "platform/web/PagePropertiesDialog.h"
#include "platform/web/PageContextMenu.h"
#include "platform/web/PersonalDictionary.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEnginePage.h"
#include "platform/web/WebQuestions.h"

#include <QDataStream>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cmath>

namespace {

// The engine makes a title from the address when a page has none; such a title is not
// worth keeping in the history.
bool isRealTitle(const QString& title, const QUrl& url)
{
    if (title.isEmpty() || title == url.toString())
        return false;
    QString bare = url.toString(QUrl::RemoveScheme);
    if (bare.startsWith(QLatin1String("//")))
        bare = bare.mid(2);
    return title != bare;
}

QUrl withoutFragment(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

CrashPage::Reason crashReason(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
        return CrashPage::Reason::Crashed;
    case QWebEnginePage::KilledTerminationStatus:
        return CrashPage::Reason::Killed;
    default:
        return CrashPage::Reason::Abnormal;
    }
}

} // namespace

QtWebEngineBackend::QtWebEngineBackend(WebEngineContext* context)
    : m_context(context)
{
    makePage();
    context->backendCreated(this);
}

void QtWebEngineBackend::makePage()
{
    m_view = new QWebEngineView(m_context ? m_context->viewNursery() : nullptr);
    m_page = new WebEnginePage(m_context, this);
    m_view->setPage(m_page);
    if (m_context)
        m_context->pageCreated(m_page);

    QWebEnginePage* page = m_page;
    connect(page, &QWebEnginePage::loadingChanged, this, &QtWebEngineBackend::onLoadingChanged);
    connect(page, &QWebEnginePage::urlChanged, this, &QtWebEngineBackend::onUrlChanged);
    connect(page, &QWebEnginePage::titleChanged, this, &QtWebEngineBackend::onTitleChanged);
    // Kept for the menus that list addresses of the site (the Favorites).
    connect(page, &QWebEnginePage::iconChanged, this, [this](const QIcon& icon) {
        if (!icon.isNull())
            m_context->siteIcons().store(m_page->url(), icon);
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) {
        if (m_events && m_loading)
            m_events->progressChange(progress, 100);
    });
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        if (m_events)
            m_events->statusTextChange(url);
    });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] {
        if (m_events)
            m_events->windowClosing();
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            &QtWebEngineBackend::onRenderProcessTerminated);
    connect(page, &QWebEnginePage::fullScreenRequested, this,
            &QtWebEngineBackend::onFullScreenRequested);
    PageContextMenu::install(*m_view, {[this] { showDeveloperTools(true); },
                                       [this](const QString& word) { addToDictionary(word); },
                                       [this](const QString& word) {
                                           return m_context &&
                                                  m_context->dictionary().contains(word);
                                       }});
}

void QtWebEngineBackend::addToDictionary(const QString& word)
{
    if (!m_context)
        return;
    PersonalDictionary& dictionary = m_context->dictionary();
    if (dictionary.add(word) == PersonalDictionary::Result::Failed)
        QMessageBox::warning(m_view, QStringLiteral("Pelvane"), dictionary.error());
}

QtWebEngineBackend::~QtWebEngineBackend()
{
    m_events = nullptr;
    if (m_context)
        m_context->backendDestroyed(this);
    releaseEngine();
}

void QtWebEngineBackend::releaseEngine()
{
    m_events = nullptr;
    closeDeveloperTools();
    delete m_fullScreen; // gives the page back to its view first
    delete m_view;
    delete m_page;
}

QWebEnginePage* QtWebEngineBackend::page() const
{
    return m_page;
}

PageLifecycle QtWebEngineBackend::lifecycle() const
{
    if (m_released)
        return PageLifecycle::Discarded;
    if (!m_page)
        return PageLifecycle::Active;
    return m_page->lifecycleState() == QWebEnginePage::LifecycleState::Frozen
               ? PageLifecycle::Frozen
               : PageLifecycle::Active;
}

void QtWebEngineBackend::setLifecycle(PageLifecycle state)
{
    if (state == lifecycle())
        return;
    if (state == PageLifecycle::Active) {
        if (m_released)
            restorePage();
        else if (m_page)
            m_page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        return;
    }
    // The engine refuses to freeze or drop a page that is on the screen; a page with a
    // question open is inside one of the engine's calls and must stay.
    if (!m_page || m_page->isVisible() || m_fullScreen || questionOpen() || m_printing)
        return;
    if (state == PageLifecycle::Frozen)
        m_page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    else
        releasePage();
}

void QtWebEngineBackend::releasePage()
{
    // The engine's own discarded state keeps the page's renderer process alive; only
    // deleting the page lets it end. What the tab shows and offers while it sleeps is kept
    // here, and the history (back, forward, the current entry) comes back when it wakes.
    Released saved;
    saved.url = m_page->url();
    saved.title = m_page->title();
    saved.zoom = m_page->zoomFactor();
    saved.scroll = scrollPosition();
    QDataStream out(&saved.history, QIODevice::WriteOnly);
    out << *m_page->history();
    m_saved = std::move(saved);
    m_released = true;
    m_loading = false;
    m_htmlPending = false;
    m_navigationReported = false;
    m_cancelledUrl.clear();
    m_suppressedUrl.clear();
    closeDeveloperTools();
    delete m_view;
    delete m_page;
    if (m_context)
        m_context->pageReleased();
}

bool QtWebEngineBackend::wakePage()
{
    if (m_released)
        restorePage();
    return m_page;
}

void QtWebEngineBackend::restorePage()
{
    m_released = false;
    makePage();
    m_page->setZoomFactor(m_saved.zoom);
    if (m_events)
        m_events->viewReplaced(m_view);
    // Reading the history back loads its current entry.
    m_returningUrl = m_saved.url;
    m_returningScroll = m_saved.scroll;
    QDataStream in(m_saved.history);
    in >> *m_page->history();
    if (in.status() != QDataStream::Ok || m_page->history()->count() == 0)
        m_page->load(m_saved.url);
    m_saved = {};
}

bool QtWebEngineBackend::audible() const
{
    return m_page && m_page->recentlyAudible();
}

QPointF QtWebEngineBackend::scrollPosition() const
{
    if (m_released)
        return m_saved.scroll;
    if (!m_page)
        return {};
    // The engine gives the position in the view's pixels, which the zoom scales; a script
    // scrolling back (window.scrollTo) counts in the page's own.
    const qreal zoom = m_page->zoomFactor();
    return zoom > 0 ? m_page->scrollPosition() / zoom : m_page->scrollPosition();
}

void QtWebEngineBackend::attach(WebBackendEvents* events, QWidget* container)
{
    m_events = events;
    if (m_view)
        m_view->setParent(container);
}

QWidget* QtWebEngineBackend::view() const
{
    return m_view;
}

void QtWebEngineBackend::prepareDrawing()
{
    // The engine sets a page up on the first call that needs its document; an empty script
    // is the one that asks for nothing else. Otherwise the page is set up shortly after its
    // first show, and its view then takes in an OpenGL surface, for which the window that
    // was just made (as an ordinary one) is made again before it is first drawn. Drawn in
    // software, the window is made once anyway and the page is best set up after the show.
    if (m_page && WebEngineContext::composesThroughOpenGL())
        m_page->runJavaScript(QString());
}

void QtWebEngineBackend::navigate(const QString& url)
{
    if (!wakePage())
        return;
    m_page->load(UserAddress::toUrl(url));
}

void QtWebEngineBackend::goBack()
{
    if (wakePage())
        m_page->triggerAction(QWebEnginePage::Back);
}

void QtWebEngineBackend::goForward()
{
    if (wakePage())
        m_page->triggerAction(QWebEnginePage::Forward);
}

void QtWebEngineBackend::stop()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Stop);
}

void QtWebEngineBackend::refresh()
{
    // Reloading a crash explanation would only show it again: the lost page comes back.
    if (wakePage() && !m_lostUrl.isEmpty())
        m_page->load(m_lostUrl);
    else if (m_page)
        m_page->triggerAction(QWebEnginePage::Reload);
}

void QtWebEngineBackend::refreshCompletely()
{
    if (wakePage() && !m_lostUrl.isEmpty())
        m_page->load(m_lostUrl);
    else if (m_page)
        m_page->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

QString QtWebEngineBackend::locationUrl() const
{
    if (m_released)
        return m_saved.url.toString();
    return m_page ? m_page->url().toString() : QString();
}

QString QtWebEngineBackend::locationName() const
{
    if (m_released)
        return m_saved.title;
    return m_page ? m_page->title() : QString();
}

// Navigation --------------------------------------------------------------------------

namespace {

NavigationKind kindOf(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
        return NavigationKind::Link;
    case QWebEnginePage::NavigationTypeFormSubmitted:
        return NavigationKind::Form;
    case QWebEnginePage::NavigationTypeRedirect:
        return NavigationKind::Redirect;
    case QWebEnginePage::NavigationTypeReload:
        return NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeBackForward:
        return NavigationKind::History;
    default:
        return NavigationKind::Other;
    }
}

} // namespace

bool QtWebEngineBackend::onNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type,
                                             bool isMainFrame)
{
    // setHtml replaces the document; the engine loads it as a data address, which is no
    // navigation of the page's own.
    if (isMainFrame && m_htmlPending && url.scheme() == QLatin1String("data"))
        return true;
    if (!m_events)
        return true;
    const WebFrame frame = isMainFrame ? TopFrame : m_nextSubFrame++;
    bool cancel = false;
    const QPointer<QtWebEngineBackend> alive(this);
    m_navigationKind = kindOf(type);
    m_events->beforeNavigate(frame, url.toString(), &cancel);
    if (!alive)
        return false;
    m_navigationKind = NavigationKind::Other;
    if (cancel) {
        // A refused redirect ends a load that was reported as started; it must still end as
        // reported. A refused fresh navigation is never reported as started.
        if (isMainFrame && type != QWebEnginePage::NavigationTypeRedirect)
            m_cancelledUrl = url;
        return false;
    }
    if (isMainFrame) {
        // The engine does not always start a load for a refused navigation; a later load of
        // the same address must not be taken for it.
        m_cancelledUrl.clear();
        m_navigationReported = true;
    } else {
        const QString address = url.toString();
        QTimer::singleShot(0, this, [this, frame, address] {
            if (m_events)
                m_events->navigateComplete(frame, address);
            if (m_events)
                m_events->documentComplete(frame, address);
        });
    }
    return true;
}

void QtWebEngineBackend::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        onLoadStarted(info.url());
    else
        onLoadEnded(info);
}

void QtWebEngineBackend::onLoadStarted(const QUrl& url)
{
    // The engine starts (and at once ends) a load even for a navigation it was told to
    // refuse; that load is none of the program's business.
    if (!m_cancelledUrl.isEmpty() && url == m_cancelledUrl) {
        m_cancelledUrl.clear();
        m_suppressedUrl = url;
        return;
    }
    m_cancelledUrl.clear();
    const bool html = m_htmlPending && url.scheme() == QLatin1String("data");
    if (html)
        m_htmlPending = false;
    if (!m_navigationReported && !html && m_events) {
        // The engine asks nothing before some loads (about:blank, history entries kept in
        // memory); the program still hears of them first.
        bool cancel = false;
        const QPointer<QtWebEngineBackend> alive(this);
        m_events->beforeNavigate(TopFrame, url.toString(), &cancel);
        if (!alive)
            return;
        if (cancel) {
            m_suppressedUrl = url;
            if (m_page)
                m_page->triggerAction(QWebEnginePage::Stop);
            return;
        }
    }
    m_navigationReported = false;
    m_suppressedUrl.clear(); // an ignored load ends before the next one starts
    if (!html)
        m_lostUrl.clear();
    if (m_loading && m_events)
        m_events->downloadComplete(); // the new load replaces the one that ran
    m_loading = true;
    m_committed = false;
    m_loadIsHtml = html;
    if (m_events)
        m_events->downloadBegin();
}

void QtWebEngineBackend::onLoadEnded(const QWebEngineLoadingInfo& info)
{
    if (!m_suppressedUrl.isEmpty()) {
        if (info.url() == m_suppressedUrl) {
            m_suppressedUrl.clear();
            return;
        }
        // When the next navigation comes before the ignored load has ended, the engine
        // carries on with that same load for the new address and does not report a start
        // again. The navigation request was heard; the load is the program's from here.
        m_suppressedUrl.clear();
        if (!m_loading) {
            m_loading = true;
            m_navigationReported = false;
            m_loadIsHtml = false;
            if (m_events)
                m_events->downloadBegin();
        }
    }
    if (!m_loading)
        return;
    m_loading = false;
    const QUrl url = m_page ? m_page->url() : info.url();
    // A reload of the same address commits without changing it; an error page commits too.
    // A load that ends in a download or "204 No Content" commits nothing.
    const bool committed = m_committed ||
                           info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                           info.isErrorPage();
    const QPointer<QtWebEngineBackend> alive(this);
    if (committed)
        m_pageUrl = url;
    if (committed && !m_committed) {
        m_committed = true;
        m_hasDocument = true;
        if (m_events)
            m_events->navigateComplete(TopFrame, url.toString());
        if (!alive)
            return;
    }
    const bool returning = !m_returningUrl.isEmpty() && url == m_returningUrl;
    m_returningUrl.clear();
    // The engine reloads the history's entry at the top of the page: the place the user
    // left it is put back once the page is there.
    const QPointF scroll = std::exchange(m_returningScroll, QPointF());
    if (returning && !scroll.isNull())
        runJavaScript(QStringLiteral("window.scrollTo(args[0], args[1]);"),
                      {scroll.x(), scroll.y()}, {});
    if (returning)
        m_recordedUrl = url; // its history entry is still the one later titles go to
    else if (committed && !info.isErrorPage() && !m_loadIsHtml &&
             info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        recordVisit(url);
    updateCommandStates();
    if (!alive || !m_events)
        return;
    m_events->downloadComplete();
    if (alive && m_events)
        m_events->documentComplete(TopFrame, url.toString());
}

void QtWebEngineBackend::onUrlChanged(const QUrl& url)
{
    if (url.isEmpty())
        return;
    // A load the program asks for shows its address at once, at times before the engine
    // asks whether it may go there, and shows the page's own again if it may not. Until a
    // load starts, only an address that is the page's current history entry (a move within
    // the page) is a move at all.
    if (!m_loading && m_page &&
        (url == m_pageUrl || m_page->history()->currentItem().url() != url))
        return;
    m_hasDocument = true;
    const QPointer<QtWebEngineBackend> alive(this);
    if (m_loading) {
        m_committed = true;
    } else if (withoutFragment(url) != withoutFragment(m_recordedUrl) && !m_loadIsHtml) {
        recordSamePageChange(url);
    }
    m_pageUrl = url;
    if (m_events)
        m_events->navigateComplete(TopFrame, url.toString());
    if (alive)
        updateCommandStates();
}

void QtWebEngineBackend::onTitleChanged(const QString& title)
{
    if (m_events)
        m_events->titleChange(title);
    if (m_context && m_context->visitSink().retitled && m_page && !m_recordedUrl.isEmpty() &&
        m_page->url() == m_recordedUrl && isRealTitle(title, m_recordedUrl))
        m_context->visitSink().retitled(m_recordedUrl.toString(), title);
}

void QtWebEngineBackend::recordSamePageChange(const QUrl& url)
{
    // A page moved to another address of its own (history.pushState): a visit too. But a
    // page can do that thousands of times a second and fill the disk, so only a change
    // that made a history entry of its own counts (replaceState makes none), and at most
    // one a second.
    // (A page's history holds at most 50 entries, so the entry's place alone cannot tell
    // a new entry: the one before it is the address the page was on.)
    if (!m_page)
        return;
    const QWebEngineHistory* history = m_page->history();
    const int index = history->currentItemIndex();
    if (index < 1 || history->itemAt(index - 1).url() != m_pageUrl)
        return;
    if (m_samePageRecorded.isValid() && m_samePageRecorded.elapsed() < 1000)
        return;
    m_samePageRecorded.start();
    recordVisit(url);
}

void QtWebEngineBackend::recordVisit(const QUrl& url)
{
    // An address longer than any a person keeps is a page writing data into the history.
    constexpr qsizetype MaxRecordedAddress = 4096;
    if (!m_context || !m_context->visitSink().visited ||
        url.toEncoded().size() > MaxRecordedAddress)
        return;
    const QString title = m_page ? m_page->title() : QString();
    if (m_context->visitSink().visited(url.toString(), isRealTitle(title, url) ? title : QString()))
        m_recordedUrl = url;
}

void QtWebEngineBackend::updateCommandStates()
{
    if (!m_page)
        return;
    const bool back = m_page->history()->canGoBack();
    const bool forward = m_page->history()->canGoForward();
    const QPointer<QtWebEngineBackend> alive(this);
    if (forward != m_canGoForward) {
        m_canGoForward = forward;
        if (m_events)
            m_events->commandStateChange(TWebBrowser::CSC_NAVIGATEFORWARD, forward);
    }
    if (alive && back != m_canGoBack) {
        m_canGoBack = back;
        if (m_events)
            m_events->commandStateChange(TWebBrowser::CSC_NAVIGATEBACK, back);
    }
}

QWebEnginePage* QtWebEngineBackend::onCreateWindow()
{
    if (!m_events || !m_page)
        return nullptr;
    TWebBrowser* target = nullptr;
    bool cancel = false;
    const QPointer<QtWebEngineBackend> alive(this);
    m_events->newWindow(&target, &cancel);
    if (!alive || cancel || !target)
        return nullptr;
    // Only a page of the same profile can take over the request.
    auto* backend = dynamic_cast<QtWebEngineBackend*>(target->backend());
    if (!backend || backend == this || !backend->page() ||
        backend->page()->profile() != m_page->profile())
        return nullptr;
    return backend->page();
}

// What the system control did on its own ---------------------------------------------------

void QtWebEngineBackend::onRenderProcessTerminated(
    QWebEnginePage::RenderProcessTerminationStatus status, int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus || !m_page)
        return;
    const QUrl lost = m_page->url();
    const QPointer<QtWebEngineBackend> alive(this);
    if (m_loading) {
        // The load will never finish on its own.
        m_loading = false;
        if (m_events)
            m_events->downloadComplete();
        if (alive && m_events)
            m_events->documentComplete(TopFrame, lost.toString());
        if (!alive)
            return;
    }
    // The explanation stands at the lost page's address, so Refresh brings the page back.
    const QString html = CrashPage::html(lost, crashReason(status), exitCode);
    QTimer::singleShot(0, this, [this, html, lost] {
        if (!m_page)
            return;
        m_htmlPending = true;
        m_lostUrl = lost;
        m_page->setHtml(html, lost);
    });
}

void QtWebEngineBackend::onFullScreenRequested(QWebEngineFullScreenRequest request)
{
    if (!m_view) {
        request.reject();
        return;
    }
    request.accept();
    if (request.toggleOn()) {
        if (!m_fullScreen) {
            m_fullScreen = new FullScreenWindow(m_view);
            if (m_context)
                m_context->adoptWindow(m_fullScreen);
        }
    } else {
        delete m_fullScreen;
    }
}

void QtWebEngineBackend::focusPage()
{
    if (m_view)
        m_view->setFocus(Qt::OtherFocusReason);
}

void QtWebEngineBackend::showStatus(const QString& text)
{
    if (m_events)
        m_events->statusTextChange(text);
}

bool QtWebEngineBackend::questionOpen() const
{
    return m_page && m_page->questionOpen();
}

void QtWebEngineBackend::afterQuestions(std::function<void()> then)
{
    if (!questionOpen()) {
        then();
        return;
    }
    // Queued: the page's call must have returned before anything it holds goes.
    connect(m_page.data(), &WebEnginePage::questionsClosed, this, std::move(then),
            static_cast<Qt::ConnectionType>(Qt::SingleShotConnection | Qt::QueuedConnection));
}
