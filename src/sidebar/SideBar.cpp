#include "sidebar/SideBar.h"

#include "browser/strip/PVPageControl.h"
#include "platform/FolderTree.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/GroupsPane.h"
#include "sidebar/HistoryPane.h"
#include "sidebar/SideBarDialogs.h"
#include "sidebar/SideBarHost.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPixmap paneImage(QStyle* style, const QString& theme, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(theme, style->standardIcon(fallback)).pixmap(16, 16);
}

} // namespace

SideBar::SideBar(SideBarHost& host, RegistryHive& hive, const Places& places,
                 SideBarQuestions* questions, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_hive(hive)
    , m_questions(questions)
    , m_places(places)
{
    setObjectName(QStringLiteral("pnlLeft"));
    setMinimumWidth(100);
    hide();
}

void SideBar::build()
{
    if (built())
        return;
    if (!m_questions)
        m_ownQuestions = std::make_unique<SideBarDialogs>(this);
    SideBarQuestions& ask = m_questions ? *m_questions : *m_ownQuestions;

    m_cmdClose = new QToolButton(this);
    m_cmdClose->setObjectName(QStringLiteral("cmdCloseFavorites"));
    m_cmdClose->setText(QStringLiteral("\u00D7"));
    m_cmdClose->setAutoRaise(true);
    m_cmdClose->setToolTip(QStringLiteral("Hide"));
    m_cmdClose->setStatusTip(QStringLiteral("Hides the SorvelBar"));
    m_cmdClose->setFixedSize(16, 16);
    connect(m_cmdClose, &QToolButton::clicked, this, [this] { ShowSideBar(false); });

    m_pcVarloBar = new TPVPageControl(this);
    m_pcVarloBar->setObjectName(QStringLiteral("pcVarloBar"));
    m_pcVarloBar->setIconOnly(true);
    m_pcVarloBar->setFixedTabWidth(28);
    m_pcVarloBar->SetAllowTabShifting(false);
    applyStripLook();
    m_pcVarloBar->setImages({
        paneImage(style(), QStringLiteral("bookmarks"), QStyle::SP_DirLinkIcon),
        paneImage(style(), QStringLiteral("document-open-recent"), QStyle::SP_BrowserReload),
        paneImage(style(), QStringLiteral("edit-find"), QStyle::SP_FileDialogContentsView),
        paneImage(style(), QStringLiteral("folder"), QStyle::SP_DirIcon),
    });

    m_favorites = new FavoritesPane(m_host, m_hive, ask, this);
    m_favorites->setCommands(m_addToFavorites, m_organizeFavorites);
    m_history = new HistoryPane(m_host, m_hive, m_places.historyStore, ask, this);
    m_search = new QWidget(this);
    m_search->setObjectName(QStringLiteral("tsSearch"));
    auto* placeholder = new QLabel(QStringLiteral("Searching is not available."), m_search);
    placeholder->setWordWrap(true);
    placeholder->setAlignment(Qt::AlignCenter);
    m_searchContent = placeholder;
    auto* searchLayout = new QVBoxLayout(m_search);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(placeholder);
    m_groups = new GroupsPane(m_host, ask, this);
    const std::pair<QWidget*, QString> pages[] = {
        {m_favorites, QStringLiteral("Favorites")},
        {m_history, QStringLiteral("History")},
        {m_search, QStringLiteral("Search")},
        {m_groups, QStringLiteral("SorvelGroups")},
    };
    int image = 0;
    for (const auto& [page, hint] : pages) {
        m_pcVarloBar->addPage(page, hint);
        m_pcVarloBar->setPageHint(page, hint);
        m_pcVarloBar->setPageImageIndex(page, image++);
    }
    m_pcVarloBar->setActivePage(m_favorites);
    connect(m_pcVarloBar, &TPVPageControl::currentChanged, this, &SideBar::preparePane);
    connect(m_pcVarloBar, &TPVPageControl::hintChanged, this, [this](const QString& hint) {
        if (!hint.isEmpty())
            m_host.SetStatusText(hint);
    });

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addStretch(1);
    top->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_pcVarloBar, 1);
}

void SideBar::setInactiveTabColors(const TabColors::TabColorPair& colors)
{
    m_colors = colors;
    applyStripLook();
}

void SideBar::setTabsOnTop(bool onTop)
{
    m_tabsOnTop = onTop;
    applyStripLook();
}

