// Address entry and navigation: the address box with its typed-address list and completion,
// Enter and the Go button, opening addresses for the rest of the program, searching, work
// offline, Internet Options and full screen.
#include "app/MainWindow.h"

#include "address/AddressCompleter.h"
#include "address/TypedAddresses.h"
#include "app/InternetOptionsDialog.h"
#include "app/MainActions.h"
#include "browser/BrowserTab.h"
#include "browser/strip/pvstatus.h"
#include "history/HistoryStore.h"
#include "platform/Registry.h"
#include "platform/web/OfflineMode.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString AboutBlank = QStringLiteral("about:blank");

QString historyFileOf(const MainWindowOptions& options)
{
    return options.historyFile.isEmpty() ? HistoryStore::defaultFile() : options.historyFile;
}

// The system browser's version string begins with "4": its shell completion is not to be
// used.
bool readIE4Mode()
{
    try {
        TRegistry reg;
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Microsoft\\Internet Explorer")))
            return false;
        return reg.readString(QStringLiteral("Version")).startsWith(QLatin1Char('4'));
    } catch (const RegistryError&) {
        return false;
    }
}

} // namespace

// --- The address band ------------------------------------------------------------------------

void TfrmMain::buildAddressBar()
{
    m_pnlAddress = addToolBar(QStringLiteral("Address"));
    m_pnlAddress->setObjectName(QStringLiteral("pnlAddress"));
    auto* label = new QLabel(QStringLiteral("A&ddress"), m_pnlAddress);
    label->setContentsMargins(4, 0, 4, 0);
    m_pnlAddress->addWidget(label);

    // The box and the Go button share one widget, so the button can come and go alone.
    auto* holder = new QWidget(m_pnlAddress);
    holder->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_cboAddress = new TPVComboBox(holder);
    m_cboAddress->setObjectName(QStringLiteral("cboAddress"));
    m_cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(m_cboAddress);
    m_spdGo = new QToolButton(holder);
    m_spdGo->setObjectName(QStringLiteral("spdGo"));
    m_spdGo->setText(QStringLiteral("Go"));
    m_spdGo->setFixedWidth(23);
    m_spdGo->setAutoRaise(true);
    m_spdGo->setToolTip(QStringLiteral("Go to the address in the box"));
    row->addWidget(m_spdGo);
    label->setBuddy(m_cboAddress);
    m_pnlAddress->addWidget(holder);

    // A choice from the list opens the entry as it is: no completion, not remembered.
    connect(m_cboAddress, &QComboBox::activated, this,
            [this](int index) { commitAddress(m_cboAddress->itemText(index)); });
    connect(m_cboAddress, &TPVComboBox::enterPressed, this, &TfrmMain::AddressEntered);
    connect(m_spdGo, &QToolButton::clicked, this, &TfrmMain::GoButtonClicked);

    m_completer = new AddressCompleter(m_cboAddress, historyFileOf(m_start), this);
    connect(m_completer, &AddressCompleter::chosen, this, [this](const QString& address) {
        m_addressTyped = true;
        commitAddress(address);
    });
}

void TfrmMain::initNavigation()
{
    m_ie4Mode = readIE4Mode();
    m_spdGo->setVisible(m_showGo);

    QStringList typed;
    TypedAddresses::LoadTypedAddresses(typed, TypedAddresses::MaxEntries, RegistryHive::userHive());
    m_cboAddress->setItems(typed);
    SetAutoCompleteStyle(m_autoCompleteStyle);
    LoadAddressCompletion();

    const auto on = [this](const char* name, auto slot) {
        connect(m_actions->get(name), &QAction::triggered, this, slot);
    };
    on("mnuClearAddresses", [this] { ClearAddresses(); });
    on("actGoSearch", [this] { GoSearch(); });
    on("actWorkOffline", [this](bool checked) { SetWorkOffline(checked); });
    on("actInternetOptions", [this] { ShowInternetOptions(); });
    // The offline state belongs to the system: other programs change it too.
    if (QToolButton* file = m_menuButtons.value(KeyDispatcher::Command::FileMenu))
        connect(file->menu(), &QMenu::aboutToShow, this, &TfrmMain::syncWorkOffline);
    syncWorkOffline();

    buildExternalPlaces();
}

