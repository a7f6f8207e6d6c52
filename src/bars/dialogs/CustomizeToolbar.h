#pragma once

#include "bars/MainToolbar.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// "Customize Toolbar": one checked row per toolbar button in the toolbar's order, moved
// with Up and Down. The dialog changes nothing itself; the caller reads its answer.
class TfrmCustomizeToolbar final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCustomizeToolbar)

public:
    enum class Answer
    {
        Cancel,
        Ok,    // put the buttons as arrangement() says
        Reset, // the design order with every button shown
    };

    TfrmCustomizeToolbar(const QList<MainToolbar::ButtonRow>& rows, QWidget* parent);

    Answer answer() const { return m_answer; }
    // The rows as they stand: order and check marks.
    ToolbarArrangement arrangement() const;

    QTreeWidget* list() const { return m_lvCurrent; }
    QPushButton* upButton() const { return m_cmdUp; }
    QPushButton* downButton() const { return m_cmdDown; }
    QPushButton* okButton() const { return m_cmdOK; }
    QPushButton* resetButton() const { return m_cmdReset; }
    QPushButton* cancelButton() const { return m_cmdCancel; }

private:
    void moveSelected(int step);
    void finish(Answer answer);

    QTreeWidget* m_lvCurrent = nullptr;
    QPushButton* m_cmdUp = nullptr;
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdReset = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    Answer m_answer = Answer::Cancel;
};
