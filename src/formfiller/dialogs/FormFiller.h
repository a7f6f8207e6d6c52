#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TPVOptions;

// The notice shown before a fill while "AskProfile" is on: what the form filler uses, and
// a way to make the profile. "Create Profile" opens the lower part; "Proceed..." closes the
// notice asking for My Profile. However it closes, a ticked "Don't show me this message
// again." writes "AskProfile" false.
class TfrmFormFiller final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmFormFiller)

public:
    explicit TfrmFormFiller(TPVOptions& options, QWidget* parent = nullptr);

    // Whether the user chose "Proceed..." (My Profile opens next).
    bool proceed() const { return m_proceed; }
    // Why the check box's answer could not be kept; empty when it was (or was not asked).
    QString error() const { return m_error; }

    void done(int result) override;

private:
    void showLowerPart();

    TPVOptions& m_options;
    QLabel* m_label1 = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QPushButton* m_cmdCreateProfile = nullptr;
    QGroupBox* m_groupBox1 = nullptr;
    QPushButton* m_button1 = nullptr;
    bool m_proceed = false;
    QString m_error;
};
