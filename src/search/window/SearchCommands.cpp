#include "search/window/SearchCommands.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "address/dialogs/OpenDialog.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "commands/MainActions.h"
#include "platform/Questions.h"
#include "platform/web/EngineServices.h"
#include "search/SearchBrowser.h"
#include "search/SearchEngines.h"
#include "search/SearchPane.h"
#include "search/TypedText.h"
#include "search/dialogs/SearchEngine.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>

SearchCommands::SearchCommands(const Parts& parts, QObject* parent)
    : QObject(parent)
    , m_window(parts.window)
    , m_tabs(parts.tabs)
    , m_sideBar(parts.sideBar)
    , m_address(parts.address)
    , m_engines(parts.enginesMenu)
    , m_questions(parts.questions)
    , m_settings(parts.settings)
    , m_hive(parts.hive)
    , m_engine(parts.engine)
    , m_ie4Mode(parts.ie4Mode)
{
    // A first run starts with a few well-known engines, so that the address box can search.
    SearchEngines::seedDefaults(m_hive);
    makePane();

    connect(&m_engines, &QMenu::aboutToShow, this, &SearchCommands::LoadSearchEngines);
    connect(parts.actions[ActionId::mnuOrganizeSearchEngines], &QAction::triggered, this,
            &SearchCommands::OrganizeSearchEngines);
}

void SearchCommands::makePane()
{
    // Made (with its browser) when the pane is first shown or asked for.
    m_sideBar.setSearchPane(
        [this] {
            return m_pane = new SearchPane(*this, m_hive, m_engine.createBackend(),
                                           TPVOptions::DefaultSearchBar(), &m_sideBar);
        },
        [this] { m_pane->prepare(); });
}

void SearchCommands::open(const QString& address, bool newTab)
{
    m_tabs.OpenAddress(address, newTab,
                       QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
}

void SearchCommands::GoSearch()
{
    if (m_ie4Mode)
        return;
    m_sideBar.showPane(SideBar::Pane::Search);
}

void SearchCommands::LoadSearchEngines()
{
    QMenu* engines = &m_engines;
    const QList<QAction*> items = engines->actions();
    for (qsizetype i = 2; i < items.size(); ++i)
        delete items.at(i);
    for (const SearchEngines::Entry& entry :
         SearchEngines::read(m_hive, SearchEngines::List::Engines)) {
        QAction* item = engines->addAction(entry.title);
        item->setData(entry.address);
        connect(item, &QAction::triggered, this, [this, address = entry.address] {
            open(SearchEngines::pageAddress(address), m_settings.newTabFlags.favorites);
        });
    }
}

void SearchCommands::OrganizeSearchEngines()
{
    TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::EnginesMode, &m_window);
    dialog.setFont(m_window.font());
    if (m_questions.runDialog(dialog) == QDialog::Accepted)
        LoadSearchEngines();
}

const QSet<QString>& SearchCommands::knownHosts()
{
    if (!m_knownHosts)
        m_knownHosts = TypedText::systemHostNames();
    return *m_knownHosts;
}

QString SearchCommands::addressForTyped(const QString& text)
{
    if (!m_settings.searchFromAddressBar ||
        TypedText::classify(text, knownHosts(), [this](const QString& scheme) {
            const QString key = scheme.toLower();
            auto known = m_openedSchemes.constFind(key);
            if (known == m_openedSchemes.constEnd())
                known = m_openedSchemes.insert(key, TypedText::engineOrDesktopOpens(key));
            return *known;
        }) != TypedText::Kind::Search)
        return text;
    const QList<SearchEngines::Entry> engines =
        SearchEngines::read(m_hive, SearchEngines::List::Engines);
    // Without an engine that takes a query, the text goes to the browser as typed.
    const QString query =
        engines.isEmpty() ? QString()
                          : SearchEngines::queryAddress(engines.first().address, text.trimmed());
    if (query.isEmpty())
        return text;
    // A search is no address the user typed: it stays out of the typed-address list.
    m_address.setAddressTyped(false);
    return query;
}

SearchPane* SearchCommands::pane() const
{
    return qobject_cast<SearchPane*>(m_sideBar.searchContent());
}

TSorvelBrowser* SearchCommands::browserInUse() const
{
    if (!m_pane)
        return nullptr;
    SearchBrowser* browser = m_pane->browser();
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == browser || browser->isAncestorOf(focus)) ? browser : nullptr;
}

void SearchCommands::stop()
{
    if (m_pane)
        m_pane->browser()->Stop();
}

// --- The pane's host ---------------------------------------------------------------------------

void SearchCommands::OpenSearchResult(const QString& address)
{
    open(address, m_settings.newTabFlags.search);
}

void SearchCommands::SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel)
{
    // Handed to the active tab as its own request, with the new tab left in front.
    TBrowserTab* tab = m_tabs.GetActivePage();
    TWebBrowser* opener = tab ? tab->Browser() : nullptr;
    if (!opener || !opener->OnNewWindow2) {
        newBrowser = nullptr;
        cancel = true;
        return;
    }
    m_tabs.openInFront([&] { opener->OnNewWindow2(newBrowser, cancel); });
}

QString SearchCommands::SearchHome() const
{
    return m_settings.searchBar;
}

void SearchCommands::SetSearchHome(const QString& address)
{
    m_settings.searchBar = address;
}

std::optional<QString> SearchCommands::AskLocation()
{
    TfrmOpen dialog(m_address.box()->items(), &m_window);
    dialog.setNewTabOptionVisible(false);
    if (m_questions.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.address();
}

bool SearchCommands::OrganizeSearchFavorites()
{
    TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::SearchBarMode, &m_window);
    return m_questions.runDialog(dialog) == QDialog::Accepted;
}

std::optional<QString> SearchCommands::AskFavoriteName(const QString& proposed)
{
    QInputDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("dlgSearchBarFavorite"));
    dialog.setWindowTitle(QStringLiteral("Search Bar Favorite"));
    dialog.setLabelText(QStringLiteral("Name your Search Bar Favorite"));
    dialog.setTextValue(proposed);
    if (m_questions.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void SearchCommands::Tell(const QString& message)
{
    m_questions.tell(message);
}
