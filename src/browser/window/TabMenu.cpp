#include "browser/window/TabMenu.h"

#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "commands/MainActions.h"

#include <QAction>

template<typename Work> void TTabMenu::onTab(QAction* item, Work work)
{
    // The item is its own context: a menu drops every connection of an item taken out of
    // it, and arrange() takes the items out and puts them back.
    connect(item, &QAction::triggered, item, [this, work] {
        if (TBrowserTab* tab = this->tab())
            work(tab);
    });
}

TTabMenu::TTabMenu(TabSet& tabs, const MainActions& actions,
                   std::function<void(TBrowserTab*)> addToGroup, QWidget* parent)
    : QMenu(parent)
    , m_tabs(tabs)
    , m_addToGroup(std::move(addToGroup))
{
    setObjectName(QStringLiteral("pmTab"));
    setToolTipsVisible(false);

    QAction* locked = addItem("mnuTabLocked", QStringLiteral("Tab &Locked"), QStringLiteral("F12"),
                              QStringLiteral("Tab Locked|Toggle tab lock mode"), true);
    onTab(locked, [locked](TBrowserTab* tab) { tab->SetLocked(locked->isChecked()); });
    QAction* sticky =
        addItem("mnuStickyName", QStringLiteral("Set StickyName"), QStringLiteral("F9"), QString());
    onTab(sticky, [](TBrowserTab* tab) {
        if (tab->StickyName().isEmpty())
            tab->PromptStickyName();
        else
            tab->SetStickyName(QString());
    });

    m_addTo = new QMenu(QStringLiteral("&Add To"), this);
    m_addTo->setObjectName(QStringLiteral("mnuAddToMenu"));
    m_addTo->menuAction()->setObjectName(QStringLiteral("mnuAddTo"));
    m_items.insert(QStringLiteral("mnuAddTo"), m_addTo->menuAction());
    QAction* group =
        addItem("mnuAddToSorvelGroup", QStringLiteral("Add to Sor&velGroup..."), QString(),
                QStringLiteral("Add to SorvelGroup|Adds this tab to a SorvelGroup"));
    onTab(group, [this](TBrowserTab* tab) {
        if (m_addToGroup)
            m_addToGroup(tab);
    });
    QAction* favorites =
        addItem("mnuAddToFavorites", QStringLiteral("A&dd to Favorites..."), QString(),
                QStringLiteral("Add to Favorites|Adds this site to your favorites"));
    onTab(favorites, [](TBrowserTab* tab) { tab->AddToFavorites(); });
    QAction* popup = addItem("pmAddToPopupSorvel", QStringLiteral("&Add to PopupSorvel"),
                             QStringLiteral("F8"), QStringLiteral("Adds this URL to PopupSorvel"));
    onTab(popup, [](TBrowserTab* tab) { tab->AddToPopupList(); });
    for (QAction* entry : {group, favorites, popup}) {
        removeAction(entry);
        m_addTo->addAction(entry);
    }

    QAction* stop = addItem("mnuStop", QStringLiteral("&Stop"), QStringLiteral("Esc"),
                            QStringLiteral("Stops|Stops loading this browser tab's documents"));
    onTab(stop, [](TBrowserTab* tab) { tab->Stop(); });
    QAction* refresh = addItem("mnuRefresh", QStringLiteral("&Refresh"), QStringLiteral("F5"),
                               QStringLiteral("Refresh|Refreshes this browser tab's document"));
    onTab(refresh, [](TBrowserTab* tab) { tab->Refresh(); }); // Ctrl held: completely
    QAction* home = addItem("mnuTabHome", QStringLiteral("&Tab Home"), QStringLiteral("Alt+Home"),
                            QStringLiteral("Home|Goes to the tabs home location"));
    onTab(home, [](TBrowserTab* tab) { tab->GoTabHome(); });

    QAction* hide = addItem("mnuHideFromCloseAll", QStringLiteral("&Hide from Close All"),
                            QString(), QString(), true);
    onTab(hide, [hide](TBrowserTab* tab) { tab->setHideFromCloseAll(hide->isChecked()); });

    m_closeAll = new QMenu(QStringLiteral("C&lose All"), this);
    m_closeAll->setObjectName(QStringLiteral("mnuCloseAllMenu"));
    m_closeAll->menuAction()->setObjectName(QStringLiteral("mnuCloseAll"));
    m_items.insert(QStringLiteral("mnuCloseAll"), m_closeAll->menuAction());
    m_closeAll->addAction(actions.get(ActionId::actCloseAll));
    m_closeAll->addAction(actions.get(ActionId::actCloseAllKeepCurrent));
    m_closeAll->addAction(actions.get(ActionId::actCloseAllShowList));
    m_closeAll->setDefaultAction(actions.get(ActionId::actCloseAll));

    QAction* close = addItem("mnuClose", QStringLiteral("&Close"), QStringLiteral("Ctrl+W"),
                             QStringLiteral("Close|Close this browser tab"));
    onTab(close, [this](TBrowserTab* tab) { m_tabs.closePage(tab); });

    for (int i = 0; i < 3; ++i)
        m_separators << separator();
    arrange(false);
    connect(this, &QMenu::aboutToShow, this, &TTabMenu::prepare);
}

