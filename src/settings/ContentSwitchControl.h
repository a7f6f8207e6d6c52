#pragma once

#include "platform/web/WebContentSwitches.h"

#include <QObject>

class EngineServices;
class MessageBus;
class RegistryHive;

// The browser's content switches as the main window uses them: the working copies, stored
// in the browser's settings (TIEOptions), obeyed by the engine, and shared with every other
// running copy; and the program's user-agent token, present while a window exists.
class ContentSwitchControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentSwitchControl)

public:
    enum class Switch
    {
        Images,
        Videos,
        Sounds,
        Animations
    };

    // `bus` and `engine` may be null (no other copies; fake engines). Listens on the bus for
    // the other copies' changes until end().
    ContentSwitchControl(RegistryHive& hive, MessageBus* bus, EngineServices* engine,
                         QObject* parent);

    WebContentSwitches switches() const { return m_switches; }
    bool isOn(Switch which) const;

    // Writes the browser's switch when it differs from `on` (and tells the other running
    // copies), then sets the working copy and the engine.
    void apply(Switch which, bool on);
    // The menu item or button: the switch the other way, then every page again.
    void toggle(Switch which);
    // Reads the four switches and applies them: at creation, and when another copy has
    // changed them. Switches that cannot be read leave the working copies as they are.
    void load();

    // Adds (at creation) or removes (at exit) the program's user-agent token.
    void SetUserAgentTag(bool add);
    // The exit: stops listening to the other copies and removes the token.
    void end();

Q_SIGNALS:
    // The working copies changed (or were set again): the check marks follow.
    void switchesChanged(const WebContentSwitches& switches);
    // A toggle wants every page loaded again under the new switch.
    void refreshAllWanted();
    // A switch was written, and the other running copies were told.
    void othersTold();

private:
    // The working copy and the engine, without the store.
    void setWorking(Switch which, bool on);

    RegistryHive& m_hive;
    MessageBus* const m_bus;
    EngineServices* const m_engine;
    WebContentSwitches m_switches;
    bool m_ended = false;
};
