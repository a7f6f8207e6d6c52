#pragma once

#include "platform/RegistryHive.h"

#include <QHash>
#include <QStringList>

#include <optional>
#include <stdexcept>

// Raised for failures the registry cannot hide: a key that cannot be created, a value that
// cannot be stored, a value of the wrong type. The message is the text shown to the user.
class RegistryError : public std::runtime_error
{
public:
    explicit RegistryError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {}
    QString message() const { return m_message; }

    // The registry's own texts, shared by everything that reports these failures.
    static RegistryError failedToCreateKey(const QString& key)
    {
        return RegistryError(QStringLiteral("Failed to create key %1").arg(key));
    }
    static RegistryError failedToSetData(const QString& name)
    {
        return RegistryError(QStringLiteral("Failed to set data for '%1'").arg(name));
    }
    static RegistryError invalidDataType(const QString& name)
    {
        return RegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
    }

private:
    QString m_message;
};

// The program's handle on the registry: a root, and at most one open key at a time.
// Key paths are separated by backslashes; a path that starts with a backslash is taken
// from the root, any other from the open key (or the root when no key is open).
//
// Opening a key is one look-up of the hive, whatever the depth of its path, and it brings
// the key's values along: the reads of the open key are answered from that copy, so that
// a reader of many values (the settings at start-up) costs one look-up, not one a value.
// The copy lives while the key stays open in this handle. Every change made through the
// same hive (this handle, another one, a rolled-back transaction) is seen by the next read;
// what another running copy writes is seen from the next openKey.
class TRegistry final
{
public:
    enum RootKey
    {
        HKEY_CLASSES_ROOT,
        HKEY_CURRENT_USER,
        HKEY_LOCAL_MACHINE
    };
    using DataType = RegistryHive::ValueType;

    explicit TRegistry(RegistryHive& hive);
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    RegistryHive& hive() const { return m_hive; }

    RootKey rootKey() const { return m_root; }
    void setRootKey(RootKey root); // closes the open key
    static QString rootName(RootKey root);
    static bool rootFromName(const QString& name, RootKey* root); // also the HKCU style

    // Opens the key; with canCreate, creates every missing part of the path first.
    // Throws "Failed to create key %s" when it must create and cannot.
    bool openKey(const QString& key, bool canCreate);
    bool openKeyReadOnly(const QString& key) { return openKey(key, false); }
    void closeKey();
    bool hasOpenKey() const { return m_key != 0; }
    QString currentPath() const { return m_path; } // without the root, no leading backslash
    qint64 keyId() const { return m_key; }         // the hive's id of the open key, or 0

    bool keyExists(const QString& key) const;
    bool deleteKey(const QString& key);
    QStringList keyNames() const; // sub-keys of the open key
    bool hasSubKeys() const { return !keyNames().isEmpty(); }

    bool valueExists(const QString& name) const;
    // One value of the open key, or nothing when it or the open key is missing.
    std::optional<RegistryHive::Value> value(const QString& name) const;
    QList<RegistryHive::Value> values() const; // in the order they were first written
    bool deleteValue(const QString& name);
    QStringList valueNames() const; // in the order the values were first written
    // The type of a value, or false when it does not exist.
    bool dataType(const QString& name, DataType* type) const;

    // A missing value reads as empty; a value that is not a string throws
    // "Invalid data type for '%s'".
    QString readString(const QString& name) const;
    // Throws "Invalid data type for '%s'" for a value that is not a DWORD and
    // "Failed to get data for '%s'" for a missing one.
    int readInteger(const QString& name) const;
    bool readBool(const QString& name) const { return readInteger(name) != 0; }

    // Each throws "Failed to set data for '%s'" when the value cannot be stored.
    void writeString(const QString& name, const QString& value);
    void writeExpandString(const QString& name, const QString& value);
    void writeInteger(const QString& name, int value);
    void writeBool(const QString& name, bool value) { writeInteger(name, value ? 1 : 0); }

    // A key with more values, or more data, than this is read a value at a time: the
    // copy is for settings, not for whatever a hand-edited hive may hold.
    static constexpr qsizetype MaxCopiedValues = 1000;
    static constexpr qsizetype MaxCopiedBytes = 1024 * 1024;

private:
    // Where a key path leads: the key it starts from, its names, and the whole path.
    struct Target
    {
        qint64 start = 0;
        QStringList names;
        QString path;
    };
    // The open key's values as a look-up found them, by folded name.
    struct Copy
    {
        quint64 changes = 0; // the hive's change count when it was read
        bool usable = false; // false: too large to keep, read a value at a time
        QList<RegistryHive::Value> values;
        QHash<QString, qsizetype> byName;
    };

    Target target(const QString& key) const;
    qint64 create(const Target& target, const QString& key) const;
    qint64 resolve(const QString& key, QString* fullPath) const;
    qint64 rootId() const;
    void keep(RegistryHive::KeyValues found) const;
    const Copy* copy() const; // null when the open key's values are not kept
    void write(const QString& name, DataType type, const QVariant& data);

    RegistryHive& m_hive;
    RootKey m_root = HKEY_CURRENT_USER;
    qint64 m_key = 0;
    QString m_path;
    mutable std::optional<Copy> m_copy;
};
