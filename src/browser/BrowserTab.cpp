#include "browser/BrowserTab.h"

#include "browser/BrowserTabHost.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString AboutBlank = QStringLiteral("about:blank");
constexpr int DefaultTitleLength = 50;

// Collects the addresses of the page's anchors whose text contains "NEXT" in capitals, in
// document order. Errors of single elements are skipped.
const QString NextLinksScript = QStringLiteral(R"(return (function () {
    var found = [];
    var links = document.links;
    for (var i = 0; i < links.length; ++i) {
        try {
            var link = links[i];
            var text = String(link.innerText || "").toUpperCase();
            if (text.indexOf("NEXT") >= 0 && link.tagName === "A" && link.href)
                found.push(String(link.href));
        } catch (e) {
        }
    }
    return found;
})())");

} // namespace

TBrowserTab::TBrowserTab(BrowserTabHost* host, bool hidden, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
{
    Q_ASSERT(m_host);
    m_pendingPopup = hidden;
    m_tabVisible = !hidden;
    noteUsed();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_frame = new QFrame(this);
    m_frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_frame->setLineWidth(1);
    layout->addWidget(m_frame);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);

    if (WebBackend* backend = m_host->createWebBackend()) {
        m_browser = new TSorvelBrowser(backend, m_host->hive(), m_frame);
        m_browser->setNo3DBorder(true);
        m_browser->setFlatScrollbar(true);
        m_browser->setPageLayout(m_host->pageLayout());
        if (const QString copies = m_host->pageCopiesFolder(); !copies.isEmpty())
            m_browser->setTempFolder(copies);
        m_browser->setFocusPolicy(Qt::StrongFocus);
        frameLayout->addWidget(m_browser);
        assignHandlers();
        if (hidden) {
            NavigateBlank();
        } else {
            // Most tabs are told their address at once: loading a blank page first would
            // only cost a load that the real one replaces.
            m_blankPending = true;
            QTimer::singleShot(0, this, [this] {
                if (m_blankPending && !m_blankHeld)
                    NavigateBlank();
            });
        }
    }
}

TBrowserTab::~TBrowserTab()
{
    // The engine must not call into a tab that is already half gone, and a page with a
    // question open must outlive us (see destroyBrowser).
    destroyBrowser();
}

void TBrowserTab::assignHandlers()
{
    m_browser->OnBeforeNavigate2 = [this](WebFrame frame, const QString& url, bool& cancel) {
        onBeforeNavigate2(frame, url, cancel);
    };
    m_browser->OnNewWindow2 = [this](TWebBrowser*& newBrowser, bool& cancel) {
        onNewWindow2(newBrowser, cancel);
    };
    m_browser->OnNavigateComplete2 = [this](WebFrame frame, const QString& url) {
        onNavigateComplete2(frame, url);
    };
    m_browser->OnDocumentComplete = [this](WebFrame frame, const QString& url) {
        onDocumentComplete(frame, url);
    };
    m_browser->OnTitleChange = [this](const QString& text) { onTitleChange(text); };
    m_browser->OnStatusTextChange = [this](const QString& text) { onStatusTextChange(text); };
    m_browser->OnProgressChange = [this](int progress, int maximum) {
        onProgressChange(progress, maximum);
    };
    m_browser->OnCommandStateChange = [this](int command, bool enabled) {
        onCommandStateChange(command, enabled);
    };
    m_browser->OnDownloadBegin = [this] { onDownloadBegin(); };
    m_browser->OnDownloadComplete = [this] { onDownloadComplete(); };
    m_browser->OnWindowClosing = [this] { onWindowClosing(); };
}

void TBrowserTab::clearHandlers()
{
    if (!m_browser)
        return;
    m_browser->OnBeforeNavigate2 = nullptr;
    m_browser->OnNewWindow2 = nullptr;
    m_browser->OnNavigateComplete2 = nullptr;
    m_browser->OnDocumentComplete = nullptr;
    m_browser->OnTitleChange = nullptr;
    m_browser->OnStatusTextChange = nullptr;
    m_browser->OnProgressChange = nullptr;
    m_browser->OnCommandStateChange = nullptr;
    m_browser->OnDownloadBegin = nullptr;
    m_browser->OnDownloadComplete = nullptr;
    m_browser->OnWindowClosing = nullptr;
}

