#include "platform/RegFile.h"

#include "platform/Registry.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace RegFile {

namespace {

using ValueType = RegistryHive::ValueType;

const QLatin1String Header4("REGEDIT4");
const QLatin1String Header5("Windows Registry Editor Version 5.00");

// regedit breaks a hex line once it reaches this many characters, and goes on after a
// backslash on a line indented by two blanks: no line is longer than 80 characters.
constexpr int HexLineLimit = 77;

// The most bytes one value may hold; larger data in a file is refused, not stored.
constexpr qsizetype MaxValueBytes = 1024 * 1024;

// ---- decoding ----------------------------------------------------------------------------

// Files come from this program (UTF-8), from regedit 4 (the ANSI code page, read here as
// Latin-1 when the bytes are not UTF-8) or from regedit 5 (UTF-16 with a byte order mark).
QString decodeFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2));
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(body);
    return utf8.hasError() ? QString::fromLatin1(body) : text;
}

QString decodeAnsi(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QByteArray utf16Bytes(const QString& text)
{
    return QStringEncoder(QStringConverter::Utf16LE)(text);
}

// ---- parsing -----------------------------------------------------------------------------

struct LineError
{
    QString message;
};

class Parser final
{
public:
    explicit Parser(const QString& text)
        : m_lines(text.split(QLatin1Char('\n')))
    {
        if (text.endsWith(QLatin1Char('\n')))
            m_lines.removeLast(); // the end of the last line, not a line of its own
        for (QString& line : m_lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
    }

    ParseResult run()
    {
        ParseResult result;
        try {
            readHeader();
            while (m_index < m_lines.size()) {
                const QString text = m_lines.at(m_index++).trimmed();
                m_line = static_cast<int>(m_index); // 1-based number of the line taken
                if (text.isEmpty() || text.startsWith(QLatin1Char(';')))
                    continue;
                if (text.startsWith(QLatin1Char('[')))
                    readKey(text, &result.changes);
                else if (text.startsWith(QLatin1Char('"')) || text.startsWith(QLatin1Char('@')))
                    readValue(text, &result.changes);
                else
                    throw LineError{QStringLiteral("this line is neither a [key] nor a value")};
            }
        } catch (const LineError& e) {
            result.changes.clear();
            result.error = Error{m_line, e.message};
        }
        return result;
    }

private:
    void readHeader()
    {
        while (m_index < m_lines.size()) {
            const QString text = m_lines.at(m_index++).trimmed();
            m_line = static_cast<int>(m_index);
            if (text.isEmpty())
                continue;
            if (text == Header4)
                return;
            if (text == Header5) {
                m_wideText = true;
                return;
            }
            break;
        }
        throw LineError{QStringLiteral("the file does not start with REGEDIT4")};
    }

    void readKey(const QString& text, QList<Change>* changes)
    {
        if (!text.endsWith(QLatin1Char(']')))
            throw LineError{QStringLiteral("a key line must end with ]")};
        const bool deletion = text.startsWith(QLatin1String("[-"));
        const QString path = text.mid(deletion ? 2 : 1, text.size() - (deletion ? 3 : 2));
        Change change;
        change.kind = deletion ? Change::Kind::DeleteKey : Change::Kind::CreateKey;
        change.line = m_line;
        if (!parseKeyPath(path, &change.root, &change.path))
            throw LineError{QStringLiteral("unknown root key in \"%1\"").arg(path)};
        if (deletion && change.path.isEmpty())
            throw LineError{QStringLiteral("a root key cannot be deleted")};
        m_inKey = !deletion;
        m_inDeletedKey = deletion;
        changes->append(change);
    }

    void readValue(const QString& text, QList<Change>* changes)
    {
        if (!m_inKey) {
            throw LineError{m_inDeletedKey
                                ? QStringLiteral("a value follows a key deletion")
                                : QStringLiteral("a value comes before the first [key] line")};
        }
        Change change;
        change.line = m_line;
        qsizetype pos = 0;
        if (text.startsWith(QLatin1Char('@')))
            pos = 1; // the default value: its name is empty
        else
            change.name = readQuoted(text, &pos);
        skipBlanks(text, &pos);
        if (pos >= text.size() || text.at(pos) != QLatin1Char('='))
            throw LineError{QStringLiteral("\"=\" expected after the value name")};
        ++pos;
        skipBlanks(text, &pos);
        const QString data = text.mid(pos);

        if (data == QLatin1String("-")) {
            change.kind = Change::Kind::DeleteValue;
        } else if (data.startsWith(QLatin1Char('"'))) {
            qsizetype at = 0;
            change.kind = Change::Kind::SetValue;
            change.type = ValueType::String;
            change.data = readQuoted(data, &at);
            if (!data.mid(at).trimmed().isEmpty())
                throw LineError{QStringLiteral("unexpected text after the closing quote")};
        } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            change.kind = Change::Kind::SetValue;
            change.type = ValueType::DWord;
            change.data = readDword(data.mid(6));
        } else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            change.kind = Change::Kind::SetValue;
            readHex(data, &change);
        } else {
            throw LineError{QStringLiteral("unknown value data \"%1\"").arg(data)};
        }
        changes->append(change);
    }

    // A text in double quotes in which \\ stands for \ and \" for ".
    static QString readQuoted(const QString& text, qsizetype* pos)
    {
        QString out;
        qsizetype i = *pos + 1; // past the opening quote
        for (; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('"')) {
                *pos = i + 1;
                return out.isNull() ? QString::fromLatin1("", 0) : out;
            }
            if (c == QLatin1Char('\\')) {
                if (i + 1 >= text.size())
                    break;
                const QChar next = text.at(++i);
                if (next != QLatin1Char('\\') && next != QLatin1Char('"')) {
                    throw LineError{
                        QStringLiteral("unknown escape \\%1 (write \\\\ for a backslash)")
                            .arg(next)};
                }
                out.append(next);
            } else if (c.isNull()) {
                // A stored text ends at its first NUL: what followed would be lost on export.
                throw LineError{QStringLiteral("a text cannot hold a NUL character")};
            } else {
                out.append(c);
            }
        }
        throw LineError{QStringLiteral("missing closing quote")};
    }

    static void skipBlanks(const QString& text, qsizetype* pos)
    {
        while (*pos < text.size() &&
               (text.at(*pos) == QLatin1Char(' ') || text.at(*pos) == QLatin1Char('\t')))
            ++*pos;
    }

    static qint64 readDword(const QString& digits)
    {
        const QString d = digits.trimmed();
        bool ok = false;
        const qulonglong number = d.toULongLong(&ok, 16);
        if (d.isEmpty() || d.size() > 8 || !ok || d.startsWith(QLatin1Char('+')) ||
            d.startsWith(QLatin1Char('-')))
            throw LineError{QStringLiteral("a dword needs up to 8 hex digits, as dword:0000000a")};
        return static_cast<qint64>(number);
    }

    void readHex(const QString& first, Change* change)
    {
        // "hex(2):" or "hex:"; the type is a hex number.
        const qsizetype colon = first.indexOf(QLatin1Char(':'));
        if (colon < 0)
            throw LineError{QStringLiteral("\":\" expected after hex")};
        const QString kind = first.left(colon).mid(3);
        quint32 type = static_cast<quint32>(ValueType::Binary); // plain "hex:"
        if (!kind.isEmpty()) {
            bool ok = false;
            if (!kind.startsWith(QLatin1Char('(')) || !kind.endsWith(QLatin1Char(')')))
                throw LineError{QStringLiteral("hex must be followed by (type) or :")};
            const QString digits = kind.mid(1, kind.size() - 2);
            const qulonglong number = digits.toULongLong(&ok, 16);
            if (!ok || digits.size() > 8 || digits.startsWith(QLatin1Char('+')) ||
                digits.startsWith(QLatin1Char('-')))
                throw LineError{QStringLiteral("unknown hex type %1").arg(kind)};
            type = static_cast<quint32>(number);
        }

        // The bytes may go on over lines that end with a backslash.
        QString list = first.mid(colon + 1).trimmed();
        while (list.endsWith(QLatin1Char('\\'))) {
            list.chop(1);
            if (m_index >= m_lines.size())
                throw LineError{QStringLiteral("the hex data goes on past the end of the file")};
            list += m_lines.at(m_index++).trimmed();
            m_line = static_cast<int>(m_index);
        }
        QByteArray bytes;
        const QStringList items = list.split(QLatin1Char(','));
        for (const QString& item : items) {
            const QString digits = item.trimmed();
            if (digits.isEmpty() && items.size() == 1)
                break; // no data at all
            bool ok = false;
            const uint byte = digits.toUInt(&ok, 16);
            if (!ok || digits.size() > 2 || digits.isEmpty())
                throw LineError{QStringLiteral("\"%1\" is not a hex byte").arg(digits)};
            if (bytes.size() == MaxValueBytes)
                throw LineError{QStringLiteral("the value holds more than %1 bytes")
                                    .arg(MaxValueBytes)};
            bytes.append(static_cast<char>(byte));
        }

        change->type = static_cast<ValueType>(type);
        switch (change->type) {
        case ValueType::String:
        case ValueType::ExpandString:
            change->data = textFromBytes(bytes);
            return;
        case ValueType::DWord:
            if (bytes.size() != 4)
                throw LineError{QStringLiteral("a hex(4) value needs exactly 4 bytes")};
            change->data =
                static_cast<qint64>(static_cast<quint32>(static_cast<uchar>(bytes[0])) |
                                    static_cast<quint32>(static_cast<uchar>(bytes[1])) << 8 |
                                    static_cast<quint32>(static_cast<uchar>(bytes[2])) << 16 |
                                    static_cast<quint32>(static_cast<uchar>(bytes[3])) << 24);
            return;
        case ValueType::MultiString:
            // The registry keeps multi-strings in UTF-16, as regedit 5 writes them; regedit 4
            // writes them in the 8-bit code page.
            change->data = m_wideText ? bytes : utf16Bytes(decodeAnsi(bytes));
            return;
        default: // kept as the bytes they are, whatever the type
            change->data = bytes;
            return;
        }
    }

    // The text ends at its terminating zero (one byte in a REGEDIT4 file, two in a file of
    // regedit 5, which writes UTF-16).
    QString textFromBytes(const QByteArray& bytes) const
    {
        if (m_wideText) {
            QByteArray wide = bytes;
            if (wide.size() % 2)
                throw LineError{QStringLiteral("UTF-16 text needs an even number of bytes")};
            QString text = QStringDecoder(QStringConverter::Utf16LE)(wide);
            const qsizetype end = text.indexOf(QChar(0));
            return end >= 0 ? text.left(end) : text;
        }
        const qsizetype end = bytes.indexOf('\0');
        const QString text = decodeAnsi(end >= 0 ? bytes.left(end) : bytes);
        return text.isNull() ? QString::fromLatin1("", 0) : text;
    }

    QStringList m_lines;
    qsizetype m_index = 0; // lines taken so far
    int m_line = 0;        // the line being read, for messages
    bool m_wideText = false;
    bool m_inKey = false;
    bool m_inDeletedKey = false;
};

