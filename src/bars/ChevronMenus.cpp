#include "bars/ChevronMenus.h"

#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "commands/MainActions.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

QList<int> ChevronMenus::toolbarItems(const QList<Button>& buttons, int mainWidth)
{
    QList<int> listed;
    for (int i = 0; i < buttons.size(); ++i) {
        const Button& button = buttons.at(i);
        if (!button.visible || button.rightEdge <= mainWidth)
            continue;
        if (button.separator && listed.isEmpty())
            continue;
        listed << i;
    }
    return listed;
}

bool ChevronMenus::listsMenu(MenuId id, int rightEdge, int mainWidth)
{
    return id == MenuId::Tools || id == MenuId::Tabs || rightEdge > mainWidth;
}

namespace {

// A copy of one item of a drop-down menu: its caption, shortcut and hint, running the same
// action.
void copyItems(const QMenu* from, QMenu* to)
{
    const auto items = from->actions();
    for (QAction* item : items) {
        if (item->isSeparator()) {
            to->addSeparator();
            continue;
        }
        QAction* copy = to->addAction(item->icon(), item->text());
        copy->setShortcut(item->shortcut());
        copy->setToolTip(item->toolTip());
        copy->setStatusTip(item->statusTip());
        copy->setEnabled(item->isEnabled());
        copy->setCheckable(item->isCheckable());
        copy->setChecked(item->isChecked());
        QObject::connect(copy, &QAction::triggered, item, &QAction::trigger);
    }
}

} // namespace

void ChevronMenus::fillToolbarMenu(QMenu* menu, const MainToolbar& toolbar, int mainWidth,
                                   QAction* customize)
{
    menu->clear();
    const auto entries = toolbar.actions();
    QList<Button> buttons;
    for (QAction* entry : entries) {
        const QWidget* widget = toolbar.widgetForAction(entry);
        buttons << Button{entry->isSeparator(), entry->isVisible(),
                          widget ? widget->geometry().right() + 1 : 0};
    }
    const QList<int> listed = toolbarItems(buttons, mainWidth);
    for (int index : listed) {
        QAction* entry = entries.at(index);
        if (entry->isSeparator()) {
            menu->addSeparator();
            continue;
        }
        const auto* button = qobject_cast<const QToolButton*>(toolbar.widgetForAction(entry));
        QAction* action = button ? button->defaultAction() : nullptr;
        if (!action)
            continue;
        const QString hint = action->property("hint").toString();
        if (button->menu()) {
            QMenu* sub = menu->addMenu(action->icon(), MainActions::shortHint(hint));
            MainActions::setHint(sub->menuAction(), hint);
            sub->setEnabled(action->isEnabled());
            copyItems(button->menu(), sub);
            continue;
        }
        QAction* item = menu->addAction(action->icon(), MainActions::shortHint(hint));
        MainActions::setHint(item, hint);
        item->setEnabled(action->isEnabled());
        if (action->isCheckable()) {
            item->setCheckable(true);
            item->setChecked(action->isChecked());
        }
        QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    }
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addAction(customize);
}

void ChevronMenus::fillMenuBandMenu(QMenu* menu, const MenuBand& band, int mainWidth)
{
    menu->clear();
    for (const MenuDescription& description : MenuLayout::menuBar()) {
        const QToolButton* button = band.button(description.id);
        if (!button || !button->menu())
            continue;
        if (listsMenu(description.id, button->geometry().right() + 1, mainWidth))
            menu->addMenu(button->menu());
    }
}
