// Closing tabs one at a time and all at once, the tab strip's context menu, the sweep of
// hidden tabs, and the main window's part of pop-up control (the blocked-address list, the
// notice, the add command).
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "app/TabMenu.h"
#include "app/UserInputWatch.h"
#include "app/CloseAll.h"
#include "app/ConfirmCloseAll.h"
#include "browser/BrowserTab.h"
#include "browser/PopupRules.h"
#include "browser/PopupNotify.h"
#include "browser/strip/PVPageControl.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

void TfrmMain::buildClosing()
{
    const auto a = [this](const char* name) { return m_actions->get(name); };
    connect(a("actCloseAllKeepCurrent"), &QAction::triggered, this, &TfrmMain::CloseAllKeepCurrent);
    connect(a("actCloseAllShowList"), &QAction::triggered, this, &TfrmMain::CloseAllShowList);
    connect(a("actAddToPopupSorvel"), &QAction::triggered, this,
            [this] { AddToPopupList(GetActivePage()); });

    // Pages may open windows freely only as far as the user asks for them.
    new UserInputWatch(this);

    m_pmTab = new TTabMenu(*this, *m_actions);
    connect(m_pcPage, &TPVPageControl::tabRightPressed, this,
            [this](int tabIndex, const QPoint& globalPos) {
                m_popupTabIndex = tabIndex;
                m_pmTab->popup(globalPos);
            });

    m_pmCloseAll = new QMenu(this);
    m_pmCloseAll->setObjectName(QStringLiteral("pmCloseAll"));
    m_pmCloseAll->addAction(a("actCloseAll"));
    m_pmCloseAll->addAction(a("actCloseAllKeepCurrent"));
    m_pmCloseAll->addAction(a("actCloseAllShowList"));
    m_pmCloseAll->setDefaultAction(a("actCloseAll"));

    // The two small close buttons at the right end of the menu bar.
    auto* gap = new QWidget(m_tbMenu);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_tbMenu->addWidget(gap);
    auto* spdCloseAll = new QToolButton(m_tbMenu);
    spdCloseAll->setObjectName(QStringLiteral("spdCloseAll"));
    spdCloseAll->setText(QStringLiteral("\u00D7\u00D7"));
    spdCloseAll->setAutoRaise(true);
    spdCloseAll->setToolTip(QStringLiteral("Close Tabs\nRight-click for more options"));
    spdCloseAll->setStatusTip(QStringLiteral("Closes the active browser tab"));
    spdCloseAll->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(spdCloseAll, &QToolButton::clicked, a("actCloseAll"), &QAction::trigger);
    connect(spdCloseAll, &QWidget::customContextMenuRequested, this,
            [this, spdCloseAll](const QPoint& pos) {
                m_pmCloseAll->popup(spdCloseAll->mapToGlobal(pos));
            });
    m_tbMenu->addWidget(spdCloseAll);
    auto* spdClose = new QToolButton(m_tbMenu);
    spdClose->setObjectName(QStringLiteral("spdClose"));
    spdClose->setText(QStringLiteral("\u00D7"));
    spdClose->setAutoRaise(true);
    spdClose->setToolTip(QStringLiteral("Close Active Tab"));
    spdClose->setStatusTip(QStringLiteral("Close Active Tab"));
    connect(spdClose, &QToolButton::clicked, a("actClose"), &QAction::trigger);
    m_tbMenu->addWidget(spdClose);
}

void TfrmMain::addCloseAllMenu(QMenu* file)
{
    QMenu* closeAll = file->addMenu(QStringLiteral("Close A&ll"));
    closeAll->setObjectName(QStringLiteral("mnuFileCloseAll"));
    closeAll->addAction(m_actions->get("actCloseAll"));
    closeAll->addAction(m_actions->get("actCloseAllKeepCurrent"));
    closeAll->addAction(m_actions->get("actCloseAllShowList"));
}

QMenu* TfrmMain::tabMenu() const
{
    return m_pmTab;
}

// --- Closing -------------------------------------------------------------------------------

void TfrmMain::closePage(TBrowserTab* tab)
{
    if (!tab || m_pcPage->pageIndex(tab) < 0)
        return;
    // The rule that one tab always remains counts pages, hidden ones too: closing the only
    // shown tab beside a hidden one would leave no tab to see once the hidden one goes.
    if (tab->TabVisible() && m_pcPage->tabCount() == 1)
        CloseHiddenTabs();
    tab->CloseTab();
}

bool TfrmMain::confirmCloseAll()
{
    TfrmConfirmCloseAll box(m_options, this);
    return box.exec() == QDialog::Accepted;
}