// ---- writing -----------------------------------------------------------------------------

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// Writes values as regedit does in the file version chosen.
class Writer final
{
public:
    explicit Writer(Format format)
        : m_wide(format == Format::Version5)
    {}

    QString header() const { return (m_wide ? Header5 : Header4) + eol() + eol(); }
    QString eol() const { return m_wide ? QStringLiteral("\r\n") : QStringLiteral("\n"); }

    QByteArray encode(const QString& text) const
    {
        return m_wide ? QByteArray("\xFF\xFE") + utf16Bytes(text) : text.toUtf8();
    }

    QString valueLine(const RegistryHive::Value& value) const
    {
        const QString name =
            (value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name)) + QLatin1Char('=');
        switch (value.type) {
        case ValueType::DWord:
            return name + QStringLiteral("dword:%1")
                              .arg(static_cast<quint32>(value.data.toLongLong()), 8, 16,
                                   QLatin1Char('0'));
        case ValueType::ExpandString:
            return name + hexData(value.type, textBytes(value.data.toString()), name.size());
        case ValueType::String: {
            const QString text = value.data.toString();
            // A line break cannot stand inside quotes; such a text goes as bytes so that it
            // comes back whole.
            if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
                return name + hexData(value.type, textBytes(text), name.size());
            return name + quoted(text);
        }
        case ValueType::MultiString:
            return name + hexData(value.type, multiStringBytes(value.data.toByteArray()),
                                  name.size());
        default:
            return name + hexData(value.type, value.data.toByteArray(), name.size());
        }
    }

