#pragma once

#include "platform/Registry.h"

#include <QString>

#include <optional>

class MessageBus;

// The four content switches of the browser engine (images, videos, background sounds,
// animations). They are not this program's own settings but the browser's: they live in
// "Software\Microsoft\Internet Explorer\Main" of the user as the texts "yes" and "no", and
// every running copy obeys them. Short-lived: open one for an action and let it go.
//
// Reading: a missing value is "yes" (on); otherwise only the exact text "yes" is on, so
// "Yes", "YES" and "" are off. Writing stores "yes" or "no" and raises the registry's
// "Failed to set data for '%s'" when that fails.
class TIEOptions final
{
public:
    // Opens the key, creating it when it is missing (the registry's "Failed to create key"
    // when it cannot).
    explicit TIEOptions(RegistryHive& hive);
    TIEOptions(const TIEOptions&) = delete;
    TIEOptions& operator=(const TIEOptions&) = delete;

    bool GetLoadImages() const;
    bool GetLoadVideos() const;
    bool GetLoadSounds() const;
    bool GetLoadAnimations() const;
    void SetLoadImages(bool on);
    void SetLoadVideos(bool on);
    void SetLoadSounds(bool on);
    void SetLoadAnimations(bool on);

    // Tells every other running copy that the browser's settings changed; each reads the
    // switches again. Returns at once. A null bus (no other copies to tell) does nothing.
    static void BroadcastSettingChange(MessageBus* bus);

    // The read rule for one stored text; a missing value is on.
    static bool SwitchFromText(const std::optional<QString>& text);
    static QString SwitchText(bool on) { return on ? QStringLiteral("yes") : QStringLiteral("no"); }

    // Whether the system browser's version begins with "4": its shell completion is then
    // not to be used. Unreadable counts as no.
    static bool IsVersion4(RegistryHive& hive);

    static QString Key(); // "\Software\Microsoft\Internet Explorer\Main"
    static QString ImagesValue() { return QStringLiteral("Display Inline Images"); }
    static QString VideosValue() { return QStringLiteral("Display Inline Videos"); }
    static QString SoundsValue() { return QStringLiteral("Play_Background_Sounds"); }
    static QString AnimationsValue() { return QStringLiteral("Play_Animations"); }
    // The message of the broadcast, and its payload: the key that changed.
    static QString SettingChangeMessage() { return QStringLiteral("SettingChange"); }
    static QString SettingChangeArea()
    {
        return QStringLiteral("Software\\Microsoft\\Internet Explorer");
    }

private:
    bool read(const QString& name) const;
    void write(const QString& name, bool on);

    TRegistry m_registry;
};
