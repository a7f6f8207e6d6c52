#include "passwords/NeverList.h"

#include "platform/Registry.h"
#include "settings/PVOptions.h"

namespace NeverList {

namespace {
// An origin longer than this is no origin a page could have.
constexpr int MaxOrigin = 300;
} // namespace

QString key()
{
    return TPVOptions::CurrentVersionKey() + QStringLiteral("\\Passwords Never");
}

bool contains(RegistryHive& hive, const QString& origin)
{
    if (origin.isEmpty())
        return false;
    try {
        TRegistry reg(hive);
        return reg.openKeyReadOnly(key()) && reg.valueExists(origin);
    } catch (const RegistryError&) {
        return false;
    }
}

void add(RegistryHive& hive, const QString& origin)
{
    if (origin.isEmpty() || origin.size() > MaxOrigin)
        return;
    TRegistry reg(hive);
    if (reg.openKey(key(), true))
        reg.writeString(origin, QStringLiteral("Never"));
}

void remove(RegistryHive& hive, const QString& origin)
{
    TRegistry reg(hive);
    if (reg.openKey(key(), false))
        reg.deleteValue(origin);
}

QStringList origins(RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        if (!reg.openKeyReadOnly(key()))
            return {};
        return reg.valueNames();
    } catch (const RegistryError&) {
        return {};
    }
}

} // namespace NeverList
