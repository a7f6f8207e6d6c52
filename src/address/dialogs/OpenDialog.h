#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;

// The small "Open" location box: an address typed or picked from the typed addresses, or
// a file found with "&Browse...", and whether it opens on a new tab.
class TfrmOpen final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmOpen)

public:
    // Asks for a file as "&Browse..." does; an empty answer means cancelled.
    using FileChooser = std::function<QString(QWidget* parent)>;

    explicit TfrmOpen(const QStringList& typedAddresses, QWidget* parent = nullptr);

    // What OK stored.
    QString address() const { return m_address; }
    bool openInNewTab() const { return m_newTab; }

    // A caller that always opens in the same way hides the check box.
    void setNewTabOptionVisible(bool visible);
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    QComboBox* addressBox() const { return m_cboOpen; }
    QPushButton* okButton() const { return m_cmdOK; }
    QPushButton* browseButton() const { return m_cmdBrowse; }
    QCheckBox* newTabBox() const { return m_chkNewTab; }

    // The file dialog "&Browse..." shows by default.
    static QString chooseWebDocument(QWidget* parent);

    void accept() override;

private:
    void updateOk();
    void browse();

    QComboBox* m_cboOpen = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QCheckBox* m_chkNewTab = nullptr;
    FileChooser m_chooser;
    QString m_address;
    bool m_newTab = true;
};
