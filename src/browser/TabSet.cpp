#include "browser/TabSet.h"

#include "browser/BrowserTab.h"
#include "browser/OpenRules.h"
#include "browser/PopupControl.h"
#include "browser/TabListing.h"
#include "browser/TabSleeper.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"
#include "platform/web/EngineServices.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

TabSet::TabSet(TPVPageControl& strip, Services services, QObject* parent)
    : QObject(parent)
    , m_strip(strip)
    , m_services(std::move(services))
{
    connect(&m_strip, &TPVPageControl::currentChanged, this, [this] {
        if (!m_suspendTabChange)
            onTabChange();
    });
    connect(&m_services.popups, &PopupControl::sweepDue, this, &TabSet::CloseHiddenTabs);
}

// --- The tabs --------------------------------------------------------------------------------

TBrowserTab* TabSet::GetActivePage() const
{
    return qobject_cast<TBrowserTab*>(m_strip.activePage());
}

QList<TBrowserTab*> TabSet::tabs() const
{
    QList<TBrowserTab*> result;
    for (int i = 0; i < m_strip.pageCount(); ++i) {
        if (auto* tab = qobject_cast<TBrowserTab*>(m_strip.page(i)))
            result << tab;
    }
    return result;
}

TBrowserTab* TabSet::createTab(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    auto* tab = new TBrowserTab(this, hidden);
    tab->setTitleLimit(m_limitTitleLength);
    connect(tab, &TBrowserTab::appearanceChanged, this, [this, tab] { syncAppearance(tab); });
    connect(tab, &TBrowserTab::stateChanged, this, &TabSet::changed);
    if (TSorvelBrowser* browser = tab->Browser()) {
        connect(browser, &TSorvelBrowser::addToFavoritesRequested, this,
                &TabSet::addToFavoritesRequested);
        // Each site is shown at the size last chosen on it.
        connect(tab, &TBrowserTab::addressShown, browser, [this, browser](const QString& url) {
            if (!Zoom::siteOf(url).isEmpty())
                browser->ShowZoom(m_zoom.zoomFor(url));
        });
        connect(browser, &TSorvelBrowser::zoomChosen, this,
                [this, browser](qreal zoom) { m_zoom.remember(browser->LocationURL(), zoom); });
    }
    relay(tab);
    m_strip.addPage(tab, tab->Caption());
    syncAppearance(tab);
    placeNewTab(tab, previous);
    // A new tab becomes the active page, unless it is a window not yet classified: that
    // one has no tab to show and must not take the place of the page the user sees.
    if (!hidden || !previous)
        m_strip.setActivePage(tab);
    return tab;
}

void TabSet::relay(TBrowserTab* tab)
{
    // The one filter: a report reaches the window only from the tab in front.
    const auto fromFront = [this, tab](auto pass) {
        return [this, tab, pass](auto... arguments) {
            if (tab == m_strip.activePage())
                pass(arguments...);
        };
    };
    connect(tab, &TBrowserTab::statusTextChanged, this,
            fromFront([this](const QString& text) { Q_EMIT statusText(text); }));
    connect(tab, &TBrowserTab::progressChanged, this,
            fromFront([this](int done, int total) { Q_EMIT progress(done, total); }));
    connect(tab, &TBrowserTab::progressEnded, this, fromFront([this] { Q_EMIT progressEnded(); }));
    connect(tab, &TBrowserTab::busyChanged, this, fromFront([this](bool on) { Q_EMIT busy(on); }));
    connect(tab, &TBrowserTab::indicatorsChanged, this,
            fromFront([this] { Q_EMIT indicatorsChanged(); }));
    connect(tab, &TBrowserTab::backForwardChanged, this,
            fromFront([this] { Q_EMIT backForwardChanged(); }));
    connect(tab, &TBrowserTab::addressShown, this,
            fromFront([this](const QString& url) { Q_EMIT addressShown(url); }));
    connect(tab, &TBrowserTab::addressTyped, this,
            fromFront([this](const QString& url) { Q_EMIT addressTyped(url); }));
}

void TabSet::placeNewTab(TBrowserTab* tab, TBrowserTab* previous)
{
    if (m_openNewAtEnd || m_atEndHeld > 0)
        return;
    const int after = previous ? m_strip.pageIndex(previous) + 1 : 0;
    m_strip.setPageIndex(tab, after);
}

