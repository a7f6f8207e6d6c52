// What a tab is beyond its page: the wait of a tab brought back, its use, and the fields a
// session keeps.
#include "browser/BrowserTab.h"

#include "browser/BrowserTabHost.h"

#include <QDeadlineTimer>

void TBrowserTab::setHideFromCloseAll(bool on)
{
    if (on == m_hideFromCloseAll)
        return;
    m_hideFromCloseAll = on;
    Q_EMIT stateChanged();
}

void TBrowserTab::NoteUserInput(bool typed)
{
    m_popupsSinceInput = 0;
    m_host->noteUserInput();
    m_typedSinceLoad = m_typedSinceLoad || typed;
    noteUsed();
}

void TBrowserTab::noteUsed()
{
    m_lastUsedMs = QDeadlineTimer::current().deadline();
}

void TBrowserTab::navigationChosen()
{
    m_blankPending = false;
    m_waiting = false;
    m_waitingAddress.clear();
    m_loadAsked = false;
    m_goingTo.clear();
    m_scroll = {};
}

void TBrowserTab::Wait(const QString& address, const QString& caption, QPointF scroll)
{
    if (!m_browser)
        return;
    m_blankPending = false;
    m_waiting = true;
    m_waitingAddress = address;
    m_scroll = scroll;
    SetTitle(caption.isEmpty() ? address : caption);
    Q_EMIT stateChanged();
}

void TBrowserTab::Wake()
{
    if (!m_waiting)
        return;
    const QString address = m_waitingAddress;
    const QPointF scroll = m_scroll;
    navigationChosen();
    m_waitingAddress = address; // until its page has arrived (see leavesPage)
    m_scroll = scroll;          // put back once it has loaded
    // The caption stays what it was until the page gives its title.
    m_loadAsked = true;
    m_browser->NavigateUrl(address);
}

QPointF TBrowserTab::ScrollPosition() const
{
    if (m_waiting)
        return m_scroll;
    return m_browser ? m_browser->backend()->scrollPosition() : QPointF();
}

void TBrowserTab::restoreScroll()
{
    if (m_scroll.isNull() || !m_browser)
        return;
    const QPointF scroll = std::exchange(m_scroll, QPointF());
    m_browser->backend()->runJavaScript(QStringLiteral("window.scrollTo(args[0], args[1]);"),
                                        {scroll.x(), scroll.y()}, {});
}