// --- Appearance ---------------------------------------------------------------------------

void TBrowserTab::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Q_EMIT appearanceChanged();
    Q_EMIT stateChanged();
}

void TBrowserTab::setHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    Q_EMIT appearanceChanged();
    Q_EMIT stateChanged();
}

void TBrowserTab::setImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    Q_EMIT appearanceChanged();
}

void TBrowserTab::setTabVisible(bool visible)
{
    if (visible == m_tabVisible)
        return;
    m_tabVisible = visible;
    Q_EMIT appearanceChanged();
    Q_EMIT stateChanged();
}

QString TBrowserTab::CaptionFromTitle(const QString& title, int limitTitleLength)
{
    QString caption = title;
    // No limit at 0, and at a negative value (a hand-edited setting) too.
    if (limitTitleLength > 0 && title.size() > limitTitleLength)
        caption = title.left(limitTitleLength) + QStringLiteral("...");
    else if (title.size() > DefaultTitleLength)
        caption = title.left(DefaultTitleLength) + QStringLiteral("...");
    if (caption == AboutBlank)
        caption = QStringLiteral("Blank");
    return caption;
}

void TBrowserTab::SetTitle(const QString& title)
{
    setHint(title);
    if (!m_stickyName.isEmpty())
        return;
    setCaption(CaptionFromTitle(title, m_titleLimit));
}

void TBrowserTab::setTitleLimit(int limitTitleLength)
{
    if (limitTitleLength == m_titleLimit)
        return;
    m_titleLimit = limitTitleLength;
    SetTitle(GetTitle());
}

void TBrowserTab::SetStickyName(const QString& name)
{
    const bool changed = name != m_stickyName;
    m_stickyName = name;
    if (name.isEmpty())
        SetTitle(GetTitle());
    else
        setCaption(name);
    if (changed)
        Q_EMIT stateChanged();
}

void TBrowserTab::PromptStickyName()
{
    const QPointer<TBrowserTab> self(this); // the question may run the event loop
    const std::optional<QString> name = m_host->askStickyName();
    if (self && name && !name->isEmpty())
        SetStickyName(*name);
}

void TBrowserTab::SetLocked(bool locked)
{
    const bool changed = locked != m_locked;
    m_locked = locked;
    setImageIndex(locked ? iconLocked : iconNone);
    if (changed)
        Q_EMIT stateChanged();
}

void TBrowserTab::SetViewed(bool viewed)
{
    m_viewed = viewed;
    if (m_locked)
        return;
    setImageIndex(!viewed && !IsActive() ? iconFinished : iconNone);
}

void TBrowserTab::SetStateIcon(int state)
{
    if (m_locked)
        return;
    if (state == 1)
        setImageIndex(m_viewed ? iconNone : iconFinished);
    else if (state == 2)
        setImageIndex(iconArrived);
    else
        setImageIndex(iconStarted);
}

bool TBrowserTab::IsActive() const
{
    return m_host->isActiveTab(this);
}

// --- Navigation ---------------------------------------------------------------------------

void TBrowserTab::OpenAsHome(const QString& url)
{
    m_homeUrl = url;
    NavigateTo(url);
}

void TBrowserTab::NavigateTo(const QString& url)
{
    if (!m_browser)
        return;
    navigationChosen();
    // A locked tab's navigation goes to a new tab, so its own caption stays.
    if (!m_locked)
        SetTitle(url);
    loadAsked(url);
    m_browser->NavigateUrl(url);
}

void TBrowserTab::loadAsked(const QString& url)
{
    m_loadAsked = true;
    m_goingTo = url;
}

void TBrowserTab::NavigateBlank()
{
    navigationChosen();
    if (m_browser)
        m_browser->NavigateUrl(AboutBlank);
}

void TBrowserTab::releaseBlankPage()
{
    m_blankHeld = false;
    if (m_blankPending)
        NavigateBlank();
}

void TBrowserTab::GoTabHome()
{
    if (!m_homeUrl.isEmpty())
        NavigateTo(m_homeUrl);
}

void TBrowserTab::GoHome()
{
    navigationChosen();
    if (m_browser)
        m_browser->GoHome();
}

void TBrowserTab::GoSearch()
{
    navigationChosen();
    if (m_browser)
        m_browser->GoSearch();
}

