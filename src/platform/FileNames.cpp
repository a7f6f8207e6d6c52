#include "platform/FileNames.h"

#include "platform/FolderListing.h"

#include <QDir>

namespace FileNames {

QString folded(const QString& fileName)
{
    return fileName.toCaseFolded();
}

QString uniqueName(const QString& name, const QString& extension, QSet<QString>& taken)
{
    QString candidate = name + extension;
    for (int n = 2; taken.contains(folded(candidate)); ++n)
        candidate = QStringLiteral("%1 (%2)%3").arg(name).arg(n).arg(extension);
    taken.insert(folded(candidate));
    return candidate;
}

QSet<QString> namesIn(const QString& folder)
{
    QSet<QString> names;
    const QFileInfoList entries =
        listFolder(folder, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        names.insert(folded(entry.fileName()));
    return names;
}

} // namespace FileNames
