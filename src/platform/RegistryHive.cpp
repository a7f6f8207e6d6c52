#include "platform/RegistryHive.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace {

// SQLite's own result codes, as Qt's driver reports them in nativeErrorCode().
bool isDamageError(const QSqlError& error)
{
    // The low byte is the primary code; extended codes (CORRUPT_VTAB, ...) share it.
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == 11 || code == 26; // CORRUPT, NOTADB
}

// SQLite keeps a null text as NULL; the default value's name is the empty text, not NULL.
QString nonNull(const QString& text)
{
    return text.isNull() ? QString::fromLatin1("", 0) : text;
}

QString folded(const QString& name)
{
    return nonNull(name.toCaseFolded());
}

// A connection name only has to be unique among the live hives of this process; the
// object's address is, and the destructor removes the connection before it is freed.
QString connectionNameFor(const void* hive)
{
    return QStringLiteral("pelvane-hive-%1").arg(reinterpret_cast<quintptr>(hive), 0, 16);
}

constexpr int BusyTimeoutMs = 10000;
constexpr int SchemaVersion = 1; // PRAGMA user_version of a hive with every table

// A kept statement must let go of its read snapshot once used, or this copy would go on
// seeing the hive as it was and would hold back the log's checkpoint.
class StatementScope final
{
public:
    explicit StatementScope(QSqlQuery& query)
        : m_query(query)
    {}
    ~StatementScope() { m_query.finish(); }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

private:
    QSqlQuery& m_query;
};

} // namespace

RegistryHive::RegistryHive(const QString& path, QObject* parent)
    : QObject(parent)
    , m_path(path)
    , m_connection(connectionNameFor(this))
{
    Paths::ensurePrivateFolder(QFileInfo(path).absolutePath());
    OpenResult result = openDatabase();
    if (result == OpenResult::Damaged) {
        moveAsideDamagedFile();
        result = openDatabase();
    }
    m_open = result == OpenResult::Ok;
    if (m_open)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

RegistryHive::~RegistryHive()
{
    m_statements.clear(); // prepared statements must go before their connection
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

RegistryHive& RegistryHive::userHive()
{
    // The hive of this user lives as long as the application object that owns it.
    QCoreApplication* app = QCoreApplication::instance();
    Q_ASSERT_X(app, "RegistryHive::userHive", "needs an application object");
    auto* hive = app->findChild<RegistryHive*>(QStringLiteral("pelvane-user-hive"),
                                               Qt::FindDirectChildrenOnly);
    if (!hive) {
        hive = new RegistryHive(Paths::hiveFile(), app);
        hive->setObjectName(QStringLiteral("pelvane-user-hive"));
    }
    return *hive;
}

RegistryHive::OpenResult RegistryHive::openDatabase()
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return OpenResult::Failed;

    OpenResult result = OpenResult::Ok;
    {
        QSqlQuery check(db);
        if (!check.exec(QStringLiteral("PRAGMA quick_check")))
            result = isDamageError(check.lastError()) ? OpenResult::Damaged : OpenResult::Failed;
        else if (!check.next() || check.value(0).toString() != QLatin1String("ok"))
            result = OpenResult::Damaged;
    }
    if (result == OpenResult::Ok && !createSchema(&result))
        result = result == OpenResult::Ok ? OpenResult::Failed : result;
    if (result != OpenResult::Ok) {
        m_statements.clear();
        db.close();
    }
    return result;
}

bool RegistryHive::createSchema(OpenResult* result)
{
    static const char* const settings[] = {
        // WAL lets readers go on while another copy writes; NORMAL sync keeps every commit
        // across a killed process (the operating system still holds the log).
        "PRAGMA journal_mode=WAL",
        "PRAGMA synchronous=NORMAL",
        "PRAGMA foreign_keys=ON",
    };
    static const char* const schema[] = {
        "BEGIN IMMEDIATE",
        // AUTOINCREMENT: a deleted key's id is never handed out again, so an id that a
        // TRegistry or a cache still holds can only miss, never reach another key.
        "CREATE TABLE IF NOT EXISTS keys("
        " id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,"
        " name TEXT NOT NULL, folded TEXT NOT NULL,"
        " UNIQUE(parent, folded))",
        "CREATE TABLE IF NOT EXISTS vals("
        " key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,"
        " name TEXT NOT NULL, folded TEXT NOT NULL,"
        " type INTEGER NOT NULL, data, seq INTEGER NOT NULL,"
        " PRIMARY KEY(key, folded))",
        "CREATE INDEX IF NOT EXISTS vals_order ON vals(key, seq)",
        "INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES"
        " (1, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
        " (2, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
        " (3, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine')",
        "PRAGMA user_version=1",
        "COMMIT",
    };
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const auto run = [&](const char* sql, QSqlQuery* query) {
        if (query->exec(QLatin1String(sql)))
            return true;
        *result = isDamageError(query->lastError()) ? OpenResult::Damaged : OpenResult::Failed;
        return false;
    };
    for (const char* sql : settings) {
        QSqlQuery query(db);
        if (!run(sql, &query))
            return false;
    }
    // A hive made before needs no write to open, so a copy that starts while another
    // holds the write lock does not wait for it.
    {
        QSqlQuery version(db);
        if (!run("PRAGMA user_version", &version))
            return false;
        if (version.next() && version.value(0).toInt() == SchemaVersion)
            return true;
    }
    for (const char* sql : schema) {
        QSqlQuery query(db);
        if (!run(sql, &query)) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return true;
}

void RegistryHive::moveAsideDamagedFile()
{
    m_statements.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString backup = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = m_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, backup))
        return;
    // The log files belong to the damaged database; a fresh hive must not replay them.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, backup + QLatin1String(suffix));
    }
    m_recoveredBackup = backup;
}

