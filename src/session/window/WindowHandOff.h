#pragma once

#include "session/HandOff.h"

#include <QJsonArray>
#include <QObject>

#include <functional>

class MessageBus;
class QWidget;
class RegistryHive;
class TabSet;

// What other copies of the program hand to this one: an argument to open (over the bus, or
// left in the hive), and the question "which tabs are open?" of the command-line tool.
// A private window answers the question and declines every hand-off.
class WindowHandOff final : public QObject
{
public:
    struct Parts
    {
        QWidget& window; // comes to the front for every hand-off
        TabSet& tabs;    // an address opens in a tab of its own; the tool's listing
        // Opens a page-group file, as the window's group setting says.
        std::function<void(const QString& file)> openGroup;
        RegistryHive& hive; // holds the "CommandLine" slot
        MessageBus* bus;    // may be null: no other copies are heard
        // A private window takes nothing from other copies (a hand-off is declined, and
        // nothing is read from the hive's slot) and marks its tabs "private" in the listing.
        bool privateWindow = false;
    };

    explicit WindowHandOff(Parts parts, QObject* parent = nullptr);

    // Stops answering: a copy that asks now waits until this one is gone and starts on its
    // own.
    void stopAnswering();
    // A hand-off as it arrived: a parcel sent again, or also left in the hive, opens once,
    // and the hive's slot no longer holds it.
    void accept(const HandOff::Parcel& parcel);
    // Comes to the front and opens `value` (empty: only comes to the front).
    void open(const QString& value);
    // While the window starts (its start pages open, a question of the start may be on the
    // screen) the tool's listing is answered and hand-offs are taken, so neither waits on
    // the user; what is handed over opens once the window has started.
    void holdUntilStarted() { m_held = true; }
    void started();

    // The tool's listing of a private window's tabs: each one says so.
    static QJsonArray markedPrivate(const QJsonArray& tabs);

private:
    Parts m_parts;
    HandOff::Ledger m_seen;
    bool m_held = false;
    QList<HandOff::Parcel> m_heldParcels;
};
