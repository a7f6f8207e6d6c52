#include "app/WindowHandOff.h"

#include "address/AddressPolicy.h"
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "platform/MessageBus.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>

WindowHandOff::WindowHandOff(TfrmMain& window, RegistryHive& hive, MessageBus* bus)
    : QObject(&window)
    , m_window(window)
    , m_hive(hive)
    , m_bus(bus)
{
    if (!m_bus)
        return;
    m_bus->setHandler(QLatin1String(HandOff::Message), [this](const QJsonValue& payload) {
        // Answer first; the tab work runs once the sender has its answer.
        const HandOff::Parcel parcel = HandOff::decode(payload);
        QTimer::singleShot(0, this, [this, parcel] { accept(parcel); });
        return QJsonValue(true);
    });
    m_bus->setHandler(QLatin1String(HandOff::ListTabsMessage),
                      [this](const QJsonValue&) { return QJsonValue(m_window.describeTabs()); });
}

void WindowHandOff::stopAnswering()
{
    if (!m_bus)
        return;
    m_bus->setHandler(QLatin1String(HandOff::Message),
                      [](const QJsonValue&) { return QJsonValue(false); });
    m_bus->setHandler(QLatin1String(HandOff::ListTabsMessage),
                      [](const QJsonValue&) { return QJsonValue(QJsonArray()); });
}

void WindowHandOff::accept(const HandOff::Parcel& parcel)
{
    // A sender that waited in vain (this copy was busy) left the parcel in the hive too.
    HandOff::clearStoredCommandLine(m_hive, parcel.id);
    if (m_seen.firstTime(parcel.id))
        m_window.HandleHandOff(parcel.argument);
}

void WindowHandOff::open(const QString& value)
{
    // Back from minimized only: a maximized or full-screen window stays as it was.
    if (m_window.isMinimized())
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    // Another program's argument opens in a tab of its own, never as a script.
    if (value.isEmpty() || AddressPolicy::decide(AddressPolicy::Source::HandOff, value) ==
                               AddressPolicy::Decision::Refuse)
        return;
    // Here the extension is compared as written: only ".sgp" in small letters is a group.
    const QFileInfo file(value);
    if (file.isFile() && value.endsWith(QLatin1String(".sgp"))) {
        m_window.OpenPageGroup(value, m_window.SGCloseFirst(), false);
        return;
    }
    if (TBrowserTab* tab = m_window.NewTab())
        tab->OpenAsHome(value);
}
