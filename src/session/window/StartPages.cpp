// What opens at start without a session to bring back: the argument, or the start pages
// ("StartupMode": the home page, the last open sites or a page group).
#include "session/window/SessionTabs.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "groups/SorvelGroupCommands.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"

namespace {

// The addresses of "Last Open Sites", in the order the lines were written: the last one
// belongs to the first tab.
QStringList lastOpenAddresses(const TPVOptions& options)
{
    QStringList addresses;
    const QStringList lines = options.GetLastOpenSites();
    for (const QString& line : lines)
        addresses << line.section(QLatin1Char('='), 1);
    return addresses;
}

// A tab of "Last Open Sites": it shows its address and waits until it is first shown, so
// that a start with many saved tabs loads one page, not all of them.
void openWaiting(TBrowserTab* tab, const QString& address)
{
    tab->SetStartupMark(true);
    tab->setHomeUrl(address);
    tab->Wait(address, address);
}

} // namespace

void SessionTabs::openStartPages(const QString& argument)
{
    TBrowserTab* first = m_tabs.GetActivePage();
    if (!first)
        return;
    const bool last = m_parts.settings.startupMode == QLatin1String("Last");

    const bool refused = AddressPolicy::decide(AddressPolicy::Source::HandOff, argument) ==
                         AddressPolicy::Decision::Refuse;
    if (!argument.isEmpty() && !refused) {
        if (IsPageGroupFile(argument)) {
            m_parts.groups.OpenPageGroup(argument, true, true);
            return;
        }
        first->SetStartupMark(true);
        first->OpenAsHome(argument);
        if (last) {
            const QStringList addresses = lastOpenAddresses(m_parts.options);
            for (auto it = addresses.crbegin(); it != addresses.crend(); ++it)
                openWaiting(m_tabs.NewTabBackground(false), *it);
        }
        m_tabs.strip().setActivePage(first);
        return;
    }

    if (m_parts.settings.startupMode == QLatin1String("Home")) {
        first->GoHome();
    } else if (last) {
        const QStringList addresses = lastOpenAddresses(m_parts.options);
        first->SetStartupMark(true);
        first->OpenAsHome(addresses.isEmpty() ? QStringLiteral("about:blank") : addresses.last());
        for (int i = int(addresses.size()) - 2; i >= 0; --i)
            openWaiting(m_tabs.NewTabBackground(false), addresses.at(i));
        // With new tabs in front, the one opened last is shown: it loads now.
        if (TBrowserTab* shown = m_tabs.GetActivePage())
            shown->Wake();
    } else {
        m_parts.groups.OpenPageGroup(m_parts.settings.startupSorvelGroup, false, true);
    }
}