QSqlQuery& RegistryHive::statement(const char* sql) const
{
    // Preparing costs more than running these small statements, so each is kept.
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.setForwardOnly(true);
        query.prepare(QLatin1String(sql));
        it = m_statements.emplace(sql, std::move(query)).first;
    }
    return it->second;
}

bool RegistryHive::exec(const QString& sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    return query.exec(sql);
}

qint64 RegistryHive::childKey(qint64 parent, const QString& name) const
{
    if (!m_open)
        return 0;
    QSqlQuery& query = statement("SELECT id FROM keys WHERE parent = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(parent);
    query.addBindValue(folded(name));
    if (query.exec() && query.next())
        return query.value(0).toLongLong();
    return 0;
}

qint64 RegistryHive::createChildKey(qint64 parent, const QString& name)
{
    if (!m_open || name.isEmpty())
        return 0;
    if (const qint64 existing = childKey(parent, name))
        return existing;
    QSqlQuery& query = statement("INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)"
                                 " ON CONFLICT(parent, folded) DO NOTHING");
    const StatementScope scope(query);
    query.addBindValue(parent);
    query.addBindValue(name);
    query.addBindValue(folded(name));
    if (!query.exec())
        return 0;
    // Another copy may have created the same key a moment ago; either way it exists now.
    return childKey(parent, name);
}

QString RegistryHive::keyName(qint64 key) const
{
    if (!m_open)
        return {};
    QSqlQuery& query = statement("SELECT name FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    if (query.exec() && query.next())
        return query.value(0).toString();
    return {};
}

QStringList RegistryHive::childKeyNames(qint64 key) const
{
    QStringList names;
    if (!m_open)
        return names;
    QSqlQuery& query = statement("SELECT name FROM keys WHERE parent = ? ORDER BY folded");
    const StatementScope scope(query);
    query.addBindValue(key);
    if (query.exec()) {
        while (query.next())
            names << query.value(0).toString();
    }
    return names;
}

bool RegistryHive::keyExists(qint64 key) const
{
    if (!m_open || key == 0)
        return false;
    QSqlQuery& query = statement("SELECT 1 FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    return query.exec() && query.next();
}

bool RegistryHive::deleteKey(qint64 key)
{
    if (!m_open || key <= LocalMachine) // the roots cannot be deleted
        return false;
    QSqlQuery& query = statement("DELETE FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    return query.exec() && query.numRowsAffected() > 0;
}

std::optional<RegistryHive::Value> RegistryHive::value(qint64 key, const QString& name) const
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery& query = statement("SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(folded(name));
    if (!query.exec() || !query.next())
        return std::nullopt;
    return Value{query.value(0).toString(), static_cast<ValueType>(query.value(1).toInt()),
                 query.value(2)};
}

std::optional<RegistryHive::Value> RegistryHive::value(qint64 key, const QString& name,
                                                       bool* keyExists) const
{
    *keyExists = false;
    if (!m_open)
        return std::nullopt;
    QSqlQuery& query = statement("SELECT v.name, v.type, v.data FROM keys k"
                                 " LEFT JOIN vals v ON v.key = k.id AND v.folded = ?"
                                 " WHERE k.id = ?");
    const StatementScope scope(query);
    query.addBindValue(folded(name));
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return std::nullopt;
    *keyExists = true;
    if (query.isNull(1))
        return std::nullopt;
    return Value{query.value(0).toString(), static_cast<ValueType>(query.value(1).toInt()),
                 query.value(2)};
}

QList<RegistryHive::Value> RegistryHive::values(qint64 key) const
{
    QList<Value> result;
    if (!m_open)
        return result;
    QSqlQuery& query = statement("SELECT name, type, data FROM vals WHERE key = ? ORDER BY seq");
    const StatementScope scope(query);
    query.addBindValue(key);
    if (query.exec()) {
        while (query.next())
            result.append(Value{query.value(0).toString(),
                                static_cast<ValueType>(query.value(1).toInt()), query.value(2)});
    }
    return result;
}

bool RegistryHive::setValue(qint64 key, const QString& name, ValueType type, const QVariant& data)
{
    if (!m_open)
        return false;
    // A value rewritten in place keeps its position; a new one goes after the others.
    QSqlQuery& query = statement(
        "INSERT INTO vals(key, name, folded, type, data, seq)"
        " VALUES(?, ?, ?, ?, ?, (SELECT IFNULL(MAX(seq), 0) + 1 FROM vals WHERE key = ?))"
        " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(nonNull(name));
    query.addBindValue(folded(name));
    query.addBindValue(static_cast<int>(type));
    query.addBindValue(type == ValueType::DWord ? QVariant(data.toLongLong())
                                                : QVariant(nonNull(data.toString())));
    query.addBindValue(key);
    return query.exec();
}

bool RegistryHive::deleteValue(qint64 key, const QString& name)
{
    if (!m_open)
        return false;
    QSqlQuery& query = statement("DELETE FROM vals WHERE key = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(folded(name));
    return query.exec() && query.numRowsAffected() > 0;
}

bool RegistryHive::beginTransaction()
{
    if (!m_open)
        return false;
    if (m_transactionDepth > 0) {
        ++m_transactionDepth;
        return true;
    }
    // IMMEDIATE takes the write lock at once (waiting for another copy's commit), so two
    // copies never deadlock upgrading a read into a write.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    m_transactionDepth = 1;
    m_rollbackOnly = false;
    return true;
}

bool RegistryHive::commitTransaction()
{
    if (m_transactionDepth == 0)
        return false;
    if (--m_transactionDepth > 0)
        return !m_rollbackOnly;
    if (!m_rollbackOnly && exec(QStringLiteral("COMMIT")))
        return true;
    exec(QStringLiteral("ROLLBACK"));
    return false;
}

void RegistryHive::rollbackTransaction()
{
    if (m_transactionDepth == 0)
        return;
    // An inner scope that fails spoils the whole unit of work, but the outer scopes still
    // run to their end inside the transaction: rolling back now would let their remaining
    // writes commit one by one.
    m_rollbackOnly = true;
    if (--m_transactionDepth == 0)
        exec(QStringLiteral("ROLLBACK"));
}
