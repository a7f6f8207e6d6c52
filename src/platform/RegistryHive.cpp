#include "platform/RegistryHive.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QSqlQuery>

namespace {

// SQLite keeps a null text as NULL; the default value's name is the empty text, not NULL.
QString nonNull(const QString& text)
{
    return text.isNull() ? QString::fromLatin1("", 0) : text;
}

// A line break or a NUL in a name would split the name's line in an exported file, and
// the rest would be read back as lines of their own.
bool isWritableName(const QString& name)
{
    return !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QChar(u'\0'));
}

QString folded(const QString& name)
{
    return nonNull(name.toCaseFolded());
}

// PRAGMA user_version of a hive with every table. Version 1 holds every value type: the
// data column has no declared type, so texts, numbers and bytes keep their own.
constexpr int SchemaVersion = 1;

bool createTables(SqliteDatabase& db, int found)
{
    Q_UNUSED(found); // version 1 is the first: a new file
    static const char* const schema[] = {
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
    };
    for (const char* sql : schema) {
        if (!db.exec(QLatin1String(sql)))
            return false;
    }
    return true;
}

const SqliteDatabase::Schema& hiveSchema()
{
    static const SqliteDatabase::Schema schema{
        SchemaVersion,
        createTables,
        // NORMAL sync keeps every commit across a killed process (the operating system
        // still holds the log).
        {QStringLiteral("PRAGMA synchronous=NORMAL"), QStringLiteral("PRAGMA foreign_keys=ON")},
        true, // a hive is small, and its settings must not be trusted half-read
    };
    return schema;
}

// The column keeps what the type says: a text, a number or bytes.
QVariant storedData(RegistryHive::ValueType type, const QVariant& data)
{
    if (type == RegistryHive::ValueType::DWord)
        return QVariant(data.toLongLong());
    if (RegistryHive::holdsText(type))
        return QVariant(nonNull(data.toString()));
    const QByteArray bytes = data.toByteArray();
    // An empty QByteArray would go in as NULL; an empty value is an empty blob.
    return bytes.isNull() ? QVariant(QByteArray("", 0)) : QVariant(bytes);
}

// A value from the columns name, type, data, starting at `first`.
RegistryHive::Value valueFrom(const QSqlQuery& query, int first = 0)
{
    const auto type = static_cast<RegistryHive::ValueType>(query.value(first + 1).toUInt());
    QVariant data = query.value(first + 2);
    if (RegistryHive::holdsBytes(type))
        data = QVariant(data.toByteArray());
    return RegistryHive::Value{query.value(first).toString(), type, data};
}

// A path as the key walk below takes it: each name folded and followed by a backslash,
// which no key name holds.
QString walkPath(const QStringList& path)
{
    QString walk;
    for (const QString& name : path)
        walk += folded(name) + QLatin1Char('\\');
    return nonNull(walk);
}

// Walks from the key bound first down the folded names of the path bound second, one name
// per step; the row whose rest is empty is the key the path names.
#define HIVE_KEY_WALK                                                                              \
    "WITH RECURSIVE walk(id, rest) AS ("                                                           \
    " SELECT ?, ?"                                                                                 \
    " UNION ALL"                                                                                   \
    " SELECT k.id, substr(w.rest, instr(w.rest, '\\') + 1) FROM walk w"                            \
    " JOIN keys k ON k.parent = w.id AND k.folded = substr(w.rest, 1, instr(w.rest, '\\') - 1)"    \
    " WHERE w.rest <> '')"

} // namespace

RegistryHive::RegistryHive(const QString& path, QObject* parent)
    : QObject(parent)
    , m_path(path)
    , m_db(path, QStringLiteral("hive"))
{
    m_db.open(SqliteDatabase::Access::ReadWrite, hiveSchema());
}

RegistryHive::~RegistryHive() = default;

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

