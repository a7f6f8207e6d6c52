#include "settings/UserAgent.h"

namespace UserAgent {

QString PostPlatformKey()
{
    return QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"
                          "\\User Agent\\Post Platform");
}

QString Token()
{
    return QStringLiteral("Pelvane 5.50B3");
}

QString TokenData()
{
    return QStringLiteral("IEAK");
}

bool IsProgramToken(const QString& name)
{
    return name.startsWith(QLatin1String("VarloBrowse"), Qt::CaseSensitive) ||
           name.startsWith(QLatin1String("Pelvane"), Qt::CaseSensitive);
}

QStringList Tokens(RegistryHive& hive)
{
    TRegistry reg(hive);
    reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
    if (!reg.openKeyReadOnly(PostPlatformKey()))
        return {};
    return reg.valueNames();
}

void SetTag(bool add, RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        // One step: another copy reading the tokens sees the old set or the new one.
        HiveTransaction transaction(hive);
        if (!reg.openKey(PostPlatformKey(), true))
            return;
        const QStringList names = reg.valueNames();
        for (auto it = names.crbegin(); it != names.crend(); ++it) {
            if (IsProgramToken(*it))
                reg.deleteValue(*it);
        }
        if (add && reg.readString(Token()).isEmpty())
            reg.writeString(Token(), TokenData());
        transaction.commit();
    } catch (const RegistryError&) {
        // Without the right to change the key the token is simply not there.
    }
}

} // namespace UserAgent
