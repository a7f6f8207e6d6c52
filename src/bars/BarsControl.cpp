#include "bars/BarsControl.h"

#include "bars/BandPanel.h"
#include "bars/ChevronMenus.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "commands/MainActions.h"
#include "platform/Registry.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace {

// Least sizes of the bands' contents, in pixels.
constexpr QSize MenuMinimum(45, 23);
constexpr QSize ToolMinimum(40, 27);
constexpr QSize AddressMinimum(58, 23);
constexpr QSize LinksMinimum(17, 23);
// A band at least this wide folds when its label is double-clicked; a narrower one opens.
constexpr int FoldWidth = 100;

// Folds or opens the address band when its label is double-clicked.
class LabelWatch final : public QObject
{
public:
    LabelWatch(CoolBar* bar, QWidget* panel, QObject* parent)
        : QObject(parent)
        , m_bar(bar)
        , m_panel(panel)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const int index = m_bar->bandIndexOf(m_panel);
            if (m_bar->bandRect(index).width() >= FoldWidth)
                m_bar->minimizeBand(index);
            else
                m_bar->maximizeBand(index);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CoolBar* m_bar;
    QWidget* m_panel;
};

} // namespace

QString BarsControl::nameOf(Band band)
{
    switch (band) {
    case Band::Menu:
        return QStringLiteral("Menu");
    case Band::Tool:
        return QStringLiteral("Tool");
    case Band::Address:
        return QStringLiteral("Address");
    case Band::Links:
        return QStringLiteral("Links");
    }
    return {};
}

BarsControl::BarsControl(const MainActions& actions, const Contents& contents,
                         std::function<bool()> fullScreen, QWidget* parent)
    : QObject(parent)
    , m_actions(actions)
    , m_contents(contents)
    , m_fullScreen(std::move(fullScreen))
{
    m_coolBar = new CoolBar(parent);
    m_pnlMenuBar = new BandPanel(QStringLiteral("pnlMenuBar"), contents.menuBand, m_coolBar);
    m_pnlToolbar = new BandPanel(QStringLiteral("pnlToolbar"), contents.toolbar, m_coolBar);
    m_pnlAddress = new BandPanel(QStringLiteral("pnlAddress"), contents.address, m_coolBar);
    m_linksPlaceholder = new QWidget;
    m_linksPlaceholder->setObjectName(QStringLiteral("linksArea"));
    m_pnlLinks = new BandPanel(QStringLiteral("pnlLinks"), m_linksPlaceholder, m_coolBar);

    for (const BandState& band : BandLayouts::design()) {
        if (band.name == nameOf(Band::Menu))
            m_coolBar->addBand(band.name, m_pnlMenuBar, MenuMinimum, band.breakBefore);
        else if (band.name == nameOf(Band::Tool))
            m_coolBar->addBand(band.name, m_pnlToolbar, ToolMinimum, band.breakBefore);
        else if (band.name == nameOf(Band::Address))
            m_coolBar->addBand(band.name, m_pnlAddress, AddressMinimum, band.breakBefore);
        else
            m_coolBar->addBand(band.name, m_pnlLinks, LinksMinimum, band.breakBefore,
                               QStringLiteral("Links"));
    }

    // The menu band's chevron: the cut-off menus, and Tools and Tabs.
    MenuBand* menuBand = contents.menuBand;
    const MenuDescription& last = MenuLayout::menuBar().back();
    m_pnlMenuBar->setLastEdge([menuBand, id = last.id]() -> std::optional<int> {
        const QToolButton* button = menuBand->button(id);
        return button ? std::optional<int>(button->geometry().right() + 1) : std::nullopt;
    });
    m_menuChevron = new QMenu(m_pnlMenuBar);
    m_menuChevron->setObjectName(QStringLiteral("mnuMenu"));
    connect(m_menuChevron, &QMenu::aboutToShow, this, [this] {
        ChevronMenus::fillMenuBandMenu(m_menuChevron, *m_contents.menuBand,
                                       m_pnlMenuBar->mainWidth());
    });
    m_pnlMenuBar->chevron()->setMenu(m_menuChevron);

    // The toolbar's chevron: the cut-off buttons, then "&Customize...".
    MainToolbar* toolbar = contents.toolbar;
    m_pnlToolbar->setLastEdge([toolbar] { return toolbar->lastShownEdge(); });
    m_pmToolBarExtender = new QMenu(m_pnlToolbar);
    m_pmToolBarExtender->setObjectName(QStringLiteral("pmToolBarExtender"));
    connect(m_pmToolBarExtender, &QMenu::aboutToShow, this, [this] {
        ChevronMenus::fillToolbarMenu(m_pmToolBarExtender, *m_contents.toolbar,
                                      m_pnlToolbar->mainWidth(),
                                      m_actions[ActionId::actCustomizeToolbar]);
    });
    m_pnlToolbar->chevron()->setMenu(m_pmToolBarExtender);

    setLinksWidget(nullptr);

    if (contents.addressLabel)
        contents.addressLabel->installEventFilter(new LabelWatch(m_coolBar, m_pnlAddress, this));

    // "&Address Bar", "&Toolbar" and "&Links Bar" go through ApplyBarVisibility; "&Menu
    // Bar" shows or hides its band.
    for (ActionId id : {ActionId::actViewToolbar, ActionId::actViewAddressBar,
                        ActionId::actViewLinksBar})
        connect(actions[id], &QAction::triggered, this, &BarsControl::ApplyBarVisibility);
    connect(actions[ActionId::actViewMenuBar], &QAction::triggered, this,
            [this](bool visible) { setBandVisible(Band::Menu, visible); });

    buildCustomizeMenu();
}

