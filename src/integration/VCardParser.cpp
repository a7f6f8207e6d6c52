#include "integration/VCardParser.h"

#include "platform/ProfileFile.h"

#include <QStringDecoder>

#include <functional>

namespace {

// Splits at `separator` where it is not inside double quotes; stops after more than
// `maxParts` parts.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator, qsizetype maxParts)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            parts << text.mid(start, i - start);
            start = i + 1;
            if (parts.size() > maxParts)
                return parts;
        }
    }
    parts << text.mid(start);
    return parts;
}

// Where the value starts: the first colon outside quoted parameter values; -1 when none.
qsizetype valueColon(const QByteArray& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted)
            return i;
    }
    return -1;
}

// Whether a content line being joined is quoted-printable, found from its header once the
// header's colon has arrived. The scan goes on where it stopped, so a long line is read
// once however often it is asked about.
class HeaderScan
{
public:
    bool isQuotedPrintable(const QByteArray& line)
    {
        while (m_colon < 0 && m_scanned < line.size()) {
            const char c = line.at(m_scanned);
            if (c == '"')
                m_quoted = !m_quoted;
            else if (c == ':' && !m_quoted)
                m_colon = m_scanned;
            ++m_scanned;
        }
        if (m_colon < 0)
            return false;
        if (m_qp < 0)
            m_qp = line.left(m_colon).toUpper().contains("QUOTED-PRINTABLE") ? 1 : 0;
        return m_qp == 1;
    }

private:
    qsizetype m_scanned = 0;
    qsizetype m_colon = -1;
    int m_qp = -1;
    bool m_quoted = false;
};

QByteArray unquoted(QByteArray value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray fromQuotedPrintable(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size()) {
            const int hi = hexDigit(text.at(i + 1));
            const int lo = hexDigit(text.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                bytes += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == text.size() - 1)
            break; // a soft line break left at the very end
        bytes += c;
    }
    return bytes;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

// Text in the character set the value names; without one, UTF-8 when it is valid UTF-8
// (the vCard default), Windows text otherwise (older exports on that system).
QString decodeText(const QByteArray& bytes, const QString& charset)
{
    const QString name = charset.trimmed().toUpper();
    if (name.isEmpty() || name == QLatin1String("UTF-8") || name == QLatin1String("UTF8"))
        return isUtf8(bytes) ? QString::fromUtf8(bytes) : ProfileFile::fromWindowsText(bytes);
    if (name == QLatin1String("ISO-8859-1") || name == QLatin1String("LATIN1") ||
        name == QLatin1String("US-ASCII") || name == QLatin1String("ASCII"))
        return QString::fromLatin1(bytes);
    if (name == QLatin1String("WINDOWS-1252") || name == QLatin1String("CP1252"))
        return ProfileFile::fromWindowsText(bytes);
    // A set Qt knows besides these (UTF-16 and so on), else the default rule.
    if (auto encoding = QStringConverter::encodingForName(name.toLatin1().constData())) {
        QStringDecoder decoder(*encoding);
        return decoder(bytes);
    }
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : ProfileFile::fromWindowsText(bytes);
}

// The physical lines joined into content lines, handed to `visit` one by one until it
// answers false: a line that begins with a blank continues the one before (folding), and a
// quoted-printable value whose line ends in "=" goes on in the next line (the soft line
// break of older exports).
void forEachContentLine(const QByteArray& bytes,
                        const std::function<bool(const QByteArray&)>& visit)
{
    QByteArray current;
    HeaderScan scan;
    bool haveCurrent = false;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start <= size) {
        qsizetype end = start;
        while (end < size && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArray line = bytes.mid(start, end - start);
        if (end < size && bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;

        if (haveCurrent && current.endsWith('=') && scan.isQuotedPrintable(current)) {
            current.chop(1);
            current += line;
        } else if (haveCurrent && !line.isEmpty() && (line.at(0) == ' ' || line.at(0) == '\t')) {
            current += line.mid(1);
        } else {
            if (haveCurrent && !visit(current))
                return;
            current = line;
            scan = HeaderScan();
            haveCurrent = true;
        }
        if (end >= size)
            break;
    }
    if (haveCurrent)
        visit(current);
}

enum class LineRead
{
    Property,
    NotAProperty,
    TooManyParameters
};

LineRead parseLine(const QByteArray& line, VCardProperty* property)
{
    const qsizetype colon = valueColon(line);
    if (colon <= 0)
        return LineRead::NotAProperty;
    // The name and its parameters.
    const QList<QByteArray> header =
        splitOutsideQuotes(line.left(colon), ';', VCard::MaxParameters + 1);
    if (header.size() > VCard::MaxParameters + 1)
        return LineRead::TooManyParameters;
    QByteArray name = header.first().trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        property->group = QString::fromUtf8(name.left(dot));
        name = name.mid(dot + 1);
    }
    if (name.isEmpty())
        return LineRead::NotAProperty;
    property->name = QString::fromUtf8(name).toUpper();

    QString charset;
    QString encoding;
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QByteArray& param = header.at(i);
        const qsizetype eq = param.indexOf('=');
        const QString pname =
            QString::fromUtf8((eq < 0 ? QByteArray("TYPE") : param.left(eq)).trimmed()).toUpper();
        const QByteArray values = eq < 0 ? param : param.mid(eq + 1);
        for (const QByteArray& value : splitOutsideQuotes(values, ',', VCard::MaxParameters)) {
            // Each value is an entry of its own: a few bytes each could grow a hundredfold.
            if (property->params.size() >= VCard::MaxParameters)
                return LineRead::TooManyParameters;
            QString v = QString::fromUtf8(unquoted(value));
            // TYPE="work,voice" (4.0): one quoted list of types.
            if (pname == QLatin1String("TYPE") && v.contains(QLatin1Char(','))) {
                if (property->params.size() + v.count(QLatin1Char(',')) >= VCard::MaxParameters)
                    return LineRead::TooManyParameters;
                for (const QString& t : v.split(QLatin1Char(','), Qt::SkipEmptyParts))
                    property->params.append({pname, t.trimmed()});
                continue;
            }
            if (eq < 0 && (v.compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) == 0 ||
                           v.compare(QLatin1String("BASE64"), Qt::CaseInsensitive) == 0)) {
                property->params.append({QStringLiteral("ENCODING"), v});
                encoding = v.toUpper();
                continue;
            }
            property->params.append({pname, v});
            if (pname == QLatin1String("CHARSET"))
                charset = v;
            else if (pname == QLatin1String("ENCODING"))
                encoding = v.toUpper();
        }
    }

    const QByteArray value = line.mid(colon + 1);
    if (encoding == QLatin1String("QUOTED-PRINTABLE"))
        property->raw = decodeText(fromQuotedPrintable(value), charset);
    else if (encoding == QLatin1String("B") || encoding == QLatin1String("BASE64"))
        property->raw = QString::fromLatin1(value); // pictures and keys: kept as they came
    else
        property->raw = decodeText(value, charset);
    return LineRead::Property;
}

