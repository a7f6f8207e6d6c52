#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class RegistryHive;

// Offers to make the program the default browser. Yes accepts, No (and Esc) rejects; the
// check box writes "AskDefaultBrowser" as soon as it is clicked, whatever the answer.
class TfrmDefaultBrowser final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDefaultBrowser)

public:
    explicit TfrmDefaultBrowser(RegistryHive& hive, QWidget* parent = nullptr);

    QLabel* Label1() const { return m_label1; }
    QLabel* Label2() const { return m_label2; }
    QCheckBox* CheckBox1() const { return m_checkBox1; }
    QPushButton* Button1() const { return m_button1; }
    QPushButton* Button2() const { return m_button2; }

    // Shows the dialog modally, without an owner; true when the answer is Yes. This is the
    // question StartupDefaultBrowserCheck takes in the program.
    static bool askUser(RegistryHive& hive);

private Q_SLOTS:
    void CheckBox1Click(bool checked);

private:
    RegistryHive& m_hive;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QPushButton* m_button1 = nullptr;
    QPushButton* m_button2 = nullptr;
};