BandPanel* BarsControl::panel(Band band) const
{
    switch (band) {
    case Band::Menu:
        return m_pnlMenuBar;
    case Band::Tool:
        return m_pnlToolbar;
    case Band::Address:
        return m_pnlAddress;
    case Band::Links:
        return m_pnlLinks;
    }
    return nullptr;
}

void BarsControl::setLinksWidget(QWidget* links, QMenu* linksMenu)
{
    QWidget* content = links ? links : m_linksPlaceholder;
    if (m_pnlLinks->content() != content)
        m_pnlLinks->setContent(content);
    offerCustomizeMenu(content);
    // No buttons: no chevron; otherwise the last button against the whole panel.
    m_pnlLinks->setLastEdge([content]() -> std::optional<int> {
        int edge = 0;
        const auto buttons = content->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        for (const QAbstractButton* button : buttons) {
            if (!button->isHidden() && button->objectName() != QLatin1String("qt_toolbar_ext_button"))
                edge = std::max(edge, button->geometry().right() + 1);
        }
        return edge;
    });
    m_pnlLinks->chevron()->setMenu(linksMenu);
}

void BarsControl::ApplyBarVisibility()
{
    setBandVisible(Band::Tool, m_actions[ActionId::actViewToolbar]->isChecked());
    setBandVisible(Band::Address, m_actions[ActionId::actViewAddressBar]->isChecked());
    setBandVisible(Band::Links, m_actions[ActionId::actViewLinksBar]->isChecked());
}

bool BarsControl::isBandVisible(Band band) const
{
    return m_coolBar->isBandVisible(nameOf(band));
}

void BarsControl::setBandVisible(Band band, bool visible)
{
    m_coolBar->setBandVisible(nameOf(band), visible);
}

void BarsControl::LoadBandLayout(RegistryHive& hive)
{
    try {
        m_coolBar->setBandLayout(BandLayouts::LoadBandLayout(hive, m_coolBar->bandLayout()));
    } catch (const RegistryError&) {
        // An unreadable hive leaves the bands as they are.
    }
}

void BarsControl::SaveBandLayout(RegistryHive& hive) const
{
    BandLayouts::SaveBandLayout(hive, m_coolBar->bandLayout());
}

