#include "session/window/WindowHandOff.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "platform/MessageBus.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>
#include <QWidget>

#include <utility>

WindowHandOff::WindowHandOff(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
{
    MessageBus* bus = m_parts.bus;
    if (!bus)
        return;
    if (m_parts.privateWindow) {
        // Nothing another copy was started with belongs in a window that keeps nothing.
        bus->setHandler(QLatin1String(HandOff::Message), [](const QJsonValue&) {
            return QJsonValue(QLatin1String(HandOff::Declined));
        });
        bus->setHandler(QLatin1String(HandOff::ListTabsMessage), [this](const QJsonValue&) {
            return QJsonValue(markedPrivate(m_parts.tabs.describeTabs()));
        });
        return;
    }
    bus->setHandler(QLatin1String(HandOff::Message), [this](const QJsonValue& payload) {
        // Answer first; the tab work runs once the sender has its answer.
        const HandOff::Parcel parcel = HandOff::decode(payload);
        QTimer::singleShot(0, this, [this, parcel] { accept(parcel); });
        return QJsonValue(true);
    });
    bus->setHandler(QLatin1String(HandOff::ListTabsMessage),
                    [this](const QJsonValue&) { return QJsonValue(m_parts.tabs.describeTabs()); });
}

QJsonArray WindowHandOff::markedPrivate(const QJsonArray& tabs)
{
    QJsonArray marked;
    for (const QJsonValue& tab : tabs) {
        QJsonObject object = tab.toObject();
        object.insert(QStringLiteral("private"), true);
        marked.append(object);
    }
    return marked;
}

void WindowHandOff::stopAnswering()
{
    MessageBus* bus = m_parts.bus;
    if (!bus)
        return;
    // An ending private window still declines: "not taken" would make the sender wait for
    // it to go, which it never needed to.
    const bool declines = m_parts.privateWindow;
    bus->setHandler(QLatin1String(HandOff::Message), [declines](const QJsonValue&) {
        return declines ? QJsonValue(QLatin1String(HandOff::Declined)) : QJsonValue(false);
    });
    bus->setHandler(QLatin1String(HandOff::ListTabsMessage),
                    [](const QJsonValue&) { return QJsonValue(QJsonArray()); });
}

void WindowHandOff::accept(const HandOff::Parcel& parcel)
{
    // A sender that waited in vain (this copy was busy) left the parcel in the hive too.
    HandOff::clearStoredCommandLine(m_parts.hive, parcel.id);
    if (!m_seen.firstTime(parcel.id))
        return;
    if (m_held)
        m_heldParcels.append(parcel);
    else
        open(parcel.argument);
}

void WindowHandOff::started()
{
    m_held = false;
    const QList<HandOff::Parcel> parcels = std::exchange(m_heldParcels, {});
    for (const HandOff::Parcel& parcel : parcels)
        open(parcel.argument);
}

void WindowHandOff::open(const QString& value)
{
    QWidget& window = m_parts.window;
    // Back from minimized only: a maximized or full-screen window stays as it was.
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    // Another program's argument opens in a tab of its own, never as a script.
    if (value.isEmpty() || AddressPolicy::decide(AddressPolicy::Source::HandOff, value) ==
                               AddressPolicy::Decision::Refuse)
        return;
    // Here the extension is compared as written: only ".sgp" in small letters is a group.
    const QFileInfo file(value);
    if (file.isFile() && value.endsWith(QLatin1String(".sgp"))) {
        m_parts.openGroup(value);
        return;
    }
    if (TBrowserTab* tab = m_parts.tabs.NewTab())
        tab->OpenAsHome(value);
}
