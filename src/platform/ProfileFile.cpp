#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Far beyond any settings file, page group or shortcut a person writes; it keeps a wrongly
// chosen or hostile file (a disc image named .sgp, a group of a million pages) out.
constexpr qint64 MaxFileSize = 1024 * 1024;

// Windows-1252 for 0x80-0x9F, where Latin-1 has only control characters. The five bytes
// the code page leaves undefined map to the control characters of the same number, as
// Windows does, so every byte has a character and back.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u <= 0x9F ? Cp1252High[u - 0x80] : char16_t(u));
    }
    return text;
}

// The byte of a character in Windows-1252, or -1 when the code page has none.
int cp1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == u)
            return 0x80 + i;
    }
    return -1;
}

// Text the code page holds whole, as its bytes.
QByteArray cp1252Bytes(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text)
        *out++ = char(cp1252Byte(c));
    return bytes;
}

bool hasHighBytes(const QByteArray& bytes)
{
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return true;
    }
    return false;
}

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");

// The blanks of the C library's isspace. QString::trimmed() would also take U+0085 and
// U+00A0, which are ordinary characters ("..." and a no-break space) in Windows code pages.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// A line break would split the line; a NUL would make the whole file read as binary.
bool breaksTheFile(const QString& s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) ||
           s.contains(QChar(u'\0'));
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Decodes through a Unicode form only when encoding the result again gives back the very
// same bytes; anything else is read as 8-bit text.
bool decodeExactly(QStringConverter::Encoding encoding, const QByteArray& bytes, QString* text)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    const QByteArray again = encoder.encode(decoded);
    if (encoder.hasError() || again != bytes)
        return false;
    *text = decoded;
    return true;
}

QString quotedIfNeeded(const QString& value)
{
    // Reading takes off outer blanks and then one pair of enclosing quotation marks, so a
    // value that would lose either is written inside a pair of its own.
    const bool blankAtEnds = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool enclosed =
        value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
    if (!blankAtEnds && !enclosed)
        return value;
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace

ProfileFile ProfileFile::load(const QString& path)
{
    ProfileFile doc;
    doc.m_fileName = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        doc.m_status = Status::Missing;
        doc.m_error = QStringLiteral("%1 does not exist").arg(shown(path));
        return doc;
    }
    // A folder or a pipe cannot be a settings file; reading a pipe would also block.
    if (!info.isFile()) {
        doc.m_status = Status::Unreadable;
        doc.m_error = QStringLiteral("%1 is not a file").arg(shown(path));
        return doc;
    }
    if (info.size() > MaxFileSize) {
        doc.m_status = Status::NotText;
        doc.m_error = QStringLiteral("%1 is too large to be a settings file").arg(shown(path));
        return doc;
    }
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        doc.m_status = Status::Unreadable;
        doc.m_error = QStringLiteral("Cannot read %1: %2").arg(shown(path), file.errorString());
        return doc;
    }
    ProfileFile parsed = fromBytes(bytes);
    parsed.m_fileName = path;
    if (parsed.m_status == Status::NotText)
        parsed.m_error = QStringLiteral("%1 is not a text file").arg(shown(path));
    return parsed;
}

QString ProfileFile::fromWindowsText(const QByteArray& bytes)
{
    return fromCp1252(bytes);
}

ProfileFile ProfileFile::fromBytes(const QByteArray& bytes)
{
    ProfileFile doc;
    QString text;
    bool decoded = false;
    if (bytes.startsWith(Utf16LeBom)) {
        decoded = decodeExactly(QStringConverter::Utf16LE, bytes.sliced(Utf16LeBom.size()), &text);
        if (decoded)
            doc.m_encoding = Encoding::Utf16LeBom;
    } else if (bytes.startsWith(Utf8Bom)) {
        decoded = decodeExactly(QStringConverter::Utf8, bytes.sliced(Utf8Bom.size()), &text);
        if (decoded)
            doc.m_encoding = Encoding::Utf8Bom;
    }
    // Without a mark: UTF-8 when the bytes are UTF-8 (as editors on Linux write), Windows
    // text otherwise. Plain ASCII stays Windows text, as Windows programs expect.
    if (!decoded && !bytes.startsWith(Utf8Bom) && !bytes.startsWith(Utf16LeBom) &&
        hasHighBytes(bytes)) {
        decoded = decodeExactly(QStringConverter::Utf8, bytes, &text);
        if (decoded)
            doc.m_encoding = Encoding::Utf8;
    }
    if (!decoded)
        text = fromCp1252(bytes);
    if (text.contains(QChar(u'\0'))) {
        doc.m_status = Status::NotText;
        doc.m_error = QStringLiteral("The data is not text");
        doc.m_encoding = Encoding::Ansi;
        return doc;
    }
    doc.parse(text);
    return doc;
}

