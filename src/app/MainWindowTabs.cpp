// The tab set: creating, placing and activating tabs, opening page groups, the reports
// the tabs make and the Tabs menu.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "app/Throbber.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"
#include "browser/strip/PVStatusBar.h"
#include "groups/SorvelGroup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

TBrowserTab* TfrmMain::GetActivePage() const
{
    return qobject_cast<TBrowserTab*>(m_pcPage->activePage());
}

QList<TBrowserTab*> TfrmMain::tabs() const
{
    QList<TBrowserTab*> result;
    for (int i = 0; i < m_pcPage->pageCount(); ++i) {
        if (auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->page(i)))
            result << tab;
    }
    return result;
}

void TfrmMain::forEachTab(const std::function<void(TBrowserTab*)>& action) const
{
    const auto all = tabs();
    for (TBrowserTab* tab : all)
        action(tab);
}

TBrowserTab* TfrmMain::createTab(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    auto* tab = new TBrowserTab(this, hidden);
    connect(tab, &TBrowserTab::appearanceChanged, this, [this, tab] { syncAppearance(tab); });
    m_pcPage->addPage(tab, tab->Caption());
    syncAppearance(tab);
    placeNewTab(tab, previous);
    // A new tab becomes the active page, unless it is a window not yet classified: that
    // one has no tab to show and must not take the place of the page the user sees.
    if (!hidden || !previous)
        m_pcPage->setActivePage(tab);
    return tab;
}

void TfrmMain::placeNewTab(TBrowserTab* tab, TBrowserTab* previous)
{
    if (m_placeAtEnd)
        return;
    const int after = previous ? m_pcPage->pageIndex(previous) + 1 : 0;
    m_pcPage->setPageIndex(tab, after);
}

void TfrmMain::syncAppearance(TBrowserTab* tab)
{
    if (m_pcPage->pageIndex(tab) < 0)
        return;
    m_pcPage->setPageCaption(tab, tab->Caption());
    m_pcPage->setPageHint(tab, tab->Hint());
    m_pcPage->setPageImageIndex(tab, tab->ImageIndex());
    m_pcPage->setTabVisible(tab, tab->TabVisible());
}

TBrowserTab* TfrmMain::NewTab()
{
    return createTab(false);
}

TBrowserTab* TfrmMain::NewTabBackground(bool hidden)
{
    TBrowserTab* previous = GetActivePage();
    QPointer<TBrowserTab> tab;
    {
        m_suspendTabChange = true;
        m_pcPage->setUpdatesEnabled(false);
        tab = createTab(hidden);
        if (!m_openNewInForeground && previous)
            m_pcPage->setActivePage(previous);
        m_pcPage->setUpdatesEnabled(true);
        m_suspendTabChange = false;
    }
    if (GetActivePage() != previous)
        onTabChange();
    // Callers expect the pending work (a tab change above all) to have run by now. The
    // hidden tabs may be swept meanwhile, this one included.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return tab && m_pcPage->pageIndex(tab) >= 0 ? tab.data() : nullptr;
}

void TfrmMain::MakeMeActiveTab(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (!item)
        return;
    const int position = item->property("tabPosition").toInt();
    if (position < 0 || position >= m_pcPage->pageCount())
        return;
    m_pcPage->setActivePageIndex(position);
    onTabChange();
}

void TfrmMain::onTabChange()
{
    TBrowserTab* tab = GetActivePage();
    if (!tab)
        return;
    if (!tab->Busy())
        tab->SetViewed(true);
    // The tab left behind may now show the "finished, not seen" mark again.
    if (m_lastActive && m_lastActive != tab)
        syncAppearance(m_lastActive);
    m_lastActive = tab;
    UpdateTabState();
    UpdateBackForward();
    const QString address = tab->GetAddress();
    const QString shown = address == QLatin1String("about:blank") ? QString() : address;
    if (m_cboAddress->currentText() != shown)
        ShowAddress(address);
    m_statusBar->setPanelText(3, QString());
    m_statusBar->setBusy(false);
    m_statusBar->setText(QString());
    if (m_windowShown)
        tab->FocusBrowser();
}

// --- Reports --------------------------------------------------------------------------------

void TfrmMain::SetStatusText(const QString& text)
{
    m_statusBar->setText(text);
}

void TfrmMain::SetProgress(int progress, int maximum)
{
    m_statusBar->setProgress(progress, maximum);
}

