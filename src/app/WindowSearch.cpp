#include "app/WindowSearch.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "app/MainWindow.h"
#include "browser/TabSet.h"
#include "app/OpenDialog.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "commands/MainActions.h"
#include "platform/web/EngineServices.h"
#include "search/SearchBrowser.h"
#include "search/SearchEngines.h"
#include "search/SearchPane.h"
#include "search/TypedText.h"
#include "search/dialogs/SearchEngine.h"
#include "settings/PVOptions.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QMenu>

WindowSearch::WindowSearch(TfrmMain& window, WindowQuestions& questions, WindowSettings& settings,
                           RegistryHive& hive, EngineServices& engine)
    : QObject(&window)
    , m_window(window)
    , m_questions(questions)
    , m_settings(settings)
    , m_hive(hive)
    , m_engine(engine)
{
    // A first run starts with a few well-known engines, so that the address box can search.
    SearchEngines::seedDefaults(m_hive);
    makePane();

    QMenu* engines = m_window.menu(MenuId::SearchEngines);
    connect(engines, &QMenu::aboutToShow, this, &WindowSearch::LoadSearchEngines);
    connect(m_window.action(ActionId::mnuOrganizeSearchEngines), &QAction::triggered, this,
            &WindowSearch::OrganizeSearchEngines);
}

void WindowSearch::makePane()
{
    // Made (with its browser) when the pane is first shown or asked for.
    m_window.sideBar()->setSearchPane(
        [this] {
            return m_pane = new SearchPane(*this, m_hive, m_engine.createBackend(),
                                           TPVOptions::DefaultSearchBar(), m_window.sideBar());
        },
        [this] { m_pane->prepare(); });
}

void WindowSearch::GoSearch()
{
    if (m_window.IE4Mode())
        return;
    m_window.sideBar()->showPane(SideBar::Pane::Search);
}

void WindowSearch::LoadSearchEngines()
{
    QMenu* engines = m_window.menu(MenuId::SearchEngines);
    const QList<QAction*> items = engines->actions();
    for (qsizetype i = 2; i < items.size(); ++i)
        delete items.at(i);
    for (const SearchEngines::Entry& entry :
         SearchEngines::read(m_hive, SearchEngines::List::Engines)) {
        QAction* item = engines->addAction(entry.title);
        item->setData(entry.address);
        connect(item, &QAction::triggered, this, [this, address = entry.address] {
            m_window.OpenAddress(SearchEngines::pageAddress(address),
                                 m_settings.newTabFlags.favorites);
        });
    }
}

void WindowSearch::OrganizeSearchEngines()
{
    TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::EnginesMode, &m_window);
    dialog.setFont(m_window.font());
    if (m_questions.runDialog(dialog) == QDialog::Accepted)
        LoadSearchEngines();
}

const QSet<QString>& WindowSearch::knownHosts()
{
    if (!m_knownHosts)
        m_knownHosts = TypedText::systemHostNames();
    return *m_knownHosts;
}

QString WindowSearch::addressForTyped(const QString& text)
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
    m_window.addressBand()->setAddressTyped(false);
    return query;
}

SearchPane* WindowSearch::pane() const
{
    return qobject_cast<SearchPane*>(m_window.sideBar()->searchContent());
}

TSorvelBrowser* WindowSearch::browserInUse() const
{
    if (!m_pane)
        return nullptr;
    SearchBrowser* browser = m_pane->browser();
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == browser || browser->isAncestorOf(focus)) ? browser : nullptr;
}

void WindowSearch::stop()
{
    if (m_pane)
        m_pane->browser()->Stop();
}

// --- The pane's host ---------------------------------------------------------------------------

void WindowSearch::OpenSearchResult(const QString& address)
{
    m_window.OpenAddress(address, m_settings.newTabFlags.search);
}

void WindowSearch::SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel)
{
    // Handed to the active tab as its own request, with the new tab left in front.
    TBrowserTab* tab = m_window.GetActivePage();
    TWebBrowser* opener = tab ? tab->Browser() : nullptr;
    if (!opener || !opener->OnNewWindow2) {
        newBrowser = nullptr;
        cancel = true;
        return;
    }
    m_window.tabSet()->openInFront([&] { opener->OnNewWindow2(newBrowser, cancel); });
}

QString WindowSearch::SearchHome() const
{
    return m_settings.searchBar;
}

void WindowSearch::SetSearchHome(const QString& address)
{
    m_settings.searchBar = address;
}

std::optional<QString> WindowSearch::AskLocation()
{
    TfrmOpen dialog(m_window.addressBand()->box()->items(), &m_window);
    dialog.setNewTabOptionVisible(false);
    if (m_questions.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.address();
}

bool WindowSearch::OrganizeSearchFavorites()
{
    TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::SearchBarMode, &m_window);
    return m_questions.runDialog(dialog) == QDialog::Accepted;
}

std::optional<QString> WindowSearch::AskFavoriteName(const QString& proposed)
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

void WindowSearch::Tell(const QString& message)
{
    m_questions.tell(message);
}
