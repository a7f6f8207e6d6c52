#include "platform/SqliteDatabase.h"

#include "platform/Paths.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

namespace {

// SQLite's primary result codes.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqlitePerm = 3;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteIoErr = 10;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteFull = 13;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteProtocol = 15;
constexpr int SqliteNotADb = 26;

QString connectionNameFor(const QString& tag, const void* object)
{
    return QStringLiteral("pelvane-%1-%2").arg(tag).arg(reinterpret_cast<quintptr>(object), 0, 16);
}

QString reasonFor(const QSqlError& error)
{
    switch (SqliteDatabase::resultCode(error)) {
    case SqliteBusy:
    case SqliteLocked:
    case SqliteProtocol:
        return QStringLiteral("another program kept it locked for too long");
    case SqlitePerm:
    case SqliteReadOnly:
        return QStringLiteral("it cannot be written (read-only file, folder or disk)");
    case SqliteFull:
        return QStringLiteral("the disk is full");
    case SqliteCantOpen:
        return QStringLiteral("the file or its folder cannot be opened or created");
    case SqliteIoErr:
        return QStringLiteral("the disk reported an error while reading or writing it");
    default:
        break;
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

} // namespace

SqliteDatabase::SqliteDatabase(const QString& path, const QString& connectionTag)
    : m_path(path)
    , m_connection(connectionNameFor(connectionTag, this))
{}

SqliteDatabase::~SqliteDatabase()
{
    close();
    QSqlDatabase::removeDatabase(m_connection);
}

int SqliteDatabase::resultCode(const QSqlError& error)
{
    // Qt's driver gives the extended code as text; its low byte is the primary code
    // (CORRUPT_VTAB shares CORRUPT's, BUSY_RECOVERY BUSY's, ...).
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xFF : 0;
}

bool SqliteDatabase::isDamage(const QSqlError& error)
{
    const int code = resultCode(error);
    return code == SqliteCorrupt || code == SqliteNotADb;
}

bool SqliteDatabase::isBusy(const QSqlError& error)
{
    const int code = resultCode(error);
    return code == SqliteBusy || code == SqliteLocked || code == SqliteProtocol;
}

QSqlDatabase SqliteDatabase::connection() const
{
    return QSqlDatabase::database(m_connection, false);
}

void SqliteDatabase::close()
{
    m_statements.clear(); // prepared statements must go before their connection
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase db = connection();
        if (db.isOpen())
            db.close();
    }
    m_status = Status::Closed;
}

SqliteDatabase::Status SqliteDatabase::open(Access access, const Schema& schema)
{
    close();
    m_errorText.clear();
    m_recoveredBackup.clear();
    if (access == Access::ReadWrite &&
        !Paths::ensurePrivateFolder(QFileInfo(m_path).absolutePath())) {
        m_errorText = QStringLiteral("its folder cannot be created");
        m_status = Status::Failed;
        return m_status;
    }
    Status result = attempt(access, schema);
    if (result == Status::Damaged && access == Access::ReadWrite) {
        moveAsideDamagedFile();
        if (!m_recoveredBackup.isEmpty())
            result = attempt(access, schema);
    }
    if (result != Status::Open) {
        close();
    } else {
        m_errorText.clear(); // a damaged file set aside is told by recoveredBackup()
        if (access == Access::ReadWrite)
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    m_status = result;
    return result;
}

SqliteDatabase::Status SqliteDatabase::failure(const QSqlError& error, const QString& what)
{
    if (isDamage(error)) {
        m_errorText = QStringLiteral("it is damaged (%1)").arg(what);
        return Status::Damaged;
    }
    m_errorText = reasonFor(error);
    return Status::Failed;
}

bool SqliteDatabase::execWaiting(const QString& sql, QSqlQuery* query, Status* result)
{
    // SQLite waits for a lock through its busy handler, but a few steps of setting up a
    // file another connection is creating at that moment (changing the journal mode,
    // reading a log being recovered) report "busy" at once. They are tried again until the
    // same bound as the busy handler's has passed.
    const QDeadlineTimer deadline(BusyTimeoutMs);
    for (;;) {
        if (query->exec(sql))
            return true;
        const QSqlError error = query->lastError();
        if (!isBusy(error) || deadline.hasExpired()) {
            *result = failure(error, sql);
            return false;
        }
        query->finish();
        QThread::msleep(5 + QRandomGenerator::global()->bounded(20));
    }
}

SqliteDatabase::Status SqliteDatabase::attempt(Access access, const Schema& schema)
{
    m_statements.clear();
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? connection()
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (db.isOpen())
        db.close();
    db.setDatabaseName(m_path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (access == Access::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (access == Access::ReadOnly && !QFileInfo::exists(m_path)) {
        m_errorText = QStringLiteral("it does not exist yet");
        return Status::Failed;
    }
    if (!db.open())
        return failure(db.lastError(), QStringLiteral("open"));

    Status result = Status::Open;
    if (schema.quickCheck) {
        QSqlQuery check(db);
        if (!execWaiting(QStringLiteral("PRAGMA quick_check"), &check, &result))
            return result;
        if (!check.next() || check.value(0).toString() != QLatin1String("ok")) {
            m_errorText = QStringLiteral("it is damaged (%1)").arg(check.value(0).toString());
            return Status::Damaged;
        }
    }
    for (const QString& pragma : schema.connectionPragmas) {
        QSqlQuery query(db);
        if (!execWaiting(pragma, &query, &result))
            return result;
    }
    return access == Access::ReadOnly ? checkSchemaReadOnly(schema) : prepareSchema(schema);
}

SqliteDatabase::Status SqliteDatabase::checkSchemaReadOnly(const Schema& schema)
{
    Status result = Status::Open;
    if (schema.version == AnyVersion)
        return Status::Open;
    QSqlQuery version(connection());
    if (!execWaiting(QStringLiteral("PRAGMA user_version"), &version, &result))
        return result;
    const int found = version.next() ? version.value(0).toInt() : 0;
    if (found == schema.version)
        return Status::Open;
    m_errorText = found == 0 ? QStringLiteral("it has not been set up yet")
                             : found > schema.version
                                   ? QStringLiteral("it was written by a newer version of Pelvane")
                                   : QStringLiteral("it was written by an older version of Pelvane");
    return Status::Failed;
}

SqliteDatabase::Status SqliteDatabase::prepareSchema(const Schema& schema)
{
    const QSqlDatabase db = connection();
    Status result = Status::Open;
    const auto readVersion = [&](int* found) {
        QSqlQuery version(db);
        if (!execWaiting(QStringLiteral("PRAGMA user_version"), &version, &result))
            return false;
        *found = version.next() ? version.value(0).toInt() : 0;
        return true;
    };
    const auto newer = [this] {
        m_errorText = QStringLiteral("it was written by a newer version of Pelvane");
        return Status::Failed;
    };

    // A file made before needs no write to open, so a copy that starts while another
    // holds the write lock does not wait for it.
    int found = 0;
    if (!readVersion(&found))
        return result;
    if (found > schema.version)
        return newer();
    if (found == schema.version) {
        QSqlQuery mode(db);
        if (!execWaiting(QStringLiteral("PRAGMA journal_mode"), &mode, &result))
            return result;
        if (mode.next() && mode.value(0).toString() == QLatin1String("wal"))
            return Status::Open;
    }

    // WAL lets readers go on while another copy writes. Switching is a no-op when another
    // copy has switched already.
    {
        QSqlQuery mode(db);
        if (!execWaiting(QStringLiteral("PRAGMA journal_mode=WAL"), &mode, &result))
            return result;
        if (!mode.next() || mode.value(0).toString() != QLatin1String("wal")) {
            m_errorText = QStringLiteral("its journal cannot be switched to WAL mode");
            return Status::Failed;
        }
    }

    // Whoever takes the write lock first creates the tables; the others wait for it here
    // and then find the file up to date.
    QSqlQuery begin(db);
    if (!execWaiting(QStringLiteral("BEGIN IMMEDIATE"), &begin, &result))
        return result;
    const auto rollback = [&](Status status) {
        exec(QStringLiteral("ROLLBACK"));
        return status;
    };
    if (!readVersion(&found))
        return rollback(result);
    if (found > schema.version)
        return rollback(newer());
    if (found < schema.version) {
        if (schema.upgrade && !schema.upgrade(*this, found)) {
            m_errorText = QStringLiteral("its tables cannot be created or brought up to date");
            return rollback(Status::Failed);
        }
        QSqlQuery setVersion(db);
        if (!execWaiting(QStringLiteral("PRAGMA user_version=%1").arg(schema.version), &setVersion,
                         &result))
            return rollback(result);
    }
    QSqlQuery commit(db);
    if (!execWaiting(QStringLiteral("COMMIT"), &commit, &result))
        return rollback(result);
    return Status::Open;
}

void SqliteDatabase::moveAsideDamagedFile()
{
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString backup = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = m_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, backup))
        return;
    // The log files belong to the damaged database; a fresh file must not replay them.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, backup + QLatin1String(suffix));
    }
    m_recoveredBackup = backup;
}

QSqlQuery& SqliteDatabase::statement(const char* sql) const
{
    ++m_statementCount;
    // Preparing costs more than running these small statements, so each is kept.
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery query(connection());
        query.setForwardOnly(true);
        query.prepare(QLatin1String(sql));
        it = m_statements.emplace(sql, std::move(query)).first;
    }
    return it->second;
}

bool SqliteDatabase::exec(const QString& sql) const
{
    ++m_statementCount;
    QSqlQuery query(connection());
    return query.exec(sql);
}
