#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;
class QPushButton;

// "Select Browser Tabs to Close": one checked line per tab, in strip order. The dialog only
// collects the choice; the main window closes the tabs of the lines left checked.
class TfrmCloseAll final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCloseAll)

public:
    TfrmCloseAll(const QStringList& lines, QWidget* parent);

    // The lines checked now, in order.
    QList<int> checkedLines() const;
    void setLineChecked(int line, bool checked);
    void selectAll() { setAllChecked(true); }
    void deselectAll() { setAllChecked(false); }

    QListWidget* list() const { return m_list; }
    QPushButton* okButton() const { return m_cmdOK; }
    QPushButton* cancelButton() const { return m_cmdCancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setAllChecked(bool checked);

    QListWidget* m_list = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};
