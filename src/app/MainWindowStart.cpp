// What opens at start, what a second copy hands over, and the picture mode.
#include "app/MainWindow.h"

#include "address/AddressPolicy.h"
#include "app/HandOff.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "settings/PVOptions.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QImageWriter>
#include <QTimer>
#include <QWindow>

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

void TfrmMain::openStartPages()
{
    const QString argument = m_start.argument;
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

void TfrmMain::acceptHandOff(const HandOff::Parcel& parcel)
{
    // A parcel sent again, or also left in the hive, opens once.
    if (m_handOffs.firstTime(parcel.id))
        HandleHandOff(parcel.argument);
}

void TfrmMain::HandleHandOff(const QString& value)
{
    // Back from minimized only: a maximized or full-screen window stays as it was.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // Another program's argument opens in a tab of its own, never as a script.
    if (value.isEmpty() || AddressPolicy::decide(AddressPolicy::Source::HandOff, value) ==
                               AddressPolicy::Decision::Refuse)
        return;
    // Here the extension is compared as written: only ".sgp" in small letters is a group.
    const QFileInfo file(value);
    if (file.isFile() && value.endsWith(QLatin1String(".sgp"))) {
        OpenPageGroup(value, m_settings.sgCloseFirst, false);
        return;
    }
    if (TBrowserTab* tab = NewTab())
        tab->OpenAsHome(value);
}

void TfrmMain::startScreenshotWatch()
{
    // Waits until every tab has finished loading (at most 30 s), then takes the picture.
    auto* poll = new QTimer(this);
    poll->setInterval(250);
    const auto deadline = std::make_shared<QDeadlineTimer>(30000);
    const auto settled = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, deadline, settled] {
        bool busy = false;
        forEachTab([&busy](TBrowserTab* tab) {
            busy = busy || tab->Busy() || (tab->Browser() && tab->Browser()->Busy());
        });
        // A load may start a moment after the tab was told to go: wait for quiet twice.
        *settled = busy ? 0 : *settled + 1;
        if (*settled < 3 && !deadline->hasExpired())
            return;
        poll->stop();
        const QImage picture = grab().toImage();
        QImageWriter writer(m_start.screenshotFile, "png");
        const bool ok = writer.write(picture);
        Q_EMIT screenshotTaken(ok);
        close();
    });
    poll->start();
}
