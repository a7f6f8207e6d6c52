// Bookmarks kept by Chromium-family and Firefox profiles, and telling the three kinds of
// file apart.
#include "favorites/Bookmarks.h"

#include "platform/SqliteDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <functional>

namespace {

// A NUL is no part of a title or an address, and a Netscape file holding one would not be
// read again: what is read from a profile leaves it out, so that its export reads back.
QString withoutNul(QString text)
{
    return text.remove(QChar(u'\0'));
}

// Chromium keeps dates as microseconds since 1601-01-01.
QDateTime chromiumDate(const QJsonValue& value)
{
    bool ok = false;
    const qint64 micros = value.toString().toLongLong(&ok);
    constexpr qint64 EpochDelta = 11644473600LL; // seconds from 1601 to 1970
    if (!ok || micros <= EpochDelta * 1000000)
        return QDateTime();
    return bookmarkDateUtc(micros / 1000000 - EpochDelta);
}

struct JsonWalk
{
    const BookmarkLimits& limits;
    int nodes = 0;
    QString error;

    bool add(const QJsonObject& object, int depth, BookmarkNode& into)
    {
        if (depth > limits.maxDepth) {
            error = QStringLiteral("Its folders are nested more than %1 deep.").arg(limits.maxDepth);
            return false;
        }
        if (++nodes > limits.maxNodes) {
            error = QStringLiteral("It holds more than %1 bookmarks and folders.").arg(limits.maxNodes);
            return false;
        }
        BookmarkNode node;
        node.title = withoutNul(object.value(QLatin1String("name")).toString()).simplified();
        node.added = chromiumDate(object.value(QLatin1String("date_added")));
        const QString type = object.value(QLatin1String("type")).toString();
        if (type == QLatin1String("url")) {
            node.url = withoutNul(object.value(QLatin1String("url")).toString()).trimmed();
        } else if (type == QLatin1String("folder")) {
            node.folder = true;
            const QJsonArray children = object.value(QLatin1String("children")).toArray();
            for (const QJsonValue& child : children) {
                if (!add(child.toObject(), depth + 1, node))
                    return false;
            }
        } else {
            return true; // a kind this program does not know: passed over
        }
        into.children.append(std::move(node));
        return true;
    }
};

} // namespace

