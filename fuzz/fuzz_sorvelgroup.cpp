// Page-group (.sgp) files: read from disk into entries; an entry without an address is a
// locked blank tab ("*"), and there are never more entries than the file has lines. The
// entries, written as a new group with the group writer and read again, are the same.
#include "FuzzSupport.h"
#include "groups/SorvelGroup.h"

#include <QDir>
#include <QFile>
#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QDir folder(FuzzSupport::folder().path());
    const QString path = folder.filePath(QStringLiteral("g.sgp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const TSorvelGroup group(path);
    const QList<PageGroupEntry> entries = pageGroupEntries(group);
    const QByteArray bytes = input.bytes();
    if (entries.size() > bytes.count('\n') + bytes.count('\r') + 1)
        FuzzSupport::broken("no more entries than lines");
    for (const PageGroupEntry& entry : entries) {
        if (entry.address.isEmpty() && !entry.locked)
            FuzzSupport::broken("only a locked tab may have no address");
    }

    // Written as the program saves the tabs of a window: one AddEntry a tab.
    const QString copyPath = folder.filePath(QStringLiteral("copy.sgp"));
    QFile::remove(copyPath);
    TSorvelGroup copy;
    copy.setFileName(copyPath);
    for (const PageGroupEntry& entry : entries)
        copy.AddEntry(entry.stickyName, entry.address, entry.locked);
    if (copy.Save(nullptr) != TSorvelGroup::SaveResult::Saved)
        FuzzSupport::broken("a group read is written");
    const QList<PageGroupEntry> again = pageGroupEntries(TSorvelGroup(copyPath));
    // The same tabs in the same order. A file may give two entries one name (by hand, or
    // once the line breaks in a name are dropped), which a group written cannot hold: the
    // writer renames the later one, and only its name may differ.
    bool same = again.size() == entries.size();
    QSet<QString> names;
    for (qsizetype i = 0; same && i < entries.size(); ++i) {
        const PageGroupEntry& read = entries.at(i);
        const PageGroupEntry& back = again.at(i);
        const bool named = !read.stickyName.isEmpty();
        const bool repeated = named && names.contains(read.stickyName.trimmed().toLower());
        if (named)
            names.insert(read.stickyName.trimmed().toLower());
        same = read.address == back.address && read.locked == back.locked &&
               (repeated || read.stickyName == back.stickyName);
    }
    if (!same)
        FuzzSupport::broken("a group written reads back with the same entries");
    return 0;
}
