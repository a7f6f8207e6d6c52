#pragma once

#include <QDialog>

#include <functional>

class FolderTree;
class QLabel;
class QLineEdit;
class SideBarQuestions;

// "Add Favorite": the page's name (proposed from its title, made safe as a file name) and
// the folder of the Favorites to create it in. OK writes NAME.url, asking first when a
// shortcut of that name is there.
class TfrmAddFavorite final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAddFavorite)

public:
    TfrmAddFavorite(const QString& favoritesFolder, const QString& title, const QString& address,
                    SideBarQuestions& questions, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    FolderTree* folders() const { return m_tree; }
    // The folder the favourite goes in: the selected one, else the Favorites folder.
    QString targetFolder() const;
    // The shortcut written by the last accept; empty before.
    QString savedFile() const { return m_saved; }

    void accept() override;

private:
    void newFolder();
    void showTarget();

    QString m_root;
    QString m_address;
    SideBarQuestions& m_questions;
    QLineEdit* m_name = nullptr;
    FolderTree* m_tree = nullptr;
    QLabel* m_target = nullptr;
    QString m_saved;
};
