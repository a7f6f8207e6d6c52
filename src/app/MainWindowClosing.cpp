// Closing tabs one at a time and all at once, the sweep of hidden tabs, and the main
// window's part of pop-up control.
#include "app/MainWindow.h"

#include "app/TabMenu.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/strip/PVPageControl.h"
#include "settings/PVOptions.h"

#include <QTimer>

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

void TfrmMain::CloseAll()
{
    if (m_options->GetConfirmCloseAll() && !m_questions->confirmCloseAll(*m_options))
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
    const std::optional<QList<int>> checked = m_questions->chooseTabsToClose(lines);
    if (!checked)
        return;
    // The lines stand for the tabs, not their places: a tab that went while the list was
    // open is skipped, and no other tab is closed in its stead.
    for (auto line = checked->crbegin(); line != checked->crend(); ++line) {
        if (*line >= 0 && *line < listed.size())
            closePage(listed.at(*line));
    }
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
    m_popups->ScheduleCloseHiddenTabs();
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
    return m_popups->IsPopupBlocked(url);
}

void TfrmMain::ReloadPopupList()
{
    m_popups->ReloadPopupList();
}

void TfrmMain::recordPopupAddress(const QString& address)
{
    m_popups->addToList(address);
}

void TfrmMain::PopupsRefused(TBrowserTab* opener)
{
    SetStatusText(PopupControl::refusedText(opener ? opener->GetAddress() : QString()));
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
}

std::optional<QString> TfrmMain::askStickyName()
{
    return m_questions->askStickyName();
}