void SideBar::applyStripLook()
{
    if (!m_pcVarloBar)
        return;
    m_pcVarloBar->setTabPosition(m_tabsOnTop ? TPVPageControl::Side::Top
                                             : TPVPageControl::Side::Bottom);
    if (m_colors) {
        m_pcVarloBar->SetInactiveTabColor(m_colors->tab);
        m_pcVarloBar->SetInactiveFontColor(m_colors->font);
    }
}

TPVPageControl* SideBar::paneStrip()
{
    build();
    return m_pcVarloBar;
}

FavoritesPane* SideBar::favorites()
{
    build();
    return m_favorites;
}

HistoryPane* SideBar::history()
{
    build();
    return m_history;
}

GroupsPane* SideBar::groups()
{
    build();
    return m_groups;
}

QWidget* SideBar::searchPane()
{
    build();
    return m_search;
}

QToolButton* SideBar::closeButton()
{
    build();
    return m_cmdClose;
}

SideBar::~SideBar() = default;

void SideBar::ShowSideBar(bool visible)
{
    if (visible)
        build();
    if (visible && !m_favoritesFilled) {
        m_favoritesFilled = true;
        m_favorites->fill();
    }
    setVisible(visible);
    Q_EMIT visibilityChanged(visible);
}

void SideBar::showPane(Pane pane)
{
    build();
    if (isHidden())
        ShowSideBar(true);
    QWidget* page = pageOf(pane);
    if (m_pcVarloBar->activePage() == page)
        preparePane(page);
    else
        m_pcVarloBar->setActivePage(page); // prepares it
}

SideBar::Pane SideBar::currentPane() const
{
    if (!built())
        return Pane::Favorites;
    QWidget* page = m_pcVarloBar->activePage();
    if (page == m_history)
        return Pane::History;
    if (page == m_search)
        return Pane::Search;
    if (page == m_groups)
        return Pane::SorvelGroups;
    return Pane::Favorites;
}

QWidget* SideBar::pageOf(Pane pane) const
{
    switch (pane) {
    case Pane::Favorites:
        return m_favorites;
    case Pane::History:
        return m_history;
    case Pane::Search:
        return m_search;
    case Pane::SorvelGroups:
        return m_groups;
    }
    return m_favorites;
}

void SideBar::preparePane(QWidget* page)
{
    if (page == m_history && !m_historyRooted) {
        m_historyRooted = true;
        m_history->root();
    } else if (page == m_search && !m_searchLoaded && m_prepareSearch) {
        m_searchLoaded = true;
        searchContent();
        m_prepareSearch();
    } else if (page == m_groups && !m_groupsRooted) {
        m_groupsRooted = true;
        m_groups->fill(m_places.groupsFolder);
    }
}

void SideBar::historyOptionsChanged()
{
    if (!built())
        return; // the pane is read when first shown
    if (currentPane() == Pane::History && m_historyRooted)
        m_history->refresh();
    else
        m_historyRooted = false;
}

bool SideBar::renameTreeFocused() const
{
    return built() && isVisible() &&
           (m_favorites->tree()->hasFocus() || m_groups->tree()->hasFocus());
}

bool SideBar::treeFocused() const
{
    return built() && isVisible() &&
           (m_favorites->tree()->hasFocus() || m_history->tree()->hasFocus() ||
            m_groups->tree()->hasFocus());
}

void SideBar::setFavoritesCommands(QAction* addToFavorites, QAction* organizeFavorites)
{
    m_addToFavorites = addToFavorites;
    m_organizeFavorites = organizeFavorites;
    FavoritesPane::pictureCommands(addToFavorites, organizeFavorites, style());
    if (built())
        m_favorites->setCommands(addToFavorites, organizeFavorites);
}

void SideBar::setSearchPane(std::function<QWidget*()> make, std::function<void()> prepare)
{
    m_makeSearch = std::move(make);
    m_prepareSearch = std::move(prepare);
    if (built() && currentPane() == Pane::Search && isVisible())
        preparePane(m_search);
}

QWidget* SideBar::searchContent()
{
    build();
    if (!m_searchMade && m_makeSearch) {
        m_searchMade = true;
        if (QWidget* pane = m_makeSearch()) {
            m_search->layout()->replaceWidget(m_searchContent, pane);
            delete m_searchContent;
            m_searchContent = pane;
        }
    }
    return m_makeSearch ? m_searchContent : nullptr;
}
