#pragma once

#include <QString>
#include <QStringList>

class RegistryHive;

// The sites the user said never to keep a password for ("Never for this site"), by
// origin, in the hive (they hold nothing secret).
namespace NeverList {

// "...\CurrentVersion\Passwords Never"; each origin is a value name.
QString key();
bool contains(RegistryHive& hive, const QString& origin);
// Throws RegistryError when the hive refuses the write.
void add(RegistryHive& hive, const QString& origin);
void remove(RegistryHive& hive, const QString& origin);
QStringList origins(RegistryHive& hive);

} // namespace NeverList
