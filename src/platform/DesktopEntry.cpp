#include "platform/DesktopEntry.h"

#include "platform/BoundedFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace DesktopEntry {

QString unescapeValue(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            result += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result += QLatin1Char(' ');
            break;
        case 'n':
            result += QLatin1Char('\n');
            break;
        case 't':
            result += QLatin1Char('\t');
            break;
        case 'r':
            result += QLatin1Char('\r');
            break;
        case '\\':
            result += QLatin1Char('\\');
            break;
        default: // not an escape of the value: kept for the Exec rules
            result += c;
            result += next;
            break;
        }
    }
    return result;
}

QString escapeValue(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    if (out.startsWith(QLatin1Char(' '))) // a value's leading blanks are not kept
        out.replace(0, 1, QLatin1String("\\s"));
    return out;
}

QHash<QString, QString> readGroup(const QByteArray& text)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    const QByteArrayList lines = text.split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (inGroup)
                break;
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key))
            keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return keys;
}

bool readKeyFile(const QString& path, QByteArray* bytes, QString* error)
{
    bytes->clear();
    if (!QFileInfo::exists(path))
        return true;
    BoundedFile file = BoundedFile::read(path, MaxKeyFileBytes);
    if (file.status == BoundedFile::Status::Read) {
        *bytes = std::move(file.bytes);
        return true;
    }
    if (error)
        *error = QStringLiteral("Cannot read %1: %2")
                     .arg(path, file.status == BoundedFile::Status::TooLarge
                                    ? QStringLiteral("it is larger than %1 bytes, more than the "
                                                     "desktop writes")
                                          .arg(MaxKeyFileBytes)
                                    : file.error);
    return false;
}

namespace {

QStringList splitList(const QString& value)
{
    QStringList result;
    const QStringList parts = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (!part.trimmed().isEmpty())
            result << part.trimmed();
    }
    return result;
}

bool programExists(const QString& program)
{
    if (QDir::isAbsolutePath(program))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QHash<QString, QString> readGroupOfFile(const QString& file)
{
    QByteArray bytes;
    return readKeyFile(file, &bytes) ? readGroup(bytes) : QHash<QString, QString>();
}

// The language the desktop's texts are wanted in, as the entries' keys name it
// ("de_DE@euro"): LC_ALL, LC_MESSAGES or LANG, without the encoding; else the program's
// own locale.
QString messagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            const qsizetype dot = value.indexOf(QLatin1Char('.'));
            const qsizetype at = value.indexOf(QLatin1Char('@'));
            return dot < 0 ? value : value.left(dot) + (at > dot ? value.mid(at) : QString());
        }
    }
    return QLocale().name();
}

QString localized(const QHash<QString, QString>& keys, const QString& key)
{
    for (const QString& suffix : LocaleSuffixes(messagesLocale())) {
        const QString candidate = QStringLiteral("%1[%2]").arg(key, suffix);
        if (keys.contains(candidate))
            return unescapeValue(keys.value(candidate));
    }
    return unescapeValue(keys.value(key));
}

// A key's value; for "Key[$e]", the KDE form that refers to the environment, the value
// with its references expanded.
QString valueOrExpanded(const QHash<QString, QString>& keys, const QString& key)
{
    if (keys.contains(key))
        return unescapeValue(keys.value(key));
    const QString expandable = keys.value(key + QLatin1String("[$e]"));
    return ExpandEnvironment(unescapeValue(expandable), [](const QString& name) {
        return qEnvironmentVariable(qPrintable(name));
    });
}

} // namespace

QStringList LocaleSuffixes(const QString& locale)
{
    const qsizetype at = locale.indexOf(QLatin1Char('@'));
    const QString modifier = at < 0 ? QString() : locale.mid(at);
    const QString langCountry = at < 0 ? locale : locale.left(at);
    const QString lang = langCountry.section(QLatin1Char('_'), 0, 0);
    QStringList suffixes;
    if (!modifier.isEmpty() && langCountry != lang)
        suffixes << langCountry + modifier;
    if (langCountry != lang)
        suffixes << langCountry;
    if (!modifier.isEmpty())
        suffixes << lang + modifier;
    if (!lang.isEmpty() && lang != QLatin1String("C") && lang != QLatin1String("POSIX"))
        suffixes << lang;
    return suffixes;
}

QStringList ApplicationFolders()
{
    QStringList folders;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    folders << home + QStringLiteral("/applications");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    const QStringList parts = dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : parts)
        folders << dir + QStringLiteral("/applications");
    folders.removeDuplicates();
    return folders;
}

std::optional<DesktopApplication> ReadDesktopEntry(const QString& file, const QString& id)
{
    const QHash<QString, QString> keys = readGroupOfFile(file);
    if (keys.value(QStringLiteral("Type")) != QLatin1String("Application"))
        return std::nullopt;
    if (keys.value(QStringLiteral("Hidden")) == QLatin1String("true"))
        return std::nullopt;
    DesktopApplication app;
    app.id = id;
    app.desktopFile = file;
    app.name = localized(keys, QStringLiteral("Name"));
    app.exec = valueOrExpanded(keys, QStringLiteral("Exec"));
    app.icon = unescapeValue(keys.value(QStringLiteral("Icon")));
    app.mimeTypes = splitList(keys.value(QStringLiteral("MimeType")));
    app.workingFolder = valueOrExpanded(keys, QStringLiteral("Path"));
    app.terminal = keys.value(QStringLiteral("Terminal")) == QLatin1String("true");
    if (app.name.isEmpty() || app.exec.isEmpty())
        return std::nullopt;
    const QString tryExec = unescapeValue(keys.value(QStringLiteral("TryExec")));
    if (!tryExec.isEmpty() && !programExists(tryExec))
        return std::nullopt;
    return app;
}

