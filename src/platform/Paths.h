#pragma once

#include <QString>

// Where this user's data lives. PELVANE_HOME, when set, moves every per-user file under
// one folder (a portable copy, or a test's private home); otherwise the XDG places apply.
// Everything is derived from the environment on each call, so nothing here is state.
namespace Paths {

QString hiveFile();          // the registry stand-in
QString programFolder();     // toolbar.dat, formfiller.ini, SorvelGroups, profile.vcf
QString groupsFolder();      // programFolder()/SorvelGroups
QString defaultFavoritesFolder();
QString defaultHistoryFolder();
QString webProfileFolder();  // cookies, cache and local storage of the web engine
// The folder of the n-th running copy's web profile: 1 is webProfileFolder(), others are
// numbered beside it ("WebProfile-2"), since the engine cannot share a folder between
// processes.
QString webProfileFolder(int slot);
QString runtimeFolder();     // sockets of running copies and the instance lock (mode 0700)
QString sharedDataFolder();  // read-only installation data: shipped pages, defaults
QString dictionariesFolder(); // the spelling dictionaries the program was built with
// The private folder of the copies of pages handed to other programs (mail, edit with),
// in the user's cache; made when first needed, kept after exit (see PageCopies).
QString pageCopiesFolder();

// The decision behind sharedDataFolder(), from the program's own folder: an installed
// program reads the share folder beside its bin folder (`shareFromBin`, relative), wherever
// the tree was put; a program inside the build folder, which has no such folder, reads the
// sources' resources. Anything else gets the installed place, so that a broken installation
// shows up as missing pages rather than quietly reading a checkout.
QString sharedDataFolderFor(const QString& programFolder, const QString& shareFromBin,
                            const QString& buildFolder, const QString& sourceResources);

// Creates a folder (and its parents) readable by this user only. Returns false on failure.
bool ensurePrivateFolder(const QString& path);

// A folder in a place other users can write to (the runtime folder, the temporary folder)
// is trusted only when it is a real folder (not a link), owned by this user, with no
// rights for group or others. The problem with the folder at `path` in words, or empty
// when it is sound (a folder that does not exist is a problem too).
QString ownPrivateFolderProblem(const QString& path);
// Makes the folder (mode 0700) when it is missing, then checks it as above.
QString ensureOwnPrivateFolder(const QString& path);

} // namespace Paths
