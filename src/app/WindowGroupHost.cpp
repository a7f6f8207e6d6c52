#include "app/WindowGroupHost.h"

#include "address/AddressPolicy.h"
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"

WindowGroupHost::WindowGroupHost(TfrmMain& window)
    : QObject(&window)
    , m_window(window)
{}

bool WindowGroupHost::SGCloseFirst() const
{
    return m_window.SGCloseFirst();
}

QList<PageGroupEntry> WindowGroupHost::shownTabs()
{
    const auto all = m_window.tabs();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (!(*it)->TabVisible()) {
            m_window.pages()->removePage(*it);
            delete *it;
        }
    }
    QList<PageGroupEntry> shown;
    const auto remaining = m_window.tabs();
    for (const TBrowserTab* tab : remaining)
        shown.append({tab->StickyName(), tab->GetAddress(), tab->Locked()});
    return shown;
}

void WindowGroupHost::openGroupEntries(const QList<PageGroupEntry>& groupEntries, bool replaceTabs,
                                       bool startupMark)
{
    // Every entry gets a tab of its own, so only script addresses are left out.
    QList<PageGroupEntry> entries = groupEntries;
    entries.removeIf([](const PageGroupEntry& e) {
        return AddressPolicy::decide(AddressPolicy::Source::GroupEntry, e.address) ==
               AddressPolicy::Decision::Refuse;
    });
    if (entries.isEmpty())
        return;
    m_window.openAtEnd([&] {
        int first = 0;
        if (replaceTabs) {
            m_window.CloseAll();
            m_opening = true;
            if (TBrowserTab* tab = m_window.GetActivePage()) {
                // The first entry's "*" is honoured like every other entry's: taken as
                // written, the tab would be sent to an address that starts with "*".
                const PageGroupEntry& entry = entries.first();
                if (!entry.stickyName.isEmpty())
                    tab->SetStickyName(entry.stickyName);
                tab->setLockWhenLoaded(entry.locked);
                tab->OpenAsHome(entry.address);
            }
            first = 1;
        }
        m_opening = true;
        for (qsizetype i = first; i < entries.size(); ++i) {
            const PageGroupEntry& entry = entries.at(i);
            TBrowserTab* tab = m_window.NewTab();
            if (startupMark)
                tab->SetStartupMark(true);
            if (!entry.stickyName.isEmpty())
                tab->SetStickyName(entry.stickyName);
            if (entry.locked)
                tab->setLockWhenLoaded(true);
            tab->OpenAsHome(entry.address);
        }
        m_opening = false;
    });
}