void TfrmMain::LoadAddressCompletion()
{
    m_domainCompletion.ctrlShiftPre = m_options.GetCtrlShiftPre();
    m_domainCompletion.ctrlPre = m_options.GetCtrlPre();
    m_domainCompletion.shiftPre = m_options.GetShiftPre();
    m_domainCompletion.ctrlShiftPost = m_options.GetCtrlShiftPost();
    m_domainCompletion.ctrlPost = m_options.GetCtrlPost();
    m_domainCompletion.shiftPost = m_options.GetShiftPost();
}

void TfrmMain::SetAutoCompleteStyle(int style)
{
    // Our history completion is attached and detached at once, so a change of style needs
    // no restart.
    m_autoCompleteStyle =
        style == TPVOptions::StyleIE5 && m_ie4Mode ? int(TPVOptions::StyleIE4) : style;
    m_cboAddress->setCompletionStyle(m_autoCompleteStyle);
    m_completer->setEnabled(m_autoCompleteStyle == TPVOptions::StyleIE5);
}

// --- The typed-address list ------------------------------------------------------------------

void TfrmMain::ShowAddress(const QString& url)
{
    const QString shown = url == AboutBlank ? QString() : url;
    // A page's report never overwrites what the user is typing.
    QLineEdit* edit = m_cboAddress->lineEdit();
    if (m_cboAddress->hasFocus() && edit->isModified())
        return;
    m_cboAddress->setEditText(shown);
    edit->setModified(false);
}

void TfrmMain::RememberTypedAddress(const QString& url)
{
    if (!m_addressTyped)
        return;
    QStringList list = m_cboAddress->items();
    TypedAddresses::Remember(list, url, TypedAddresses::MaxEntries);
    m_cboAddress->setItems(list);
    m_addressTyped = false;
    ShowAddress(url);
}

void TfrmMain::saveTypedAddresses()
{
    TypedAddresses::SaveTypedAddresses(m_cboAddress->items(), RegistryHive::userHive());
}