void TabSet::syncAppearance(TBrowserTab* tab)
{
    if (m_strip.pageIndex(tab) < 0)
        return;
    m_strip.setPageCaption(tab, tab->Caption());
    m_strip.setPageHint(tab, tab->Hint());
    m_strip.setPageImageIndex(tab, tab->ImageIndex());
    m_strip.setTabVisible(tab, tab->TabVisible());
}

TBrowserTab* TabSet::NewTab()
{
    return createTab(false);
}

TBrowserTab* TabSet::NewTabBackground(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    QPointer<TBrowserTab> tab;
    {
        m_suspendTabChange = true;
        m_strip.setUpdatesEnabled(false);
        tab = createTab(hidden);
        if (!m_openNewInForeground && previous)
            m_strip.setActivePage(previous);
        m_strip.setUpdatesEnabled(true);
        m_suspendTabChange = false;
    }
    if (GetActivePage() != previous)
        onTabChange();
    if (hidden)
        m_services.popups.pendingWindowOpened();
    // No event loop runs here: this is called from inside the engine's create-window call,
    // where a sweep of hidden tabs or a Close All run from the loop could delete the very
    // page that asked.
    return tab && m_strip.pageIndex(tab) >= 0 ? tab.data() : nullptr;
}

void TabSet::onTabChange()
{
    TBrowserTab* tab = GetActivePage();
    if (!tab)
        return;
    Q_EMIT changed();
    // A tab that waited loads when it is first shown; one that slept comes back.
    TabSleeper::wake(tab);
    tab->Wake();
    if (!tab->Busy())
        tab->SetViewed(true);
    // The tab left behind may now show the "finished, not seen" mark again.
    if (m_lastActive && m_lastActive != tab) {
        syncAppearance(m_lastActive);
        m_lastActive->noteUsed(); // seen until now
    }
    m_lastActive = tab;
    Q_EMIT activeTabChanged(tab);
    // A keyboard user walking the strip with the arrows stays on it.
    if (m_windowShown && QApplication::focusWidget() != m_strip.tabStrip())
        tab->FocusBrowser();
}

void TabSet::holdTabChange(bool held)
{
    m_suspendTabChange = held;
    if (!held)
        onTabChange();
}

void TabSet::openAtEnd(const std::function<void()>& open)
{
    // Each new tab becomes the active one in turn; only the last is put on the screen.
    const TBrowserTab* before = GetActivePage();
    ++m_atEndHeld;
    m_strip.holdShownPage(true);
    open();
    m_strip.holdShownPage(false);
    --m_atEndHeld;
    // The tabs made in between were given the focus while out of sight.
    TBrowserTab* now = GetActivePage();
    if (now && now != before && m_windowShown && QApplication::focusWidget() != m_strip.tabStrip())
        now->FocusBrowser();
}

void TabSet::openInFront(const std::function<void()>& open)
{
    const bool foreground = std::exchange(m_openNewInForeground, true);
    open();
    m_openNewInForeground = foreground;
}

void TabSet::activate(TBrowserTab* tab)
{
    if (!tab || m_strip.pageIndex(tab) < 0)
        return;
    // Handled once: by the strip's report of the change, or here when there is none (the
    // tab was in front already, or changes are held).
    const bool reported = GetActivePage() != tab && !m_suspendTabChange;
    m_strip.setActivePage(tab);
    if (!reported)
        onTabChange();
}

void TabSet::MakeMeActiveTab(QObject* sender)
{
    activate(TabListing::tabOf(sender));
}

void TabSet::OpenAddress(const QString& address, bool newTab, bool shiftHeld)
{
    if (address.isEmpty())
        return;
    TBrowserTab* active = GetActivePage();
    using OpenRules::OpenTarget;
    switch (OpenRules::ChooseOpenTarget(newTab, shiftHeld, active != nullptr,
                                        active ? active->GetAddress() : QString(),
                                        active && active->Busy())) {
    case OpenTarget::ActiveTab:
        active->NavigateTo(address);
        return;
    case OpenTarget::ReuseBlankTab:
        active->OpenAsHome(address);
        return;
    case OpenTarget::NewTab:
        NewTab()->OpenAsHome(address);
        return;
    }
}

// --- Closing ---------------------------------------------------------------------------------

void TabSet::closePage(TBrowserTab* tab)
{
    if (!tab || m_strip.pageIndex(tab) < 0)
        return;
    tab->CloseTab();
}