BookmarkRead readChromiumBookmarks(const QByteArray& bytes, const BookmarkLimits& limits)
{
    BookmarkRead result;
    result.root.folder = true;
    if (bytes.size() > limits.maxBytes) {
        result.error = QStringLiteral("It is larger than %1 MB.").arg(limits.maxBytes / (1024 * 1024));
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject roots = document.object().value(QLatin1String("roots")).toObject();
    if (document.isNull() || roots.isEmpty()) {
        result.error = document.isNull()
                           ? QStringLiteral("It is not a bookmark file (%1).").arg(parseError.errorString())
                           : QStringLiteral("It is not a bookmark file.");
        return result;
    }
    JsonWalk walk{limits, 0, {}};
    // In the order the browser shows them; other roots (a synced set) after.
    QStringList order = {QStringLiteral("bookmark_bar"), QStringLiteral("other"),
                         QStringLiteral("synced")};
    for (const QString& key : roots.keys()) {
        if (!order.contains(key) && roots.value(key).isObject())
            order << key;
    }
    for (const QString& key : std::as_const(order)) {
        const QJsonObject root = roots.value(key).toObject();
        if (root.isEmpty() || root.value(QLatin1String("children")).toArray().isEmpty())
            continue;
        if (!walk.add(root, 1, result.root)) {
            result.error = walk.error;
            result.root.children.clear();
            return result;
        }
    }
    return result;
}

BookmarkRead readFirefoxPlaces(const QString& placesFile, const BookmarkLimits& limits)
{
    BookmarkRead result;
    result.root.folder = true;
    QTemporaryDir copy;
    const QString copied = copy.filePath(QStringLiteral("places.sqlite"));
    if (!copy.isValid() || !QFile::copy(placesFile, copied)) {
        result.error = QStringLiteral("It cannot be read.");
        return result;
    }
    // What a running Firefox has not yet moved into the file itself.
    QFile::copy(placesFile + QStringLiteral("-wal"), copied + QStringLiteral("-wal"));

    SqliteDatabase db(copied, QStringLiteral("firefox-places"));
    SqliteDatabase::Schema schema;
    schema.version = SqliteDatabase::AnyVersion;
    schema.quickCheck = true;
    if (db.open(SqliteDatabase::Access::ReadOnly, schema) != SqliteDatabase::Status::Open) {
        result.error = QStringLiteral("It cannot be read: %1.").arg(db.errorText());
        return result;
    }
    struct Row
    {
        qint64 id;
        int type;
        QString title;
        QString url;
        QString guid;
        qint64 added;
    };
    QHash<qint64, QList<Row>> children;
    {
        QSqlQuery query(db.connection());
        if (!query.exec(QStringLiteral(
                "SELECT b.id, b.parent, b.type, b.title, p.url, b.guid, b.dateAdded "
                "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
                "ORDER BY b.parent, b.position"))) {
            result.error = QStringLiteral("It is not a Firefox bookmark database.");
            return result;
        }
        int rows = 0;
        while (query.next()) {
            if (++rows > limits.maxNodes) {
                result.error = QStringLiteral("It holds more than %1 bookmarks and folders.")
                                   .arg(limits.maxNodes);
                return result;
            }
            children[query.value(1).toLongLong()].append(
                {query.value(0).toLongLong(), query.value(2).toInt(), query.value(3).toString(),
                 query.value(4).toString(), query.value(5).toString(), query.value(6).toLongLong()});
        }
    }
    // The roots, by their fixed identities; tags are a view of the same bookmarks.
    const QHash<QString, QString> rootNames = {
        {QStringLiteral("menu________"), QStringLiteral("Bookmarks Menu")},
        {QStringLiteral("toolbar_____"), QStringLiteral("Bookmarks Toolbar")},
        {QStringLiteral("unfiled_____"), QStringLiteral("Other Bookmarks")},
        {QStringLiteral("mobile______"), QStringLiteral("Mobile Bookmarks")},
    };
    QString error;
    const std::function<void(qint64, int, BookmarkNode&)> fill = [&](qint64 parent, int depth,
                                                                     BookmarkNode& into) {
        if (!error.isEmpty())
            return;
        if (depth > limits.maxDepth) {
            error = QStringLiteral("Its folders are nested more than %1 deep.").arg(limits.maxDepth);
            return;
        }
        // Taken, not read: a damaged file whose folders form a circle ends here.
        const QList<Row> rows = children.take(parent);
        for (const Row& row : rows) {
            BookmarkNode node;
            node.title = withoutNul(row.title).simplified();
            if (row.added > 0)
                node.added = bookmarkDateUtc(row.added / 1000000);
            if (row.type == 2) {
                node.folder = true;
                fill(row.id, depth + 1, node);
            } else if (row.type == 1 && !row.url.startsWith(QLatin1String("place:"))) {
                node.url = withoutNul(row.url).trimmed();
            } else {
                continue; // separators, saved searches
            }
            into.children.append(std::move(node));
        }
    };
    const QList<Row> top = children.value(1); // the root folder
    for (const QString& guid : {QStringLiteral("toolbar_____"), QStringLiteral("menu________"),
                                QStringLiteral("unfiled_____"), QStringLiteral("mobile______")}) {
        for (const Row& row : top) {
            if (row.guid != guid)
                continue;
            BookmarkNode folder;
            folder.folder = true;
            folder.title = rootNames.value(guid);
            fill(row.id, 2, folder);
            if (!folder.children.isEmpty())
                result.root.children.append(std::move(folder));
        }
    }
    if (!error.isEmpty()) {
        result.error = error;
        result.root.children.clear();
    }
    return result;
}

BookmarkRead readBookmarkFile(const QString& path, const BookmarkLimits& limits)
{
    BookmarkRead result;
    result.root.folder = true;
    QFile file(path);
    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = QStringLiteral("It is a folder.");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("It cannot be opened: %1.").arg(file.errorString());
        return result;
    }
    // A bookmark database is read row by row and bounded by its count of bookmarks; the byte
    // bound is for the text formats, read whole into memory.
    const QByteArray head = file.peek(16);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        file.close();
        return readFirefoxPlaces(path, limits);
    }
    if (file.size() > limits.maxBytes) {
        result.error = QStringLiteral("It is larger than %1 MB.").arg(limits.maxBytes / (1024 * 1024));
        return result;
    }
    const QByteArray bytes = file.readAll();
    const QByteArray start = bytes.left(64).trimmed();
    if (start.startsWith('{'))
        return readChromiumBookmarks(bytes, limits);
    return readNetscapeBookmarks(bytes, limits);
}
