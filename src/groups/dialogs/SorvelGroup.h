#pragma once

#include "groups/SorvelGroup.h"

#include <QDialog>

class GroupCommandQuestions;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The organize dialog: the entries of one group file as rows (sticky name, location,
// locked), edited in place and written back with OK. Cancel leaves the file as it was.
class TfrmSorvelGroup final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSorvelGroup)

public:
    // Reads the group in fileName. questions asks for a name should the file vanish before
    // OK, and tells of a failed write; it must outlive the dialog.
    TfrmSorvelGroup(QWidget* owner, const QString& fileName, GroupCommandQuestions* questions);

    QString FileName() const { return m_fileName; }
    // Why the file could not be read (the dialog then shows no rows); empty when it could.
    QString readError() const { return m_readError; }
    // The rows as they stand, in list order.
    QList<PageGroupEntry> rows() const;
    bool editing() const;

    // Esc while editing a row ends the editing, not the dialog.
    void reject() override;

private:
    void buildWidgets();
    void addRow(const PageGroupEntry& entry);
    void setRow(QTreeWidgetItem* row, const PageGroupEntry& entry);
    void updateButtons();
    void showEditArea(const QString& commitCaption);

    void cmdInsertClick();
    void cmdUpdateClick();
    void cmdDeleteClick();
    void cmdUpClick();
    void cmdDownClick();
    void cmdUrlInsertClick();
    void cmdUrlCancelClick();
    void cmdOkClick();
    void moveRow(int by);

    QString m_fileName;
    QString m_readError;
    GroupCommandQuestions* m_questions;

    QTreeWidget* lstSites = nullptr;
    QLabel* lblTitle = nullptr;
    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* edtTitle = nullptr;
    QLineEdit* edtLocation = nullptr;
    QCheckBox* chkTabLocked = nullptr;
    QPushButton* cmdUrlInsert = nullptr;
    QPushButton* cmdUrlCancel = nullptr;

    // The row being updated; null while inserting. Held by pointer so that moving rows
    // during the edit keeps it.
    QTreeWidgetItem* m_editRow = nullptr;
};
