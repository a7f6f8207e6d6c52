#include "browser/TabClosing.h"

#include "browser/BrowserTab.h"
#include "browser/TabQuestions.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "settings/PVOptions.h"

#include <QPointer>

TabClosing::TabClosing(TabSet& tabs, TPVOptions& options, TabQuestions& questions,
                       std::function<bool()> busy, QObject* parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_options(options)
    , m_questions(questions)
    , m_busy(std::move(busy))
{}

void TabClosing::CloseAll()
{
    if (m_options.GetConfirmCloseAll() && !m_questions.confirmCloseAll(m_options))
        return;
    if (m_busy && m_busy())
        return;
    m_tabs.CloseHiddenTabs();
    const QList<TBrowserTab*> all = m_tabs.tabs();
    if (all.isEmpty())
        return;
    TPVPageControl& pages = m_tabs.strip();
    const auto kept = std::find_if(all.cbegin(), all.cend(),
                                   [](const TBrowserTab* tab) { return tab->HideFromCloseAll(); });
    if (kept != all.cend()) {
        pages.setActivePage(*kept);
    } else {
        TBrowserTab* first = all.first();
        pages.setActivePage(first);
        first->resetToBlank(true); // its home address stays
    }
    for (int i = int(all.size()) - 1; i >= 0; --i) {
        if (i >= pages.pageCount() || pages.pageCount() < 2)
            continue;
        auto* tab = qobject_cast<TBrowserTab*>(pages.page(i));
        if (tab && !tab->HideFromCloseAll())
            tab->CloseTab();
    }
}

void TabClosing::CloseAllKeepCurrent()
{
    const QPointer<TBrowserTab> current = m_tabs.GetActivePage();
    if (!current)
        return;
    const bool hidden = current->HideFromCloseAll();
    current->setHideFromCloseAll(true);
    CloseAll();
    // The question runs the event loop: the tab may be gone by now.
    if (!current)
        return;
    current->setHideFromCloseAll(hidden);
    m_tabs.strip().setActivePage(current);
}

void TabClosing::CloseAllShowList()
{
    QList<QPointer<TBrowserTab>> listed;
    QStringList lines;
    const auto all = m_tabs.tabs();
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
            m_tabs.closePage(listed.at(*line));
    }
}