void BarsControl::buildCustomizeMenu()
{
    m_pmCustomize = new QMenu(m_coolBar);
    m_pmCustomize->setObjectName(QStringLiteral("pmCustomize"));
    const auto item = [this](const QString& caption, const char* name) {
        QAction* added = m_pmCustomize->addAction(caption);
        added->setObjectName(QString::fromLatin1(name));
        added->setCheckable(true);
        return added;
    };
    m_pmAddress = item(QStringLiteral("&Address Bar"), "pmCustomizeAddress");
    m_pmToolbar = item(QStringLiteral("&Toolbar"), "pmCustomizeToolbar");
    m_pmMenuBar = item(QStringLiteral("&Menu Bar"), "pmCustomizeMenuBar");
    m_pmLinks = item(QStringLiteral("&Links Bar"), "pmCustomizeLinks");
    m_pmCustomize->addSeparator();
    m_pmCustomize->addAction(m_actions[ActionId::actCustomizeToolbar]);
    m_organizeLinks = m_pmCustomize->addAction(QStringLiteral("&Organize Links..."));
    m_organizeLinks->setObjectName(QStringLiteral("pmCustomizeOrganizeLinks"));
    m_organizeLinks->setEnabled(false); // until the links bar offers it
    // The same command as the Tools menu's, under the caption this menu gives it.
    QAction* clear = m_pmCustomize->addAction(QStringLiteral("&Clear Addresses"));
    clear->setObjectName(QStringLiteral("pmCustomizeClearAddresses"));
    MainActions::setHint(clear, m_actions[ActionId::mnuClearAddresses]->property("hint").toString());
    connect(clear, &QAction::triggered, m_actions[ActionId::mnuClearAddresses], &QAction::trigger);

    connect(m_pmCustomize, &QMenu::aboutToShow, this, &BarsControl::updateCustomizeMenu);
    connect(m_pmAddress, &QAction::triggered, this, [this] {
        toggleFromCustomizeMenu(m_pmAddress, Band::Address,
                                m_actions[ActionId::actViewAddressBar]);
    });
    connect(m_pmToolbar, &QAction::triggered, this, [this] {
        toggleFromCustomizeMenu(m_pmToolbar, Band::Tool, m_actions[ActionId::actViewToolbar]);
    });
    connect(m_pmMenuBar, &QAction::triggered, this, [this] {
        toggleFromCustomizeMenu(m_pmMenuBar, Band::Menu, m_actions[ActionId::actViewMenuBar]);
    });
    connect(m_pmLinks, &QAction::triggered, this, [this] {
        toggleFromCustomizeMenu(m_pmLinks, Band::Links, m_actions[ActionId::actViewLinksBar]);
    });

    offerCustomizeMenu(m_contents.toolbar);
    offerCustomizeMenu(m_contents.menuBand);
    offerCustomizeMenu(m_contents.addressLabel);
    connect(m_coolBar, &CoolBar::contextMenuWanted, this,
            [this](const QPoint& at) { m_pmCustomize->popup(at); });
}

void BarsControl::offerCustomizeMenu(QWidget* on)
{
    if (!on || on->contextMenuPolicy() == Qt::CustomContextMenu)
        return;
    on->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(on, &QWidget::customContextMenuRequested, this,
            [this, on](const QPoint& pos) { m_pmCustomize->popup(on->mapToGlobal(pos)); });
}

void BarsControl::updateCustomizeMenu()
{
    const bool fullScreen = m_fullScreen && m_fullScreen();
    m_pmAddress->setChecked(isBandVisible(Band::Address));
    m_pmToolbar->setChecked(isBandVisible(Band::Tool));
    m_pmMenuBar->setChecked(isBandVisible(Band::Menu));
    m_pmLinks->setChecked(isBandVisible(Band::Links));
    m_pmMenuBar->setVisible(fullScreen);
    m_pmToolbar->setVisible(!fullScreen);
}

void BarsControl::toggleFromCustomizeMenu(QAction* item, Band band, QAction* viewItem)
{
    // The item has toggled itself; the View menu's item says the same, and the band follows.
    viewItem->setChecked(item->isChecked());
    setBandVisible(band, item->isChecked());
}
