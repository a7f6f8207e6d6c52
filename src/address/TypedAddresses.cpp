#include "address/TypedAddresses.h"

#include "platform/Registry.h"

namespace TypedAddresses {

namespace {

QString valueName(int number)
{
    return QStringLiteral("url%1").arg(number);
}

} // namespace

QString key()
{
    return QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\TypedUrls");
}

void LoadTypedAddresses(QStringList& list, int maximum, RegistryHive& hive)
{
    list.clear();
    try {
        TRegistry reg(hive);
        if (!reg.openKeyReadOnly(key()))
            return;
        for (int number = 1; number <= maximum; ++number) {
            const QString address = reg.readString(valueName(number));
            if (address.isEmpty())
                return;
            list.append(address);
        }
    } catch (const RegistryError&) {
        // A value of another type reads as missing: the list ends before it.
    }
}

void SaveTypedAddresses(const QStringList& list, RegistryHive& hive)
{
    try {
        HiveTransaction transaction(hive);
        TRegistry reg(hive);
        reg.deleteKey(key());
        if (!reg.openKey(key(), true))
            return;
        for (int i = 0; i < list.size(); ++i)
            reg.writeString(valueName(i + 1), list.at(i));
        transaction.commit();
    } catch (const RegistryError&) {
        // The transaction rolls back: the old list stays.
    }
}

void Remember(QStringList& list, const QString& address, int maximum)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).compare(address, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    }
    if (found >= 0)
        list.move(found, 0);
    else
        list.prepend(address);
    while (list.size() > qMax(0, maximum))
        list.removeLast();
}

} // namespace TypedAddresses