void ProfileFile::parse(const QString& text)
{
    // Each line keeps its own line end, so that a line nobody changed is written back as
    // it was; only the last line may have none (or a lone CR).
    QStringList lines = text.split(QLatin1Char('\n'));
    const bool endsInNewline = lines.last().isEmpty(); // or the file is empty
    if (endsInNewline)
        lines.removeLast();
    m_lines.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& text = lines[i];
        const bool cr = text.endsWith(QLatin1Char('\r'));
        if (cr)
            text.chop(1);
        Line line = classify(text);
        const bool hasNewline = i + 1 < lines.size() || endsInNewline;
        line.eol = hasNewline ? (cr ? CrLf : Lf) : (cr ? CrOnly : NoEnd);
        m_lines.append(std::move(line));
    }
}

ProfileFile::Line ProfileFile::classify(const QString& text)
{
    Line line;
    line.text = text;
    const QStringView t = trimBlanks(text);
    if (t.isEmpty())
        return line;
    if (t.front() == QLatin1Char(';')) {
        line.kind = Kind::Comment;
        return line;
    }
    if (t.front() == QLatin1Char('[')) {
        // A header without its closing bracket is not a header, and not a key either.
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(t.sliced(1, close - 1)).toString();
            line.folded = line.name.toCaseFolded();
        }
        return line;
    }
    // A line without "=" is a key without a value, as on Windows.
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    const QStringView name = trimBlanks(eq < 0 ? t : t.first(eq));
    if (!name.isEmpty()) {
        line.kind = Kind::Key;
        line.name = name.toString();
        line.folded = line.name.toCaseFolded();
    }
    return line;
}

QString ProfileFile::valueOf(const Line& line)
{
    const qsizetype eq = line.text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    QStringView v = trimBlanks(QStringView(line.text).sliced(eq + 1));
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.toString();
}

QString ProfileFile::fold(QStringView name)
{
    return trimBlanks(name).toString().toCaseFolded();
}

template<typename Visit>
void ProfileFile::forEachInSection(const QString& foldedSection, Visit visit) const
{
    bool inside = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section)
            inside = line.folded == foldedSection;
        if (inside && !visit(i))
            return;
    }
}

qsizetype ProfileFile::firstKey(const QString& foldedSection, const QString& foldedKey) const
{
    qsizetype found = -1;
    forEachInSection(foldedSection, [&](qsizetype i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key && line.folded == foldedKey) {
            found = i;
            return false;
        }
        return true;
    });
    return found;
}

QStringList ProfileFile::sectionNames() const
{
    QStringList names;
    QSet<QString> seen;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section && !seen.contains(line.folded)) {
            seen.insert(line.folded);
            names.append(line.name);
        }
    }
    return names;
}

bool ProfileFile::hasSection(const QString& section) const
{
    const QString wanted = fold(section);
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section && line.folded == wanted)
            return true;
    }
    return false;
}

QList<std::pair<QString, QString>> ProfileFile::entries(const QString& section) const
{
    QList<std::pair<QString, QString>> result;
    QSet<QString> seen;
    forEachInSection(fold(section), [&](qsizetype i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key && !seen.contains(line.folded)) {
            seen.insert(line.folded);
            result.append({line.name, valueOf(line)});
        }
        return true;
    });
    return result;
}

QStringList ProfileFile::keyNames(const QString& section) const
{
    QStringList names;
    const auto all = entries(section);
    names.reserve(all.size());
    for (const auto& entry : all)
        names.append(entry.first);
    return names;
}

bool ProfileFile::contains(const QString& section, const QString& key) const
{
    return firstKey(fold(section), fold(key)) >= 0;
}

