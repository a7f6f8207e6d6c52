#pragma once

#include "platform/SqliteDatabase.h"

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

} // namespace HiveFiles
