#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <optional>
#include <unordered_map>

// A registry hive kept in one SQLite file: keys form a tree below three roots, each key
// holds typed values in the order they were first written. Names compare without regard
// to case. Every write commits at once; several processes may share the file.
//
// TRegistry is the interface the program uses; this class is the storage under it.
class RegistryHive final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegistryHive)

public:
    enum class ValueType
    {
        String = 1,
        ExpandString = 2,
        DWord = 4
    };

    struct Value
    {
        QString name;
        ValueType type = ValueType::String;
        QVariant data; // QString for the string types, qint64 (0..0xFFFFFFFF) for DWord
    };

    // Opens (or creates) the hive at `path`. A file that is not a usable database is moved
    // aside to a dated backup and a fresh hive is started; recoveredBackup() says where.
    explicit RegistryHive(const QString& path, QObject* parent = nullptr);
    ~RegistryHive() override;

    // The current user's hive, owned by the application object.
    static RegistryHive& userHive();

    QString path() const { return m_path; }
    bool isOpen() const { return m_open; }
    // Non-empty when the file was damaged at start and has been moved here.
    QString recoveredBackup() const { return m_recoveredBackup; }

    // Key ids. The roots have fixed ids; 0 means "no such key".
    static constexpr qint64 ClassesRoot = 1;
    static constexpr qint64 CurrentUser = 2;
    static constexpr qint64 LocalMachine = 3;

    qint64 childKey(qint64 parent, const QString& name) const;
    // Creates the child when missing; returns 0 when it cannot be created.
    qint64 createChildKey(qint64 parent, const QString& name);
    QString keyName(qint64 key) const;
    QStringList childKeyNames(qint64 key) const; // sorted without regard to case
    bool keyExists(qint64 key) const;
    bool deleteKey(qint64 key); // with everything below it

    std::optional<Value> value(qint64 key, const QString& name) const;
    // The same in one look-up that also tells whether the key itself still exists, so that
    // a missing value can be told from a key that another copy deleted.
    std::optional<Value> value(qint64 key, const QString& name, bool* keyExists) const;
    QList<Value> values(qint64 key) const; // in insertion order
    bool setValue(qint64 key, const QString& name, ValueType type, const QVariant& data);
    bool deleteValue(qint64 key, const QString& name);

    // Groups several writes into one atomic commit; nests. When an inner level rolls back,
    // the whole transaction is rolled back at the outermost level and its commit fails.
    bool beginTransaction();
    bool commitTransaction();
    void rollbackTransaction();

private:
    enum class OpenResult
    {
        Ok,
        Damaged,
        Failed
    };
    OpenResult openDatabase();
    bool createSchema(OpenResult* result);
    void moveAsideDamagedFile();
    bool exec(const QString& sql) const;
    QSqlQuery& statement(const char* sql) const;

    QString m_path;
    QString m_connection;
    QString m_recoveredBackup;
    bool m_open = false;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
    // Node-based: a statement handed out stays where it is while others are added, and
    // a query, which must not be copied, is only ever moved in.
    mutable std::unordered_map<const char*, QSqlQuery> m_statements;
};

// Commits on success, rolls back when left early (an exception, a return on failure).
class HiveTransaction final
{
    Q_DISABLE_COPY_MOVE(HiveTransaction)

public:
    explicit HiveTransaction(RegistryHive& hive)
        : m_hive(hive)
        , m_active(hive.beginTransaction())
    {}
    ~HiveTransaction()
    {
        if (m_active)
            m_hive.rollbackTransaction();
    }
    bool isActive() const { return m_active; }
    bool commit()
    {
        const bool ok = m_active && m_hive.commitTransaction();
        m_active = false;
        return ok;
    }

private:
    RegistryHive& m_hive;
    bool m_active;
};