void TfrmMain::CloseAll()
{
    if (m_options.GetConfirmCloseAll() && !confirmCloseAll())
        return;
    if (m_groupOpening)
        return;
    CloseHiddenTabs();
    const QList<TBrowserTab*> all = tabs();
    if (all.isEmpty())
        return;
    const auto kept = std::find_if(all.cbegin(), all.cend(),
                                   [](const TBrowserTab* tab) { return tab->HideFromCloseAll(); });
    if (kept != all.cend()) {
        m_pcPage->setActivePage(*kept);
    } else {
        TBrowserTab* first = all.first();
        m_pcPage->setActivePage(first);
        first->SetLocked(false);
        first->NavigateBlank();
        first->SetStickyName(QString());
        first->setCaption(QStringLiteral("Blank"));
    }
    for (int i = int(all.size()) - 1; i >= 0; --i) {
        if (i >= m_pcPage->pageCount() || m_pcPage->pageCount() < 2)
            continue;
        auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->page(i));
        if (tab && !tab->HideFromCloseAll())
            tab->CloseTab();
    }
}

void TfrmMain::CloseAllKeepCurrent()
{
    const QPointer<TBrowserTab> current = GetActivePage();
    if (!current)
        return;
    const bool hidden = current->HideFromCloseAll();
    current->setHideFromCloseAll(true);
    CloseAll();
    // The question runs the event loop: the tab may be gone by now.
    if (!current)
        return;
    current->setHideFromCloseAll(hidden);
    m_pcPage->setActivePage(current);
}

void TfrmMain::CloseAllShowList()
{
    QList<QPointer<TBrowserTab>> listed;
    QStringList lines;
    const auto all = tabs();
    for (TBrowserTab* tab : all) {
        listed << tab;
        lines << (tab->StickyName().isEmpty() ? tab->Caption() : tab->StickyName());
    }
    TfrmCloseAll dialog(lines, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The lines stand for the tabs, not their places: a tab that went while the list was
    // open is skipped, and no other tab is closed in its stead.
    const QList<int> checked = dialog.checkedLines();
    for (auto line = checked.crbegin(); line != checked.crend(); ++line)
        closePage(listed.at(*line));
}

void TfrmMain::CloseHiddenTabs()
{
    for (int i = m_pcPage->pageCount() - 1; i >= 0; --i) {
        auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->page(i));
        if (!tab || tab->TabVisible())
            continue;
        m_pcPage->removePage(tab);
        delete tab;
    }
}

void TfrmMain::ScheduleCloseHiddenTabs()
{
    // Started once, not pushed back by every further blocked window: a page that keeps
    // opening windows would otherwise keep its hidden tabs alive for ever.
    if (!m_tmrCloseHidden->isActive())
        m_tmrCloseHidden->start();
}

TBrowserTab* TfrmMain::PopupTab()
{
    CloseHiddenTabs();
    if (m_popupTabIndex < 0)
        return nullptr;
    return qobject_cast<TBrowserTab*>(m_pcPage->pageForTabIndex(m_popupTabIndex));
}

// --- Pop-up control -------------------------------------------------------------------------

bool TfrmMain::IsPopupBlocked(const QString& url)
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
        if (!m_popupNotify)
            m_popupNotify = new TfrmPopupNotify(m_options, this);
        m_popupNotify->addAddress(url);
        m_popupNotify->show();
    }
    return true;
}

TfrmPopupNotify* TfrmMain::popupNotice() const
{
    return m_popupNotify;
}

void TfrmMain::PopupsRefused(TBrowserTab* opener)
{
    const QString address = opener ? opener->GetAddress() : QString();
    SetStatusText(QStringLiteral("Pelvane did not open all the windows that %1 asked for: "
                                 "too many at once.")
                      .arg(address.isEmpty() ? QStringLiteral("a page") : address));
    // Windows that never ask for an address wait hidden; let them go in a while so the
    // page may open others later.
    ScheduleCloseHiddenTabs();
}

void TfrmMain::BringPopupToFront(TBrowserTab* tab)
{
    // Not from inside the engine's navigation callback: activating runs the tab change,
    // which moves the focus into the page.
    const QPointer<TBrowserTab> shown(tab);
    QTimer::singleShot(0, this, [this, shown] {
        if (shown && shown->TabVisible() && m_pcPage->pageIndex(shown) >= 0)
            m_pcPage->setActivePage(shown);
    });
}

void TfrmMain::AddToPopupList(TBrowserTab* tab)
{
    if (!tab)
        return;
    if (tab->TabVisible() && m_pcPage->tabCount() == 1)
        CloseHiddenTabs(); // as in closePage
    tab->AddToPopupList();
    ReloadPopupList();
}

void TfrmMain::ReloadPopupList()
{
    m_popupList = m_options.GetPopupSorvelList();
}
