#include "address/AddressBand.h"

#include "address/AddressCompleter.h"
#include "address/PVComboBox.h"
#include "address/TypedAddresses.h"
#include "settings/PVOptions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

AddressBand::AddressBand(RegistryHive& hive, const QString& historyFile, QWidget* parent)
    : QWidget(parent)
    , m_hive(hive)
{
    setObjectName(QStringLiteral("addressBand"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_label = new QLabel(QStringLiteral("A&ddress"), this);
    m_label->setContentsMargins(4, 0, 4, 0);
    row->addWidget(m_label);
    m_cboAddress = new TPVComboBox(this);
    m_cboAddress->setObjectName(QStringLiteral("cboAddress"));
    m_cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(m_cboAddress);
    m_spdGo = new QToolButton(this);
    m_spdGo->setObjectName(QStringLiteral("spdGo"));
    m_spdGo->setText(QStringLiteral("Go"));
    m_spdGo->setFixedWidth(23);
    m_spdGo->setAutoRaise(true);
    m_spdGo->setToolTip(QStringLiteral("Go to the address in the box"));
    row->addWidget(m_spdGo);
    m_label->setBuddy(m_cboAddress);

    // A choice from the list opens the entry as it is: no completion, not remembered.
    connect(m_cboAddress, &QComboBox::activated, this,
            [this](int index) { commit(m_cboAddress->itemText(index)); });
    connect(m_cboAddress, &TPVComboBox::enterPressed, this, &AddressBand::AddressEntered);
    connect(m_spdGo, &QToolButton::clicked, this, &AddressBand::GoButtonClicked);

    m_completer = new AddressCompleter(m_cboAddress, historyFile, this);
    connect(m_completer, &AddressCompleter::chosen, this, [this](const QString& address) {
        m_addressTyped = true;
        commit(address);
    });
}

void AddressBand::SetShowGo(bool show)
{
    m_spdGo->setVisible(show);
}

int AddressBand::SetAutoCompleteStyle(int style, bool ie4Mode)
{
    // Our history completion is attached and detached at once, so a change of style needs
    // no restart.
    m_autoCompleteStyle =
        style == TPVOptions::StyleIE5 && ie4Mode ? int(TPVOptions::StyleIE4) : style;
    m_cboAddress->setCompletionStyle(m_autoCompleteStyle);
    m_completer->setEnabled(m_autoCompleteStyle == TPVOptions::StyleIE5);
    return m_autoCompleteStyle;
}

void AddressBand::LoadAddressCompletion(const TPVOptions& options)
{
    m_domainCompletion.ctrlShiftPre = options.GetCtrlShiftPre();
    m_domainCompletion.ctrlPre = options.GetCtrlPre();
    m_domainCompletion.shiftPre = options.GetShiftPre();
    m_domainCompletion.ctrlShiftPost = options.GetCtrlShiftPost();
    m_domainCompletion.ctrlPost = options.GetCtrlPost();
    m_domainCompletion.shiftPost = options.GetShiftPost();
}

void AddressBand::loadTypedAddresses()
{
    QStringList typed;
    TypedAddresses::LoadTypedAddresses(typed, TypedAddresses::MaxEntries, m_hive);
    m_cboAddress->setItems(typed);
}

void AddressBand::saveTypedAddresses()
{
    TypedAddresses::SaveTypedAddresses(m_cboAddress->items(), m_hive);
}

void AddressBand::clearTypedAddresses()
{
    m_cboAddress->setItems({});
    // At once, not at exit: the list is gone even if the program never exits normally.
    saveTypedAddresses();
}

void AddressBand::ShowAddress(const QString& url)
{
    const QString shown = url == QLatin1String("about:blank") ? QString() : url;
    // A page's report never overwrites what the user is typing.
    QLineEdit* edit = m_cboAddress->lineEdit();
    if (m_cboAddress->hasFocus() && edit->isModified())
        return;
    m_cboAddress->setEditText(shown);
    edit->setModified(false);
}

void AddressBand::RememberTypedAddress(const QString& url)
{
    if (!m_addressTyped)
        return;
    QStringList list = m_cboAddress->items();
    TypedAddresses::Remember(list, url, TypedAddresses::MaxEntries);
    m_cboAddress->setItems(list);
    m_addressTyped = false;
    ShowAddress(url);
}

void AddressBand::AddressEntered(Qt::KeyboardModifiers modifiers)
{
    // An empty box opens nothing, with Ctrl or Shift too (no "http://www..com").
    if (m_cboAddress->currentText().trimmed().isEmpty()) {
        m_addressTyped = false;
        return;
    }
    const QString text = NavigationRules::CompleteDomain(m_cboAddress->currentText().trimmed(),
                                                         modifiers, m_domainCompletion);
    m_addressTyped = true;
    if (text != m_cboAddress->currentText())
        m_cboAddress->setEditText(text);
    commit(text);
}

void AddressBand::GoButtonClicked()
{
    const QString text = m_cboAddress->currentText().trimmed();
    m_addressTyped = !text.isEmpty();
    commit(text);
}

void AddressBand::showPageAddress(const QString& url)
{
    // Another page is in front: what was typed for the one before is let go.
    m_addressTyped = false;
    m_cboAddress->lineEdit()->setModified(false);
    ShowAddress(url);
}

void AddressBand::focusBox(Qt::FocusReason reason)
{
    m_cboAddress->setFocus(reason);
    m_cboAddress->lineEdit()->selectAll();
}

void AddressBand::commit(const QString& text)
{
    m_completer->dismiss();
    if (text.isEmpty())
        return;
    m_cboAddress->lineEdit()->setModified(false);
    Q_EMIT commitRequested(text);
}