void TfrmMain::ClearAddresses()
{
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Pelvane"),
        QStringLiteral("Are you sure you want to clear your address history?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes)
        return;
    m_cboAddress->setItems({});
    // At once, not at exit: the list is gone even if the program never exits normally.
    saveTypedAddresses();
    const TBrowserTab* tab = GetActivePage();
    const QString location = tab ? tab->GetAddress() : QString();
    if (m_cboAddress->currentText() != location)
        ShowAddress(location);
}

// --- Address entry ---------------------------------------------------------------------------

void TfrmMain::AddressEntered(Qt::KeyboardModifiers modifiers)
{
    const QString text = NavigationRules::CompleteDomain(m_cboAddress->currentText().trimmed(),
                                                         modifiers, m_domainCompletion);
    m_addressTyped = true;
    if (text != m_cboAddress->currentText())
        m_cboAddress->setEditText(text);
    commitAddress(text);
}

void TfrmMain::GoButtonClicked()
{
    m_addressTyped = true;
    commitAddress(m_cboAddress->currentText().trimmed());
}

void TfrmMain::commitAddress(const QString& text)
{
    m_completer->dismiss();
    if (text.isEmpty())
        return;
    m_cboAddress->lineEdit()->setModified(false);
    TBrowserTab* tab = GetActivePage();
    if (m_addressNewWin || !tab) {
        tab = NewTab();
        tab->OpenAsHome(text);
    } else {
        tab->NavigateTo(text);
    }
    tab->FocusBrowser();
    tab->setFocusOnLoad(true);
}

void TfrmMain::OpenAddress(const QString& address, bool newTab)
{
    OpenAddress(address, newTab,
                QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
}

void TfrmMain::OpenAddress(const QString& address, bool newTab, bool shiftHeld)
{
    if (address.isEmpty())
        return;
    TBrowserTab* active = GetActivePage();
    using NavigationRules::OpenTarget;
    switch (NavigationRules::ChooseOpenTarget(newTab, shiftHeld, active != nullptr,
                                              active ? active->GetAddress() : QString(),
                                              active && active->Busy())) {
    case OpenTarget::ActiveTab:
        active->NavigateTo(address);
        return;
    case OpenTarget::ReuseBlankTab:
        active->OpenAsHome(address);
        return;
    case OpenTarget::NewTab:
        NewTab()->OpenAsHome(address);
        return;
    }
}

// --- Commands --------------------------------------------------------------------------------

void TfrmMain::GoSearch()
{
    if (m_ie4Mode)
        return;
    // The side bar shows its search page and, the first time, loads the SearchBar address
    // into its own browser; the active tab is left alone. Until the side bar exists the
    // command stays disabled (see NotYetAvailable).
}

void TfrmMain::syncWorkOffline()
{
    m_actions->get("actWorkOffline")->setChecked(OfflineMode::isOffline());
}

void TfrmMain::SetWorkOffline(bool offline)
{
    try {
        OfflineMode::setOffline(offline);
    } catch (const RegistryError& error) {
        QMessageBox::warning(this, QStringLiteral("Pelvane"), error.message());
    }
    syncWorkOffline();
}

void TfrmMain::ShowInternetOptions()
{
    const TBrowserTab* tab = GetActivePage();
    const QString historyFile = historyFileOf(m_start);
    TfrmInternetOptions::Actions actions;
    actions.currentPage = tab ? tab->GetAddress() : QString();
    actions.clearHistory = [historyFile] {
        HistoryStore store(historyFile);
        return store.isOpen() && store.clear();
    };
    actions.clearCacheAndCookies = m_start.clearCacheAndCookies;
    TfrmInternetOptions dialog(RegistryHive::userHive(), actions, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    HistoryStore store(historyFile);
    if (store.isOpen())
        store.expire(dialog.values().daysToKeep);
    // The side bar's history page reloads here once the side bar exists.
}

// --- Full screen -----------------------------------------------------------------------------

void TfrmMain::setFullScreen(bool on)
{
    QAction* fullScreenItem = m_actions->get("actFullScreen");
    if (on == m_fullScreen) {
        fullScreenItem->setChecked(on);
        return;
    }
    QAction* toolbarItem = m_actions->get("actViewToolbar");
    QAction* menuBarItem = m_actions->get("actViewMenuBar");
    if (on) {
        toolbarItem->setVisible(false);
        menuBarItem->setVisible(true);
        // The bands' own state, also before the window is first shown.
        m_beforeFullScreen.maximized = isMaximized();
        m_beforeFullScreen.geometry = QRect(pos(), size());
        m_beforeFullScreen.statusBarVisible = m_statusBar->isVisibleTo(this);
        m_beforeFullScreen.toolbarVisible = m_tbMain->isVisibleTo(this);
        m_tbMain->setVisible(true);
        setUpdatesEnabled(false);
        m_statusBar->hide();
        setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                       Qt::WindowFullScreen);
        setUpdatesEnabled(true);
    } else {
        toolbarItem->setVisible(true);
        menuBarItem->setVisible(false);
        setUpdatesEnabled(false);
        m_statusBar->setVisible(m_beforeFullScreen.statusBarVisible);
        if (m_beforeFullScreen.maximized) {
            setWindowState(Qt::WindowMaximized);
        } else {
            setWindowState(Qt::WindowNoState);
            move(m_beforeFullScreen.geometry.topLeft());
            resize(m_beforeFullScreen.geometry.size());
        }
        m_tbMenu->setVisible(true);
        menuBarItem->setChecked(true);
        m_tbMain->setVisible(m_beforeFullScreen.toolbarVisible);
        // Then every band as its View menu item says (the links bar arrives with its bar).
        m_tbMain->setVisible(toolbarItem->isChecked());
        m_pnlAddress->setVisible(m_actions->get("actViewAddressBar")->isChecked());
        setUpdatesEnabled(true);
    }
    m_fullScreen = on;
    fullScreenItem->setChecked(on);
}
