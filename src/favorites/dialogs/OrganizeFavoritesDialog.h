#pragma once

#include <QDialog>

class FolderTree;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;
class SideBarQuestions;

// "Organize Favorites": the Favorites as a tree, with Create Folder, Rename, Move to
// Folder (or a drag onto a folder), Delete (to the desktop's trash), and the selected
// shortcut's address, which may be changed.
class TfrmOrganizeFavorites final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmOrganizeFavorites)

public:
    TfrmOrganizeFavorites(const QString& favoritesFolder, SideBarQuestions& questions,
                          QWidget* parent = nullptr);

    FolderTree* tree() const { return m_tree; }
    QLineEdit* addressEdit() const { return m_address; }

    void createFolder();
    void renameSelected();
    // Asks for a folder (a folder tree in a small dialog) unless `folder` is given.
    void moveSelected(const QString& folder = QString());
    void deleteSelected();
    // Writes the address edit into the selected shortcut.
    void saveAddress();
    // What a drop of `path` on `target` (a node, or nothing: the Favorites folder) does.
    void moveByDrop(const QString& path, QTreeWidgetItem* target);

private:
    void showSelected();
    void select(const QString& path);
    QString selectedPath() const;

    QString m_root;
    SideBarQuestions& m_questions;
    FolderTree* m_tree = nullptr;
    QLabel* m_name = nullptr;
    QLineEdit* m_address = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_move = nullptr;
    QPushButton* m_delete = nullptr;
};
