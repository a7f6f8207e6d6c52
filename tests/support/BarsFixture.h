#pragma once

#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"

#include <QWidget>

// The parts of a window's bars, built as the window builds them, on a plain widget and with
// a plain widget in the address band's place; no main window.
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
