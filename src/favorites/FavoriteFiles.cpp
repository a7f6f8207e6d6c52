#include "favorites/FavoriteFiles.h"

#include "platform/InternetShortcut.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace FavoriteFiles {

namespace {

bool isDeviceName(const QString& name)
{
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QSet<QString> devices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                          QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) ||
                                stem.startsWith(QLatin1String("LPT"))) &&
           stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

} // namespace

QString safeName(const QString& title, const QString& fallback)
{
    QString name;
    name.reserve(title.size());
    for (qsizetype i = 0; i < title.size(); ++i) {
        const QChar c = title.at(i);
        if (c.isHighSurrogate() && i + 1 < title.size() && title.at(i + 1).isLowSurrogate()) {
            name += c;
            name += title.at(++i);
            continue;
        }
        if (c.isSurrogate() || c == QChar(0xFFFD) || c == QChar(0xFEFF))
            continue; // not a character: text that was not valid when it was decoded
        switch (c.unicode()) {
        case '/':
        case '\\':
        case '|':
            name += QLatin1Char('-');
            continue;
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
            continue;
        default:
            break;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph)
            name += QLatin1Char(' ');
        else
            name += c;
    }
    name = name.simplified();
    if (name.size() > MaxNameChars) {
        name.truncate(MaxNameChars);
        if (name.back().isHighSurrogate())
            name.chop(1);
        name = name.trimmed();
    }
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    if (name.isEmpty())
        return fallback;
    if (isDeviceName(name))
        name.prepend(QLatin1Char('_'));
    return name;
}

SaveResult saveShortcut(const QString& folder, const QString& name, const QString& address,
                        bool replace, QString* error)
{
    const QString path = QDir(folder).filePath(name + InternetShortcut::extension());
    const QFileInfo existing(path);
    if (existing.exists() && !replace)
        return SaveResult::Exists;
    if (existing.isDir()) {
        if (error)
            *error = QStringLiteral("%1 is a folder.").arg(QDir::toNativeSeparators(path));
        return SaveResult::Failed;
    }
    // A replaced shortcut is written afresh: nothing of the old one (an icon of another
    // site, say) is kept.
    ProfileFile file;
    QString why;
    if (!file.setValue(InternetShortcut::section(), QStringLiteral("URL"), address, &why) ||
        !file.saveAs(path, &why)) {
        if (error)
            *error = QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), why);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

bool moveInto(const QString& path, const QString& folder, QString* moved, QString* error)
{
    const QFileInfo source(path);
    const QString sourcePath = source.absoluteFilePath();
    const QString target = QDir(folder).absoluteFilePath(source.fileName());
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!source.exists())
        return refuse(QStringLiteral("%1 is no longer there.").arg(source.fileName()));
    if (source.isDir() && (QDir::cleanPath(folder) == sourcePath ||
                           QDir::cleanPath(folder).startsWith(sourcePath + QLatin1Char('/'))))
        return refuse(QStringLiteral("A folder cannot be moved into itself."));
    if (source.absolutePath() == QDir(folder).absolutePath()) {
        *moved = sourcePath; // already there
        return true;
    }
    if (namesIn(folder).contains(folded(source.fileName())))
        return refuse(QStringLiteral("\"%1\" is already in that folder.").arg(source.fileName()));
    if (!QDir().rename(sourcePath, target))
        return refuse(QStringLiteral("Cannot move %1.").arg(source.fileName()));
    *moved = target;
    return true;
}

bool rename(const QString& path, const QString& name, QString* renamed, QString* error)
{
    const QFileInfo source(path);
    const bool shortcut = !source.isDir() && InternetShortcut::isShortcutName(source.fileName());
    const QString fileName = name + (shortcut ? source.fileName().right(4) : QString());
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (name.isEmpty() || safeName(name, QString()) != name)
        return refuse(QStringLiteral("\"%1\" cannot be used as a name.").arg(name));
    if (fileName != source.fileName() && folded(fileName) != folded(source.fileName()) &&
        namesIn(source.absolutePath()).contains(folded(fileName)))
        return refuse(QStringLiteral("\"%1\" is already there.").arg(name));
    const QString target = source.dir().absoluteFilePath(fileName);
    if (fileName != source.fileName() && !QDir().rename(source.absoluteFilePath(), target))
        return refuse(QStringLiteral("Cannot rename %1.").arg(source.fileName()));
    *renamed = target;
    return true;
}

} // namespace FavoriteFiles
