#include "app/BookmarkCommand.h"

#include "favorites/FavoritesTransfer.h"
#include "platform/Paths.h"
#include "platform/RegistryHive.h"
#include "platform/ShellFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

constexpr int Failure = 2;

void print(FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

// A reason as a sentence, whatever its source put at its end.
QString sentence(QString text)
{
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

void printError(const QString& text)
{
    print(stderr, QStringLiteral("pelvane: %1").arg(text));
}

// The Favorites folder as the settings name it (the default one on a first run).
QString favoritesFolder(QString* error)
{
    RegistryHive hive(Paths::hiveFile());
    if (!hive.isOpen()) {
        *error = QStringLiteral("cannot open the settings file %1: %2").arg(hive.path(), hive.errorText());
        return QString();
    }
    ShellFolders::seed(hive);
    const QString folder = ShellFolders::read(hive, QStringLiteral("Favorites"));
    if (folder.isEmpty())
        *error = QStringLiteral("no Favorites folder is set");
    return folder;
}

int importBookmarks(const QString& file, const QString& folderName)
{
    QString error;
    const QString favorites = favoritesFolder(&error);
    if (favorites.isEmpty()) {
        printError(error);
        return Failure;
    }
    const QString name = folderName.isEmpty()
                             ? QStringLiteral("Imported from %1").arg(QFileInfo(file).completeBaseName())
                             : folderName;
    // A folder named by the caller is the caller's to choose: an existing one is not
    // mixed into.
    if (!folderName.isEmpty() && QFileInfo::exists(QDir(favorites).filePath(folderName))) {
        printError(QStringLiteral("%1 is already in the Favorites; nothing was imported")
                       .arg(folderName));
        return Failure;
    }
    const BookmarkRead read = readBookmarkFile(file);
    if (!read.ok()) {
        printError(QStringLiteral("%1: %2 Nothing was imported.").arg(file, sentence(read.error)));
        return Failure;
    }
    const FavoritesTransfer::Outcome outcome =
        FavoritesTransfer::importInto(read.root, favorites, name);
    if (!outcome.ok()) {
        printError(QStringLiteral("%1 Nothing was imported.").arg(sentence(outcome.error)));
        return Failure;
    }
    print(stdout, QStringLiteral("Imported %1 into %2")
                      .arg(describeCounts(outcome.counts), QDir::toNativeSeparators(outcome.folder)));
    return 0;
}

int exportBookmarks(const QString& file)
{
    QString error;
    const QString favorites = favoritesFolder(&error);
    if (favorites.isEmpty()) {
        printError(error);
        return Failure;
    }
    const FavoritesTransfer::Outcome outcome = FavoritesTransfer::exportTo(favorites, file);
    if (!outcome.ok()) {
        printError(QStringLiteral("%1 Nothing was exported.").arg(sentence(outcome.error)));
        return Failure;
    }
    print(stdout, QStringLiteral("Exported %1 to %2").arg(describeCounts(outcome.counts), file));
    return 0;
}

} // namespace

std::optional<int> runBookmarkCommand(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const bool importing = std::strcmp(argv[1], "--import-bookmarks") == 0;
    const bool exporting = std::strcmp(argv[1], "--export-bookmarks") == 0;
    if (!importing && !exporting)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(2);
    if (importing) {
        if (args.isEmpty() || args.size() > 2 || args.first().isEmpty()) {
            printError(QStringLiteral("usage: pelvane --import-bookmarks FILE [FOLDER]"));
            return Failure;
        }
        return importBookmarks(args.first(), args.value(1));
    }
    if (args.size() != 1 || args.first().isEmpty()) {
        printError(QStringLiteral("usage: pelvane --export-bookmarks FILE"));
        return Failure;
    }
    return exportBookmarks(args.first());
}