void TabSet::CloseHiddenTabs()
{
    for (int i = m_strip.pageCount() - 1; i >= 0; --i) {
        auto* tab = qobject_cast<TBrowserTab*>(m_strip.page(i));
        if (!tab || tab->TabVisible())
            continue;
        m_strip.removePage(tab);
        delete tab;
    }
}

void TabSet::destroyTab(TBrowserTab* tab)
{
    m_strip.removePage(tab);
    tab->hide();
    tab->deleteLater();
    Q_EMIT changed();
}

// --- Listing ---------------------------------------------------------------------------------

QJsonArray TabSet::describeTabs() const
{
    return TabListing::describeTabs(tabs(), GetActivePage());
}

void TabSet::fillTabsMenu(QMenu* menu)
{
    CloseHiddenTabs();
    TabListing::fillTabsMenu(menu, tabs(), StateIcons::tabStateImages(m_strip.devicePixelRatioF()),
                             [this](QAction* item) { MakeMeActiveTab(item); });
}

// --- Settings --------------------------------------------------------------------------------

void TabSet::setLimitTitleLength(int length)
{
    m_limitTitleLength = length;
    const auto all = tabs();
    for (TBrowserTab* tab : all)
        tab->setTitleLimit(length);
}

void TabSet::setOpenNewInForeground(bool on)
{
    m_openNewInForeground = on;
}

// --- What the tabs ask -----------------------------------------------------------------------

WebBackend* TabSet::createWebBackend()
{
    return m_services.engine.createBackend();
}

QString TabSet::pageCopiesFolder() const
{
    return m_services.engine.pageCopiesFolder();
}

RegistryHive* TabSet::hive()
{
    return &m_services.hive;
}

bool TabSet::isActiveTab(const TBrowserTab* tab) const
{
    return tab && m_strip.activePage() == tab;
}

std::optional<QString> TabSet::askStickyName()
{
    return m_services.askStickyName ? m_services.askStickyName() : std::nullopt;
}

bool TabSet::IsPopupBlocked(const QString& url)
{
    return m_services.popups.IsPopupBlocked(url);
}

bool TabSet::popupFiltered(const QString& url, const QString& openerUrl, const void* opener)
{
    return m_services.popups.isFiltered(url, openerUrl, opener);
}

void TabSet::recordPopupAddress(const QString& address)
{
    m_services.popups.addToList(address);
}

void TabSet::ScheduleCloseHiddenTabs()
{
    m_services.popups.ScheduleCloseHiddenTabs();
}

void TabSet::PopupsRefused(TBrowserTab* opener)
{
    Q_EMIT statusText(PopupControl::refusedText(opener ? opener->GetAddress() : QString()));
    // Windows that never ask for an address wait hidden; let them go in a while so the
    // page may open others later.
    ScheduleCloseHiddenTabs();
}

bool TabSet::takeUnaskedWindow()
{
    PopupControl& popups = m_services.popups;
    if (popups.takeUnaskedWindow())
        return true;
    if (popups.firstRefusal()) {
        Q_EMIT statusText(PopupControl::budgetSpentText());
        ScheduleCloseHiddenTabs();
    }
    return false;
}

void TabSet::noteUserInput()
{
    m_services.popups.noteUserInput();
}

void TabSet::BringPopupToFront(TBrowserTab* tab)
{
    // Not from inside the engine's navigation callback: activating runs the tab change,
    // which moves the focus into the page.
    const QPointer<TBrowserTab> shown(tab);
    QTimer::singleShot(0, this, [this, shown] {
        if (shown && shown->TabVisible() && m_strip.pageIndex(shown) >= 0)
            m_strip.setActivePage(shown);
    });
}

// --- The strip -------------------------------------------------------------------------------

int TabSet::pageCount() const
{
    return m_strip.pageCount();
}

int TabSet::tabCount() const
{
    return m_strip.tabCount();
}

int TabSet::pageIndexOf(const TBrowserTab* tab) const
{
    return m_strip.pageIndex(const_cast<TBrowserTab*>(tab));
}

void TabSet::selectNextPage(const TBrowserTab* tab, bool forward)
{
    const int index = pageIndexOf(tab);
    if (index < 0)
        return;
    const int count = m_strip.pageCount();
    for (int step = 1; step < count; ++step) {
        const int candidate = (index + (forward ? step : -step) + count) % count;
        QWidget* page = m_strip.page(candidate);
        if (m_strip.isTabVisible(page)) {
            m_strip.setActivePage(page);
            return;
        }
    }
}