QAction* TTabMenu::addItem(const char* name, const QString& caption, const QString& shortcut,
                           const QString& hint, bool checkable)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        // Shown beside the caption; the keyboard table runs the key for the active tab.
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    action->setCheckable(checkable);
    if (!hint.isEmpty())
        MainActions::setHint(action, hint);
    m_items.insert(action->objectName(), action);
    addAction(action);
    return action;
}

QAction* TTabMenu::separator()
{
    auto* action = new QAction(this);
    action->setSeparator(true);
    return action;
}

void TTabMenu::arrange(bool closingOnTop)
{
    const auto existing = actions();
    for (QAction* action : existing)
        removeAction(action);
    const auto a = [this](const char* name) { return m_items.value(QString::fromLatin1(name)); };
    const QList<QAction*> closing = {a("mnuHideFromCloseAll"), a("mnuCloseAll"), a("mnuClose")};
    const QList<QAction*> browsing = {a("mnuTabLocked"), a("mnuStickyName"), m_separators[0],
                                      a("mnuAddTo"),     m_separators[1],    a("mnuStop"),
                                      a("mnuRefresh"),   a("mnuTabHome")};
    const QList<QAction*> extra = m_extraItems;
    if (closingOnTop) {
        addActions({a("mnuClose"), a("mnuCloseAll"), a("mnuHideFromCloseAll"), m_separators[2]});
        addActions(browsing);
        addActions(extra);
    } else {
        addActions(browsing);
        addActions(extra);
        addAction(m_separators[2]);
        addActions(closing);
    }
}

TBrowserTab* TTabMenu::tab() const
{
    return m_tab;
}

void TTabMenu::prepare()
{
    arrange(m_tabs.strip().tabPosition() == TPVPageControl::Side::Top);
    m_tab = PopupTab();
    const TBrowserTab* tab = m_tab;
    // Away from the tabs the items have nothing to act on, and show no tab's state; Close
    // All is the window's and stays.
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        if (it.key() != QLatin1String("mnuCloseAll"))
            it.value()->setEnabled(tab);
    }
    item(QStringLiteral("mnuStickyName"))
        ->setText(tab && !tab->StickyName().isEmpty() ? QStringLiteral("Clear StickyName")
                                                      : QStringLiteral("Set StickyName"));
    item(QStringLiteral("mnuHideFromCloseAll"))->setChecked(tab && tab->HideFromCloseAll());
    item(QStringLiteral("mnuTabHome"))->setEnabled(tab && !tab->HomeUrl().isEmpty());
    item(QStringLiteral("mnuTabLocked"))->setChecked(tab && tab->Locked());
}

void TTabMenu::popupFor(int tabIndex, const QPoint& globalPos)
{
    m_popupTabIndex = tabIndex;
    popup(globalPos);
}

void TTabMenu::popupForActiveTab()
{
    const TPVPageControl& pages = m_tabs.strip();
    const int tabIndex = pages.activeTabIndex();
    const QRect tab = pages.tabRect(tabIndex);
    if (tab.isNull())
        return;
    // Beside the tab, on the side of the pages: below tabs on top, above tabs at the bottom.
    const bool onTop = pages.tabPosition() == TPVPageControl::Side::Top;
    QWidget* strip = pages.tabStrip();
    const QPoint at = onTop ? strip->mapToGlobal(tab.bottomLeft())
                            : strip->mapToGlobal(tab.topLeft()) - QPoint(0, sizeHint().height());
    popupFor(tabIndex, at);
}

TBrowserTab* TTabMenu::PopupTab()
{
    m_tabs.CloseHiddenTabs();
    if (m_popupTabIndex < 0)
        return nullptr;
    return qobject_cast<TBrowserTab*>(m_tabs.strip().pageForTabIndex(m_popupTabIndex));
}
