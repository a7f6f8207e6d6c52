#pragma once

#include "address/NavigationRules.h"

#include <QWidget>

class AddressCompleter;
class QLabel;
class QToolButton;
class RegistryHive;
class TPVComboBox;
class TPVOptions;

// The address band's content: the label "A&ddress", the address box with its typed-address
// list and completion, and the Go button. It turns what the user types into an address to
// open (domain completion with Ctrl and Shift) and keeps the typed-address list; opening the
// address is the window's business (commitRequested).
class AddressBand final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressBand)

public:
    // Completes from the history in `historyFile`; the typed-address list lives in `hive`.
    AddressBand(RegistryHive& hive, const QString& historyFile, QWidget* parent);

    TPVComboBox* box() const { return m_cboAddress; }
    QToolButton* goButton() const { return m_spdGo; }
    AddressCompleter* completer() const { return m_completer; }
    QLabel* label() const { return m_label; }

    void SetShowGo(bool show);
    // The completion style in force: the history list ("IE5") is not offered in IE4 mode,
    // where a stored IE5 choice means IE4. Returns the style in force.
    int SetAutoCompleteStyle(int style, bool ie4Mode);
    int AutoCompleteStyle() const { return m_autoCompleteStyle; }
    // Reads the six domain completion texts.
    void LoadAddressCompletion(const TPVOptions& options);
    NavigationRules::DomainCompletion domainCompletion() const { return m_domainCompletion; }

    // The typed-address list: read at creation, written at exit and when it is cleared.
    void loadTypedAddresses();
    void saveTypedAddresses();
    void clearTypedAddresses(); // written at once

    // A page's address for the box (never over what the user is typing); "about:blank"
    // shows as an empty box.
    void ShowAddress(const QString& url);
    // Another tab came to the front: its address, over whatever was being typed.
    void showPageAddress(const QString& url);
    // The address of a navigation that started: on top of the list when the user typed it.
    void RememberTypedAddress(const QString& url);
    bool AddressTyped() const { return m_addressTyped; }
    void setAddressTyped(bool typed) { m_addressTyped = typed; }

    // Enter in the box with these modifier keys held, and the Go button.
    void AddressEntered(Qt::KeyboardModifiers modifiers);
    void GoButtonClicked();
    // Gives the box the focus with its text selected.
    void focusBox(Qt::FocusReason reason);

Q_SIGNALS:
    // The user asked to open this text (never empty).
    void commitRequested(const QString& text);

private:
    void commit(const QString& text);

    RegistryHive& m_hive;
    QLabel* m_label = nullptr;
    TPVComboBox* m_cboAddress = nullptr;
    QToolButton* m_spdGo = nullptr;
    AddressCompleter* m_completer = nullptr;
    int m_autoCompleteStyle = 0;
    bool m_addressTyped = false;
    NavigationRules::DomainCompletion m_domainCompletion;
};
