#pragma once

#include "platform/SqliteDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Settings files the program must not trust or touch.
namespace HiveFiles {

// A settings file as a newer version of the program leaves it: a schema number above this
// program's. True when it was made.
inline bool writeNewer(const QString& path)
{
    SqliteDatabase db(path, QStringLiteral("newer-hive"));
    const SqliteDatabase::Schema newer{7, [](SqliteDatabase&, int) { return true; }, {}, false};
    return db.open(SqliteDatabase::Access::ReadWrite, newer) == SqliteDatabase::Status::Open;
}

// From now on the hive at `path` refuses to store values whose name is like `pattern` (an
// SQL LIKE pattern), as a full disk would refuse them. True when it was arranged.
inline bool refuseValues(const QString& path, const QString& pattern)
{
    bool done = false;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("refuse"));
        db.setDatabaseName(path);
        done = db.open() &&
               QSqlQuery(db).exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN "
                                                 "NEW.name LIKE '%1' BEGIN SELECT RAISE(ABORT, "
                                                 "'refused'); END")
                                      .arg(pattern));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("refuse"));
    return done;
}

} // namespace HiveFiles
