#include "search/SearchPane.h"

#include "platform/Registry.h"
#include "search/SearchBrowser.h"
#include "search/SearchEngines.h"
#include "search/SearchPaneHost.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int FixedFavoriteItems = 3; // Add, Organize and the separator

QAction* makeAction(QWidget* parent, const QString& name, const QString& caption,
                    const QString& hint, const QIcon& icon = {})
{
    auto* action = new QAction(icon, caption, parent);
    action->setObjectName(name);
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    return action;
}

QIcon themed(const QWidget* widget, const char* theme, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(theme), widget->style()->standardIcon(fallback));
}

} // namespace

SearchPane::SearchPane(SearchPaneHost& host, RegistryHive& hive, WebBackend* backend,
                       const QString& shippedPage, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_hive(hive)
    , m_shippedPage(shippedPage)
{
    setObjectName(QStringLiteral("pnlSearch"));
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbarSearch"));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setMovable(false);
    bar->setFloatable(false);

    QAction* newSearch = makeAction(this, QStringLiteral("tbNewSearch"), QStringLiteral("New"),
                                    QStringLiteral("Home|Goes to search home"),
                                    themed(this, "go-home", QStyle::SP_DirHomeIcon));
    m_pmSearchHome = new QMenu(this);
    m_pmSearchHome->setObjectName(QStringLiteral("pmSearchHome"));
    m_pmSearchHome->addAction(QStringLiteral("&Set Current as Home"), this,
                              &SearchPane::setCurrentAsHome);
    QAction* open =
        m_pmSearchHome->addAction(QStringLiteral("&Open..."), this, &SearchPane::openLocation);
    open->setToolTip(QStringLiteral("Open"));
    open->setStatusTip(QStringLiteral("Open a location in the search bar"));
    newSearch->setMenu(m_pmSearchHome);
    connect(newSearch, &QAction::triggered, this, &SearchPane::newSearch);
    bar->addAction(newSearch);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(newSearch)))
        button->setPopupMode(QToolButton::MenuButtonPopup);

    QAction* favorites = makeAction(this, QStringLiteral("tbSearchFavs"), QString(),
                                    QStringLiteral("Search Favorites"),
                                    themed(this, "bookmarks", QStyle::SP_DirLinkIcon));
    m_pmSearchFavs = new QMenu(this);
    m_pmSearchFavs->setObjectName(QStringLiteral("pmSearchFavs"));
    m_pmSearchFavs
        ->addAction(QStringLiteral("&Add to Search Favs..."), this, &SearchPane::addToSearchFavs)
        ->setObjectName(QStringLiteral("pmSearchFavsAdd"));
    m_pmSearchFavs
        ->addAction(QStringLiteral("&Organize Search Favs..."), this,
                    &SearchPane::organizeSearchFavs)
        ->setObjectName(QStringLiteral("pmSearchFavsOrg"));
    m_pmSearchFavs->addSeparator();
    favorites->setMenu(m_pmSearchFavs);
    bar->addAction(favorites);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(favorites))) {
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }

    QAction* choose =
        makeAction(this, QStringLiteral("tbSearchBar"), QString(), QStringLiteral("Choose Search"),
                   themed(this, "edit-find", QStyle::SP_FileDialogContentsView));
    connect(choose, &QAction::triggered, this, &SearchPane::chooseSearch);
    bar->addAction(choose);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(choose)))
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);

    m_browser = new SearchBrowser(backend, &hive, this);
    m_browser->OnDivert = [this](const QString& url) { m_host.OpenSearchResult(url); };
    m_browser->OnDocumentComplete = [this](WebFrame frame, const QString& url) {
        if (frame == m_browser->Application() && isShippedPage(url))
            offerEngines();
    };
    m_browser->OnNewWindow2 = [this](TWebBrowser*& newBrowser, bool& cancel) {
        m_host.SearchNewWindow(newBrowser, cancel);
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser, 1);
    LoadSearchBarFavorites();
}

