// What opens at start: the argument, the start pages or the tabs of the last session.
#include "app/MainWindow.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "settings/PVOptions.h"


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

void TfrmMain::openStartPages(const QString& argument)
{
    TBrowserTab* first = GetActivePage();
    if (!first)
        return;
    const bool last = m_settings.startupMode == QLatin1String("Last");

    const bool refused = AddressPolicy::decide(AddressPolicy::Source::HandOff, argument) ==
                         AddressPolicy::Decision::Refuse;
    if (!argument.isEmpty() && !refused) {
        if (IsPageGroupFile(argument)) {
            OpenPageGroup(argument, true, true);
            return;
        }
        first->SetStartupMark(true);
        first->OpenAsHome(argument);
        if (last) {
            const QStringList addresses = lastOpenAddresses(*m_options);
            for (auto it = addresses.crbegin(); it != addresses.crend(); ++it)
                openWaiting(NewTabBackground(false), *it);
        }
        m_pcPage->setActivePage(first);
        return;
    }

    if (m_settings.startupMode == QLatin1String("Home")) {
        first->GoHome();
    } else if (last) {
        const QStringList addresses = lastOpenAddresses(*m_options);
        first->SetStartupMark(true);
        first->OpenAsHome(addresses.isEmpty() ? QStringLiteral("about:blank") : addresses.last());
        for (int i = int(addresses.size()) - 2; i >= 0; --i)
            openWaiting(NewTabBackground(false), addresses.at(i));
        // With new tabs in front, the one opened last is shown: it loads now.
        if (TBrowserTab* shown = GetActivePage())
            shown->Wake();
    } else {
        OpenPageGroup(m_settings.startupSorvelGroup, false, true);
    }
}
