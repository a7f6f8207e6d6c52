#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

class MessageBus;
class RegistryHive;

// A second copy of the program gives its argument to the copy that runs already.
namespace HandOff {

// The name of the message, as the running copies know it.
inline constexpr char Message[] = "Pelvane";
// The question of the command-line tool: which tabs are open (answered with a JSON array).
inline constexpr char ListTabsMessage[] = "ListTabs";
// The answer of a copy that never takes a hand-off (a private window): it is not counted
// among the copies that could, so an argument never lands there.
inline constexpr char Declined[] = "declined";

// One hand-off as it travels: the argument and an identity the sender makes, so that a
// message sent again (the running copy was too busy starting to answer in time) or also
// left in the hive opens once.
struct Parcel
{
    QString id; // empty: from an older copy, no identity
    QString argument;
};
QJsonValue encode(const Parcel& parcel);
Parcel decode(const QJsonValue& payload); // a plain text is an argument without identity

enum class Delivery
{
    Taken,      // a running copy has the argument
    Exiting,    // the running copy is on its way out and took nothing
    Unanswered, // nobody answered; the argument waits in the hive
    Lost,       // nobody answered, and the hive could not keep the argument
};

// Sends `argument` (possibly empty: then the running copy only comes to the front) to the
// running copy. A copy that is still starting may not listen yet, so the send is retried
// for up to `patienceMs`; when nobody answers, the argument is left in the hive's
// "CommandLine" for the running copy to pick up (Lost when the hive cannot be written:
// `error`, when given, says why). A copy that is exiting answers "not
// taken" (false); the argument is then kept nowhere, for the caller to start with it. A copy
// that declines every hand-off counts as no copy at all.
Delivery deliver(const MessageBus& bus, RegistryHive& hive, const QString& argument,
                 int patienceMs = 3000, QString* error = nullptr);

// The hand-offs a running copy has opened: each identity once.
class Ledger
{
public:
    // True the first time an identity comes (and always without one).
    bool firstTime(const QString& id);

private:
    QStringList m_seen; // the latest ones; older ones cannot come again
};

// Makes an argument that names a file independent of this process's working folder, so
// the running copy (elsewhere) finds the same file. Other arguments are left as they are.
QString absoluteArgument(const QString& argument);

// Reads "CommandLine" (and its identity) and writes it back empty: the slot is for one
// hand-off only.
Parcel takeStoredCommandLine(RegistryHive& hive);
// Empties "CommandLine" when it holds the hand-off `id` (which came over the bus as well,
// late, after the sender had given up waiting): otherwise the next start would open it
// again.
void clearStoredCommandLine(RegistryHive& hive, const QString& id);

} // namespace HandOff