QString ProfileFile::value(const QString& section, const QString& key,
                           const QString& defaultValue) const
{
    const qsizetype i = firstKey(fold(section), fold(key));
    return i < 0 ? defaultValue : valueOf(m_lines[i]);
}

bool ProfileFile::setValue(const QString& section, const QString& key, const QString& value,
                           QString* error)
{
    const QString sectionName = trimBlanks(section).toString();
    const QString keyName = trimBlanks(key).toString();
    auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (sectionName.isEmpty() || sectionName.contains(QLatin1Char(']')) || breaksTheFile(section))
        return refuse(QStringLiteral("The section name \"%1\" cannot be stored").arg(section));
    if (keyName.isEmpty() || keyName.contains(QLatin1Char('=')) || breaksTheFile(key) ||
        keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')))
        return refuse(QStringLiteral("The key name \"%1\" cannot be stored").arg(key));
    if (breaksTheFile(value))
        return refuse(QStringLiteral("The value of \"%1\" holds a line break or a NUL").arg(key));

    // One pass finds the key, or else the place after the last key of the section's last
    // occurrence, where a new key goes.
    const QString foldedSection = sectionName.toCaseFolded();
    const QString foldedKey = keyName.toCaseFolded();
    qsizetype existing = -1;
    qsizetype insertAt = -1;
    forEachInSection(foldedSection, [&](qsizetype i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key && line.folded == foldedKey) {
            existing = i;
            return false;
        }
        if (line.kind == Kind::Section || line.kind == Kind::Key)
            insertAt = i + 1;
        return true;
    });

    const QString written = quotedIfNeeded(value);
    if (existing >= 0) {
        Line& line = m_lines[existing];
        if (valueOf(line) == value)
            return true; // the line stays as the user wrote it
        line.text = line.name + QLatin1Char('=') + written;
        return true;
    }
    if (insertAt < 0) {
        m_lines.append(classify(QLatin1Char('[') + sectionName + QLatin1Char(']')));
        insertAt = m_lines.size();
    }
    m_lines.insert(insertAt, classify(keyName + QLatin1Char('=') + written));
    return true;
}

bool ProfileFile::removeKey(const QString& section, const QString& key)
{
    const QString foldedKey = fold(key);
    QList<qsizetype> doomed;
    forEachInSection(fold(section), [&](qsizetype i) {
        if (m_lines[i].kind == Kind::Key && m_lines[i].folded == foldedKey)
            doomed.append(i);
        return true;
    });
    for (qsizetype n = doomed.size() - 1; n >= 0; --n)
        m_lines.removeAt(doomed[n]);
    return !doomed.isEmpty();
}

bool ProfileFile::removeSection(const QString& section)
{
    const QString foldedSection = fold(section);
    QList<Line> kept;
    kept.reserve(m_lines.size());
    bool removed = false;
    qsizetype i = 0;
    while (i < m_lines.size()) {
        const Line& line = m_lines[i];
        if (line.kind != Kind::Section || line.folded != foldedSection) {
            kept.append(line);
            ++i;
            continue;
        }
        removed = true;
        qsizetype end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
            ++end;
        // Blank and comment lines at the end of the block usually introduce what follows,
        // so they stay.
        qsizetype keepFrom = end;
        while (keepFrom > i + 1 && (m_lines[keepFrom - 1].kind == Kind::Comment ||
                                    trimBlanks(m_lines[keepFrom - 1].text).isEmpty()))
            --keepFrom;
        for (qsizetype k = keepFrom; k < end; ++k)
            kept.append(m_lines[k]);
        i = end;
    }
    if (removed)
        m_lines = kept;
    return removed;
}