void TBrowserTab::GoBack()
{
    if (m_browser && m_canGoBack)
        m_browser->GoBack();
}

void TBrowserTab::GoForward()
{
    if (m_browser && m_canGoForward)
        m_browser->GoForward();
}

void TBrowserTab::Stop()
{
    m_loadAsked = false;
    m_goingTo.clear();
    if (m_browser)
        m_browser->Stop();
}

void TBrowserTab::Refresh()
{
    Refresh(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
}

void TBrowserTab::Refresh(bool completely)
{
    if (!m_browser)
        return;
    if (m_waiting)
        return; // nothing loaded to reload: the page loads fresh when the tab is shown
    if (completely)
        m_browser->ReloadCompletely();
    else
        m_browser->Reload();
}

QString TBrowserTab::GetAddress() const
{
    if (m_waiting)
        return m_waitingAddress;
    const QString location = m_browser ? m_browser->LocationURL() : QString();
    if (!location.isEmpty())
        return location;
    // A woken tab, or one told where to go, is on its way to that address: it is the tab's
    // until the page comes.
    return m_waitingAddress.isEmpty() ? m_goingTo : m_waitingAddress;
}

QString TBrowserTab::GetTitle() const
{
    if (m_waiting)
        return m_hint;
    return m_browser ? m_browser->LocationName() : QString();
}

void TBrowserTab::FocusBrowser()
{
    if (!m_browser)
        return;
    m_browser->setFocus(Qt::OtherFocusReason);
    m_browser->backend()->focusPage();
}

void TBrowserTab::FollowNextLink()
{
    if (!m_browser)
        return;
    const QPointer<TBrowserTab> self(this);
    const QPointer<TSorvelBrowser> browser(m_browser);
    m_browser->backend()->runJavaScript(NextLinksScript, {},
                                        [self, browser](const QVariant& result) {
                                            // The page answers later; the tab may have closed or
                                            // lost its browser meanwhile.
                                            if (!self || !browser || self->m_browser != browser)
                                                return;
                                            const QStringList links = result.toStringList();
                                            if (links.isEmpty())
                                                return;
                                            // Every qualifying link is followed in turn, so the
                                            // last one is what finally loads.
                                            browser->Stop();
                                            browser->NavigateUrl(links.last());
                                        });
}

// --- Closing ------------------------------------------------------------------------------

void TBrowserTab::destroyBrowser()
{
    if (!m_browser)
        return;
    m_browser->Stop();
    clearHandlers();
    WebBackend* backend = m_browser->backend();
    m_browser = nullptr;
    QWidget* frame = m_frame;
    m_frame = nullptr;
    frame->hide();
    // The frame takes the browser with it; later, since we may be inside one of its events.
    // A page that has a question open is inside a call of the engine that a nested event
    // loop runs: the frame leaves the tab (which may go at once) and goes once the question
    // is answered.
    if (backend && backend->questionOpen()) {
        frame->setParent(nullptr);
        backend->afterQuestions([frame] { frame->deleteLater(); });
        return;
    }
    frame->deleteLater();
}

void TBrowserTab::resetToBlank(bool keepHomeAddress)
{
    // Nothing of the tab's past may come back with its next page: a lock waiting for a
    // load, or the window it was opened as (F8 would list that window's address, and a
    // later page could close it).
    SetLocked(false);
    m_lockWhenLoaded = false;
    m_popupUrl.clear();
    m_pendingPopup = false;
    m_popupBlocked = false;
    m_openedByPage = false; // the user's tab now: no page of its next site may close it
    m_openerUrl.clear();
    m_checkOwnAddress = false;
    m_hideFromCloseAll = false;
    NavigateBlank();
    if (!keepHomeAddress)
        m_homeUrl.clear();
    SetStickyName(QString());
    setCaption(QStringLiteral("Blank"));
}

void TBrowserTab::CloseTab()
{
    try {
        // The rule that one tab always remains counts pages, hidden ones too: closing the
        // only shown tab beside a window still waiting hidden would leave no tab to see once
        // the sweep takes that window. Such windows go first.
        if (TabVisible() && m_host->tabCount() == 1)
            m_host->CloseHiddenTabs();
        const int pages = m_host->pageCount();
        if (pages <= 0)
            return;
        if (pages == 1) {
            resetToBlank();
            return;
        }
        if (IsActive())
            m_host->selectNextPage(this, m_host->pageIndexOf(this) == 0);
        destroyBrowser();
        setTabVisible(false);
        m_host->destroyTab(this);
    } catch (...) {
        // A failed close leaves the tab as far as it got; nothing to tell the user.
    }
}

// --- Browser commands ---------------------------------------------------------------------

void TBrowserTab::SelectAll()
{
    if (m_browser)
        m_browser->SelectAll();
}

void TBrowserTab::Copy()
{
    if (m_browser)
        m_browser->Copy();
}

void TBrowserTab::Cut()
{
    if (m_browser)
        m_browser->Cut();
}

void TBrowserTab::Paste()
{
    if (m_browser)
        m_browser->Paste();
}

void TBrowserTab::PageSetup()
{
    if (m_browser)
        m_browser->PageSetup();
}

void TBrowserTab::SaveAs()
{
    if (m_browser)
        m_browser->SaveAs();
}

void TBrowserTab::Print()
{
    if (m_browser)
        m_browser->Print();
}

void TBrowserTab::ShowProperties()
{
    if (m_browser)
        m_browser->ShowProperties();
}

void TBrowserTab::Find()
{
    if (m_browser)
        m_browser->Find();
}

void TBrowserTab::ViewSource()
{
    if (m_browser)
        m_browser->ViewSource();
}

void TBrowserTab::InternetOptions()
{
    if (m_browser)
        m_browser->InternetOptions();
}

void TBrowserTab::AddToFavorites()
{
    if (m_browser)
        m_browser->AddToFavorites();
}

int TBrowserTab::GetFontSize() const
{
    return m_browser ? m_browser->GetFontSize() : 2;
}

void TBrowserTab::SetFontSize(int size)
{
    if (m_browser)
        m_browser->SetFontSize(size);
}

void TBrowserTab::SaveToTempFile(TSorvelBrowser::SaveDone done)
{
    if (m_browser) {
        m_browser->SaveToTempFile(std::move(done));
        return;
    }
    noPageToSave(std::move(done));
}

void TBrowserTab::SaveForMail(TSorvelBrowser::SaveDone done)
{
    if (m_browser) {
        m_browser->SaveForMail(std::move(done));
        return;
    }
    noPageToSave(std::move(done));
}

void TBrowserTab::noPageToSave(TSorvelBrowser::SaveDone done)
{
    if (done)
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done)] {
                done({{}, QStringLiteral("There is no page to save.")});
            },
            Qt::QueuedConnection);
}

