#pragma once

#include "favorites/Bookmarks.h"

#include <QDateTime>
#include <QString>

// Bookmarks into the Favorites folder and the Favorites folder out as bookmarks.
namespace FavoritesTransfer {

struct Outcome
{
    BookmarkCounts counts;
    QString folder; // import: the folder made
    QString error;  // empty on success
    bool ok() const { return error.isEmpty(); }
};

// Writes `root`'s children as a new folder `name` (made unique: "name (2)") of
// `favorites`: folders become folders, bookmarks shortcuts, names made safe and unique
// ("name (2)"). Everything is written into a hidden folder beside `favorites` first and
// renamed into place at the end, so that a failure leaves nothing behind and no reader sees
// half an import, nor a change before the import lands. Bookmarks without an address are
// passed over.
Outcome importInto(const BookmarkNode& root, const QString& favorites, const QString& name);
// Where an import into `favorites` is staged: a new hidden name beside it
// (".Favorites.import-<process>-<random>"), or `inside` it (".import-<process>-<random>").
QString stagingFolder(const QString& favorites, bool inside);
// What imports and exports that never finished (the program was killed or the power went
// while it wrote) left: an import's hidden folder (beside the Favorites or in them) with what
// it holds, and the file an
// export had finished but not yet put in place, named by the hidden note the export
// keeps in the Favorites while it runs. Only what was last changed before `madeBefore` (the
// start of this process) by a process that no longer runs goes; another copy's transfer in
// progress stays. Returns how many went. Run at start.
int removeUnfinished(const QString& favorites, const QDateTime& madeBefore);
// Writes `root`'s children straight into `folder` (made when missing), as above; what is
// written is removed again when anything fails.
Outcome writeTree(const BookmarkNode& root, const QString& folder);

// The Favorites folder as a tree: folders (not those beginning with ".") and shortcuts,
// each level sorted as the menu sorts it, dates from the files' times. Links to folders
// are not followed; depth as BookmarkLimits bounds it.
Outcome readFavorites(const QString& favorites, BookmarkNode* root,
                      const BookmarkLimits& limits = {});
// Writes the Favorites as a Netscape bookmark file, whole or not at all. While it writes, a
// hidden note in `favorites` names the file (see removeUnfinished).
Outcome exportTo(const QString& favorites, const QString& file);

// Where bookmarks of browsers on this computer usually are: Firefox profiles'
// places.sqlite and Chromium-family "Bookmarks" files, below `home`.
struct Source
{
    QString label; // "Firefox (default-release)", "Chromium (Default)"
    QString path;
};
QList<Source> findBrowserBookmarks(const QString& home);

} // namespace FavoritesTransfer
