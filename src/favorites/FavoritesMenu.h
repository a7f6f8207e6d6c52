#pragma once

#include "platform/FolderMenu.h"

#include <QIcon>
#include <QObject>

#include <functional>

class QMenu;
class TDiscMonitor;

// A favourite's or folder's name as the Favorites menu shows it: 46 characters or more
// become the first 21, "..." and the last 21; "&" is shown as itself.
QString favoriteDisplayName(const QString& name);

// Finds the picture of a site for an address; a null icon when none is known.
using FavoriteIconLookup = std::function<QIcon(const QString& address)>;

// One level of a Favorites folder as the menu lists it: its folders (not those whose name
// begins with "."), then its shortcuts (".url" in any case, with their addresses as hints),
// each group sorted without regard to case by the user's language. Other files are not
// listed. A folder that cannot be read gives nothing.
QList<FolderMenuEntry> readFavoriteEntries(const QString& folder, const FavoriteIconLookup& icons,
                                           const QIcon& pageIcon);

// The "F&avorites" menu: its head (Add, Organize, a separator) and the Favorites folder
// below it, read when the menu opens for the first time and again after the folder changed;
// a folder's sub-menu is read when it first opens. The folder is watched from the first
// opening (or startWatching) on, subfolders included.
//
// Menus that cannot scroll would need the Favorites broken into columns; Qt's menus scroll,
// so they are one column however long.
class FavoritesMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavoritesMenu)

public:
    static constexpr int HeadItems = 3;

    // `folder` answers the Favorites folder as it is now (empty: none).
    FavoritesMenu(QMenu* menu, std::function<QString()> folder, QObject* parent);
    ~FavoritesMenu() override;

    void setIconLookup(FavoriteIconLookup lookup) { m_icons = std::move(lookup); }
    bool FavoritesMenuBuilt() const { return !m_menu->changed(); }
    // The menu is read again before it next opens.
    void setChanged() { m_menu->setChanged(); }
    FolderMenu* folderMenu() const { return m_menu; }
    // Starts the folder monitor (made on first use) on the folder as it is now.
    void startWatching();
    TDiscMonitor* monitor() const { return m_monitor; }

Q_SIGNALS:
    // A shortcut was chosen: its address (never empty), and whether Shift was held.
    void favoriteChosen(const QString& address, bool shiftHeld);
    // The monitor heard the folder change: trees that show it may read it again.
    void folderChanged();

private:
    void FavoriteMenuClick(const QString& path);

    std::function<QString()> m_folder;
    FolderMenu* m_menu = nullptr;
    TDiscMonitor* m_monitor = nullptr;
    bool m_monitorInvalid = false;
    FavoriteIconLookup m_icons;
    QIcon m_pageIcon;
};
