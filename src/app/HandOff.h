#pragma once

#include <QString>

class MessageBus;
class RegistryHive;

// A second copy of the program gives its argument to the copy that runs already.
namespace HandOff {

// The name of the message, as the running copies know it.
inline constexpr char Message[] = "Pelvane";

enum class Delivery
{
    Taken,      // a running copy has the argument
    Exiting,    // the running copy is on its way out and took nothing
    Unanswered, // nobody answered; the argument waits in the hive
};

// Sends `argument` (possibly empty: then the running copy only comes to the front) to the
// running copy. A copy that is still starting may not listen yet, so the send is retried
// for up to `patienceMs`; when nobody answers, the argument is left in the hive's
// "CommandLine" for the running copy to pick up. A copy that is exiting answers "not
// taken" (false); the argument is then kept nowhere, for the caller to start with it.
Delivery deliver(const MessageBus& bus, RegistryHive& hive, const QString& argument,
                 int patienceMs = 3000);

// Makes an argument that names a file independent of this process's working folder, so
// the running copy (elsewhere) finds the same file. Other arguments are left as they are.
QString absoluteArgument(const QString& argument);

// Reads "CommandLine" and writes it back empty: the slot is for one hand-off only.
QString takeStoredCommandLine(RegistryHive& hive);

} // namespace HandOff
