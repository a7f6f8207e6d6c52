#pragma once

#include <QList>
#include <QMenu>
#include <QString>

#include <functional>

// One item of the page-group menu as read from a folder.
struct GroupMenuEntry
{
    QString caption; // as the menu shows it: every "&" doubled
    QString path;    // the sub-folder, or the group file
    bool folder = false;

    bool operator==(const GroupMenuEntry&) const = default;
};

// The items of a folder: its sub-folders (names not beginning with ".") sorted by caption,
// then its "*.sgp" files (hidden ones too) captioned without the extension, sorted.
QList<GroupMenuEntry> groupMenuEntries(const QString& folder);
// A file or folder name as a menu caption: no mnemonic, no shortcut column.
QString groupMenuCaption(const QString& name);

using OpenGroup = std::function<void(const QString& path)>;

// A folder of the page-group menu. Its sub-menu is filled from FolderPath() the first time
// it opens; until then (and for ever, when the folder holds nothing) it shows a disabled
// "(Empty)".
class TVarloGroupMenuItem final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVarloGroupMenuItem)

public:
    TVarloGroupMenuItem(const GroupMenuEntry& entry, OpenGroup open, QWidget* parent);

    bool Loaded() const { return m_loaded; }
    QString FolderPath() const { return m_folderPath; }
    void LoadMe();

    static QString EmptyCaption() { return QStringLiteral("(Empty)"); }

private:
    QString m_folderPath;
    OpenGroup m_open;
    QAction* m_placeholder = nullptr;
    bool m_loaded = false;
};

// Adds the items of folder to menu: folders as TVarloGroupMenuItem, group files as items
// that call open with their path. Returns how many items were added.
int fillGroupMenu(QMenu* menu, const QString& folder, const OpenGroup& open);

// The page-group menu of the main window: its first fixedItems items are the commands;
// everything after them is the folder's content, rebuilt when the menu opens after
// SetGroupsChanged (and the first time).
class TSorvelGroupMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSorvelGroupMenu)

public:
    TSorvelGroupMenu(QMenu* menu, int fixedItems, QObject* parent);

    bool GroupsChanged() const { return m_groupsChanged; }
    void SetGroupsChanged() { m_groupsChanged = true; }
    // What opening the menu runs: rebuilds from the groups folder when it changed.
    void rebuildIfChanged();
    QMenu* menu() const { return m_menu; }

Q_SIGNALS:
    void groupClicked(const QString& path);

private:
    void clearFolderItems();

    QMenu* const m_menu;
    const int m_fixedItems;
    bool m_groupsChanged = true; // built when first opened
};
