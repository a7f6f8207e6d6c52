#pragma once

#include "commands/MenuLayout.h"

#include <QHash>

class MainActions;
class QMenu;
class QWidget;

// Makes QMenus from the menu descriptions, each menu once: a submenu that appears in two
// places (the Text Size menu is also the Font button's) is the same menu in both.
class MenuBuilder final
{
public:
    MenuBuilder(const MainActions& actions, QWidget* parent);

    // The menu of that identity, made on first use; null for MenuId::None.
    QMenu* menu(MenuId id);
    // A new, separate menu from the same description (a context menu with other owners).
    QMenu* makeCopy(MenuId id, const QString& objectName, QWidget* parent);

private:
    void fill(QMenu* menu, const MenuDescription& description);

    const MainActions& m_actions;
    QWidget* m_parent;
    QHash<MenuId, QMenu*> m_menus;
};
