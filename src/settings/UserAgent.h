#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QStringList>

// The program's token in the browser's user-agent text. The browser adds every value name
// of the machine's "Post Platform" key to the platform part of its user-agent text (the
// data is not used), so the token names this program to the servers it talks to while a
// main window of it exists.
namespace UserAgent {

// "\Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent\Post Platform"
// below HKEY_LOCAL_MACHINE.
QString PostPlatformKey();
QString Token();     // "Pelvane 5.50B3"
QString TokenData(); // "IEAK"

// A token this program or an earlier version of it wrote: its name begins with
// "VarloBrowse" or "Pelvane" (letter case as written).
bool IsProgramToken(const QString& name);

// Every token of the key, in the order written; none when the key is missing or cannot
// be read. Creates nothing.
QStringList Tokens(RegistryHive& hive);

// Removes every token of this program (the current one and those of earlier versions),
// and with `add` writes the current one again; other products' tokens stay. When the key
// cannot be opened or written, nothing changes and nothing is said: the browser then simply
// does not name this program.
void SetTag(bool add, RegistryHive& hive);

} // namespace UserAgent
