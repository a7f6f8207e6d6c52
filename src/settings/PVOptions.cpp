#include "settings/PVOptions.h"

#include "platform/Paths.h"

#include <QUrl>

#include <algorithm>

namespace {

const QString ProgramKey = QStringLiteral("\\Software\\Brenmoor\\Pelvane");
const QString CurrentVersionName = QStringLiteral("CurrentVersion");

// The rules by which a setting's stored text becomes its value and back. Every setting is
// stored as text; a missing value (std::nullopt) gives the default.

std::optional<int> parseInteger(const QString& text)
{
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    return ok ? std::optional<int>(number) : std::nullopt;
}

struct Number
{
    static int decode(const std::optional<QString>& text, int fallback)
    {
        return text ? parseInteger(*text).value_or(fallback) : fallback;
    }
    static QString encode(int value) { return QString::number(value); }
};

// A boolean reads as an integer whose default is 1 or 0; any non-zero number is true.
struct Flag
{
    static bool decode(const std::optional<QString>& text, bool fallback)
    {
        return Number::decode(text, fallback ? 1 : 0) != 0;
    }
    static QString encode(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
};

// A stored empty text is a value like any other.
struct Text
{
    static QString decode(const std::optional<QString>& text, const QString& fallback)
    {
        return text ? *text : fallback;
    }
    static QString encode(const QString& value) { return value; }
};

// "SorvelBarWidth": a panel that reports a negative width is stored at its default width.
struct Width
{
    static int decode(const std::optional<QString>& text, int fallback)
    {
        return Number::decode(text, fallback);
    }
    static QString encode(int value) { return Number::encode(value < 0 ? 234 : value); }
};

// "NewAction": one of three actions, whatever was stored or asked for.
struct Action
{
    static int clamp(int value) { return std::clamp(value, 0, 2); }
    static int decode(const std::optional<QString>& text, int fallback)
    {
        return clamp(Number::decode(text, fallback));
    }
    static QString encode(int value) { return Number::encode(clamp(value)); }
};

struct Completion
{
    static int decode(const std::optional<QString>& text, int fallback)
    {
        return text ? TPVOptions::CompletionStyleFromText(*text) : fallback;
    }
    static QString encode(int value) { return TPVOptions::CompletionStyleText(value); }
};

} // namespace

TPVOptions::TPVOptions(RegistryHive& hive)
    : m_hive(hive)
{
    TRegistry reg(m_hive);
    reg.openKey(ProgramKey, true);
}

#define PVOPTIONS_DEFINE(Type, Name, Default, Rule)                                                \
    Type TPVOptions::Defaults::Name()                                                              \
    {                                                                                              \
        return Default;                                                                            \
    }                                                                                              \
    Type TPVOptions::Get##Name() const                                                             \
    {                                                                                              \
        return Rule::decode(readText(QStringLiteral(#Name)), Defaults::Name());                    \
    }                                                                                              \
    void TPVOptions::Set##Name(Type value)                                                         \
    {                                                                                              \
        writeText(QStringLiteral(#Name), Rule::encode(value));                                     \
    }
PVOPTIONS_SCALARS(PVOPTIONS_DEFINE)
#undef PVOPTIONS_DEFINE

QString TPVOptions::DefaultSearchBar()
{
    return QUrl::fromLocalFile(Paths::sharedDataFolder() + QStringLiteral("/pages/searchbar.html"))
        .toString();
}

int TPVOptions::CompletionStyleFromText(const QString& text)
{
    if (text == QLatin1String("IE4"))
        return StyleIE4;
    if (text == QLatin1String("IE5"))
        return StyleIE5;
    return StyleNone;
}

QString TPVOptions::CompletionStyleText(int style)
{
    switch (style) {
    case StyleIE4:
        return QStringLiteral("IE4");
    case StyleIE5:
        return QStringLiteral("IE5");
    default:
        return QStringLiteral("none");
    }
}

QString TPVOptions::CurrentVersionKey()
{
    return ProgramKey + QLatin1Char('\\') + CurrentVersionName;
}

QStringList TPVOptions::BuildLastOpenSites(const QStringList& tabAddresses)
{
    QStringList lines;
    for (qsizetype i = tabAddresses.size() - 1; i >= 0; --i) {
        if (!tabAddresses.at(i).isEmpty())
            lines << QStringLiteral("url%1=%2").arg(i + 1).arg(tabAddresses.at(i));
    }
    return lines;
}

qint64 TPVOptions::currentVersion(bool create) const
{
    TRegistry reg(m_hive);
    m_currentVersion = 0;
    if (reg.openKey(CurrentVersionKey(), create)) // throws when it must create and cannot
        m_currentVersion = reg.keyId();
    return m_currentVersion;
}

TPVOptions::Held::Held(const TPVOptions& options)
    : m_options(options)
    , m_outermost(!options.m_held)
{
    // A reader that holds the settings itself may be called by one that already does.
    if (!m_outermost)
        return;
    QHash<QString, RegistryHive::Value> held;
    TRegistry reg(options.m_hive);
    options.m_currentVersion = 0;
    if (reg.openKeyReadOnly(CurrentVersionKey())) {
        options.m_currentVersion = reg.keyId();
        const QList<RegistryHive::Value> values = reg.values();
        for (const RegistryHive::Value& value : values)
            held.insert(value.name.toLower(), value);
    }
    options.m_held = std::move(held);
}

TPVOptions::Held::~Held()
{
    if (m_outermost)
        m_options.m_held.reset();
}

std::optional<RegistryHive::Value> TPVOptions::storedValue(const QString& name) const
{
    if (m_held) {
        const auto found = m_held->constFind(name.toLower());
        return found != m_held->cend() ? std::optional(*found) : std::nullopt;
    }
    bool keyExists = false;
    std::optional<RegistryHive::Value> value;
    if (m_currentVersion != 0)
        value = m_hive.value(m_currentVersion, name, &keyExists);
    if (!keyExists) {
        // Not known yet, or deleted by another copy since: the look-up that finds the key
        // brings its values along.
        TRegistry reg(m_hive);
        m_currentVersion = reg.openKeyReadOnly(CurrentVersionKey()) ? reg.keyId() : 0;
        value = reg.value(name);
    }
    return value;
}

bool TPVOptions::IsStored(const QString& name) const
{
    return storedValue(name).has_value();
}

std::optional<QString> TPVOptions::readText(const QString& name) const
{
    const std::optional<RegistryHive::Value> value = storedValue(name);
    if (!value)
        return std::nullopt;
    if (value->type != RegistryHive::ValueType::String &&
        value->type != RegistryHive::ValueType::ExpandString) {
        // A value deployed with another type (a dword, say) must not stop the program: its
        // default stands in, and the user is told which value was passed over.
        m_hive.noteIgnoredValue(CurrentVersionKey(), name);
        return std::nullopt;
    }
    return value->data.toString();
}

void TPVOptions::writeText(const QString& name, const QString& text)
{
    const auto type = RegistryHive::ValueType::String;
    if (m_held)
        m_held->insert(name.toLower(), RegistryHive::Value{name, type, text});
    if (m_currentVersion != 0 && m_hive.setValue(m_currentVersion, name, type, text))
        return;
    // Not known yet, or deleted by another copy since: find or make it, and try again.
    if (!m_hive.setValue(currentVersion(true), name, type, text))
        throw RegistryError::failedToSetData(name);
}

QStringList TPVOptions::readList(const QString& subKey) const
{
    TRegistry reg(m_hive);
    QStringList lines;
    if (!reg.openKey(CurrentVersionKey() + QLatin1Char('\\') + subKey, false))
        return lines;
    const QList<RegistryHive::Value> values = reg.values();
    for (const RegistryHive::Value& value : values) {
        if (value.type != RegistryHive::ValueType::String &&
            value.type != RegistryHive::ValueType::ExpandString) {
            m_hive.noteIgnoredValue(CurrentVersionKey() + QLatin1Char('\\') + subKey, value.name);
            continue;
        }
        // Each name is there once, so every value adds its own line; a name that holds
        // "=" must not replace the line of another value.
        const QString text = value.data.toString();
        if (!text.isEmpty())
            lines << value.name + QLatin1Char('=') + text;
    }
    return lines;
}

void TPVOptions::writeList(const QString& subKey, const QStringList& lines)
{
    const QString path = CurrentVersionKey() + QLatin1Char('\\') + subKey;
    HiveTransaction transaction(m_hive);
    if (!transaction.isActive())
        throw RegistryError::failedToCreateKey(subKey);
    TRegistry reg(m_hive);
    reg.deleteKey(path);
    for (const QString& line : lines) {
        const qsizetype split = line.indexOf(QLatin1Char('='));
        if (split < 0)
            continue;
        if (!reg.hasOpenKey())
            reg.openKey(path, true);
        reg.writeString(line.left(split), line.mid(split + 1));
    }
    if (!transaction.commit())
        throw RegistryError::failedToSetData(subKey);
}

QStringList TPVOptions::GetLastOpenSites() const
{
    return readList(QStringLiteral("Last Open Sites"));
}

void TPVOptions::SetLastOpenSites(const QStringList& lines)
{
    writeList(QStringLiteral("Last Open Sites"), lines);
}

QStringList TPVOptions::GetPopupSorvelList() const
{
    return readList(QStringLiteral("PopupSorvel"));
}

void TPVOptions::SetPopupSorvelList(const QStringList& lines)
{
    writeList(QStringLiteral("PopupSorvel"), lines);
}

QStringList TPVOptions::GetSearchEngines() const
{
    return readList(QStringLiteral("Search Engines"));
}

void TPVOptions::SetSearchEngines(const QStringList& lines)
{
    writeList(QStringLiteral("Search Engines"), lines);
}

QStringList TPVOptions::GetSearchBarList() const
{
    return readList(QStringLiteral("Search Bar"));
}

void TPVOptions::SetSearchBarList(const QStringList& lines)
{
    writeList(QStringLiteral("Search Bar"), lines);
}