private:
    // A text with its terminating zero, in the file's character size.
    QByteArray textBytes(const QString& text) const
    {
        return m_wide ? utf16Bytes(text) + QByteArray(2, '\0') : text.toUtf8() + '\0';
    }

    // The stored UTF-16 texts; 8-bit texts in a REGEDIT4 file. Bytes that are not whole
    // UTF-16 units go as they are.
    QByteArray multiStringBytes(const QByteArray& stored) const
    {
        if (m_wide || stored.size() % 2 != 0)
            return stored;
        return QString(QStringDecoder(QStringConverter::Utf16LE)(stored)).toUtf8();
    }

    // "hex:" for binary data, "hex(N):" with N in hexadecimal for every other type, then
    // the bytes, wrapped as regedit wraps them; `lineLength` is what stands before.
    QString hexData(ValueType type, const QByteArray& bytes, qsizetype lineLength) const
    {
        QString out = type == ValueType::Binary
                          ? QStringLiteral("hex:")
                          : QStringLiteral("hex(%1):").arg(static_cast<quint32>(type), 0, 16);
        lineLength += out.size();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            out += QStringLiteral("%1").arg(static_cast<uint>(static_cast<uchar>(bytes[i])), 2,
                                            16, QLatin1Char('0'));
            if (i + 1 == bytes.size())
                break;
            out += QLatin1Char(',');
            lineLength += 3;
            if (lineLength >= HexLineLimit) {
                out += QLatin1Char('\\') + eol() + QLatin1String("  ");
                lineLength = 2;
            }
        }
        return out;
    }

    bool m_wide;
};