qint64 RegistryHive::childKey(qint64 parent, const QString& name) const
{
    if (!m_db.isOpen())
        return 0;
    QSqlQuery& query = m_db.statement("SELECT id FROM keys WHERE parent = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(parent);
    query.addBindValue(folded(name));
    if (query.exec() && query.next())
        return query.value(0).toLongLong();
    return 0;
}

qint64 RegistryHive::keyAt(qint64 start, const QStringList& path) const
{
    if (!m_db.isOpen())
        return 0;
    QSqlQuery& query = m_db.statement(HIVE_KEY_WALK " SELECT id FROM walk WHERE rest = ''");
    const StatementScope scope(query);
    query.addBindValue(start);
    query.addBindValue(walkPath(path));
    if (query.exec() && query.next())
        return query.value(0).toLongLong();
    return 0;
}

RegistryHive::KeyValues RegistryHive::keyWithValues(qint64 start, const QStringList& path,
                                                    qsizetype limit) const
{
    KeyValues found;
    if (!m_db.isOpen())
        return found;
    // A key without values still gives its row, with the value's columns NULL.
    QSqlQuery& query =
        m_db.statement(HIVE_KEY_WALK " SELECT w.id, v.name, v.type, v.data FROM walk w"
                                     " LEFT JOIN vals v ON v.key = w.id"
                                     " WHERE w.rest = '' ORDER BY v.seq LIMIT ?");
    const StatementScope scope(query);
    query.addBindValue(start);
    query.addBindValue(walkPath(path));
    query.addBindValue(static_cast<qint64>(limit) + 1); // one more tells that some were left
    if (!query.exec())
        return found;
    while (query.next()) {
        found.key = query.value(0).toLongLong();
        if (query.isNull(1))
            break;
        if (found.values.size() == limit) {
            found.complete = false;
            break;
        }
        found.values.append(valueFrom(query, 1));
    }
    return found;
}

qint64 RegistryHive::createChildKey(qint64 parent, const QString& name)
{
    // A key's path is written in brackets and read back trimmed, so a name with blanks at
    // its ends would come back as another key.
    if (!m_db.isOpen() || name.isEmpty() || !isWritableName(name) ||
        name.contains(QLatin1Char('\\')) || name.trimmed() != name)
        return 0;
    if (const qint64 existing = childKey(parent, name))
        return existing;
    QSqlQuery& query = m_db.statement("INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)"
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
    if (!m_db.isOpen())
        return {};
    QSqlQuery& query = m_db.statement("SELECT name FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    if (query.exec() && query.next())
        return query.value(0).toString();
    return {};
}

QStringList RegistryHive::childKeyNames(qint64 key) const
{
    QStringList names;
    if (!m_db.isOpen())
        return names;
    QSqlQuery& query = m_db.statement("SELECT name FROM keys WHERE parent = ? ORDER BY folded");
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
    if (!m_db.isOpen() || key == 0)
        return false;
    QSqlQuery& query = m_db.statement("SELECT 1 FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    return query.exec() && query.next();
}

bool RegistryHive::deleteKey(qint64 key)
{
    if (!m_db.isOpen() || key <= LocalMachine) // the roots cannot be deleted
        return false;
    ++m_changes;
    QSqlQuery& query = m_db.statement("DELETE FROM keys WHERE id = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    return query.exec() && query.numRowsAffected() > 0;
}

std::optional<RegistryHive::Value> RegistryHive::value(qint64 key, const QString& name) const
{
    if (!m_db.isOpen())
        return std::nullopt;
    QSqlQuery& query =
        m_db.statement("SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(folded(name));
    if (!query.exec() || !query.next())
        return std::nullopt;
    return valueFrom(query);
}

std::optional<RegistryHive::Value> RegistryHive::value(qint64 key, const QString& name,
                                                       bool* keyExists) const
{
    *keyExists = false;
    if (!m_db.isOpen())
        return std::nullopt;
    QSqlQuery& query = m_db.statement("SELECT v.name, v.type, v.data FROM keys k"
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
    return valueFrom(query);
}

QList<RegistryHive::Value> RegistryHive::values(qint64 key) const
{
    QList<Value> result;
    if (!m_db.isOpen())
        return result;
    QSqlQuery& query =
        m_db.statement("SELECT name, type, data FROM vals WHERE key = ? ORDER BY seq");
    const StatementScope scope(query);
    query.addBindValue(key);
    if (query.exec()) {
        while (query.next())
            result.append(valueFrom(query));
    }
    return result;
}

bool RegistryHive::setValue(qint64 key, const QString& name, ValueType type, const QVariant& data)
{
    if (!m_db.isOpen() || !isWritableName(name))
        return false;
    ++m_changes;
    // A value rewritten in place keeps its position; a new one goes after the others.
    QSqlQuery& query = m_db.statement(
        "INSERT INTO vals(key, name, folded, type, data, seq)"
        " VALUES(?, ?, ?, ?, ?, (SELECT IFNULL(MAX(seq), 0) + 1 FROM vals WHERE key = ?))"
        " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(nonNull(name));
    query.addBindValue(folded(name));
    query.addBindValue(static_cast<qint64>(type));
    query.addBindValue(storedData(type, data));
    query.addBindValue(key);
    return query.exec();
}

bool RegistryHive::deleteValue(qint64 key, const QString& name)
{
    if (!m_db.isOpen())
        return false;
    ++m_changes;
    QSqlQuery& query = m_db.statement("DELETE FROM vals WHERE key = ? AND folded = ?");
    const StatementScope scope(query);
    query.addBindValue(key);
    query.addBindValue(folded(name));
    return query.exec() && query.numRowsAffected() > 0;
}

bool RegistryHive::beginTransaction()
{
    if (!m_db.isOpen())
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
    ++m_changes;
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
    if (--m_transactionDepth == 0) {
        ++m_changes;
        exec(QStringLiteral("ROLLBACK"));
    }
}

void RegistryHive::noteIgnoredValue(const QString& key, const QString& name)
{
    const QString full = key + QLatin1Char('\\') + name;
    if (!m_ignoredValues.contains(full, Qt::CaseInsensitive))
        m_ignoredValues << full;
}

QStringList RegistryHive::takeIgnoredValues()
{
    return std::exchange(m_ignoredValues, {});
}
