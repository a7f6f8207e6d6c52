#include "favorites/FavoritesTransfer.h"

#include "favorites/FavoriteFiles.h"
#include "favorites/FavoritesMenu.h"
#include "platform/FolderListing.h"
#include "platform/InternetShortcut.h"
#include "platform/ProfileFile.h"
#include "platform/SaveLeftovers.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QSaveFile>
#include <QUuid>

#include <cerrno>
#include <limits>

#include <signal.h>
#include <unistd.h>

namespace FavoritesTransfer {

namespace {

constexpr QLatin1String StagingPrefix(".import-");
constexpr QLatin1String ExportNotePrefix(".export-");
constexpr qint64 MaxNoteBytes = 64 * 1024;

// A hidden name in the Favorites for a transfer of this process: the prefix, the
// process's number (which tells a later start whether it may still be running), a
// unique part.
QString transferName(QLatin1String prefix)
{
    return QStringLiteral("%1%2-%3")
        .arg(prefix)
        .arg(qint64(::getpid()))
        .arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
}

// While an export runs, a hidden note in the Favorites names its file: a kill in the
// write's last step leaves the finished file under a temporary name beside it, where no
// start would look otherwise. The note goes when the export is over, whatever its end.
class ExportNote final
{
    Q_DISABLE_COPY_MOVE(ExportNote)

public:
    ExportNote(const QString& favorites, const QString& file)
        : m_path(QDir(favorites).filePath(transferName(ExportNotePrefix)))
    {
        // Ended by a line break, so that a note cut short is known as one.
        const QByteArray text = QFileInfo(file).absoluteFilePath().toUtf8() + '\n';
        QFile note(m_path);
        if (!note.open(QIODevice::NewOnly) || note.write(text) != text.size())
            QFile::remove(m_path); // the export goes on; only a crash's clean-up is lost
    }
    ~ExportNote() { QFile::remove(m_path); }

private:
    QString m_path;
};

bool writeLevel(const BookmarkNode& folder, const QString& path, BookmarkCounts& counts,
                QString& error)
{
    QSet<QString> taken = FavoriteFiles::namesIn(path);
    for (const BookmarkNode& node : folder.children) {
        if (node.folder) {
            const QString name =
                FavoriteFiles::uniqueName(FavoriteFiles::safeName(node.title, QStringLiteral("New Folder")),
                                          QString(), taken);
            const QString below = QDir(path).filePath(name);
            if (!QDir(path).mkdir(name)) {
                error = QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(below));
                return false;
            }
            ++counts.folders;
            if (!writeLevel(node, below, counts, error))
                return false;
            continue;
        }
        if (node.url.isEmpty())
            continue;
        const QString name = FavoriteFiles::uniqueName(
            FavoriteFiles::safeName(node.title.isEmpty() ? node.url : node.title), QString(), taken);
        // uniqueName weighed the name alone; the shortcut's own name must be free too.
        QString file = name + InternetShortcut::extension();
        for (int n = 2; taken.contains(FavoriteFiles::folded(file)); ++n)
            file = QStringLiteral("%1 (%2)%3").arg(name).arg(n).arg(InternetShortcut::extension());
        taken.insert(FavoriteFiles::folded(file));
        ProfileFile shortcut;
        const QString target = QDir(path).filePath(file);
        QString why;
        if (!shortcut.setValue(InternetShortcut::section(), QStringLiteral("URL"), node.url, &why)) {
            error = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(target), why);
            return false;
        }
        // Written plainly, not each through a temporary file: the whole tree is what is
        // put in place at once (and ten thousand flushes to the disk would take minutes).
        QFile written(target);
        const QByteArray bytes = shortcut.toBytes();
        if (!written.open(QIODevice::NewOnly) || written.write(bytes) != bytes.size() ||
            !written.flush()) {
            error = QStringLiteral("Cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(target), written.errorString());
            return false;
        }
        if (node.added.isValid())
            written.setFileTime(node.added, QFileDevice::FileModificationTime);
        ++counts.bookmarks;
    }
    return true;
}

bool readLevel(const QString& path, int depth, BookmarkNode& into, const BookmarkLimits& limits,
               int& nodes, QString& error)
{
    if (depth > limits.maxDepth) {
        error = QStringLiteral("Its folders are nested more than %1 deep.").arg(limits.maxDepth);
        return false;
    }
    const QFileInfoList entries = listFolder(path, QDir::AllEntries | QDir::System);
    QList<std::pair<QString, QFileInfo>> folders;
    QList<std::pair<QString, QFileInfo>> shortcuts;
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir()) {
            if (!name.startsWith(QLatin1Char('.')) && !entry.isSymLink())
                folders.append({name, entry});
        } else if (InternetShortcut::isShortcutName(name)) {
            shortcuts.append({InternetShortcut::displayName(name), entry});
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto byName = [&collator](const auto& a, const auto& b) {
        const int order = collator.compare(a.first, b.first);
        return order != 0 ? order < 0 : a.first < b.first;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(shortcuts.begin(), shortcuts.end(), byName);
    for (const auto& [name, info] : std::as_const(folders)) {
        if (++nodes > limits.maxNodes) {
            error = QStringLiteral("It holds more than %1 favorites and folders.").arg(limits.maxNodes);
            return false;
        }
        BookmarkNode folder;
        folder.folder = true;
        folder.title = name;
        if (!readLevel(info.filePath(), depth + 1, folder, limits, nodes, error))
            return false;
        into.children.append(std::move(folder));
    }
    for (const auto& [name, info] : std::as_const(shortcuts)) {
        if (++nodes > limits.maxNodes) {
            error = QStringLiteral("It holds more than %1 favorites and folders.").arg(limits.maxNodes);
            return false;
        }
        BookmarkNode shortcut;
        shortcut.title = name;
        shortcut.url = InternetShortcut::readAddress(info.filePath());
        shortcut.added = info.lastModified().toUTC();
        into.children.append(std::move(shortcut));
    }
    return true;
}

// Whether the process that named a transfer (transferName) may still be running it. A
// staging folder without a process number is an older version's: its process is gone.
// Where an import stages beside `favorites`: the folder that holds it, and what the names
// of such staging folders begin with before StagingPrefix (".Favorites").
struct Beside
{
    QDir parent;
    QString lead;
};

Beside besideOf(const QString& favorites)
{
    const QDir folder(QDir(favorites).absolutePath());
    return {QFileInfo(folder.absolutePath()).dir(), QLatin1Char('.') + folder.dirName()};
}

bool writerMayRun(const QString& name, qsizetype prefixSize)
{
    const QString rest = name.mid(prefixSize);
    const qsizetype dash = rest.indexOf(QLatin1Char('-'));
    bool ok = false;
    const qint64 pid = dash > 0 ? rest.left(dash).toLongLong(&ok) : 0;
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (pid == ::getpid())
        return true;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

int removeUnfinished(const QString& favorites, const QDateTime& madeBefore)
{
    if (favorites.isEmpty())
        return 0;
    int removed = 0;
    // The last change: a staging folder's when its last entry was added, a note's when it
    // was written.
    const auto madeEarlier = [&madeBefore](const QFileInfo& entry) {
        return entry.lastModified() < madeBefore;
    };
    // An import stages beside the Favorites folder, or in it when it could not.
    const QDir folder(QDir(favorites).absolutePath());
    const Beside place = besideOf(favorites);
    const QString besidePrefix = place.lead + StagingPrefix;
    const QFileInfoList beside = place.parent.entryInfoList(
        {besidePrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : beside) {
        if (!entry.isSymLink() && madeEarlier(entry) &&
            !writerMayRun(entry.fileName(), besidePrefix.size()) &&
            QDir(entry.filePath()).removeRecursively())
            ++removed;
    }
    const QFileInfoList entries = folder.entryInfoList(
        {QString(StagingPrefix) + QLatin1Char('*'), QString(ExportNotePrefix) + QLatin1Char('*')},
        QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !madeEarlier(entry))
            continue;
        const QString name = entry.fileName();
        if (entry.isDir() && name.startsWith(StagingPrefix)) {
            if (!writerMayRun(name, StagingPrefix.size()) && QDir(entry.filePath()).removeRecursively())
                ++removed;
            continue;
        }
        if (!entry.isFile() || !name.startsWith(ExportNotePrefix) ||
            writerMayRun(name, ExportNotePrefix.size()))
            continue;
        QFile note(entry.filePath());
        const QByteArray text =
            entry.size() <= MaxNoteBytes && note.open(QIODevice::ReadOnly) ? note.readAll() : QByteArray();
        note.close();
        if (text.endsWith('\n')) {
            const QFileInfo file(QString::fromUtf8(text.chopped(1)));
            if (file.isAbsolute()) {
                removed += SaveLeftovers::remove({file.absolutePath(), {file.fileName()}, false},
                                                 madeBefore);
            }
        }
        QFile::remove(entry.filePath());
    }
    return removed;
}

Outcome writeTree(const BookmarkNode& root, const QString& folder)
{
    Outcome outcome;
    const bool made = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        outcome.error = QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(folder));
        return outcome;
    }
    if (!writeLevel(root, folder, outcome.counts, outcome.error)) {
        if (made)
            QDir(folder).removeRecursively();
        return outcome;
    }
    outcome.folder = folder;
    return outcome;
}

QString stagingFolder(const QString& favorites, bool inside)
{
    // The process's number in the name tells a later start whether the import may still be
    // running.
    const QString tag = transferName(StagingPrefix);
    if (inside)
        return QDir(QDir(favorites).absolutePath()).filePath(tag);
    const Beside place = besideOf(favorites);
    return place.parent.filePath(place.lead + tag);
}

Outcome importInto(const BookmarkNode& root, const QString& favorites, const QString& name)
{
    Outcome outcome;
    if (favorites.isEmpty()) {
        outcome.error = QStringLiteral("There is no Favorites folder.");
        return outcome;
    }
    if (!QDir().mkpath(favorites)) {
        outcome.error = QStringLiteral("Cannot make the Favorites folder %1.")
                            .arg(QDir::toNativeSeparators(favorites));
        return outcome;
    }
    QSet<QString> taken = FavoriteFiles::namesIn(favorites);
    const QString target = QDir(favorites).filePath(FavoriteFiles::uniqueName(
        FavoriteFiles::safeName(name, QStringLiteral("Imported Bookmarks")), QString(), taken));
    // Written beside the Favorites folder, not in it: the menu, the side bar and the
    // favorites window watch everything below it and would reload at every file written.
    // Only the rename into place is a change they see. When the parent takes nothing, or
    // the Favorites folder is a file system of its own, the import stages inside, hidden
    // by its leading ".".
    for (const bool inside : {false, true}) {
        outcome = writeTree(root, stagingFolder(favorites, inside));
        if (!outcome.ok())
            continue;
        const QString staging = outcome.folder;
        if (QDir().rename(staging, target)) {
            outcome.folder = target;
            return outcome;
        }
        QDir(staging).removeRecursively();
        outcome.folder.clear();
        outcome.error =
            QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(target));
    }
    return outcome;
}

