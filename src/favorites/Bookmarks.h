#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>

// Bookmarks as other browsers keep them, and the Favorites as a tree of the same shape: what
// import reads into and export writes from. Every reader is a function from the file's
// bytes (or a copy of its database) to a tree or the reason there is none, bounded in size
// and depth so that no file can make the program run out of memory or stack.

struct BookmarkNode
{
    QString title;
    QString url; // empty for a folder
    bool folder = false;
    QDateTime added; // invalid when unknown
    QList<BookmarkNode> children;

    friend bool operator==(const BookmarkNode&, const BookmarkNode&) = default;
};

// A bookmark's date from seconds since 1970, in UTC. Qt 6.5 deprecated the Qt::UTC
// argument for a QTimeZone one; both give a date whose timeSpec() is Qt::UTC.
inline QDateTime bookmarkDateUtc(qint64 secondsSinceEpoch)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, QTimeZone::UTC);
#else
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC);
#endif
}

struct BookmarkCounts
{
    int folders = 0;
    int bookmarks = 0;
};
BookmarkCounts countBookmarks(const BookmarkNode& root); // the root itself not counted
// "3 bookmarks in 1 folder", as the command line and the wizard report a transfer.
QString describeCounts(const BookmarkCounts& counts);

// What a reader accepts.
struct BookmarkLimits
{
    qint64 maxBytes = 64 * 1024 * 1024;
    int maxDepth = 100;
    int maxNodes = 500000;
};

struct BookmarkRead
{
    BookmarkNode root; // a folder; its children are the file's top level
    QString error;     // empty when the file was read
    bool ok() const { return error.isEmpty(); }
};

// A Netscape bookmark file (the HTML every browser exports): <DT><H3> folders with a <DL>
// list each, <DT><A HREF> bookmarks. Text is UTF-8, or Windows-1252 when it is not valid
// UTF-8. A file that ends inside a folder's list is reported as cut short.
BookmarkRead readNetscapeBookmarks(const QByteArray& bytes, const BookmarkLimits& limits = {});
// The tree as a Netscape bookmark file in UTF-8.
QByteArray writeNetscapeBookmarks(const BookmarkNode& root);

// A Chromium-family profile's "Bookmarks" file (JSON): its roots (bookmark bar, other,
// mobile) become folders.
BookmarkRead readChromiumBookmarks(const QByteArray& bytes, const BookmarkLimits& limits = {});

// A Firefox profile's places.sqlite. The file is copied first (with its write-ahead log),
// so one that a running Firefox holds locked is read as it stands; the copy goes again.
// Its menu, toolbar, other and mobile roots become folders; tags and queries are left out.
BookmarkRead readFirefoxPlaces(const QString& placesFile, const BookmarkLimits& limits = {});

// Reads any of the three, told apart by their content; `limits.maxBytes` bounds the text
// formats only (a database is bounded by its count of bookmarks).
BookmarkRead readBookmarkFile(const QString& path, const BookmarkLimits& limits = {});
