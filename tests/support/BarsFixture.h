#pragma once

#include "bars/BarsControl.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"

#include <QWidget>

// The bars of a window as the window builds them, on a widget of their own: the actions and
// menus, the menu band, the toolbar, an address band's stand-in and the bands' control.
struct BarsFixture
{
    QWidget window;
    MainActions actions{&window};
    MenuBuilder menus{actions, &window};
    MenuBand* menuBand = new MenuBand(menus, actions, &window);
    MainToolbar* toolbar = new MainToolbar(
        actions, [this](MenuId id) { return menus.menu(id); }, &window);
    QWidget* address = new QWidget(&window);
    BarsControl control{
        actions, {menuBand, toolbar, address, nullptr}, [] { return false; }, &window};
    CoolBar* bar() const { return control.coolBar(); }
};
