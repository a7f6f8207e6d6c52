#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The legacy history index files ("index.dat") that an older browser profile keeps in its
// History folder and in one sub-folder per period. Only what the find needs is read: each
// entry's address and title.

// One row of the find's result list: the title (or the address when there is none) and
// the address.
struct HistoryIndexRow
{
    QString caption;
    QString address;
    friend bool operator==(const HistoryIndexRow&, const HistoryIndexRow&) = default;
};

// The page an entry describes: `text` is the entry's blocks joined, zero bytes already
// replaced by the byte 1. Nothing for an entry without "@", an empty one, or a site
// container (":Host...").
std::optional<HistoryIndexRow> historyIndexPage(const QByteArray& text);

// Appends to `rows` every page of one index file whose address or title contains `text`
// (case ignored). A file that cannot be opened or read ends the reading: false, and
// *error says which file and why; the rows found before stay.
bool ReadHistoryIndex(const QString& file, const QString& text, QList<HistoryIndexRow>& rows,
                      QString* error = nullptr);

// The same for the "index.dat" of `folder` and of each of its immediate sub-folders whose
// name does not begin with ".", in the order the file system lists them. The first file
// that cannot be read ends the search (false, with *error).
bool SearchHistoryFolder(const QString& folder, const QString& text,
                         QList<HistoryIndexRow>& rows, QString* error = nullptr);
