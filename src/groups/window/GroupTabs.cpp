#include "groups/window/GroupTabs.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/TabClosing.h"
#include "browser/TabSet.h"
#include "settings/WindowSettings.h"

GroupTabs::GroupTabs(TabSet& tabs, TabClosing& closing, const WindowSettings& settings,
                     QObject* parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_closing(closing)
    , m_settings(settings)
{}

bool GroupTabs::SGCloseFirst() const
{
    return m_settings.sgCloseFirst;
}

QList<PageGroupEntry> GroupTabs::shownTabs()
{
    m_tabs.CloseHiddenTabs();
    QList<PageGroupEntry> shown;
    const auto remaining = m_tabs.tabs();
    for (const TBrowserTab* tab : remaining)
        shown.append({tab->StickyName(), tab->GetAddress(), tab->Locked()});
    return shown;
}

void GroupTabs::openGroupEntries(const QList<PageGroupEntry>& groupEntries, bool replaceTabs,
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
    m_tabs.openAtEnd([&] {
        int first = 0;
        if (replaceTabs) {
            m_closing.CloseAll();
            m_opening = true;
            if (TBrowserTab* tab = m_tabs.GetActivePage()) {
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
            TBrowserTab* tab = m_tabs.NewTab();
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
