#include "platform/Registry.h"

namespace {

QStringList pathParts(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString joinPath(const QString& base, const QString& relative)
{
    const QStringList parts = pathParts(base) + pathParts(relative);
    return parts.join(QLatin1Char('\\'));
}

} // namespace

TRegistry::TRegistry(RegistryHive& hive)
    : m_hive(hive)
{}

void TRegistry::setRootKey(RootKey root)
{
    closeKey();
    m_root = root;
}

QString TRegistry::rootName(RootKey root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    }
    return {};
}

bool TRegistry::rootFromName(const QString& name, RootKey* root)
{
    static const struct
    {
        const char* longName;
        const char* shortName;
        RootKey root;
    } roots[] = {{"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
                 {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
                 {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE}};
    for (const auto& r : roots) {
        if (name.compare(QLatin1String(r.longName), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(r.shortName), Qt::CaseInsensitive) == 0) {
            *root = r.root;
            return true;
        }
    }
    return false;
}

qint64 TRegistry::rootId() const
{
    switch (m_root) {
    case HKEY_CLASSES_ROOT:
        return RegistryHive::ClassesRoot;
    case HKEY_CURRENT_USER:
        return RegistryHive::CurrentUser;
    case HKEY_LOCAL_MACHINE:
        return RegistryHive::LocalMachine;
    }
    return 0;
}

qint64 TRegistry::resolve(const QString& key, bool canCreate, QString* fullPath) const
{
    const bool absolute = key.startsWith(QLatin1Char('\\')) || m_key == 0;
    const QString path = absolute ? joinPath(QString(), key) : joinPath(m_path, key);
    const qint64 start = absolute ? rootId() : m_key;
    const QStringList parts = pathParts(absolute ? path : key);
    qint64 id = start;
    for (const QString& part : parts) {
        id = m_hive.childKey(id, part);
        if (id == 0)
            break;
    }
    if (id == 0 && canCreate) {
        id = start;
        // Creating a path is one unit: another copy never sees half of it.
        HiveTransaction transaction(m_hive);
        if (!transaction.isActive())
            throw RegistryError::failedToCreateKey(key);
        for (const QString& part : parts) {
            id = m_hive.createChildKey(id, part);
            if (id == 0)
                break;
        }
        if (id == 0 || !transaction.commit())
            throw RegistryError::failedToCreateKey(key);
    }
    if (id == 0)
        return 0;
    if (fullPath)
        *fullPath = path;
    return id;
}

bool TRegistry::openKey(const QString& key, bool canCreate)
{
    QString path;
    const qint64 id = resolve(key, canCreate, &path);
    if (id == 0)
        return false;
    m_key = id;
    m_path = path;
    return true;
}

void TRegistry::closeKey()
{
    m_key = 0;
    m_path.clear();
}

bool TRegistry::keyExists(const QString& key) const
{
    return resolve(key, false, nullptr) != 0;
}

bool TRegistry::deleteKey(const QString& key)
{
    QString path;
    const qint64 id = resolve(key, false, &path);
    if (id == 0)
        return false;
    if (id == m_key ||
        (m_key != 0 &&
         (m_path + QLatin1Char('\\')).startsWith(path + QLatin1Char('\\'), Qt::CaseInsensitive)))
        closeKey();
    return m_hive.deleteKey(id);
}

QStringList TRegistry::keyNames() const
{
    return m_hive.childKeyNames(m_key != 0 ? m_key : rootId());
}

bool TRegistry::valueExists(const QString& name) const
{
    return m_key != 0 && m_hive.value(m_key, name).has_value();
}

bool TRegistry::deleteValue(const QString& name)
{
    return m_key != 0 && m_hive.deleteValue(m_key, name);
}

QStringList TRegistry::valueNames() const
{
    QStringList names;
    if (m_key == 0)
        return names;
    const auto values = m_hive.values(m_key);
    names.reserve(values.size());
    for (const auto& value : values)
        names << value.name;
    return names;
}

bool TRegistry::dataType(const QString& name, DataType* type) const
{
    const auto value = m_key != 0 ? m_hive.value(m_key, name) : std::nullopt;
    if (!value)
        return false;
    *type = value->type;
    return true;
}

QString TRegistry::readString(const QString& name) const
{
    const auto value = m_key != 0 ? m_hive.value(m_key, name) : std::nullopt;
    if (!value)
        return {};
    if (value->type != DataType::String && value->type != DataType::ExpandString)
        throw RegistryError::invalidDataType(name);
    return value->data.toString();
}

int TRegistry::readInteger(const QString& name) const
{
    const auto value = m_key != 0 ? m_hive.value(m_key, name) : std::nullopt;
    if (!value)
        throw RegistryError(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (value->type != DataType::DWord)
        throw RegistryError::invalidDataType(name);
    return static_cast<int>(static_cast<quint32>(value->data.toLongLong()));
}

void TRegistry::write(const QString& name, DataType type, const QVariant& data)
{
    if (m_key == 0 || !m_hive.setValue(m_key, name, type, data))
        throw RegistryError::failedToSetData(name);
}

void TRegistry::writeString(const QString& name, const QString& value)
{
    write(name, DataType::String, value);
}

void TRegistry::writeExpandString(const QString& name, const QString& value)
{
    write(name, DataType::ExpandString, value);
}

void TRegistry::writeInteger(const QString& name, int value)
{
    write(name, DataType::DWord, static_cast<qint64>(static_cast<quint32>(value)));
}
