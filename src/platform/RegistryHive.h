#pragma once

#include "platform/SqliteDatabase.h"

#include <QObject>
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
    // The registry's value types, by their numbers. A value of a type without a name here
    // is kept with its number.
    enum class ValueType : quint32
    {
        None = 0,
        String = 1,
        ExpandString = 2,
        Binary = 3,
        DWord = 4,
        DWordBigEndian = 5,
        Link = 6,
        MultiString = 7,
        ResourceList = 8,
        FullResourceDescriptor = 9,
        ResourceRequirementsList = 10,
        QWord = 11
    };

    // A value's data, as data holds it:
    //  - String, ExpandString: QString;
    //  - DWord: qint64 in 0..0xFFFFFFFF;
    //  - every other type: QByteArray, the bytes as the registry keeps them (a multi-string
    //    as UTF-16LE texts each ended by a zero, then one more zero; a QWord as 8 bytes,
    //    least significant first).
    struct Value
    {
        QString name;
        ValueType type = ValueType::String;
        QVariant data;
    };
    static bool holdsText(ValueType type)
    {
        return type == ValueType::String || type == ValueType::ExpandString;
    }
    static bool holdsBytes(ValueType type) { return !holdsText(type) && type != ValueType::DWord; }

    // Opens (or creates) the hive at `path`. A file that SQLite finds damaged is moved aside
    // to a dated backup and a fresh hive is started; recoveredBackup() says where. A hive
    // that cannot be opened for another reason (a newer program's, locked, on a read-only
    // or full disk) is left alone; the hive is then not open and errorText() says why.
    explicit RegistryHive(const QString& path, QObject* parent = nullptr);
    ~RegistryHive() override;

    // The current user's hive, owned by the application object.
    static RegistryHive& userHive();

    QString path() const { return m_path; }
    bool isOpen() const { return m_db.isOpen(); }
    // Why the hive is not open; empty when it is.
    QString errorText() const { return m_db.errorText(); }
    // Non-empty when the file was damaged at start and has been moved here.
    QString recoveredBackup() const { return m_db.recoveredBackup(); }
    // How many statements this hive has run on its file so far; a reader's cost is the
    // difference before and after it.
    quint64 queryCount() const { return m_db.statementCount(); }

    // Values a reader passed over because they were stored with a type it cannot use (the
    // default took their place): "<key>\\<name>", each once, for the user to be told.
    void noteIgnoredValue(const QString& key, const QString& name);
    QStringList takeIgnoredValues();

    // Key ids. The roots have fixed ids; 0 means "no such key".
    static constexpr qint64 ClassesRoot = 1;
    static constexpr qint64 CurrentUser = 2;
    static constexpr qint64 LocalMachine = 3;

    qint64 childKey(qint64 parent, const QString& name) const;
    // The key at `path` (names, compared without regard to case) below `start`, in one
    // look-up whatever its depth; 0 when a part is missing. An empty path is `start`.
    qint64 keyAt(qint64 start, const QStringList& path) const;
    // The same look-up, reading the key's values with it (in insertion order), at most
    // `limit` of them; `complete` says whether that was all. Key 0: no such key.
    struct KeyValues
    {
        qint64 key = 0;
        QList<Value> values;
        bool complete = true;
    };
    KeyValues keyWithValues(qint64 start, const QStringList& path, qsizetype limit) const;
    // Creates the child when missing; returns 0 when it cannot be created. Names with a
    // backslash, a line break or a NUL are refused (a value's name too, by setValue), and
    // key names with blanks at either end.
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
    // Goes up with every change made through this hive, and with every rollback, so that a
    // copy of what a key held can tell that it may be out of date. Changes that another
    // connection (another running copy) makes are not counted.
    quint64 changeCount() const { return m_changes; }

    // Groups several writes into one atomic commit; nests. When an inner level rolls back,
    // the whole transaction is rolled back at the outermost level and its commit fails.
    bool beginTransaction();
    bool commitTransaction();
    void rollbackTransaction();

private:
    bool exec(const QString& sql) const { return m_db.exec(sql); }

    QString m_path;
    QStringList m_ignoredValues;
    SqliteDatabase m_db;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
    quint64 m_changes = 0;
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
