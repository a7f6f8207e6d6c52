// Page-group (.sgp) files: read from disk into entries; an entry without an address is
// a locked blank tab ("*"), and there are never more entries than the file has lines.
#include "FuzzSupport.h"
#include "groups/SorvelGroup.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::app();
    const QString path = QDir(FuzzSupport::folder().path()).filePath(QStringLiteral("g.sgp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const TSorvelGroup group(path);
    const QList<PageGroupEntry> entries = pageGroupEntries(group);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (entries.size() > bytes.count('\n') + bytes.count('\r') + 1)
        FuzzSupport::broken("no more entries than lines");
    for (const PageGroupEntry& entry : entries) {
        if (entry.address.isEmpty() && !entry.locked)
            FuzzSupport::broken("only a locked tab may have no address");
    }
    return 0;
}
