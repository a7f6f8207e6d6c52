#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// Tells the user which new windows PopupSorvel closed. One notice collects the addresses
// blocked while it is open, one per line, instead of one box per window: a page that opens
// window after window would otherwise bury the user in boxes. It does not hold up the
// program (it is not modal) and closes itself on OK.
class TfrmPopupNotify final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPopupNotify)

public:
    explicit TfrmPopupNotify(QWidget* parent);

    // Adds one closed address below the others.
    void addAddress(const QString& url);
    QStringList addresses() const { return m_addresses; }

    QCheckBox* dontShowAgainBox() const { return m_chkDontShow; }
    QPushButton* okButton() const { return m_cmdOK; }

Q_SIGNALS:
    // OK with "Don't show me this message again." ticked: the owner turns the notice off.
    void dontShowAgain();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ok();

    QPlainTextEdit* m_memo = nullptr;
    QCheckBox* m_chkDontShow = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QStringList m_addresses;
};
