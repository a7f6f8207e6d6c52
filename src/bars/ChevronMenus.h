#pragma once

#include "commands/MenuLayout.h"

#include <QList>

class MainToolbar;
class MenuBand;
class QAction;
class QMenu;

// What the chevrons of the menu band and the toolbar offer: the buttons cut off at the
// chevron.
namespace ChevronMenus {

// One toolbar button as the chevron sees it.
struct Button
{
    bool separator = false;
    bool visible = true;
    int rightEdge = 0;
};

// The positions the toolbar chevron lists, in order: every shown button whose right edge
// lies beyond the main area; a separator only when something is listed before it.
QList<int> toolbarItems(const QList<Button>& buttons, int mainWidth);

// Whether the menu chevron lists a menu of the menu bar: Tools and Tabs always, the others
// when their button ends beyond the main area.
bool listsMenu(MenuId id, int rightEdge, int mainWidth);

// Rebuilds the toolbar chevron's menu: the cut-off buttons as items (a drop-down button's
// menu copied as its submenu), then a separator and `customize`.
void fillToolbarMenu(QMenu* menu, const MainToolbar& toolbar, int mainWidth, QAction* customize);

// Rebuilds the menu chevron's menu from the menu bar's menus.
void fillMenuBandMenu(QMenu* menu, const MenuBand& band, int mainWidth);

} // namespace ChevronMenus
