#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

// What a file written whole (QSaveFile) leaves when the process dies in its last step:
// the finished file is linked beside its target as "<name>.XXXXXX" (six letters or
// digits) and then renamed over it, so a kill between the two leaves that name behind,
// with the old file in place. The next start removes them.
namespace SaveLeftovers {

// A folder the program writes such files in, and what their names end in: an ending that
// begins with "." is the end of a name (".url"), any other a whole name ("toolbar.dat");
// compared without regard to case. `below`: its subfolders too.
struct Place
{
    QString folder;
    QStringList endings;
    bool below = false;
};

// Whether `fileName` is what a write of a file named as `ending` says leaves.
bool isLeftoverOf(const QString& fileName, const QString& ending);

// Removes the leftovers in `place` last written before `madeBefore` (this process's start:
// a write another running copy made since is its own). Hidden folders are not entered.
// Returns how many went.
int remove(const Place& place, const QDateTime& madeBefore,
           const std::atomic_bool* cancelled = nullptr);

// Where the program's own files are written whole: the settings' folder (the kept
// sessions and their run markers), the program folder (toolbar.dat, profile.vcf, the
// .ini files), the page groups' folder and the Favorites with every folder below it.
struct Folders
{
    QString settings;
    QString program;
    QString groups;
    QString favorites;
};
QList<Place> storePlaces(const Folders& folders);

// When this process started (read from /proc); the current time when that cannot be read.
QDateTime processStart();

} // namespace SaveLeftovers
