// A tab's part in pop-up control: the windows its page opens, and its own first address
// when a page opened it.
#include "browser/BrowserTab.h"

#include "browser/BrowserTabHost.h"
#include "browser/PopupRules.h"

#include <QPointer>

namespace {

const QString AboutBlank = QStringLiteral("about:blank");

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
    m_popupUrl = url;
    m_pendingPopup = false;
    // The window may tell the user in a modal box; the hidden tabs can be swept meanwhile.
    const QPointer<TBrowserTab> self(this);
    const bool blocked = m_host->IsPopupBlocked(url);
    if (!self) {
        cancel = true;
        return false;
    }
    if (blocked) {
        cancel = true;
        m_popupBlocked = true;
        m_host->ScheduleCloseHiddenTabs();
        return false;
    }
    setTabVisible(true);
    setCaption(QStringLiteral("Loading..."));
    if (m_popupToFront)
        m_host->BringPopupToFront(this);
    return true;
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
    cancel = false;
    if (!tab->Browser()) {
        cancel = true;
        return;
    }
    tab->setFocusOnLoad(true);
    newBrowser = tab->Browser();
}
