#include "platform/ShellFolders.h"

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace ShellFolders {

QString keyPath()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
}

void seed(RegistryHive& hive)
{
    const std::pair<QString, QString> defaults[] = {
        {QStringLiteral("Favorites"), Paths::defaultFavoritesFolder()},
        {QStringLiteral("History"), Paths::defaultHistoryFolder()},
    };
    try {
        TRegistry reg(hive);
        if (!reg.openKey(keyPath(), true))
            return;
        for (const auto& [name, folder] : defaults) {
            if (reg.valueExists(name))
                continue;
            Paths::ensurePrivateFolder(folder);
            reg.writeString(name, folder);
        }
    } catch (const RegistryError&) {
    }
}

QString read(RegistryHive& hive, const QString& name)
{
    try {
        TRegistry reg(hive);
        if (!reg.openKeyReadOnly(keyPath()))
            return {};
        return reg.readString(name);
    } catch (const RegistryError&) {
        return {};
    }
}

} // namespace ShellFolders
