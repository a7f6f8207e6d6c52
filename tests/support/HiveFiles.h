#pragma once

#include "platform/SqliteDatabase.h"

#include <QSqlQuery>

// Settings files that the program cannot open or write.
namespace HiveFiles {

// A file as a newer version of the program leaves it: a higher schema number.
inline bool writeNewer(const QString& path)
{
    SqliteDatabase db(path, QStringLiteral("newer-hive"));
    return db.open(SqliteDatabase::Access::ReadWrite,
                   {7, [](SqliteDatabase&, int) { return true; }, {}, false}) ==
           SqliteDatabase::Status::Open;
}

// From now on the hive at `path` refuses values named like `pattern` (SQL LIKE), as a full
// disk would.
inline bool refuseValues(const QString& path, const QString& pattern)
{
    SqliteDatabase db(path, QStringLiteral("refusing-hive"));
    return db.open(SqliteDatabase::Access::ReadWrite, {1, {}, {}, false}) ==
               SqliteDatabase::Status::Open &&
           QSqlQuery(db.connection())
               .exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN NEW.name "
                                    "LIKE '%1' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                         .arg(pattern));
}

} // namespace HiveFiles