// The bytes as UTF-8 (or 8-bit) text: a UTF-16 export with its mark is turned into UTF-8,
// a UTF-8 mark is dropped.
QByteArray withoutMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return QString(decoder(bytes.mid(2))).toUtf8();
    }
    return bytes;
}

bool isLine(const VCardProperty& p, QLatin1String name, QLatin1String value)
{
    return p.name == name && p.raw.trimmed().compare(value, Qt::CaseInsensitive) == 0;
}

} // namespace

bool VCardProperty::hasType(QStringView type) const
{
    for (const auto& [name, value] : params) {
        if (name == QLatin1String("TYPE") && value.compare(type, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString VCardProperty::param(QStringView wanted) const
{
    for (const auto& [name, value] : params) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QStringList VCardProperty::components() const
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            part += c;
            part += raw.at(++i);
        } else if (c == QLatin1Char(';')) {
            parts << unescaped(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts << unescaped(part);
    return parts;
}

QString VCardProperty::unescaped(QStringView raw)
{
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            text += c;
            continue;
        }
        const QChar next = raw.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            text += QLatin1Char('\n');
        else
            text += next; // \\ \, \; and anything else escaped stand for themselves
    }
    return text;
}

namespace VCard {

VCardReadResult read(const QByteArray& input)
{
    VCardReadResult result;
    if (input.size() > MaxBytes) {
        result.error =
            QStringLiteral("The card is larger than %1 MiB.").arg(MaxBytes / 1024 / 1024);
        return result;
    }
    const QByteArray bytes = withoutMark(input);
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("The file is not text.");
        return result;
    }

    int depth = 0;
    bool ended = false;
    // Answers whether to read on.
    forEachContentLine(bytes, [&](const QByteArray& line) {
        if (line.trimmed().isEmpty())
            return true;
        VCardProperty property;
        const LineRead read = parseLine(line, &property);
        const bool parsed = read == LineRead::Property;
        if (depth == 0) {
            if (!parsed || !isLine(property, QLatin1String("BEGIN"), QLatin1String("VCARD"))) {
                result.error = QStringLiteral("The file does not begin with a vCard.");
                return false;
            }
            depth = 1;
            return true;
        }
        if (read == LineRead::TooManyParameters) {
            result.error = QStringLiteral("A line of the card has more than %1 parameters.")
                               .arg(MaxParameters);
            return false;
        }
        if (!parsed)
            return true; // a stray line inside the card: the rest is still worth reading
        // A card nested in another (AGENT in older cards) is skipped whole.
        if (isLine(property, QLatin1String("BEGIN"), QLatin1String("VCARD"))) {
            ++depth;
            return true;
        }
        if (isLine(property, QLatin1String("END"), QLatin1String("VCARD"))) {
            ended = --depth == 0;
            return !ended;
        }
        if (depth > 1)
            return true;
        if (property.name == QLatin1String("VERSION")) {
            result.version = property.raw.trimmed();
        } else if (result.properties.size() == MaxProperties) {
            result.error = QStringLiteral("The card has more than %1 lines.").arg(MaxProperties);
            return false;
        } else {
            result.properties << property;
        }
        return true;
    });
    if (!result.ok()) {
        result.properties.clear();
        return result;
    }
    if (depth == 0 && !ended)
        result.error = QStringLiteral("The file holds no vCard.");
    else if (!ended)
        result.error =
            QStringLiteral("The card ends before its END:VCARD line; the file may be cut short.");
    if (!result.ok())
        result.properties.clear();
    return result;
}

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray foldedLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 70 * 3 + 2);
    qsizetype start = 0;
    qsizetype limit = 75; // the first line's octets; each continuation has a blank first
    while (bytes.size() - start > limit) {
        qsizetype cut = start + limit;
        while (cut > start && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80)
            --cut; // not inside a character
        out += bytes.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = 74;
    }
    out += bytes.mid(start);
    out += "\r\n";
    return out;
}

} // namespace VCard
