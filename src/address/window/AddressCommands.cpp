#include "address/window/AddressCommands.h"

#include "address/AddressBand.h"
#include "address/AddressQuestions.h"
#include "address/PVComboBox.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "settings/WindowSettings.h"

AddressCommands::AddressCommands(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
{
    connect(&m_parts.band, &AddressBand::commitRequested, this, &AddressCommands::commitAddress);
}

void AddressCommands::commitAddress(const QString& typed)
{
    const QString text = m_parts.addressForTyped ? m_parts.addressForTyped(typed) : typed;
    TBrowserTab* tab = m_parts.tabs.GetActivePage();
    // A locked tab keeps its page: what is typed there opens in a tab of its own, in front,
    // where it is remembered as typed when it starts.
    if (m_parts.settings.addressNewWin || !tab || tab->Locked()) {
        // The new tab comes to the front, which lets go of what was typed: it is this tab's.
        const bool wasTyped = m_parts.band.AddressTyped();
        tab = m_parts.tabs.NewTab();
        m_parts.band.setAddressTyped(wasTyped);
        tab->OpenAsHome(text);
    } else {
        tab->NavigateTo(text);
    }
    tab->FocusBrowser();
    tab->setFocusOnLoad(true);
}

void AddressCommands::SetAutoCompleteStyle(int style)
{
    m_parts.settings.autoCompleteStyle = m_parts.band.SetAutoCompleteStyle(style, m_parts.ie4Mode);
}

void AddressCommands::LoadAddressCompletion()
{
    m_parts.band.LoadAddressCompletion(m_parts.options);
}

void AddressCommands::ClearAddresses()
{
    if (!m_parts.questions.confirmClearAddresses())
        return;
    AddressBand& band = m_parts.band;
    band.clearTypedAddresses();
    const TBrowserTab* tab = m_parts.tabs.GetActivePage();
    const QString location = tab ? tab->GetAddress() : QString();
    if (band.box()->currentText() != location)
        band.ShowAddress(location);
}
