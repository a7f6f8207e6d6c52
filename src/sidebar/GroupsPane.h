#pragma once

#include <QWidget>

class FolderTree;
class QAction;
class QMenu;
class QTreeWidgetItem;
class SideBarHost;
class SideBarQuestions;

// The side bar's SorvelGroups pane: the page-group folder as a tree. Clicking a group file
// opens it (Enter does from the keyboard, where the arrow keys only move the selection);
// the context menu opens, organizes, renames and deletes groups and folders.
class GroupsPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GroupsPane)

public:
    GroupsPane(SideBarHost& host, SideBarQuestions& questions, QWidget* parent = nullptr);

    // Roots the tree at `folder` (created when missing) and reads it.
    void fill(const QString& folder);
    FolderTree* tree() const { return m_tree; }
    QMenu* contextMenu() const { return m_menu; }
    QAction* organizeItem() const { return m_organize; }
    // Remembers the node the context menu acts on, showing "Or&ganize..." for files only.
    void prepareMenu(const QTreeWidgetItem* node);

    void openGroup();
    void organizeGroup();
    void renameGroup();
    void deleteGroup();
    void newFolder();
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A group chosen with the pointer, or with Enter (`again`: also the one opened last).
    void choose(QTreeWidgetItem* node, bool again);
    QTreeWidgetItem* menuNode() const;

    SideBarHost& m_host;
    SideBarQuestions& m_questions;
    FolderTree* m_tree = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_organize = nullptr;
    QString m_menuPath;
    QString m_lastGroupPath;
};
