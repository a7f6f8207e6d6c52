// Searching: the side bar's search pane and its host, the toolbar's search-engine menu with
// its organize dialog, and searching from the address box.
#include "app/MainWindow.h"

#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "app/OpenDialog.h"
#include "app/WindowQuestions.h"
#include "browser/BrowserTab.h"
#include "commands/MainActions.h"
#include "platform/web/EngineServices.h"
#include "search/SearchBrowser.h"
#include "search/SearchEngines.h"
#include "search/SearchPane.h"
#include "search/SearchPaneHost.h"
#include "search/TypedText.h"
#include "search/dialogs/SearchEngine.h"
#include "settings/PVOptions.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QSet>

#include <optional>

// The window's side of the search pane, and what searching needs to keep.
class WindowSearch final : public QObject, public SearchPaneHost
{
public:
    explicit WindowSearch(TfrmMain& window, WindowQuestions& questions, WindowSettings& settings,
                          RegistryHive& hive)
        : QObject(&window)
        , m_window(window)
        , m_questions(questions)
        , m_settings(settings)
        , m_hive(hive)
    {}

    SearchPane* pane = nullptr;
    // Read when text is first committed, not at start-up.
    const QSet<QString>& knownHosts() const
    {
        if (!m_knownHosts)
            m_knownHosts = TypedText::systemHostNames();
        return *m_knownHosts;
    }

    void OpenSearchResult(const QString& address) override
    {
        m_window.OpenAddress(address, m_settings.newTabFlags.search);
    }
    void SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel) override
    {
        // Handed to the active tab as its own request, with the new tab left in front.
        TBrowserTab* tab = m_window.GetActivePage();
        TWebBrowser* opener = tab ? tab->Browser() : nullptr;
        if (!opener || !opener->OnNewWindow2) {
            newBrowser = nullptr;
            cancel = true;
            return;
        }
        const bool foreground = m_settings.openNewInForeground;
        m_settings.openNewInForeground = true;
        opener->OnNewWindow2(newBrowser, cancel);
        m_settings.openNewInForeground = foreground;
    }
    QString SearchHome() const override { return m_settings.searchBar; }
    void SetSearchHome(const QString& address) override { m_settings.searchBar = address; }
    std::optional<QString> AskLocation() override
    {
        TfrmOpen dialog(m_window.addressBand()->box()->items(), &m_window);
        dialog.setNewTabOptionVisible(false);
        if (m_questions.runDialog(dialog) != QDialog::Accepted)
            return std::nullopt;
        return dialog.address();
    }
    bool OrganizeSearchFavorites() override
    {
        TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::SearchBarMode, &m_window);
        return m_questions.runDialog(dialog) == QDialog::Accepted;
    }
    std::optional<QString> AskFavoriteName(const QString& proposed) override
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
    void Tell(const QString& message) override { m_questions.tell(message); }

private:
    TfrmMain& m_window;
    WindowQuestions& m_questions;
    WindowSettings& m_settings;
    RegistryHive& m_hive;
    mutable std::optional<QSet<QString>> m_knownHosts;
};

void TfrmMain::buildSearch()
{
    // A first run starts with a few well-known engines, so that the address box can search.
    SearchEngines::seedDefaults(m_hive);
    m_search = new WindowSearch(*this, *m_questions, m_settings, m_hive);
    m_search->pane = new SearchPane(*m_search, m_hive, m_start.engine->createBackend(),
                                    TPVOptions::DefaultSearchBar(), m_sideBar);
    m_sideBar->setSearchPane(m_search->pane, [this] { m_search->pane->prepare(); });

    QMenu* engines = menu(MenuId::SearchEngines);
    connect(engines, &QMenu::aboutToShow, this, &TfrmMain::LoadSearchEngines);
    connect(action(ActionId::mnuOrganizeSearchEngines), &QAction::triggered, this,
            &TfrmMain::OrganizeSearchEngines);
}

SearchPane* TfrmMain::searchPane() const
{
    return m_search ? m_search->pane : nullptr;
}

void TfrmMain::LoadSearchEngines()
{
    QMenu* engines = menu(MenuId::SearchEngines);
    const QList<QAction*> items = engines->actions();
    for (qsizetype i = 2; i < items.size(); ++i)
        delete items.at(i);
    for (const SearchEngines::Entry& entry :
         SearchEngines::read(m_hive, SearchEngines::List::Engines)) {
        QAction* item = engines->addAction(entry.title);
        item->setData(entry.address);
        connect(item, &QAction::triggered, this, [this, address = entry.address] {
            OpenAddress(SearchEngines::pageAddress(address), m_settings.newTabFlags.favorites);
        });
    }
}

void TfrmMain::OrganizeSearchEngines()
{
    TfrmSearchEngine dialog(m_hive, TfrmSearchEngine::EnginesMode, this);
    dialog.setFont(font());
    if (m_questions->runDialog(dialog) == QDialog::Accepted)
        LoadSearchEngines();
}

QString TfrmMain::addressForTyped(const QString& text)
{
    if (!m_settings.searchFromAddressBar || !m_search ||
        TypedText::classify(text, m_search->knownHosts()) != TypedText::Kind::Search)
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
    m_addressBand->setAddressTyped(false);
    return query;
}

TSorvelBrowser* TfrmMain::searchBrowserInUse() const
{
    if (!m_search)
        return nullptr;
    SearchBrowser* browser = m_search->pane->browser();
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == browser || browser->isAncestorOf(focus)) ? browser : nullptr;
}

void TfrmMain::stopSearch()
{
    if (m_search)
        m_search->pane->browser()->Stop();
}