// --- Events of the browser ------------------------------------------------------------------

bool TBrowserTab::isTopFrame(WebFrame frame) const
{
    return m_browser && frame == m_browser->Application();
}

void TBrowserTab::onBeforeNavigate2(WebFrame frame, const QString& url, bool& cancel)
{
    decideNavigation(frame, url, cancel);
    // The engine has taken the asked load up: a cycle now says whether the tab is busy,
    // and a refused load goes nowhere.
    if (isTopFrame(frame) && !url.startsWith(QLatin1String("javascript"))) {
        m_loadAsked = false;
        if (cancel)
            m_goingTo.clear();
    }
}

void TBrowserTab::decideNavigation(WebFrame frame, const QString& url, bool& cancel)
{
    // A script link runs inside the page: no navigation cycle, no address.
    if (url.startsWith(QLatin1String("javascript")))
        return;
    if (m_pendingPopup) {
        if (!ClassifyPendingPopup(url, cancel))
            return;
    } else if (m_checkOwnAddress && isTopFrame(frame) && !OwnAddressAllowed(url)) {
        cancel = true;
        return;
    } else if (m_locked && leavesPage(frame, url)) {
        RedirectFromLockedTab(url, cancel);
        return;
    }
    if (isTopFrame(frame))
        Q_EMIT addressTyped(url);
    if (m_cycleFrame == 0) {
        m_insecureSeen = false;
        m_busy = true;
        m_cycleFrame = frame;
        SetStateIcon(0);
        Q_EMIT indicatorsChanged();
    }
}

