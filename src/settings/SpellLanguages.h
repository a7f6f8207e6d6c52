#pragma once

#include <QString>
#include <QStringList>

// The languages the spelling of text fields can be checked in: one dictionary each, made
// from the system's hunspell dictionaries when the program was built ("en-US.bdic").
namespace SpellLanguages {

// The languages of the dictionaries in `folder`, sorted; at most MaxLanguages of them.
constexpr int MaxLanguages = 200;
QStringList available(const QString& folder);
// The language to check in: the user's choice while its dictionary is there, else the one
// of the locale ("de_AT.UTF-8" takes "de-AT", then any "de-"), else "en-US", else the first;
// empty without a dictionary.
QString choose(const QString& chosen, const QString& localeName, const QStringList& available);
// The language as a person reads it: "Deutsch (Deutschland)".
QString displayName(const QString& language);

} // namespace SpellLanguages
