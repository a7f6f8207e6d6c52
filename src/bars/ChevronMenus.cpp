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
            // The button's own menu: several are filled only as they open (the engines,
            // the mail programs, the text sizes), and a copy would be empty or stale.
            QAction* sub = menu->addAction(action->icon(), MainActions::shortHint(hint));
            MainActions::setHint(sub, hint);
            sub->setEnabled(action->isEnabled());
            sub->setMenu(button->menu());
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
