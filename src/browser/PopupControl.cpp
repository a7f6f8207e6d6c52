#include "browser/PopupControl.h"

#include "browser/PopupNotify.h"
#include "browser/PopupRules.h"
#include "settings/PVOptions.h"

#include <QTimer>

#include <utility>

PopupControl::PopupControl(RegistryHive& hive, QWidget* noticeParent)
    : QObject(noticeParent)
    , m_options(hive)
    , m_noticeParent(noticeParent)
{
    m_tmrCloseHidden = new QTimer(this);
    m_tmrCloseHidden->setObjectName(QStringLiteral("tmrCloseHidden"));
    m_tmrCloseHidden->setSingleShot(true);
    m_tmrCloseHidden->setInterval(2000);
    connect(m_tmrCloseHidden, &QTimer::timeout, this, &PopupControl::sweepDue);
    m_tmrPendingWindows = new QTimer(this);
    m_tmrPendingWindows->setSingleShot(true);
    m_tmrPendingWindows->setInterval(PendingWindowGrace);
    connect(m_tmrPendingWindows, &QTimer::timeout, this, &PopupControl::sweepDue);

    m_usePopupSorvel = m_options.GetUsePopupSorvel();
    m_popupList = m_options.GetPopupSorvelList();
}

void PopupControl::ReloadPopupList()
{
    m_popupList = m_options.GetPopupSorvelList();
}

bool PopupControl::IsPopupBlocked(const QString& url)
{
    if (!PopupRules::isBlocked(m_usePopupSorvel, m_popupList, url))
        return false;
    // This runs inside the engine's navigation callback: a store that cannot be read here
    // means the default (tell the user), not an error box in the middle of a load.
    bool notify = true;
    try {
        notify = m_options.GetPopupSorvelNotify();
    } catch (const RegistryError&) {
    }
    if (notify) {
        if (!m_notice) {
            m_notice = new TfrmPopupNotify(m_noticeParent);
            connect(m_notice, &TfrmPopupNotify::dontShowAgain, this,
                    [this] { m_options.SetPopupSorvelNotify(false); });
        }
        m_notice->addAddress(url);
        m_notice->show();
    }
    return true;
}

bool PopupControl::isFiltered(const QString& url, const QString& openerUrl,
                              const void* opener) const
{
    if (!m_filter)
        return false;
    WebRequest request;
    request.url = QUrl(url);
    // Only what leaves the program: the filter lists write no rules for local pages.
    const QString scheme = request.url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    request.firstParty = QUrl(openerUrl);
    request.kind = WebResource::Popup;
    request.source = opener;
    return m_filter->blocks(request);
}

void PopupControl::addToList(const QString& address)
{
    if (!address.isEmpty()) {
        m_options.SetPopupSorvelList(
            PopupRules::appendEntry(m_options.GetPopupSorvelList(), address));
    }
    ReloadPopupList();
}

void PopupControl::ScheduleCloseHiddenTabs()
{
    if (!m_tmrCloseHidden->isActive())
        m_tmrCloseHidden->start();
}

void PopupControl::pendingWindowOpened()
{
    if (!m_tmrPendingWindows->isActive())
        m_tmrPendingWindows->start();
}

void PopupControl::setPendingWindowGrace(int milliseconds)
{
    m_tmrPendingWindows->setInterval(milliseconds);
}

void PopupControl::stopSweep()
{
    m_tmrCloseHidden->stop();
    m_tmrPendingWindows->stop();
}

bool PopupControl::sweepPending() const
{
    return m_tmrCloseHidden->isActive();
}

int PopupControl::sweepInterval() const
{
    return m_tmrCloseHidden->interval();
}

void PopupControl::setSweepInterval(int milliseconds)
{
    m_tmrCloseHidden->setInterval(milliseconds);
}

QString PopupControl::refusedText(const QString& address)
{
    return QStringLiteral("Pelvane did not open all the windows that %1 asked for: "
                          "too many at once.")
        .arg(address.isEmpty() ? QStringLiteral("a page") : address);
}

bool PopupControl::takeUnaskedWindow()
{
    if (m_unaskedWindows >= PopupRules::MaxWindowsUnasked)
        return false;
    ++m_unaskedWindows;
    return true;
}

bool PopupControl::firstRefusal()
{
    return !std::exchange(m_refusalTold, true);
}

void PopupControl::noteUserInput()
{
    m_unaskedWindows = 0;
    m_refusalTold = false;
}

QString PopupControl::budgetSpentText()
{
    return QStringLiteral("Pelvane did not open all the windows that pages asked for: too "
                          "many without a click or a key.");
}
