// The Netscape bookmark file: read leniently (browsers write it in slightly different
// ways), written the way browsers import it.
#include "favorites/Bookmarks.h"

#include <QStringDecoder>

namespace {

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? QString(ansi(bytes)) : QString::fromLatin1(bytes);
}

// Character references in text and attribute values.
QString decodeEntities(QStringView text)
{
    if (!text.contains(QLatin1Char('&')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i];
            continue;
        }
        const qsizetype end = text.indexOf(QLatin1Char(';'), i);
        if (end < 0 || end - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = text.mid(i + 1, end - i - 1);
        char32_t code = 0;
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint value = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                                   ? name.mid(2).toUInt(&ok, 16)
                                   : name.mid(1).toUInt(&ok, 10);
            if (ok && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF))
                code = value;
        } else if (name == QLatin1String("amp")) {
            code = '&';
        } else if (name == QLatin1String("lt")) {
            code = '<';
        } else if (name == QLatin1String("gt")) {
            code = '>';
        } else if (name == QLatin1String("quot")) {
            code = '"';
        } else if (name == QLatin1String("apos")) {
            code = '\'';
        } else if (name == QLatin1String("nbsp")) {
            code = 0xA0;
        }
        if (code == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = end;
    }
    return out;
}

QString escapeText(const QString& text)
{
    QString out = text.toHtmlEscaped(); // & < > "
    return out;
}

// An attribute's value in a tag's text (the part between "<" and ">"), by name, any case.
QString attribute(QStringView tag, QLatin1String name)
{
    qsizetype at = 0;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const bool startsWord = at > 0 && tag[at - 1].isSpace();
        qsizetype i = at + name.size();
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (!startsWord || i >= tag.size() || tag[i] != QLatin1Char('=')) {
            at += name.size();
            continue;
        }
        ++i;
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (i < tag.size() && (tag[i] == QLatin1Char('"') || tag[i] == QLatin1Char('\''))) {
            const QChar quote = tag[i];
            const qsizetype end = tag.indexOf(quote, i + 1);
            return decodeEntities(tag.mid(i + 1, (end < 0 ? tag.size() : end) - i - 1));
        }
        qsizetype end = i;
        while (end < tag.size() && !tag[end].isSpace())
            ++end;
        return decodeEntities(tag.mid(i, end - i));
    }
    return QString();
}

QDateTime dateAttribute(QStringView tag)
{
    bool ok = false;
    const qint64 seconds = attribute(tag, QLatin1String("ADD_DATE")).toLongLong(&ok);
    // Some exporters write microseconds; anything past the year 9999 is not seconds.
    if (!ok || seconds <= 0 || seconds > 253402300799LL)
        return QDateTime();
    return bookmarkDateUtc(seconds);
}

class Parser
{
public:
    Parser(const QString& text, const BookmarkLimits& limits)
        : m_text(text)
        , m_limits(limits)
    {}

