#include "settings/IEOptions.h"

#include "platform/MessageBus.h"

#include <QJsonValue>

TIEOptions::TIEOptions(RegistryHive& hive)
    : m_registry(hive)
{
    m_registry.setRootKey(TRegistry::HKEY_CURRENT_USER);
    m_registry.openKey(Key(), true);
}

QString TIEOptions::Key()
{
    return QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Main");
}

bool TIEOptions::SwitchFromText(const std::optional<QString>& text)
{
    return !text || *text == QLatin1String("yes");
}

bool TIEOptions::read(const QString& name) const
{
    TRegistry::DataType type;
    if (!m_registry.dataType(name, &type))
        return SwitchFromText(std::nullopt);
    // A number is not the text "yes": off, as the browser reads it.
    if (type == TRegistry::DataType::DWord)
        return false;
    return SwitchFromText(m_registry.readString(name));
}

void TIEOptions::write(const QString& name, bool on)
{
    m_registry.writeString(name, SwitchText(on));
}

bool TIEOptions::GetLoadImages() const
{
    return read(ImagesValue());
}

bool TIEOptions::GetLoadVideos() const
{
    return read(VideosValue());
}

bool TIEOptions::GetLoadSounds() const
{
    return read(SoundsValue());
}

bool TIEOptions::GetLoadAnimations() const
{
    return read(AnimationsValue());
}

void TIEOptions::SetLoadImages(bool on)
{
    write(ImagesValue(), on);
}

void TIEOptions::SetLoadVideos(bool on)
{
    write(VideosValue(), on);
}

void TIEOptions::SetLoadSounds(bool on)
{
    write(SoundsValue(), on);
}

void TIEOptions::SetLoadAnimations(bool on)
{
    write(AnimationsValue(), on);
}

void TIEOptions::BroadcastSettingChange(MessageBus* bus)
{
    if (bus)
        bus->post(SettingChangeMessage(), QJsonValue(SettingChangeArea()));
}

bool TIEOptions::IsVersion4(RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Microsoft\\Internet Explorer")))
            return false;
        return reg.readString(QStringLiteral("Version")).startsWith(QLatin1Char('4'));
    } catch (const RegistryError&) {
        return false;
    }
}