// Depth first, each key before its sub-keys, without recursion: a hive may hold keys
// nested deeper than a thread's stack could follow.
void exportTree(const RegistryHive& hive, const Writer& writer, qint64 top, const QString& topPath,
                QString* out)
{
    QList<std::pair<qint64, QString>> pending{{top, topPath}};
    while (!pending.isEmpty()) {
        const auto [key, path] = pending.takeLast();
        *out += QLatin1Char('[') + path + QLatin1Char(']') + writer.eol();
        const QList<RegistryHive::Value> values = hive.values(key);
        for (const RegistryHive::Value& value : values)
            *out += writer.valueLine(value) + writer.eol();
        *out += writer.eol();
        const QStringList children = hive.childKeyNames(key);
        for (auto child = children.crbegin(); child != children.crend(); ++child) {
            if (const qint64 id = hive.childKey(key, *child))
                pending.append({id, path + QLatin1Char('\\') + *child});
        }
    }
}

qint64 rootIdOf(TRegistry::RootKey root)
{
    switch (root) {
    case TRegistry::HKEY_CLASSES_ROOT:
        return RegistryHive::ClassesRoot;
    case TRegistry::HKEY_CURRENT_USER:
        return RegistryHive::CurrentUser;
    case TRegistry::HKEY_LOCAL_MACHINE:
        return RegistryHive::LocalMachine;
    }
    return 0;
}

QString joinedPath(qint64 root, const QStringList& parts)
{
    QStringList all = parts;
    for (TRegistry::RootKey r : {TRegistry::HKEY_CLASSES_ROOT, TRegistry::HKEY_CURRENT_USER,
                                 TRegistry::HKEY_LOCAL_MACHINE}) {
        if (rootIdOf(r) == root)
            all.prepend(TRegistry::rootName(r));
    }
    return all.join(QLatin1Char('\\'));
}

} // namespace

