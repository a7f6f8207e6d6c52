#pragma once

#include <QString>
#include <QStringList>

// A folder for this user's sockets and locks that nobody else can use, also when the one
// meant for them is not sound (made by somebody else, open to others, a link): the copies
// then meet in a private folder beside it instead, "NAME.XXXXXX", made with mode 0700 under
// a name nobody could have guessed and planted. Other copies find it by its name and by
// the same check (Paths::ownPrivateFolderProblem), which a folder another user made fails.
namespace PrivateFolder {

struct Choice
{
    QString folder;  // where to listen or lock; empty when not even a folder of our own
                     // could be made
    QString refused; // why `preferred` was not taken, empty when it was
};

// `preferred` when it is this user's own private folder (made when missing); else the first
// sound folder beside it by name, made when there is none yet.
Choice choose(const QString& preferred);

// The sound folders where copies may be listening: `preferred` when it is sound, then those
// beside it, in the order choose() takes them.
QStringList reachable(const QString& preferred);

} // namespace PrivateFolder
