// A tab's part in pop-up control: the windows its page opens, and its own first address
// when a page opened it.
#include "browser/BrowserTab.h"

#include "browser/BrowserTabHost.h"
#include "browser/PopupRules.h"

#include <QPointer>
#include <QTimer>
#include <QRegularExpression>

namespace {

const QString AboutBlank = QStringLiteral("about:blank");

// Whether a window's blank page has been written into by its opener.
const QString WrittenScript = QStringLiteral(
    "return !!(document.title || (document.body && document.body.childNodes.length));");
// How often a waiting window's blank page is looked at until it is swept.
constexpr int WrittenCheckInterval = 1000;

} // namespace

void TBrowserTab::AddToPopupList()
{
    m_host->recordPopupAddress(PopupRules::addressForList(m_popupUrl, GetAddress()));
    CloseTab();
}

bool TBrowserTab::ClassifyPendingPopup(const QString& url, bool& cancel)
{
    if (url == AboutBlank)
        return false; // the tab's own start page: still waiting for the real address
    if (!PopupAllowed(url)) {
        cancel = true;
        return false;
    }
    ShowPopup();
    setCaption(QStringLiteral("Loading..."));
    return true;
}

bool TBrowserTab::OwnAddressAllowed(const QString& url)
{
    if (url == AboutBlank || url == m_openerUrl)
        return true; // its written page, or the copy of it
    m_checkOwnAddress = false;
    const QPointer<TBrowserTab> self(this);
    if (PopupAllowed(url))
        return true;
    if (self)
        setTabVisible(false); // shown already: hidden again for the sweep
    return false;
}

bool TBrowserTab::PopupAllowed(const QString& address, bool ownAddress)
{
    m_popupUrl = address;
    m_pendingPopup = false;
    // The window may tell the user; the hidden tabs can be swept meanwhile.
    const QPointer<TBrowserTab> self(this);
    const bool blocked =
        (ownAddress && m_host->popupFiltered(address, m_openerUrl, m_openerSource)) ||
        m_host->IsPopupBlocked(address);
    if (!self)
        return false;
    if (blocked) {
        m_popupBlocked = true;
        m_host->ScheduleCloseHiddenTabs();
        return false;
    }
    return true;
}

void TBrowserTab::ShowPopup()
{
    setTabVisible(true);
    if (m_popupToFront)
        m_host->BringPopupToFront(this);
}

void TBrowserTab::ClassifyWrittenPopup()
{
    if (!m_pendingPopup || !m_browser)
        return;
    // A window that its opener writes into (a receipt, a print preview) never asks for an
    // address of its own: it is a pop-up of the page that opened it.
    if (!PopupAllowed(m_openerUrl, false))
        return;
    // The engine cannot show a window that never loaded a page (it crashes as the view
    // appears): the written page loads again from its own text, at its opener's address,
    // and the tab shows once it is there.
    m_writtenCopyPending = true;
    m_checkOwnAddress = true;
    const QPointer<TBrowserTab> self(this);
    const QPointer<TSorvelBrowser> browser(m_browser);
    m_browser->backend()->toHtml([self, browser](const QString& html) {
        if (!self || !browser || self->m_browser != browser)
            return;
        if (html.isEmpty()) {
            // Nothing to show: the hidden tab goes with the next sweep.
            self->m_writtenCopyPending = false;
            self->m_host->ScheduleCloseHiddenTabs();
            return;
        }
        // Its scripts have run once and their work is in the text: a second run would
        // repeat it (a receipt that prints itself would print twice).
        static const QRegularExpression scripts(
            QStringLiteral("<script\\b[^>]*>.*?</script\\s*>"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        browser->backend()->setHtml(QString(html).remove(scripts), self->m_openerUrl);
    });
}

void TBrowserTab::WrittenCopyLoaded()
{
    m_writtenCopyPending = false;
    ShowPopup();
    const QString title = GetTitle();
    SetTitle(title.isEmpty() ? AboutBlank : title);
}

void TBrowserTab::LookForWrittenContent()
{
    if (!m_pendingPopup || !m_browser || m_lookingForContent)
        return;
    // The engine reports a title written into the page, but nothing for a page written
    // without one: the page is asked, and asked again while the window waits.
    m_lookingForContent = true;
    const QPointer<TBrowserTab> self(this);
    const QPointer<TSorvelBrowser> browser(m_browser);
    m_browser->backend()->runJavaScript(
        WrittenScript, {}, [self, browser](const QVariant& written) {
            // The answer may come from inside the browser's destruction.
            if (!self || !browser || self->m_browser != browser)
                return;
            self->m_lookingForContent = false;
            if (written.toBool())
                self->ClassifyWrittenPopup();
            else if (written.isValid() && self->m_pendingPopup)
                QTimer::singleShot(WrittenCheckInterval, self,
                                   [self] { self->LookForWrittenContent(); });
        });
}

int TBrowserTab::WaitingPopups() const
{
    int waiting = m_popupsBeingMade;
    for (const QPointer<TBrowserTab>& popup : m_popups)
        waiting += popup && !popup->TabVisible() ? 1 : 0;
    return waiting;
}

bool TBrowserTab::mayOpenWindow()
{
    m_popups.removeIf(
        [](const QPointer<TBrowserTab>& popup) { return !popup || popup->TabVisible(); });
    // A page's own bound first; then the window's, shared by every tab, which holds a page
    // that opens copies of itself (each a tab with a bound of its own).
    if (PopupRules::mayOpenWindow(WaitingPopups(), m_popupsSinceInput))
        return m_host->takeUnaskedWindow();
    if (!m_popupsRefusedTold) {
        m_popupsRefusedTold = true;
        m_host->PopupsRefused(this);
    }
    return false;
}

void TBrowserTab::onNewWindow2(TWebBrowser*& newBrowser, bool& cancel)
{
    // A page that opens windows in a loop gets a few; each new tab costs a whole engine.
    if (!mayOpenWindow()) {
        newBrowser = nullptr;
        cancel = true;
        return;
    }
    // Making the tab runs the event loop, where the engine may ask for the next window
    // (or the hidden tabs may be swept): count this one as waiting meanwhile.
    const QPointer<TBrowserTab> self(this);
    ++m_popupsSinceInput;
    ++m_popupsBeingMade;
    const QPointer<TBrowserTab> tab = m_host->NewTabBackground(true);
    if (!self)
        return; // the opener was closed meanwhile; the engine decides
    --m_popupsBeingMade;
    if (!tab)
        return; // the engine decides
    m_popups << tab;
    tab->m_popupToFront = m_host->OpenNewInForeground();
    tab->m_openerUrl = GetAddress();
    tab->m_openerSource = m_browser ? static_cast<const WebBackend*>(m_browser->backend()) : nullptr;
    tab->m_openedByPage = true;
    cancel = false;
    if (!tab->Browser()) {
        cancel = true;
        return;
    }
    tab->setFocusOnLoad(true);
    newBrowser = tab->Browser();
}

void TBrowserTab::onWindowClosing()
{
    // A page may close a window that a page opened, never one the user opened.
    if (!m_openedByPage)
        return;
    // Closed as the user's Close does (the only tab is reset to blank), once the engine's
    // call has returned.
    QTimer::singleShot(0, this, [this] { CloseTab(); });
}