QString Error::text() const
{
    return line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(message) : message;
}

bool parseKeyPath(const QString& text, qint64* root, QStringList* parts)
{
    QStringList all = text.trimmed().split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    TRegistry::RootKey rootKey = TRegistry::HKEY_CURRENT_USER;
    if (all.isEmpty() || !TRegistry::rootFromName(all.first(), &rootKey))
        return false;
    all.removeFirst();
    *root = rootIdOf(rootKey);
    *parts = all;
    return true;
}

ParseResult parse(const QByteArray& bytes)
{
    return Parser(decodeFile(bytes)).run();
}

std::optional<Error> apply(RegistryHive& hive, const QList<Change>& changes)
{
    HiveTransaction transaction(hive);
    if (!transaction.isActive())
        return Error{0, QStringLiteral("the settings store cannot be written")};
    qint64 current = 0;
    for (const Change& change : changes) {
        switch (change.kind) {
        case Change::Kind::CreateKey: {
            qint64 id = change.root;
            for (const QString& part : change.path) {
                id = hive.createChildKey(id, part);
                if (id == 0) {
                    return Error{change.line, QStringLiteral("cannot create key %1")
                                                  .arg(joinedPath(change.root, change.path))};
                }
            }
            current = id;
            break;
        }
        case Change::Kind::DeleteKey: {
            qint64 id = change.root;
            for (const QString& part : change.path) {
                id = hive.childKey(id, part);
                if (id == 0)
                    break;
            }
            if (id != 0 && !hive.deleteKey(id)) {
                return Error{change.line, QStringLiteral("cannot delete key %1")
                                              .arg(joinedPath(change.root, change.path))};
            }
            current = 0;
            break;
        }
        case Change::Kind::SetValue:
            if (current == 0 || !hive.setValue(current, change.name, change.type, change.data))
                return Error{change.line,
                             QStringLiteral("cannot set value \"%1\"").arg(change.name)};
            break;
        case Change::Kind::DeleteValue:
            if (current == 0)
                return Error{change.line,
                             QStringLiteral("no key for value \"%1\"").arg(change.name)};
            hive.deleteValue(current, change.name); // a missing value is no fault
            break;
        }
    }
    if (!transaction.commit())
        return Error{0, QStringLiteral("the changes could not be saved")};
    return std::nullopt;
}

std::optional<Error> import(RegistryHive& hive, const QByteArray& bytes)
{
    const ParseResult parsed = parse(bytes);
    if (parsed.error)
        return parsed.error;
    return apply(hive, parsed.changes);
}

std::optional<QByteArray> exportKey(RegistryHive& hive, const QString& keyPath, Error* error,
                                    Format format)
{
    const Writer writer(format);
    // One transaction, so that the export is one moment of the hive even while another
    // copy writes; it is left without commit, as nothing was changed.
    const HiveTransaction snapshot(hive);
    if (!snapshot.isActive()) {
        if (error)
            *error = Error{0, QStringLiteral("the settings store cannot be read")};
        return std::nullopt;
    }
    QString out = writer.header();
    if (keyPath.trimmed().isEmpty()) {
        for (qint64 root :
             {RegistryHive::ClassesRoot, RegistryHive::CurrentUser, RegistryHive::LocalMachine})
            exportTree(hive, writer, root, joinedPath(root, {}), &out);
        return writer.encode(out);
    }
    qint64 id = 0;
    QStringList parts;
    if (!parseKeyPath(keyPath, &id, &parts)) {
        if (error)
            *error = Error{0, QStringLiteral("unknown root key in \"%1\"").arg(keyPath)};
        return std::nullopt;
    }
    const qint64 root = id;
    QStringList stored; // the names as the hive keeps them, not as typed
    for (const QString& part : parts) {
        id = hive.childKey(id, part);
        if (id == 0) {
            if (error)
                *error = Error{0, QStringLiteral("key not found: %1").arg(keyPath)};
            return std::nullopt;
        }
        stored << hive.keyName(id);
    }
    exportTree(hive, writer, id, joinedPath(root, stored), &out);
    return writer.encode(out);
}

} // namespace RegFile