bool TBrowserTab::leavesPage(WebFrame frame, const QString& url) const
{
    // A page's own frames (adverts, videos, consent boxes) load as part of it, and a reload
    // (which the engine reports as a top-level navigation to the address shown) or a jump
    // to an anchor keeps the page too.
    if (!isTopFrame(frame))
        return false;
    const auto page = [](const QString& address) {
        return QUrl(address).adjusted(QUrl::RemoveFragment);
    };
    // A locked tab that waited loads its own page when woken, redirects included.
    if (!m_waitingAddress.isEmpty())
        return false;
    return page(url) != page(GetAddress());
}

void TBrowserTab::RedirectFromLockedTab(const QString& url, bool& cancel)
{
    cancel = true;
    // A locked page that navigates in a loop would otherwise open tabs without end.
    if (!mayOpenWindow())
        return;
    ++m_popupsSinceInput;
    // Not from inside the engine's question: making a tab runs the event loop, where the
    // engine would report the refused load once more (and it would open twice).
    QTimer::singleShot(0, this, [this, url] {
        if (TBrowserTab* tab = m_host->NewTabBackground(false)) {
            tab->setFocusOnLoad(true);
            tab->NavigateTo(url);
        }
    });
}

void TBrowserTab::onNavigateComplete2(WebFrame frame, const QString& url)
{
    // The entry's own page, not the blank page every tab starts with.
    if (m_lockWhenLoaded && !m_locked && isTopFrame(frame) && url != AboutBlank)
        SetLocked(true);
    if (!url.startsWith(QLatin1String("https")))
        m_insecureSeen = true;
    const bool active = IsActive();
    if (isTopFrame(frame)) {
        m_popupsRefusedTold = false; // another page: it may be told again
        m_typedSinceLoad = false;
        m_waitingAddress.clear();
        m_goingTo.clear();
        Q_EMIT stateChanged();
    }
    if (isTopFrame(frame))
        Q_EMIT addressShown(url);
    if (active && isTopFrame(frame)) {
        if (m_focusOnLoad) {
            m_focusOnLoad = false;
            if (m_host->WindowShown())
                FocusBrowser();
        }
    }
    if (m_cycleFrame != 0 && frame == m_cycleFrame) {
        if (m_startupMark) {
            SetStateIcon(1);
            m_startupMark = false;
        } else {
            SetStateIcon(2);
        }
        m_secure = !m_insecureSeen;
        Q_EMIT indicatorsChanged();
        m_insecureSeen = false;
    }
}

void TBrowserTab::onDocumentComplete(WebFrame frame, const QString& url)
{
    const bool active = IsActive();
    if (isTopFrame(frame)) {
        Q_EMIT addressShown(url);
        restoreScroll();
    }
    // A new window's blank page is there: its opener may write into it.
    if (m_pendingPopup && isTopFrame(frame) && (url.isEmpty() || url == AboutBlank))
        LookForWrittenContent();
    else if (m_writtenCopyPending && isTopFrame(frame))
        WrittenCopyLoaded();
    if (m_cycleFrame != 0 && frame == m_cycleFrame) {
        SetViewed(active);
        m_busy = false;
        m_loadAsked = false;
        m_goingTo.clear();
        m_cycleFrame = 0;
        if (active)
            SetStateIcon(1);
        Q_EMIT busyChanged(false);
        Q_EMIT indicatorsChanged();
    }
}

void TBrowserTab::onTitleChange(const QString& text)
{
    SetTitle(text);
    if (m_pendingPopup && !text.isEmpty() && text != AboutBlank)
        ClassifyWrittenPopup();
}

void TBrowserTab::onStatusTextChange(const QString& text)
{
    Q_EMIT statusTextChanged(text);
}

void TBrowserTab::onProgressChange(int progress, int maximum)
{
    if (progress == maximum)
        Q_EMIT progressEnded();
    else
        Q_EMIT progressChanged(progress, maximum);
}

void TBrowserTab::onCommandStateChange(int command, bool enabled)
{
    if (command == TWebBrowser::CSC_NAVIGATEFORWARD)
        m_canGoForward = enabled;
    else if (command == TWebBrowser::CSC_NAVIGATEBACK)
        m_canGoBack = enabled;
    Q_EMIT backForwardChanged();
}

void TBrowserTab::onDownloadBegin()
{
    Q_EMIT busyChanged(true);
}

void TBrowserTab::onDownloadComplete()
{
    Q_EMIT busyChanged(false);
}