    BookmarkRead run()
    {
        BookmarkRead result;
        result.root.folder = true;
        std::vector<BookmarkNode*> open; // the folders whose <DL> is open
        BookmarkNode* pendingFolder = nullptr; // an <H3> whose <DL> has not begun
        bool sawList = false;
        int nodes = 0;
        qsizetype i = 0;
        while ((i = m_text.indexOf(QLatin1Char('<'), i)) >= 0) {
            const qsizetype close = m_text.indexOf(QLatin1Char('>'), i);
            if (close < 0)
                break;
            const QStringView tag = QStringView(m_text).mid(i + 1, close - i - 1);
            const QStringView name = tagName(tag);
            i = close + 1;
            if (name.compare(QLatin1String("DL"), Qt::CaseInsensitive) == 0) {
                // The root's own list is not a folder: folders may nest maxDepth deep, as
                // in the other readers, so that what they read is exported and read back.
                if (int(open.size()) > m_limits.maxDepth) {
                    result.error = QStringLiteral("Its folders are nested more than %1 deep.")
                                       .arg(m_limits.maxDepth);
                    return result;
                }
                sawList = true;
                if (open.empty())
                    open.push_back(&result.root);
                else
                    open.push_back(pendingFolder ? pendingFolder : open.back());
                pendingFolder = nullptr;
            } else if (name.compare(QLatin1String("/DL"), Qt::CaseInsensitive) == 0) {
                if (!open.empty())
                    open.pop_back();
                pendingFolder = nullptr;
            } else if (name.compare(QLatin1String("H3"), Qt::CaseInsensitive) == 0 ||
                       name.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0) {
                if (open.empty())
                    continue; // the page's own heading, before the list
                const bool folder = name.size() == 2;
                const QString closing = folder ? QStringLiteral("</H3") : QStringLiteral("</A");
                qsizetype end = m_text.indexOf(closing, i, Qt::CaseInsensitive);
                if (end < 0)
                    end = m_text.size();
                BookmarkNode node;
                node.folder = folder;
                node.title = decodeEntities(QStringView(m_text).mid(i, end - i)).simplified();
                node.added = dateAttribute(tag);
                if (!folder)
                    node.url = attribute(tag, QLatin1String("HREF")).trimmed();
                i = end;
                if (++nodes > m_limits.maxNodes) {
                    result.error = QStringLiteral("It holds more than %1 bookmarks and folders.")
                                       .arg(m_limits.maxNodes);
                    return result;
                }
                BookmarkNode* parent = open.back();
                parent->children.append(std::move(node));
                pendingFolder = folder ? &parent->children.last() : nullptr;
                // The pointers in `open` stay good: a parent's list only grows while its
                // last child is not open.
            }
        }
        if (!sawList) {
            result.error = QStringLiteral("It is not a bookmark file.");
            return result;
        }
        if (!open.empty()) {
            result.error = QStringLiteral("It ends in the middle of a folder: the file is incomplete.");
            return result;
        }
        return result;
    }

private:
    static QStringView tagName(QStringView tag)
    {
        qsizetype end = 0;
        while (end < tag.size() && !tag[end].isSpace())
            ++end;
        return tag.first(end);
    }

    const QString& m_text;
    const BookmarkLimits& m_limits;
};

void writeFolder(const BookmarkNode& folder, int depth, QByteArray& out)
{
    const QByteArray indent(4 * depth, ' ');
    out += indent + "<DL><p>\n";
    for (const BookmarkNode& node : folder.children) {
        const QByteArray date =
            node.added.isValid() ? " ADD_DATE=\"" + QByteArray::number(node.added.toSecsSinceEpoch()) + '"'
                                 : QByteArray();
        if (node.folder) {
            out += indent + "    <DT><H3" + date + '>' + escapeText(node.title).toUtf8() + "</H3>\n";
            writeFolder(node, depth + 1, out);
        } else {
            out += indent + "    <DT><A HREF=\"" + escapeText(node.url).toUtf8() + '"' + date +
                   '>' + escapeText(node.title).toUtf8() + "</A>\n";
        }
    }
    out += indent + "</DL><p>\n";
}

} // namespace

QString describeCounts(const BookmarkCounts& counts)
{
    return QStringLiteral("%1 bookmark%2 in %3 folder%4")
        .arg(counts.bookmarks)
        .arg(counts.bookmarks == 1 ? "" : "s")
        .arg(counts.folders)
        .arg(counts.folders == 1 ? "" : "s");
}

BookmarkCounts countBookmarks(const BookmarkNode& root)
{
    BookmarkCounts counts;
    for (const BookmarkNode& node : root.children) {
        if (node.folder) {
            ++counts.folders;
            const BookmarkCounts below = countBookmarks(node);
            counts.folders += below.folders;
            counts.bookmarks += below.bookmarks;
        } else {
            ++counts.bookmarks;
        }
    }
    return counts;
}

BookmarkRead readNetscapeBookmarks(const QByteArray& bytes, const BookmarkLimits& limits)
{
    BookmarkRead result;
    if (bytes.size() > limits.maxBytes) {
        result.error = QStringLiteral("It is larger than %1 MB.").arg(limits.maxBytes / (1024 * 1024));
        return result;
    }
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("It is not a text file.");
        return result;
    }
    const QString text = decodeText(bytes);
    result = Parser(text, limits).run();
    if (!result.ok())
        result.root.children.clear(); // nothing of a file that was not read whole
    return result;
}

QByteArray writeNetscapeBookmarks(const BookmarkNode& root)
{
    QByteArray out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                     "<!-- This is an automatically generated file.\n"
                     "     It will be read and overwritten.\n"
                     "     DO NOT EDIT! -->\n"
                     "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                     "<TITLE>Bookmarks</TITLE>\n"
                     "<H1>Bookmarks</H1>\n";
    writeFolder(root, 0, out);
    return out;
}
