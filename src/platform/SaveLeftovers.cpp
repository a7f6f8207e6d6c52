#include "platform/SaveLeftovers.h"

#include "platform/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <time.h>
#include <unistd.h>

namespace SaveLeftovers {

namespace {

// The six characters QTemporaryFile puts in a name.
bool isUniquePart(QStringView part)
{
    if (part.size() != 6)
        return false;
    for (const QChar c : part) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

int removeIn(const QString& folder, const Place& place, const QDateTime& madeBefore,
             const std::atomic_bool* cancelled, int depth)
{
    // The Favorites nest folders; a tree deeper than this is no tree the program made.
    constexpr int MaxDepth = 64;
    int removed = 0;
    const QFileInfoList entries = listFolder(folder, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (cancelled && *cancelled)
            break;
        const QString name = entry.fileName();
        if (entry.isDir()) {
            if (place.below && depth < MaxDepth && !entry.isSymLink() &&
                !name.startsWith(QLatin1Char('.')))
                removed += removeIn(entry.filePath(), place, madeBefore, cancelled, depth + 1);
            continue;
        }
        if (!entry.isFile() || entry.isSymLink())
            continue;
        const bool leftover = std::any_of(place.endings.cbegin(), place.endings.cend(),
                                          [&name](const QString& ending) {
                                              return isLeftoverOf(name, ending);
                                          });
        if (!leftover)
            continue;
        // Its last write: nothing writes a leftover after its writer has gone.
        if (entry.lastModified() < madeBefore && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace

bool isLeftoverOf(const QString& fileName, const QString& ending)
{
    // "<name>.XXXXXX", where <name> ends in `ending` (".url") or is it ("toolbar.dat").
    const qsizetype stem = fileName.size() - 7;
    if (ending.isEmpty() || stem < ending.size() || fileName.at(stem) != QLatin1Char('.') ||
        !isUniquePart(QStringView(fileName).mid(stem + 1)))
        return false;
    const QStringView name = QStringView(fileName).left(stem);
    return ending.startsWith(QLatin1Char('.'))
               ? name.size() > ending.size() && name.endsWith(ending, Qt::CaseInsensitive)
               : name.compare(ending, Qt::CaseInsensitive) == 0;
}

int remove(const Place& place, const QDateTime& madeBefore, const std::atomic_bool* cancelled)
{
    if (place.folder.isEmpty() || place.endings.isEmpty() || !QFileInfo(place.folder).isDir())
        return 0;
    return removeIn(place.folder, place, madeBefore, cancelled, 0);
}

QList<Place> storePlaces(const Folders& folders)
{
    return {
        {folders.settings, {QStringLiteral(".json"), QStringLiteral(".running")}, false},
        {folders.program,
         {QStringLiteral("toolbar.dat"), QStringLiteral("profile.vcf"), QStringLiteral(".ini")},
         false},
        {folders.groups, {QStringLiteral(".sgp")}, false},
        {folders.favorites, {QStringLiteral(".url")}, true},
    };
}

QDateTime processStart()
{
    // Field 22 of /proc/self/stat: the start in clock ticks after the boot, which the
    // boot-time clock gives now; the difference is the process's age.
    const QDateTime now = QDateTime::currentDateTime();
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return now;
    const QByteArray line = stat.read(4096);
    // The program's name (field 2) may hold blanks; the fields after it follow its ")".
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return now;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    constexpr int StartField = 22 - 3; // the fields after ")" begin with field 3
    bool ok = false;
    const qint64 ticks = fields.size() > StartField ? fields.at(StartField).toLongLong(&ok) : 0;
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    timespec boot{};
    if (!ok || perSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0)
        return now;
    const qint64 sinceBootMs = qint64(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000;
    const qint64 ageMs = sinceBootMs - ticks * 1000 / perSecond;
    return ageMs > 0 ? now.addMSecs(-ageMs) : now;
}

} // namespace SaveLeftovers
