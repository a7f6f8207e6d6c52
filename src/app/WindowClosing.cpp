#include "app/WindowClosing.h"

#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "settings/PVOptions.h"

#include <QPointer>

WindowClosing::WindowClosing(TfrmMain& window, TPVOptions& options, WindowQuestions& questions)
    : QObject(&window)
    , m_window(window)
    , m_options(options)
    , m_questions(questions)
{}

void WindowClosing::closePage(TBrowserTab* tab)
{
    if (!tab || m_window.pages()->pageIndex(tab) < 0)
        return;
    tab->CloseTab();
}

void WindowClosing::CloseAll()
{
    if (m_options.GetConfirmCloseAll() && !m_questions.confirmCloseAll(m_options))
        return;
    if (m_window.GroupOpening())
        return;
    CloseHiddenTabs();
    const QList<TBrowserTab*> all = m_window.tabs();
    if (all.isEmpty())
        return;
    TPVPageControl* pages = m_window.pages();
    const auto kept = std::find_if(all.cbegin(), all.cend(),
                                   [](const TBrowserTab* tab) { return tab->HideFromCloseAll(); });
    if (kept != all.cend()) {
        pages->setActivePage(*kept);
    } else {
        TBrowserTab* first = all.first();
        pages->setActivePage(first);
        first->resetToBlank(true); // its home address stays
    }
    for (int i = int(all.size()) - 1; i >= 0; --i) {
        if (i >= pages->pageCount() || pages->pageCount() < 2)
            continue;
        auto* tab = qobject_cast<TBrowserTab*>(pages->page(i));
        if (tab && !tab->HideFromCloseAll())
            tab->CloseTab();
    }
}

void WindowClosing::CloseAllKeepCurrent()
{
    const QPointer<TBrowserTab> current = m_window.GetActivePage();
    if (!current)
        return;
    const bool hidden = current->HideFromCloseAll();
    current->setHideFromCloseAll(true);
    CloseAll();
    // The question runs the event loop: the tab may be gone by now.
    if (!current)
        return;
    current->setHideFromCloseAll(hidden);
    m_window.pages()->setActivePage(current);
}

void WindowClosing::CloseAllShowList()
{
    QList<QPointer<TBrowserTab>> listed;
    QStringList lines;
    const auto all = m_window.tabs();
    for (TBrowserTab* tab : all) {
        listed << tab;
        lines << (tab->StickyName().isEmpty() ? tab->Caption() : tab->StickyName());
    }
    const std::optional<QList<int>> checked = m_questions.chooseTabsToClose(lines);
    if (!checked)
        return;
    // The lines stand for the tabs, not their places: a tab that went while the list was
    // open is skipped, and no other tab is closed in its stead.
    for (auto line = checked->crbegin(); line != checked->crend(); ++line) {
        if (*line >= 0 && *line < listed.size())
            closePage(listed.at(*line));
    }
}

void WindowClosing::CloseHiddenTabs()
{
    TPVPageControl* pages = m_window.pages();
    for (int i = pages->pageCount() - 1; i >= 0; --i) {
        auto* tab = qobject_cast<TBrowserTab*>(pages->page(i));
        if (!tab || tab->TabVisible())
            continue;
        pages->removePage(tab);
        delete tab;
    }
}

TBrowserTab* WindowClosing::PopupTab()
{
    CloseHiddenTabs();
    const int index = m_window.PopupTabIndex();
    if (index < 0)
        return nullptr;
    return qobject_cast<TBrowserTab*>(m_window.pages()->pageForTabIndex(index));
}

void WindowClosing::AddToPopupList(TBrowserTab* tab)
{
    if (tab)
        tab->AddToPopupList();
}