QString SearchPane::loadingPage()
{
    return QStringLiteral(
        "<html><body bgcolor=\"#666699\"><font face=\"Tahoma,Arial,Helvetica\" size=\"-1\" "
        "color=\"#ffffff\">Loading Search Engine...</font></body></html>");
}

bool SearchPane::isShippedPage(const QString& url) const
{
    const auto plain = QUrl::RemoveQuery | QUrl::RemoveFragment;
    return QUrl(url).adjusted(plain) == QUrl(m_shippedPage).adjusted(plain);
}

void SearchPane::offerEngines()
{
    // The list goes in as data; the page reads it from its root element.
    QJsonArray engines;
    for (const SearchEngines::Entry& entry :
         SearchEngines::read(m_hive, SearchEngines::List::Engines))
        engines.append(QJsonObject{{"title", entry.title}, {"address", entry.address}});
    m_browser->backend()->runJavaScript(
        QStringLiteral("document.documentElement.setAttribute('data-engines', args[0]);"
                       "document.dispatchEvent(new Event('pelvane-engines'));"
                       "return true;"),
        {QString::fromUtf8(QJsonDocument(engines).toJson(QJsonDocument::Compact))},
        [](const QVariant&) {});
}

void SearchPane::prepare()
{
    if (m_searchLoaded)
        return;
    m_searchLoaded = true;
    m_browser->navigateOwn(QStringLiteral("about:blank"));
    m_browser->backend()->setHtml(loadingPage(), QStringLiteral("about:blank"));
    m_browser->Stop();
    m_browser->navigateOwn(m_host.SearchHome());
}

void SearchPane::navigateLoading(const QString& address)
{
    m_browser->Stop();
    m_browser->backend()->setHtml(loadingPage(), QStringLiteral("about:blank"));
    m_browser->navigateOwn(address);
}

void SearchPane::newSearch()
{
    m_browser->Stop();
    m_browser->navigateOwn(m_host.SearchHome());
}

void SearchPane::setCurrentAsHome()
{
    const QString current = m_browser->LocationURL();
    if (!current.isEmpty())
        m_host.SetSearchHome(current);
}

void SearchPane::openLocation()
{
    const std::optional<QString> address = m_host.AskLocation();
    if (address && !address->trimmed().isEmpty())
        navigateLoading(address->trimmed());
}

void SearchPane::chooseSearch()
{
    navigateLoading(m_shippedPage);
}

void SearchPane::LoadSearchBarFavorites()
{
    const QList<QAction*> items = m_pmSearchFavs->actions();
    for (qsizetype i = FixedFavoriteItems; i < items.size(); ++i)
        delete items.at(i);
    const QList<SearchEngines::Entry> entries =
        SearchEngines::read(m_hive, SearchEngines::List::SearchBar);
    for (const SearchEngines::Entry& entry : entries) {
        QAction* item = m_pmSearchFavs->addAction(entry.title);
        item->setData(entry.address);
        connect(item, &QAction::triggered, this,
                [this, address = entry.address] { openFavorite(address); });
    }
}

void SearchPane::openFavorite(const QString& address)
{
    m_browser->Stop();
    m_browser->Navigate(address);
}

void SearchPane::addToSearchFavs()
{
    const QString address = m_browser->LocationURL();
    const std::optional<QString> name = m_host.AskFavoriteName(m_browser->LocationName());
    // Cancel adds nothing; so does a page without an address, which could not be read back.
    if (name && !name->trimmed().isEmpty() && !address.isEmpty()) {
        const QString title = name->trimmed();
        QList<SearchEngines::Entry> entries =
            SearchEngines::read(m_hive, SearchEngines::List::SearchBar);
        auto same = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.title.compare(title, Qt::CaseInsensitive) == 0;
        });
        if (same != entries.end())
            same->address = address;
        else
            entries.append({title, address});
        try {
            SearchEngines::write(m_hive, SearchEngines::List::SearchBar, entries);
        } catch (const RegistryError& error) {
            m_host.Tell(error.message());
        }
    }
    LoadSearchBarFavorites();
}

void SearchPane::organizeSearchFavs()
{
    if (m_host.OrganizeSearchFavorites())
        LoadSearchBarFavorites();
}