ProfileFile::Encoding ProfileFile::encodingForSave() const
{
    if (m_encoding != Encoding::Ansi)
        return m_encoding;
    // Windows text whose bytes would all read as UTF-8 (an edit took away the one line that
    // was not) would change its meaning on the next reading, "Ã©" becoming "é": it is then
    // written with the mark, as is text the code page cannot hold. Line ends are ASCII, so
    // the whole is UTF-8 exactly when every line is.
    bool high = false;
    bool allUtf8 = true;
    QByteArray bytes;
    for (const Line& line : m_lines) {
        bytes.resize(0);
        for (const QChar c : line.text) {
            const int b = cp1252Byte(c);
            if (b < 0)
                return Encoding::Utf8Bom;
            bytes.append(char(b));
        }
        if (allUtf8 && hasHighBytes(bytes)) {
            high = true;
            QString decoded;
            allUtf8 = decodeExactly(QStringConverter::Utf8, bytes, &decoded);
        }
    }
    if (high && allUtf8)
        return Encoding::Utf8Bom;
    // Windows text that begins with "\u00FF\u00FE" is read as UTF-16 when the bytes after
    // those two are exact UTF-16: then it too needs the mark.
    if (!m_lines.isEmpty() && m_lines.first().text.startsWith(QLatin1String("\xFF\xFE"))) {
        QString decoded;
        if (decodeExactly(QStringConverter::Utf16LE, cp1252Bytes(text()).sliced(2), &decoded))
            return Encoding::Utf8Bom;
    }
    return Encoding::Ansi;
}

QString ProfileFile::text() const
{
    QString text;
    qsizetype size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + 2;
    text.reserve(size);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        text += line.text;
        const bool last = i + 1 == m_lines.size();
        switch (line.eol) {
        case Lf:
            text += QLatin1Char('\n');
            break;
        case CrLf:
            text += QLatin1String("\r\n");
            break;
        case CrOnly: // the end of the file; a line after it needs a real line end
            text += last ? QLatin1String("\r") : QLatin1String("\r\n");
            break;
        case NoEnd:
            if (!last)
                text += QLatin1String("\r\n");
            break;
        }
    }
    return text;
}

QByteArray ProfileFile::toBytes() const
{
    const QString text = this->text();
    switch (encodingForSave()) {
    case Encoding::Ansi:
        return cp1252Bytes(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return Utf8Bom + text.toUtf8();
    case Encoding::Utf16LeBom: {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        return Utf16LeBom + QByteArray(encoder.encode(text));
    }
    }
    return QByteArray();
}

bool ProfileFile::saveAs(const QString& path, QString* error) const
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("No file name was given"));
    // What could not be read must not be replaced by the little that was understood of it.
    if ((m_status == Status::NotText || m_status == Status::Unreadable) &&
        QFileInfo(path) == QFileInfo(m_fileName))
        return fail(m_error);

    const QByteArray bytes = toBytes();
    // A file we would refuse to read back is not written: the loss shows now, not later.
    if (bytes.size() > MaxFileSize)
        return fail(QStringLiteral("%1 would be too large to be a settings file (%2 KiB, at most "
                                   "%3 KiB)")
                        .arg(shown(path))
                        .arg(bytes.size() / 1024)
                        .arg(MaxFileSize / 1024));
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write %1: %2").arg(shown(path), file.errorString()));
    if (isNew)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(QStringLiteral("Cannot write %1: %2").arg(shown(path), why));
    }
    return true;
}

QString ProfileFile::readString(const QString& path, const QString& section, const QString& key,
                                const QString& defaultValue)
{
    return load(path).value(section, key, defaultValue);
}

QStringList ProfileFile::readKeyNames(const QString& path, const QString& section)
{
    return load(path).keyNames(section);
}

QStringList ProfileFile::readSectionNames(const QString& path)
{
    return load(path).sectionNames();
}

bool ProfileFile::writeString(const QString& path, const QString& section, const QString& key,
                              const QString& value, QString* error)
{
    ProfileFile doc = load(path);
    return doc.setValue(section, key, value, error) && doc.save(error);
}

bool ProfileFile::deleteKey(const QString& path, const QString& section, const QString& key,
                            QString* error)
{
    ProfileFile doc = load(path);
    if (doc.status() == Status::Missing)
        return true; // nothing to delete
    if (doc.status() != Status::Ok) {
        if (error)
            *error = doc.errorString();
        return false;
    }
    return !doc.removeKey(section, key) || doc.save(error);
}

bool ProfileFile::deleteSection(const QString& path, const QString& section, QString* error)
{
    ProfileFile doc = load(path);
    if (doc.status() == Status::Missing)
        return true;
    if (doc.status() != Status::Ok) {
        if (error)
            *error = doc.errorString();
        return false;
    }
    return !doc.removeSection(section) || doc.save(error);
}
