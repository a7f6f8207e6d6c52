#include "app/WindowNavigation.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "app/InternetOptionsDialog.h"
#include "app/MainWindow.h"
#include "app/WindowQuestions.h"
#include "app/WindowSearch.h"
#include "browser/BrowserTab.h"
#include "history/HistoryExpiry.h"
#include "history/HistoryStore.h"
#include "platform/Registry.h"
#include "platform/web/EngineServices.h"
#include "platform/web/OfflineMode.h"
#include "settings/WindowSettings.h"
#include "sidebar/SideBar.h"

#include <QAction>

WindowNavigation::WindowNavigation(TfrmMain& window, RegistryHive& hive, EngineServices& engine,
                                   WindowQuestions& questions, WindowSettings& settings,
                                   TPVOptions& options)
    : QObject(&window)
    , m_window(window)
    , m_hive(hive)
    , m_engine(engine)
    , m_questions(questions)
    , m_settings(settings)
    , m_options(options)
{}

// --- The address band ------------------------------------------------------------------------

void WindowNavigation::commitAddress(const QString& typed)
{
    const QString text = m_window.search()->addressForTyped(typed);
    TBrowserTab* tab = m_window.GetActivePage();
    // A locked tab keeps its page: what is typed there opens in a tab of its own, in front,
    // where it is remembered as typed when it starts.
    if (m_settings.addressNewWin || !tab || tab->Locked()) {
        // The new tab comes to the front, which lets go of what was typed: it is this tab's.
        AddressBand* band = m_window.addressBand();
        const bool wasTyped = band->AddressTyped();
        tab = m_window.NewTab();
        band->setAddressTyped(wasTyped);
        tab->OpenAsHome(text);
    } else {
        tab->NavigateTo(text);
    }
    tab->FocusBrowser();
    tab->setFocusOnLoad(true);
}

void WindowNavigation::SetAutoCompleteStyle(int style)
{
    m_settings.autoCompleteStyle =
        m_window.addressBand()->SetAutoCompleteStyle(style, m_window.IE4Mode());
}

void WindowNavigation::LoadAddressCompletion()
{
    m_window.addressBand()->LoadAddressCompletion(m_options);
}

void WindowNavigation::ClearAddresses()
{
    if (!m_questions.confirmClearAddresses())
        return;
    AddressBand* band = m_window.addressBand();
    band->clearTypedAddresses();
    const TBrowserTab* tab = m_window.GetActivePage();
    const QString location = tab ? tab->GetAddress() : QString();
    if (band->box()->currentText() != location)
        band->ShowAddress(location);
}

void WindowNavigation::expireHistory()
{
    auto* expiry = new HistoryExpiry(m_engine.historyFile(),
                                     InternetOptionValues::load(m_hive).daysToKeep, this);
    connect(expiry, &HistoryExpiry::finished, this, [this](int pages) {
        if (pages > 0)
            m_window.sideBar()->historyOptionsChanged();
    });
    expiry->start(HistoryStore::ExpireStep);
}

// --- Commands --------------------------------------------------------------------------------

void WindowNavigation::syncWorkOffline()
{
    m_window.action(ActionId::actWorkOffline)->setChecked(OfflineMode::isOffline(m_hive));
}

void WindowNavigation::SetWorkOffline(bool offline)
{
    try {
        OfflineMode::setOffline(offline, m_hive);
    } catch (const RegistryError& error) {
        m_questions.tell(error.message());
    }
    syncWorkOffline();
}

void WindowNavigation::ShowInternetOptions()
{
    const TBrowserTab* tab = m_window.GetActivePage();
    const QString historyFile = m_engine.historyFile();
    TfrmInternetOptions::Actions actions;
    actions.currentPage = tab ? tab->GetAddress() : QString();
    actions.clearHistory = [historyFile] {
        HistoryStore store(historyFile);
        return store.isOpen() && store.clear();
    };
    EngineServices* engine = &m_engine;
    actions.clearCacheAndCookies = [engine] { engine->clearCacheAndCookies(); };
    TfrmInternetOptions dialog(m_hive, actions, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        expireHistory(); // fewer days to keep may forget much of a long history
    // The dialog may have cleared the history even when cancelled.
    m_window.sideBar()->historyOptionsChanged();
}
