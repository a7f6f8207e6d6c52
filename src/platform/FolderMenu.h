#pragma once

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QString>

#include <functional>

// Menus filled from a folder tree: the page-group menu, the Favorites menu, the links bar's
// drop-downs. What a folder holds, and in which order, is the reader's business; the menus
// only show it and read each sub-folder the first time it opens.

// One item as read from a folder.
struct FolderMenuEntry
{
    QString caption; // as the menu shows it (see folderMenuCaption)
    QString path;    // the sub-folder or the file
    bool folder = false;
    QString hint; // the status-bar text; empty: the path
    QIcon icon;   // empty: the style's folder or file picture

    bool operator==(const FolderMenuEntry& other) const
    {
        return caption == other.caption && path == other.path && folder == other.folder &&
               hint == other.hint;
    }
};

using FolderReader = std::function<QList<FolderMenuEntry>(const QString& folder)>;
using FolderItemOpen = std::function<void(const QString& path)>;

// A file or folder name as a menu caption: no mnemonic, no shortcut column.
QString folderMenuCaption(const QString& name);
// Sorts entries by caption without regard to case (ties by the exact text).
void sortFolderMenuEntries(QList<FolderMenuEntry>& entries);
// The same by the user's language's rules (accented letters beside their base letters).
void sortFolderMenuEntriesLocaleAware(QList<FolderMenuEntry>& entries);

// Adds the entries of `folder` to `menu`: folders as FolderMenuItem, files as items that call
// `open` with their path. Returns how many items were added.
int fillFolderMenu(QMenu* menu, const QString& folder, const FolderReader& read,
                   const FolderItemOpen& open);

// A folder's sub-menu. It is filled from FolderPath() the first time it opens; until then
// (and for ever, when the folder holds nothing) it shows a disabled "(Empty)".
class FolderMenuItem final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderMenuItem)

public:
    FolderMenuItem(const FolderMenuEntry& entry, FolderReader read, FolderItemOpen open,
                   QWidget* parent);

    bool Loaded() const { return m_loaded; }
    QString FolderPath() const { return m_folderPath; }
    void LoadMe();

    static QString EmptyCaption() { return QStringLiteral("(Empty)"); }

private:
    QString m_folderPath;
    FolderReader m_read;
    FolderItemOpen m_open;
    QAction* m_placeholder = nullptr;
    bool m_loaded = false;
};

// A menu whose first `fixedItems` items are commands and whose rest is a folder's content,
// read again when the menu opens after setChanged() (and the first time).
class FolderMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderMenu)

public:
    FolderMenu(QMenu* menu, int fixedItems, std::function<QString()> folder, FolderReader read,
               QObject* parent);

    bool changed() const { return m_changed; }
    void setChanged() { m_changed = true; }
    // What opening the menu runs: rebuilds from the folder when it changed.
    void rebuildIfChanged();
    QMenu* menu() const { return m_menu; }

Q_SIGNALS:
    void itemClicked(const QString& path);

private:
    void clearFolderItems();

    QMenu* const m_menu;
    const int m_fixedItems;
    const std::function<QString()> m_folder;
    const FolderReader m_read;
    bool m_changed = true; // built when first opened
};
