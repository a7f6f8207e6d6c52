#include "settings/FilterSubscriptionList.h"

#include "platform/Registry.h"

#include <QSet>

namespace {

const QString AddressValue = QStringLiteral("Address");
const QString DownloadValue = QStringLiteral("Last Download");
const QString FailureValue = QStringLiteral("Last Failure");
const QString ErrorValue = QStringLiteral("Last Error");

// The subkeys of a hand-edited hive could be any number; only so many are looked at.
constexpr int MaxSubkeysLooked = 4 * FilterSubscriptionList::MaxSubscriptions;

QDateTime readTime(const TRegistry& reg, const QString& name)
{
    QDateTime time = QDateTime::fromString(reg.readString(name).left(40), Qt::ISODate);
    return time.isValid() ? time.toUTC() : QDateTime();
}

QString timeText(const QDateTime& time)
{
    // To the millisecond: a failure right after a download must read as later.
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString keyFor(const QString& subkey)
{
    return FilterSubscriptionList::key() + QLatin1Char('\\') + subkey;
}

// Subkeys are numbered in the order the subscriptions were added, which is the order the
// hive lists them in.
QString subkeyName(int number)
{
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

struct Entry
{
    QString subkey;
    FilterSubscription subscription;
};

QList<Entry> readEntries(RegistryHive& hive)
{
    QList<Entry> entries;
    QSet<QUrl> seen;
    TRegistry reg(hive);
    if (!reg.openKeyReadOnly(FilterSubscriptionList::key()))
        return entries;
    const QStringList subkeys = reg.keyNames().mid(0, MaxSubkeysLooked);
    for (const QString& subkey : subkeys) {
        if (entries.size() >= FilterSubscriptionList::MaxSubscriptions)
            break;
        try {
            TRegistry entry(hive);
            if (!entry.openKeyReadOnly(keyFor(subkey)))
                continue;
            const QString text = entry.readString(AddressValue);
            if (text.size() > FilterSubscriptionList::MaxAddressLength)
                continue;
            const QUrl address(text, QUrl::StrictMode);
            if (!FilterSubscriptionList::isAcceptable(address) || seen.contains(address))
                continue;
            seen.insert(address);
            FilterSubscription subscription{
                address, readTime(entry, DownloadValue), readTime(entry, FailureValue),
                entry.readString(ErrorValue).left(FilterSubscriptionList::MaxErrorLength)};
            entries.append({subkey, std::move(subscription)});
        } catch (const RegistryError&) {
            // A value of another type: not one of ours.
        }
    }
    return entries;
}

} // namespace

QString FilterSubscriptionList::key()
{
    return QStringLiteral("\\Software\\Brenmoor\\Pelvane\\Content Blocking\\Subscriptions");
}

bool FilterSubscriptionList::isAcceptable(const QUrl& address)
{
    if (!address.isValid() || address.toString(QUrl::FullyEncoded).size() > MaxAddressLength)
        return false;
    const QString scheme = address.scheme();
    if (scheme == QLatin1String("file"))
        return !address.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !address.host().isEmpty();
}

QString FilterSubscriptionList::typedAddressProblem(const QString& typed, QUrl* address)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return QStringLiteral("Type the address of a filter list.");
    if (text.size() > MaxAddressLength)
        return QStringLiteral("The address is longer than %1 characters.").arg(MaxAddressLength);
    const QUrl url = QUrl::fromUserInput(text);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QStringLiteral("\"%1\" is not a web address: a filter list is subscribed to by an "
                              "address starting with http:// or https://.")
            .arg(text.left(200));
    if (!isAcceptable(url))
        return QStringLiteral("\"%1\" names no server.").arg(text.left(200));
    *address = url;
    return {};
}

QList<FilterSubscription> FilterSubscriptionList::read() const
{
    QList<FilterSubscription> list;
    try {
        for (Entry& entry : readEntries(*m_hive))
            list.append(std::move(entry.subscription));
    } catch (const RegistryError&) {
        // Unreadable settings: no subscriptions.
    }
    return list;
}

QString FilterSubscriptionList::subkeyOf(const QUrl& address) const
{
    for (const Entry& entry : readEntries(*m_hive)) {
        if (entry.subscription.address == address)
            return entry.subkey;
    }
    return {};
}

bool FilterSubscriptionList::setAddresses(const QList<QUrl>& addresses)
{
    QList<QUrl> wanted;
    for (const QUrl& address : addresses) {
        if (isAcceptable(address) && !wanted.contains(address) && wanted.size() < MaxSubscriptions)
            wanted.append(address);
    }
    try {
        QSet<QUrl> kept;
        int last = 0;
        {
            TRegistry reg(*m_hive);
            if (reg.openKeyReadOnly(key())) {
                for (const QString& name : reg.keyNames())
                    last = qMax(last, qBound(0, name.toInt(), 999999));
            }
        }
        for (const Entry& entry : readEntries(*m_hive)) {
            if (wanted.contains(entry.subscription.address)) {
                kept.insert(entry.subscription.address);
                continue;
            }
            TRegistry(*m_hive).deleteKey(keyFor(entry.subkey));
        }
        for (const QUrl& address : std::as_const(wanted)) {
            if (kept.contains(address))
                continue;
            TRegistry reg(*m_hive);
            reg.openKey(keyFor(subkeyName(++last)), true);
            reg.writeString(AddressValue, address.toString(QUrl::FullyEncoded));
        }
    } catch (const RegistryError&) {
        return false;
    }
    return true;
}

bool FilterSubscriptionList::recordOutcome(const QUrl& address, const QDateTime& when,
                                           const QString& error)
{
    try {
        const QString subkey = subkeyOf(address);
        if (subkey.isEmpty())
            return false;
        TRegistry reg(*m_hive);
        if (!reg.openKey(keyFor(subkey), false))
            return false;
        if (error.isEmpty()) {
            reg.writeString(DownloadValue, timeText(when));
            reg.writeString(ErrorValue, QString());
        } else {
            reg.writeString(FailureValue, timeText(when));
            reg.writeString(ErrorValue, error.left(MaxErrorLength));
        }
    } catch (const RegistryError&) {
        return false;
    }
    return true;
}
