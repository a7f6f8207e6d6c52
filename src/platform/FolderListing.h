#pragma once

#include <QDir>
#include <QFileInfoList>
#include <QString>

#include <limits>

// The entries of one folder, as QDir::entryInfoList gives them unsorted: `filters` takes
// Dirs, Files, Hidden and System in QDir's sense ("." and ".." are never listed). Read
// here rather than through QDir because Qt 6.8 ends a listing at the first name that is not
// valid in the file-name encoding, so one badly named file hid every entry after it. Such a
// name cannot be named back to the system, so it is left out, as Qt 6.4 leaves it out.
// At most `limit` entries are read.
QFileInfoList listFolder(const QString& folder, QDir::Filters filters,
                         qsizetype limit = std::numeric_limits<qsizetype>::max());
