#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

class RegistryHive;

// A filter list the user subscribed to by address, as the settings keep it.
struct FilterSubscription
{
    QUrl address;
    QDateTime lastDownload; // invalid: never downloaded
    QDateTime lastFailure;  // invalid: never failed
    QString lastError;      // why the last attempt failed; empty after a download
};

// The subscriptions, one subkey each under key(): "Address" (a string), "Last Download"
// and "Last Failure" (UTC times, ISO 8601), "Last Error" (the last failure's text). What is
// read is bounded: a hive edited by hand may hold anything, and an entry that is not a
// subscription is passed over.
class FilterSubscriptionList final
{
public:
    static constexpr int MaxSubscriptions = 100;
    static constexpr int MaxAddressLength = 2048;
    static constexpr int MaxErrorLength = 500;

    explicit FilterSubscriptionList(RegistryHive& hive)
        : m_hive(&hive)
    {}

    // "\Software\Brenmoor\Pelvane\Content Blocking\Subscriptions"
    static QString key();
    // Whether an address may be kept: http, https or file, with no more than
    // MaxAddressLength characters.
    static bool isAcceptable(const QUrl& address);

    // What the user typed, as an address to subscribe to: `address` is set when it is one,
    // otherwise the answer says why not. Only web addresses are offered (a file address is
    // kept when a hand-edited hive has one).
    static QString typedAddressProblem(const QString& typed, QUrl* address);

    // In the order they were added; at most MaxSubscriptions, each address once.
    QList<FilterSubscription> read() const;
    // The list becomes `addresses` (those acceptable, the first MaxSubscriptions): those
    // already kept keep their times, the others are added, the rest removed. False when the
    // settings could not take it all.
    bool setAddresses(const QList<QUrl>& addresses);
    // An attempt's outcome, for a kept address (none is added here). An empty error is a
    // download.
    bool recordOutcome(const QUrl& address, const QDateTime& when, const QString& error);

private:
    // The subkey an address is kept under, or empty.
    QString subkeyOf(const QUrl& address) const;

    RegistryHive* m_hive;
};
