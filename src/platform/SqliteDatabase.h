#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <unordered_map>

#include <functional>

// One connection to an SQLite file, opened the way every store of the program needs it:
// in WAL mode, so that running copies read while one writes; with a bounded wait for a
// lock another copy holds; created or brought up to date by whichever copy comes first
// while the others wait for it; and set aside only when SQLite itself says the file is
// not a database or is corrupt. Any other failure (a newer program's file, a lock held
// past the wait, a full or read-only disk, a folder that cannot be made) leaves the file
// where it is: the caller runs without it and says so.
//
// A connection belongs to the thread that opened it.
class SqliteDatabase final
{
    Q_DISABLE_COPY_MOVE(SqliteDatabase)

public:
    enum class Access
    {
        ReadWrite, // creates the file and its tables when missing
        ReadOnly   // never writes: no schema work, no file created, nothing moved aside
    };

    enum class Status
    {
        Closed,
        Open,
        Damaged, // SQLite reports the file as not a database or as corrupt
        Failed   // it could not be opened for another reason; the file is left alone
    };

    // A read-only schema version that accepts a file of any version: another program's
    // database, read as it stands.
    static constexpr int AnyVersion = -1;

    struct Schema
    {
        // PRAGMA user_version of a file with every table. A file with a higher number was
        // written by a newer program and is not opened; a file with a lower one (0: new)
        // is brought up to date.
        int version = 1;
        // Creates or upgrades the tables, inside one write transaction that the helper
        // begins and commits; `found` is the version the file had. False rolls back.
        std::function<bool(SqliteDatabase& db, int found)> upgrade;
        // Settings of this connection, run after every open (synchronous, cache size).
        QStringList connectionPragmas;
        // Runs PRAGMA quick_check before use: worth it for a small file that must not be
        // trusted half-read, too slow for a large one.
        bool quickCheck = false;
    };

    // How long a statement waits for a lock another connection holds.
    static constexpr int BusyTimeoutMs = 10000;

    // `connectionTag` names the connection in Qt's registry (made unique per object).
    SqliteDatabase(const QString& path, const QString& connectionTag);
    ~SqliteDatabase();

    // Opens the file. With ReadWrite a damaged file is moved aside to a dated backup and a
    // fresh file started (recoveredBackup() says where); with ReadOnly it stays Damaged.
    Status open(Access access, const Schema& schema);
    void close();

    QString path() const { return m_path; }
    Status status() const { return m_status; }
    bool isOpen() const { return m_status == Status::Open; }
    // Why the last open failed, in words for a message to the user; empty when open.
    QString errorText() const { return m_errorText; }
    QString recoveredBackup() const { return m_recoveredBackup; }

    QSqlDatabase connection() const;
    // A prepared statement kept for the connection's life: preparing costs more than
    // running the small statements the stores use. `sql` must be a string literal, since
    // its address is the key.
    QSqlQuery& statement(const char* sql) const;
    // Runs one statement without keeping it.
    bool exec(const QString& sql) const;
    // How many statements have been handed out or run since the object was made: what
    // tests and benchmarks compare to tell how often a reader goes to the file.
    quint64 statementCount() const { return m_statementCount; }

    // SQLite's primary result code in a Qt error (0 when there is none).
    static int resultCode(const QSqlError& error);
    static bool isDamage(const QSqlError& error);
    // Another connection holds what this one needs: waiting may help.
    static bool isBusy(const QSqlError& error);

private:
    Status attempt(Access access, const Schema& schema);
    Status prepareSchema(const Schema& schema);
    Status checkSchemaReadOnly(const Schema& schema);
    // Runs `sql` until it succeeds, fails for a reason other than a lock, or the wait ends.
    bool execWaiting(const QString& sql, QSqlQuery* query, Status* failure);
    Status failure(const QSqlError& error, const QString& what);
    void moveAsideDamagedFile();

    QString m_path;
    QString m_connection;
    Status m_status = Status::Closed;
    QString m_errorText;
    QString m_recoveredBackup;
    // Node-based: a statement handed out stays where it is while others are added, and a
    // query, which must not be copied, is only ever moved in.
    mutable std::unordered_map<const char*, QSqlQuery> m_statements;
    mutable quint64 m_statementCount = 0;
};

// Lets a kept statement go of its read snapshot when the scope ends: otherwise the
// connection would go on seeing the file as it was and would hold back the log's
// checkpoint.
class StatementScope final
{
    Q_DISABLE_COPY_MOVE(StatementScope)

public:
    explicit StatementScope(QSqlQuery& query)
        : m_query(query)
    {}
    ~StatementScope() { m_query.finish(); }

private:
    QSqlQuery& m_query;
};
