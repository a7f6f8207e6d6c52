#include "sidebar/FavoritesFind.h"

#include "platform/FolderListing.h"
#include "platform/InternetShortcut.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

void searchFolder(const QString& folder, const QString& text, QSet<QString>& seen,
                  const std::atomic_bool* cancelled, QList<FoundRow>& rows)
{
    if (cancelled && cancelled->load())
        return;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || seen.contains(canonical))
        return;
    seen.insert(canonical);
    const QFileInfoList entries =
        listFolder(folder, QDir::AllEntries | QDir::Hidden | QDir::System);
    QList<QFileInfo> shortcuts;
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (!entry.fileName().startsWith(QLatin1Char('.')))
                searchFolder(entry.filePath(), text, seen, cancelled, rows);
        } else if (entry.fileName().endsWith(QLatin1String(".url"), Qt::CaseInsensitive)) {
            shortcuts.append(entry);
        }
    }
    seen.remove(canonical); // only the folders above guard against a loop
    for (const QFileInfo& file : std::as_const(shortcuts)) {
        if (cancelled && cancelled->load())
            return;
        const QString name = file.fileName().chopped(4);
        const QString address = readShortcutAddress(file.filePath());
        if (name.contains(text, Qt::CaseInsensitive) || address.contains(text, Qt::CaseInsensitive))
            rows.append({name, address});
    }
}

} // namespace

QString readShortcutAddress(const QString& file)
{
    return InternetShortcut::readAddress(file);
}

QList<FoundRow> findFavorites(const QString& folder, const QString& text,
                              const std::atomic_bool* cancelled)
{
    QList<FoundRow> rows;
    QSet<QString> seen;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        searchFolder(folder, text, seen, cancelled, rows);
    return rows;
}
