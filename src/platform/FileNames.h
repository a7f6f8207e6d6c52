#pragma once

#include <QSet>
#include <QString>

// Names made unique in a folder: favourites, imported bookmarks, downloads saved unasked.
namespace FileNames {

// `name` + `extension`, or "name (2)" + `extension`, "name (3)", ..., the first whose
// case-folded form is not in `taken`; the answer's folded form is added to `taken`.
QString uniqueName(const QString& name, const QString& extension, QSet<QString>& taken);
// What uniqueName compares: names differing only in case are the same on a Windows disk.
QString folded(const QString& fileName);
// The folded names of a folder's entries.
QSet<QString> namesIn(const QString& folder);

} // namespace FileNames
