#include "settings/ContentSwitchControl.h"

#include "platform/MessageBus.h"
#include "platform/web/EngineServices.h"
#include "settings/IEOptions.h"
#include "settings/UserAgent.h"

#include <QJsonValue>
#include <QTimer>

namespace {

struct SwitchRow
{
    bool (TIEOptions::*get)() const;
    void (TIEOptions::*set)(bool);
    bool WebContentSwitches::*working;
};

// Indexed by ContentSwitchControl::Switch.
constexpr SwitchRow Switches[] = {
    {&TIEOptions::GetLoadImages, &TIEOptions::SetLoadImages, &WebContentSwitches::images},
    {&TIEOptions::GetLoadVideos, &TIEOptions::SetLoadVideos, &WebContentSwitches::videos},
    {&TIEOptions::GetLoadSounds, &TIEOptions::SetLoadSounds, &WebContentSwitches::sounds},
    {&TIEOptions::GetLoadAnimations, &TIEOptions::SetLoadAnimations,
     &WebContentSwitches::animations},
};

} // namespace

ContentSwitchControl::ContentSwitchControl(RegistryHive& hive, MessageBus* bus,
                                           EngineServices* engine, QObject* parent)
    : QObject(parent)
    , m_hive(hive)
    , m_bus(bus)
    , m_engine(engine)
{
    if (m_bus) {
        m_bus->setHandler(TIEOptions::SettingChangeMessage(), [this](const QJsonValue&) {
            // Answer first; read once the sender has its answer.
            QTimer::singleShot(0, this, [this] { load(); });
            return QJsonValue(true);
        });
    }
}

bool ContentSwitchControl::isOn(Switch which) const
{
    return m_switches.*Switches[int(which)].working;
}

void ContentSwitchControl::apply(Switch which, bool on)
{
    const SwitchRow& row = Switches[int(which)];
    {
        // Written only on a change, so that the copies told of it, which read the switches
        // again, write nothing and tell nobody in turn.
        TIEOptions ie(m_hive);
        if ((ie.*row.get)() != on) {
            (ie.*row.set)(on);
            TIEOptions::BroadcastSettingChange(m_bus);
            Q_EMIT othersTold();
        }
    }
    setWorking(which, on);
}

void ContentSwitchControl::setWorking(Switch which, bool on)
{
    m_switches.*Switches[int(which)].working = on;
    if (m_engine)
        m_engine->applyContentSwitches(m_switches);
    Q_EMIT switchesChanged(m_switches);
}

void ContentSwitchControl::toggle(Switch which)
{
    try {
        apply(which, !isOn(which));
    } catch (const RegistryError&) {
        // The item has already turned its check mark: it shows the working copy again.
        Q_EMIT switchesChanged(m_switches);
        throw;
    }
    Q_EMIT refreshAllWanted();
}

void ContentSwitchControl::load()
{
    try {
        const TIEOptions ie(m_hive);
        const bool images = ie.GetLoadImages();
        const bool videos = ie.GetLoadVideos();
        const bool sounds = ie.GetLoadSounds();
        const bool animations = ie.GetLoadAnimations();
        // Just read, so nothing to write back: the four cost the one look-up.
        setWorking(Switch::Images, images);
        setWorking(Switch::Sounds, sounds);
        setWorking(Switch::Animations, animations);
        setWorking(Switch::Videos, videos);
    } catch (const RegistryError&) {
        // Switches that cannot be read leave the working copies as they are.
    }
}

void ContentSwitchControl::SetUserAgentTag(bool add)
{
    UserAgent::SetTag(add, m_hive);
    if (add && m_engine)
        m_engine->applyUserAgentTokens(UserAgent::Tokens(m_hive));
}

void ContentSwitchControl::end()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_bus) {
        m_bus->setHandler(TIEOptions::SettingChangeMessage(),
                          [](const QJsonValue&) { return QJsonValue(); });
    }
    SetUserAgentTag(false);
}
