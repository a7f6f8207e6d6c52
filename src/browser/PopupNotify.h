#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class TPVOptions;

// Tells the user which new windows PopupSorvel closed. One notice collects the addresses
// blocked while it is open, one per line, instead of one box per window: a page that opens
// window after window would otherwise bury the user in boxes. It does not hold up the
// program (it is not modal) and closes itself on OK, which also turns the notice off for
// good when "Don't show me this message again." is ticked.
class TfrmPopupNotify final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPopupNotify)

public:
    // `options` outlives the notice (the main window's settings store).
    TfrmPopupNotify(TPVOptions& options, QWidget* parent);

    // Adds one closed address below the others.
    void addAddress(const QString& url);
    QStringList addresses() const { return m_addresses; }

    QCheckBox* dontShowAgainBox() const { return m_chkDontShow; }
    QPushButton* okButton() const { return m_cmdOK; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ok();

    TPVOptions& m_options;
    QPlainTextEdit* m_memo = nullptr;
    QCheckBox* m_chkDontShow = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QStringList m_addresses;
};
