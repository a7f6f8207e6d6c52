#include "settings/MimeAppsList.h"

namespace {

const QByteArray DefaultsSection("[Default Applications]");

struct Line
{
    QByteArray bytes; // without its line end
    bool carriageReturn = false;
};

QList<Line> splitLines(const QByteArray& text, bool* finalLineEnd)
{
    QList<Line> lines;
    *finalLineEnd = text.endsWith('\n');
    QByteArrayList parts = text.split('\n');
    if (*finalLineEnd || text.isEmpty())
        parts.removeLast();
    lines.reserve(parts.size());
    for (QByteArray& part : parts) {
        Line line;
        line.carriageReturn = part.endsWith('\r');
        if (line.carriageReturn)
            part.chop(1);
        line.bytes = part;
        lines.append(line);
    }
    return lines;
}

QByteArray joinLines(const QList<Line>& lines, bool finalLineEnd)
{
    QByteArray text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        text += lines[i].bytes;
        if (lines[i].carriageReturn)
            text += '\r';
        if (i + 1 < lines.size() || finalLineEnd)
            text += '\n';
    }
    return text;
}

bool isHeader(const QByteArray& line)
{
    return line.trimmed().startsWith('[');
}

bool isDefaultsHeader(const QByteArray& line)
{
    return line.trimmed() == DefaultsSection;
}

// The key of a "key=value" line (blanks round "=" allowed), or nothing for comments and
// other lines.
QByteArray keyOf(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#'))
        return QByteArray();
    const qsizetype eq = trimmed.indexOf('=');
    return eq <= 0 ? QByteArray() : trimmed.left(eq).trimmed();
}

bool sameType(const QByteArray& a, const QByteArray& b)
{
    // MIME types are compared without regard to case.
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArrayList listOf(const QByteArray& line)
{
    QByteArrayList ids;
    const QByteArray value = line.mid(line.indexOf('=') + 1);
    const QByteArrayList parts = value.split(';');
    for (const QByteArray& part : parts) {
        const QByteArray id = part.trimmed();
        if (!id.isEmpty())
            ids.append(id);
    }
    return ids;
}

QByteArray defaultLine(const QByteArray& type, const QByteArray& desktopId,
                       const QByteArrayList& before)
{
    QByteArray line = type + '=' + desktopId + ';';
    for (const QByteArray& id : before) {
        if (id != desktopId)
            line += id + ';';
    }
    return line;
}

} // namespace

namespace MimeAppsList {

QByteArrayList defaultsFor(const QByteArray& text, const QByteArray& type)
{
    bool finalLineEnd = false;
    const QList<Line> lines = splitLines(text, &finalLineEnd);
    bool inside = false;
    for (const Line& line : lines) {
        if (isHeader(line.bytes)) {
            inside = isDefaultsHeader(line.bytes);
        } else if (inside && sameType(keyOf(line.bytes), type)) {
            return listOf(line.bytes);
        }
    }
    return QByteArrayList();
}

QByteArray withDefault(const QByteArray& text, const QByteArrayList& types,
                       const QByteArray& desktopId)
{
    bool finalLineEnd = true;
    QList<Line> lines = splitLines(text, &finalLineEnd);
    if (lines.isEmpty())
        finalLineEnd = true;

    qsizetype sectionEnd = -1; // after the last key (or header) of the first section
    QList<bool> done(types.size(), false);
    bool inside = false;
    bool seen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& bytes = lines[i].bytes;
        if (isHeader(bytes)) {
            // Only the first such section is edited; a repeated one is left as it is.
            inside = !seen && isDefaultsHeader(bytes);
            seen = seen || inside;
            if (inside)
                sectionEnd = i + 1;
            continue;
        }
        const QByteArray key = inside ? keyOf(bytes) : QByteArray();
        if (key.isEmpty())
            continue;
        sectionEnd = i + 1;
        for (qsizetype t = 0; t < types.size(); ++t) {
            if (!sameType(key, types[t]))
                continue;
            if (done[t]) { // a repeated line would leave it unclear which one counts
                lines.removeAt(i);
                --i;
                sectionEnd = i + 1;
            } else {
                lines[i].bytes = defaultLine(key, desktopId, listOf(bytes));
                done[t] = true;
            }
            break;
        }
    }

    QList<Line> added;
    for (qsizetype t = 0; t < types.size(); ++t) {
        if (!done[t])
            added.append(Line{defaultLine(types[t], desktopId, {}), false});
    }
    if (added.isEmpty())
        return joinLines(lines, finalLineEnd);
    if (sectionEnd < 0) {
        if (!lines.isEmpty()) {
            finalLineEnd = true;
            if (!lines.last().bytes.trimmed().isEmpty())
                lines.append(Line{});
        }
        lines.append(Line{DefaultsSection, false});
        sectionEnd = lines.size();
    }
    for (qsizetype k = 0; k < added.size(); ++k)
        lines.insert(sectionEnd + k, added[k]);
    if (sectionEnd + added.size() == lines.size())
        finalLineEnd = true;
    return joinLines(lines, finalLineEnd);
}

} // namespace MimeAppsList
