#pragma once

#include "app/HandOff.h"

#include <QObject>

class MessageBus;
class RegistryHive;
class TfrmMain;

// What other copies of the program hand to this one: an argument to open (over the bus, or
// left in the hive), and the question "which tabs are open?" of the command-line tool.
class WindowHandOff final : public QObject
{
public:
    // `bus` may be null (no other copies are heard); `hive` holds the "CommandLine" slot.
    WindowHandOff(TfrmMain& window, RegistryHive& hive, MessageBus* bus);

    // Stops answering: a copy that asks now waits until this one is gone and starts on its
    // own.
    void stopAnswering();
    // A hand-off as it arrived: a parcel sent again, or also left in the hive, opens once,
    // and the hive's slot no longer holds it.
    void accept(const HandOff::Parcel& parcel);
    // Comes to the front and opens `value` (empty: only comes to the front).
    void open(const QString& value);

private:
    TfrmMain& m_window;
    RegistryHive& m_hive;
    MessageBus* m_bus = nullptr;
    HandOff::Ledger m_seen;
};
