#pragma once

#include <QHash>
#include <QMenu>
#include <QPointer>

#include <functional>

class MainActions;
class TabSet;
class TBrowserTab;

// The tab strip's context menu (pmTab). Every item acts on the tab under the pointer at the
// last right press (PopupTab), which need not be the active tab; with no tab
// there the items do nothing. The tab is found once, when the menu opens: a tab that comes
// or goes while the menu is open shifts the others, and the items keep to the tab the user
// saw under the pointer. When it opens, the items take their captions, checks and
// enabled states from that tab, and the closing items go to the end of the menu with the
// tabs at the bottom of the window and to the top with the tabs on top, next to the
// pointer either way.
class TTabMenu final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTabMenu)

public:
    // `addToGroup`: the page-group command for a tab (Add to SorvelGroup).
    TTabMenu(TabSet& tabs, const MainActions& actions,
             std::function<void(TBrowserTab*)> addToGroup, QWidget* parent);

    // Opens the menu at `globalPos` for the tab at `tabIndex` of the strip (-1: none), as a
    // right press there does.
    void popupFor(int tabIndex, const QPoint& globalPos);
    // From the keyboard: the menu for the active tab, beside its tab.
    void popupForActiveTab();
    // The strip's tab index of the last right press; -1 when no tab was hit.
    int PopupTabIndex() const { return m_popupTabIndex; }
    // The tab under the pointer at the last right press (hidden tabs are destroyed first);
    // null when none was hit.
    TBrowserTab* PopupTab();

    // An item by name: mnuTabLocked, mnuStickyName, mnuAddTo, mnuAddToSorvelGroup,
    // mnuAddToFavorites, pmAddToPopupSorvel, mnuStop, mnuRefresh, mnuTabHome,
    // mnuHideFromCloseAll, mnuCloseAll (the submenu's item) and mnuClose. Null otherwise.
    QAction* item(const QString& name) const { return m_items.value(name); }

    // An item of another area that acts on the menu's tab, shown after the browsing items.
    // Its owner sets its state as the menu opens (on aboutToShow, after prepare()).
    void addTabItem(QAction* item) { m_extraItems.append(item); }

    // Finds the tab the menu acts on, and sets captions, checks and order for it.
    void prepare();
    // The tab the items act on: the one found when the menu last opened, while it exists.
    TBrowserTab* tab() const;

private:
    QAction* addItem(const char* name, const QString& caption, const QString& shortcut,
                     const QString& hint, bool checkable = false);
    QAction* separator();
    void arrange(bool closingOnTop);
    // Runs `work` on the menu's tab, when there is one.
    template<typename Work> void onTab(QAction* item, Work work);

    TabSet& m_tabs;
    std::function<void(TBrowserTab*)> m_addToGroup;
    int m_popupTabIndex = -1;
    QHash<QString, QAction*> m_items;
    QMenu* m_addTo = nullptr;
    QMenu* m_closeAll = nullptr;
    QList<QAction*> m_separators;
    QList<QAction*> m_extraItems;
    QPointer<TBrowserTab> m_tab;
};