void TfrmMain::resetProgress()
{
    m_statusBar->setProgressPosition(0);
}

void TfrmMain::SetBusy(bool busy)
{
    m_statusBar->setBusy(busy);
}

void TfrmMain::UpdateTabState()
{
    const TBrowserTab* tab = GetActivePage();
    m_statusBar->setSecure(tab && tab->Secure());
    m_throbber->setRunning(tab && tab->Busy());
}

void TfrmMain::UpdateBackForward()
{
    const TBrowserTab* tab = GetActivePage();
    m_actions->get("actGoBack")->setEnabled(tab && tab->CanGoBack());
    m_actions->get("actGoForward")->setEnabled(tab && tab->CanGoForward());
}

// --- BrowserTabHost --------------------------------------------------------------------------

WebBackend* TfrmMain::createWebBackend()
{
    return m_start.backends ? m_start.backends() : nullptr;
}

bool TfrmMain::isActiveTab(const TBrowserTab* tab) const
{
    return tab && m_pcPage->activePage() == tab;
}

int TfrmMain::pageCount() const
{
    return m_pcPage->pageCount();
}

int TfrmMain::pageIndexOf(const TBrowserTab* tab) const
{
    return m_pcPage->pageIndex(const_cast<TBrowserTab*>(tab));
}

void TfrmMain::selectNextPage(const TBrowserTab* tab, bool forward)
{
    const int index = pageIndexOf(tab);
    if (index < 0)
        return;
    const int count = m_pcPage->pageCount();
    for (int step = 1; step < count; ++step) {
        const int candidate = (index + (forward ? step : -step) + count) % count;
        QWidget* page = m_pcPage->page(candidate);
        if (m_pcPage->isTabVisible(page)) {
            m_pcPage->setActivePage(page);
            return;
        }
    }
}

void TfrmMain::destroyTab(TBrowserTab* tab)
{
    m_pcPage->removePage(tab);
    tab->hide();
    tab->deleteLater();
}

// --- Tabs menu and the tab set as data ----------------------------------------------------------

QString TfrmMain::tabsMenuCaption(int n, const QString& text)
{
    if (n <= 9)
        return QStringLiteral("&%1    %2").arg(n).arg(text);
    return QStringLiteral("%1      %2").arg(n).arg(text);
}

void TfrmMain::rebuildTabsMenu()
{
    m_mnuTabs->clear();
    CloseHiddenTabs();
    const QList<QPixmap> images = StateIcons::tabStateImages(devicePixelRatioF());
    const auto all = tabs();
    for (int i = 0; i < all.size(); ++i) {
        TBrowserTab* tab = all.at(i);
        const QString text = tab->StickyName().isEmpty() ? tab->Caption() : tab->StickyName();
        QAction* item = m_mnuTabs->addAction(tabsMenuCaption(i + 1, text));
        item->setProperty("tabPosition", i);
        item->setStatusTip(tab->GetAddress());
        if (tab->ImageIndex() >= 0 && tab->ImageIndex() < images.size())
            item->setIcon(QIcon(images.at(tab->ImageIndex())));
        connect(item, &QAction::triggered, this, [this, item] { MakeMeActiveTab(item); });
    }
}

QJsonArray TfrmMain::describeTabs() const
{
    QJsonArray result;
    const auto all = tabs();
    for (int i = 0; i < all.size(); ++i) {
        const TBrowserTab* tab = all.at(i);
        result.append(QJsonObject{
            {QStringLiteral("index"), i},
            {QStringLiteral("visible"), tab->TabVisible()},
            {QStringLiteral("active"), isActiveTab(tab)},
            {QStringLiteral("caption"), tab->Caption()},
            {QStringLiteral("hint"), tab->Hint()},
            {QStringLiteral("address"), tab->GetAddress()},
            {QStringLiteral("homeUrl"), tab->HomeUrl()},
            {QStringLiteral("stickyName"), tab->StickyName()},
            {QStringLiteral("locked"), tab->Locked()},
            {QStringLiteral("hideFromCloseAll"), tab->HideFromCloseAll()},
            {QStringLiteral("busy"), tab->Busy()},
            {QStringLiteral("secure"), tab->Secure()},
            {QStringLiteral("stateIcon"), tab->ImageIndex()},
            {QStringLiteral("pendingPopup"), tab->PendingPopup()},
            {QStringLiteral("popupBlocked"), tab->PopupBlocked()},
        });
    }
    return result;
}
