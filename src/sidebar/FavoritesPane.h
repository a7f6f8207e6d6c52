#pragma once

#include <QWidget>

class BackgroundJob;
class FindPanel;
class FolderTree;
class QAction;
class QStyle;
class QMenu;
class QStackedWidget;
class QToolBar;
class QTreeWidgetItem;
class RegistryHive;
class SideBarHost;
class SideBarQuestions;

// The side bar's Favorites pane: the Favorites folder as a tree, its toolbar, a context
// menu for the shortcuts and folders, and the find panel that searches the folder.
class FavoritesPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavoritesPane)

public:
    FavoritesPane(SideBarHost& host, RegistryHive& hive, SideBarQuestions& questions,
                  QWidget* parent = nullptr);
    ~FavoritesPane() override;

    // Reads the Favorites folder (as "Shell Folders" names it) into the tree.
    void fill();
    // The window's "Add to Favorites" and "Organize Favorites" commands on the toolbar.
    void setCommands(QAction* addToFavorites, QAction* organizeFavorites);
    // The pictures the bar gives those commands when they have none (the menus show them too).
    static void pictureCommands(QAction* addToFavorites, QAction* organizeFavorites,
                                const QStyle* style);
    // A "New Folder" button before Refresh: a new folder inside the selected folder (the
    // floating favorites window has one).
    QAction* addNewFolderButton();

    FolderTree* tree() const { return m_tree; }
    FindPanel* findPanel() const { return m_find; }
    QAction* findToggle() const { return m_tbFind; }
    QMenu* contextMenu() const { return m_menu; }
    BackgroundJob* findJob() const { return m_job; }
    // Starts a find (the Go button).
    void find();
    // The node the context menu acts on, as a right press leaves it.
    void setMenuNode(const QTreeWidgetItem* node);
    QTreeWidgetItem* menuNode() const;

protected:
    // The tree's keys: Enter, the menu keys and F2 on the selected entry.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onNodePressed(QTreeWidgetItem* node, Qt::MouseButton button,
                       Qt::KeyboardModifiers modifiers, const QPoint& globalPos);
    void openNode(QTreeWidgetItem* node, bool inNewTab, Qt::KeyboardModifiers modifiers);
    void renameNode();
    void deleteNode();
    void newFolder();
    void showProperties();
    QString favoritesFolder() const;

    SideBarHost& m_host;
    RegistryHive& m_hive;
    SideBarQuestions& m_questions;
    QToolBar* m_toolbar = nullptr;
    QAction* m_tbFind = nullptr;
    QStackedWidget* m_stack = nullptr;
    FolderTree* m_tree = nullptr;
    FindPanel* m_find = nullptr;
    QMenu* m_menu = nullptr;
    QString m_menuPath; // a path, not a node: a refresh replaces the nodes
    BackgroundJob* m_job = nullptr;
};