std::optional<DesktopApplication> FindDesktopEntry(const QString& id, const QStringList& folders)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || !id.endsWith(QLatin1String(".desktop")))
        return std::nullopt;
    for (const QString& folder : folders) {
        // The id's dashes may stand for subfolders: try each split, the plain file first.
        QString relative = id;
        for (qsizetype from = 0;;) {
            const QString path = folder + QLatin1Char('/') + relative;
            if (QFileInfo(path).isFile())
                return ReadDesktopEntry(path, id); // found here: later folders do not count
            from = relative.indexOf(QLatin1Char('-'), from);
            if (from < 0)
                break;
            relative[from] = QLatin1Char('/');
            ++from;
        }
    }
    return std::nullopt;
}

QString ExpandEnvironment(const QString& text, const std::function<QString(const QString&)>& lookup)
{
    const auto isNameChar = [](QChar c) {
        return c == QLatin1Char('_') || (c.unicode() < 128 && c.isLetterOrNumber());
    };
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('$') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(i + 1);
        if (next == QLatin1Char('$')) {
            out += c;
            ++i;
        } else if (next == QLatin1Char('{')) {
            const qsizetype close = text.indexOf(QLatin1Char('}'), i + 2);
            if (close < 0) {
                out += c;
                continue;
            }
            out += lookup(text.mid(i + 2, close - i - 2));
            i = close;
        } else if (isNameChar(next) && !next.isDigit()) {
            qsizetype end = i + 1;
            while (end < text.size() && isNameChar(text.at(end)))
                ++end;
            out += lookup(text.mid(i + 1, end - i - 1));
            i = end - 1;
        } else {
            out += c;
        }
    }
    return out;
}

QList<DesktopApplication> ProgramsFor(const QString& mimeType, const QStringList& folders)
{
    QSet<QString> seen;
    QList<DesktopApplication> result;
    for (const QString& folder : folders) {
        const QDir root(folder);
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        QStringList files;
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString& file : std::as_const(files)) {
            QString id = root.relativeFilePath(file);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const auto app = ReadDesktopEntry(file, id);
            if (app && app->mimeTypes.contains(mimeType, Qt::CaseInsensitive))
                result << *app;
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const DesktopApplication& a, const DesktopApplication& b) {
                         return a.name.localeAwareCompare(b.name) < 0;
                     });
    return result;
}

QStringList SplitExec(const QString& exec, bool* ok)
{
    QStringList args;
    QString current;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                       QStringLiteral("\"`$\\").contains(exec.at(i + 1))) {
                current += exec.at(++i);
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord) {
                args << current;
                current.clear();
                inWord = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord && !quoted)
        args << current;
    if (ok)
        *ok = !quoted;
    return quoted ? QStringList() : args;
}

namespace {

// The Exec line of `app` with its codes given: `file` for the file codes, `url` for the
// address codes; with `given` false they give nothing and nothing is added.
QStringList buildFrom(const DesktopApplication& app, const QString& file, const QString& url,
                      bool given)
{
    bool ok = false;
    const QStringList words = SplitExec(app.exec, &ok);
    if (!ok || words.isEmpty())
        return {};
    QStringList result;
    bool fileGiven = false;
    for (const QString& word : words) {
        // Codes that stand for whole arguments.
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            if (given)
                result << file;
            fileGiven = true;
            continue;
        }
        if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            if (given)
                result << url;
            fileGiven = true;
            continue;
        }
        if (word == QLatin1String("%i")) {
            if (!app.icon.isEmpty())
                result << QStringLiteral("--icon") << app.icon;
            continue;
        }
        QString expanded;
        for (qsizetype i = 0; i < word.size(); ++i) {
            const QChar c = word.at(i);
            if (c != QLatin1Char('%') || i + 1 >= word.size()) {
                expanded += c;
                continue;
            }
            switch (word.at(++i).unicode()) {
            case 'f':
            case 'F':
                expanded += given ? file : QString();
                fileGiven = true;
                break;
            case 'u':
            case 'U':
                expanded += given ? url : QString();
                fileGiven = true;
                break;
            case 'c':
                expanded += app.name;
                break;
            case 'k':
                expanded += app.desktopFile;
                break;
            case '%':
                expanded += QLatin1Char('%');
                break;
            default: // %i inside a word, the deprecated codes and unknown ones: nothing
                break;
            }
        }
        // A word that was only a code for nothing is no argument at all.
        if (!expanded.isEmpty() || !word.contains(QLatin1Char('%')))
            result << expanded;
    }
    if (result.isEmpty() || result.first().isEmpty())
        return {};
    if (!fileGiven && given)
        result << file;
    return result;
}

} // namespace

QStringList BuildCommand(const DesktopApplication& app, const QString& file)
{
    return buildFrom(app, file, QUrl::fromLocalFile(file).toString(), true);
}

QStringList BuildAddressCommand(const DesktopApplication& app, const QString& address)
{
    return buildFrom(app, address, address, !address.isEmpty());
}

} // namespace DesktopEntry