Outcome readFavorites(const QString& favorites, BookmarkNode* root, const BookmarkLimits& limits)
{
    Outcome outcome;
    *root = BookmarkNode();
    root->folder = true;
    if (favorites.isEmpty() || !QFileInfo(favorites).isDir()) {
        outcome.error = QStringLiteral("The Favorites folder %1 does not exist.")
                            .arg(QDir::toNativeSeparators(favorites));
        return outcome;
    }
    int nodes = 0;
    if (!readLevel(favorites, 1, *root, limits, nodes, outcome.error))
        *root = BookmarkNode();
    outcome.counts = countBookmarks(*root);
    return outcome;
}

Outcome exportTo(const QString& favorites, const QString& file)
{
    BookmarkNode root;
    Outcome outcome = readFavorites(favorites, &root);
    if (!outcome.ok())
        return outcome;
    const ExportNote note(favorites, file);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(writeNetscapeBookmarks(root)) < 0 ||
        !out.commit()) {
        outcome.error = QStringLiteral("Cannot write %1: %2")
                            .arg(QDir::toNativeSeparators(file), out.errorString());
    }
    return outcome;
}

QList<Source> findBrowserBookmarks(const QString& home)
{
    QList<Source> found;
    // Firefox: every profile folder under the profiles folder (the Snap and Flatpak
    // packages keep theirs elsewhere).
    for (const QString& base : {QStringLiteral(".mozilla/firefox"),
                                QStringLiteral("snap/firefox/common/.mozilla/firefox"),
                                QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox")}) {
        const QDir profiles(QDir(home).filePath(base));
        const QStringList names = profiles.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& profile : names) {
            const QString places = profiles.filePath(profile + QStringLiteral("/places.sqlite"));
            if (QFileInfo::exists(places))
                found.append({QStringLiteral("Firefox (%1)").arg(profile.section(QLatin1Char('.'), 1)), places});
        }
    }
    const std::pair<const char*, const char*> chromiums[] = {
        {"Chromium", ".config/chromium"},
        {"Google Chrome", ".config/google-chrome"},
        {"Brave", ".config/BraveSoftware/Brave-Browser"},
        {"Microsoft Edge", ".config/microsoft-edge"},
        {"Vivaldi", ".config/vivaldi"},
    };
    for (const auto& [label, base] : chromiums) {
        const QDir config(QDir(home).filePath(QString::fromLatin1(base)));
        const QStringList names = config.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& profile : names) {
            const QString bookmarks = config.filePath(profile + QStringLiteral("/Bookmarks"));
            if (QFileInfo(bookmarks).isFile())
                found.append({QStringLiteral("%1 (%2)").arg(QString::fromLatin1(label), profile), bookmarks});
        }
    }
    return found;
}

} // namespace FavoritesTransfer
