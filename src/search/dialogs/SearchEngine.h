#pragma once

#include "search/SearchEngines.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class RegistryHive;

// "Organize Search Engines" (mode 1) and "Organize Search Bar" (mode 0): the list of titles
// and addresses, edited in place and written whole, in its order, by OK.
class TfrmSearchEngine final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSearchEngine)

public:
    enum Mode
    {
        SearchBarMode = 0,
        EnginesMode = 1,
    };
    // How the dialog tells the user of a refused address or a failed write.
    using Tell = std::function<void(QWidget* parent, const QString& message)>;

    TfrmSearchEngine(RegistryHive& hive, int mode, QWidget* parent = nullptr);

    void setTell(Tell tell) { m_tell = std::move(tell); }

    // The rows as they stand.
    QList<SearchEngines::Entry> entries() const;
    bool editing() const;

    QTreeWidget* list() const { return m_lstEngines; }
    QLineEdit* titleEdit() const { return m_edtTitle; }
    QLineEdit* locationEdit() const { return m_edtLocation; }
    QPushButton* okButton() const { return m_cmdOk; }
    QPushButton* insertButton() const { return m_cmdInsert; }
    QPushButton* updateButton() const { return m_cmdUpdate; }
    QPushButton* deleteButton() const { return m_cmdDelete; }
    QPushButton* commitButton() const { return m_cmdUrlInsert; }
    QPushButton* cancelEditButton() const { return m_cmdUrlCancel; }
    QToolButton* upButton() const { return m_cmdUp; }
    QToolButton* downButton() const { return m_cmdDown; }

    void insertClicked();
    void updateClicked();
    void commitClicked();
    void cancelEditing();
    void deleteClicked();
    void moveSelected(int by);
    void accept() override;

private:
    void addRow(const SearchEngines::Entry& entry, int at = -1);
    void updateButtons();
    void showEditArea(bool show);

    RegistryHive& m_hive;
    const int m_mode;
    int EditIndex = -1;
    Tell m_tell;
    QTreeWidget* m_lstEngines = nullptr;
    QToolButton* m_cmdUp = nullptr;
    QToolButton* m_cmdDown = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdInsert = nullptr;
    QPushButton* m_cmdUpdate = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QGroupBox* m_editArea = nullptr;
    QLineEdit* m_edtTitle = nullptr;
    QLineEdit* m_edtLocation = nullptr;
    QPushButton* m_cmdUrlInsert = nullptr;
    QPushButton* m_cmdUrlCancel = nullptr;
};
