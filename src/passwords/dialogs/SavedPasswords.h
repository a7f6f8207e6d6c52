#pragma once

#include "passwords/PasswordRules.h"

#include <QDialog>

class PasswordStore;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Tools > Saved Passwords: the sign-ins the keyring keeps for Pelvane, by site and user
// name. A password is read from the keyring and shown only when the user asks for it
// (Show Password), for the one line chosen; Remove deletes the chosen sign-in.
class TfrmSavedPasswords final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSavedPasswords)

public:
    TfrmSavedPasswords(PasswordStore& store, QWidget* parent);

    // Reads the list again from the keyring.
    void reload();

    QTreeWidget* list() const { return m_list; }
    QPushButton* showButton() const { return m_show; }
    QPushButton* removeButton() const { return m_remove; }
    QLabel* statusLabel() const { return m_status; }

Q_SIGNALS:
    // The list shows what the keyring answered (also after a failure, which the status tells).
    void loaded();
    // A password asked for is shown (or its failure told).
    void passwordShown();
    // A sign-in was removed from the keyring.
    void removed();

private:
    void showPassword();
    void removeChosen();
    void updateButtons();
    PasswordRules::Login loginOf(const QTreeWidgetItem* item) const;

    PasswordStore& m_store;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_show = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_status = nullptr;
};
