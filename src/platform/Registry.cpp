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

TRegistry::Target TRegistry::target(const QString& key) const
{
    const bool absolute = key.startsWith(QLatin1Char('\\')) || m_key == 0;
    Target t;
    t.path = absolute ? joinPath(QString(), key) : joinPath(m_path, key);
    t.start = absolute ? rootId() : m_key;
    t.names = pathParts(absolute ? t.path : key);
    return t;
}

qint64 TRegistry::create(const Target& target, const QString& key) const
{
    // Creating a path is one unit: another copy never sees half of it.
    HiveTransaction transaction(m_hive);
    if (!transaction.isActive())
        throw RegistryError::failedToCreateKey(key);
    qint64 id = target.start;
    for (const QString& name : target.names) {
        id = m_hive.createChildKey(id, name);
        if (id == 0)
            break;
    }
    if (id == 0 || !transaction.commit())
        throw RegistryError::failedToCreateKey(key);
    return id;
}

qint64 TRegistry::resolve(const QString& key, QString* fullPath) const
{
    const Target t = target(key);
    const qint64 id = m_hive.keyAt(t.start, t.names);
    if (id != 0 && fullPath)
        *fullPath = t.path;
    return id;
}

bool TRegistry::openKey(const QString& key, bool canCreate)
{
    m_copy.reset();
    const Target t = target(key);
    RegistryHive::KeyValues found = m_hive.keyWithValues(t.start, t.names, MaxCopiedValues);
    qint64 id = found.key;
    if (id == 0 && canCreate)
        id = create(t, key); // its values, if another copy made it first, are read when asked
    if (id == 0)
        return false;
    m_key = id;
    m_path = t.path;
    if (found.key != 0)
        keep(std::move(found));
    return true;
}

void TRegistry::closeKey()
{
    m_copy.reset();
    m_key = 0;
    m_path.clear();
}

void TRegistry::keep(RegistryHive::KeyValues found) const
{
    Copy c;
    c.changes = m_hive.changeCount();
    qsizetype bytes = 0;
    for (const RegistryHive::Value& value : std::as_const(found.values)) {
        bytes += value.name.size() * 2 +
                 (RegistryHive::holdsText(value.type)    ? value.data.toString().size() * 2
                  : RegistryHive::holdsBytes(value.type) ? value.data.toByteArray().size()
                                                         : 8);
    }
    c.usable = found.complete && bytes <= MaxCopiedBytes;
    if (c.usable) {
        c.values = std::move(found.values);
        for (qsizetype i = 0; i < c.values.size(); ++i)
            c.byName.insert(c.values.at(i).name.toCaseFolded(), i);
    }
    m_copy = std::move(c);
}

const TRegistry::Copy* TRegistry::copy() const
{
    if (m_key == 0)
        return nullptr;
    // Read again after any change through the hive: a write, a delete, a rollback.
    if (!m_copy || m_copy->changes != m_hive.changeCount())
        keep(m_hive.keyWithValues(m_key, {}, MaxCopiedValues));
    return m_copy->usable ? &*m_copy : nullptr;
}

bool TRegistry::keyExists(const QString& key) const
{
    return resolve(key, nullptr) != 0;
}

bool TRegistry::deleteKey(const QString& key)
{
    QString path;
    const qint64 id = resolve(key, &path);
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

std::optional<RegistryHive::Value> TRegistry::value(const QString& name) const
{
    if (m_key == 0)
        return std::nullopt;
    const Copy* c = copy();
    if (!c)
        return m_hive.value(m_key, name);
    const auto found = c->byName.constFind(name.toCaseFolded());
    if (found == c->byName.cend())
        return std::nullopt;
    return c->values.at(*found);
}

QList<RegistryHive::Value> TRegistry::values() const
{
    if (m_key == 0)
        return {};
    const Copy* c = copy();
    return c ? c->values : m_hive.values(m_key);
}

bool TRegistry::valueExists(const QString& name) const
{
    return value(name).has_value();
}

bool TRegistry::deleteValue(const QString& name)
{
    return m_key != 0 && m_hive.deleteValue(m_key, name);
}

QStringList TRegistry::valueNames() const
{
    QStringList names;
    const QList<RegistryHive::Value> all = values();
    names.reserve(all.size());
    for (const auto& value : all)
        names << value.name;
    return names;
}

bool TRegistry::dataType(const QString& name, DataType* type) const
{
    const auto found = value(name);
    if (!found)
        return false;
    *type = found->type;
    return true;
}

QString TRegistry::readString(const QString& name) const
{
    const auto found = value(name);
    if (!found)
        return {};
    if (found->type != DataType::String && found->type != DataType::ExpandString)
        throw RegistryError::invalidDataType(name);
    return found->data.toString();
}

int TRegistry::readInteger(const QString& name) const
{
    const auto found = value(name);
    if (!found)
        throw RegistryError(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (found->type != DataType::DWord)
        throw RegistryError::invalidDataType(name);
    return static_cast<int>(static_cast<quint32>(found->data.toLongLong()));
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
