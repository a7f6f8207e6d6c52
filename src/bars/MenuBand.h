#pragma once

#include "commands/MenuLayout.h"

#include <QHash>
#include <QToolBar>

class MainActions;
class MenuBuilder;
class QToolButton;

// The menu band ("tbMenu"): the menu bar's menus as buttons that drop them down, and at its
// right end the two small close buttons (Close All, with its menu on a right click, and
// Close). The window adds its logo area after them.
class MenuBand final : public QToolBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuBand)

public:
    MenuBand(MenuBuilder& menus, const MainActions& actions, QWidget* parent);

    QToolButton* button(MenuId id) const { return m_buttons.value(id); }
    // Drops the menu down, as its Alt key does; nothing while the band is hidden.
    void dropDown(MenuId id) const;
    // The Close All button's menu.
    QMenu* closeAllMenu() const { return m_pmCloseAll; }

private:
    QHash<MenuId, QToolButton*> m_buttons;
    QMenu* m_pmCloseAll = nullptr;
};
