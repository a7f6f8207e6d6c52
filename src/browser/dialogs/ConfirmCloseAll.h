#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class TPVOptions;

// The question before Close All. Either button first looks at "Don't ask me again": when it
// is ticked, ConfirmCloseAll is written off at once, whatever the answer. "Yes" accepts,
// "No" rejects, and closing the box any other way counts as "No" (without writing).
class TfrmConfirmCloseAll final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmConfirmCloseAll)

public:
    // `options` outlives the box (the main window's settings store).
    TfrmConfirmCloseAll(TPVOptions& options, QWidget* parent);

    QCheckBox* dontAskBox() const { return m_chkDontAsk; }
    QPushButton* yesButton() const { return m_cmdYes; }
    QPushButton* noButton() const { return m_cmdNo; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void answer(bool yes);

    TPVOptions& m_options;
    QCheckBox* m_chkDontAsk = nullptr;
    QPushButton* m_cmdYes = nullptr;
    QPushButton* m_cmdNo = nullptr;
};
