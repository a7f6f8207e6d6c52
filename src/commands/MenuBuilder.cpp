#include "commands/MenuBuilder.h"

#include "commands/MainActions.h"

#include <QMenu>

MenuBuilder::MenuBuilder(const MainActions& actions, QWidget* parent)
    : m_actions(actions)
    , m_parent(parent)
{}

QMenu* MenuBuilder::menu(MenuId id)
{
    if (QMenu* made = m_menus.value(id))
        return made;
    const MenuDescription* description = MenuLayout::menu(id);
    if (!description)
        return nullptr;
    auto* made = new QMenu(QString::fromUtf8(description->caption), m_parent);
    made->setObjectName(QString::fromLatin1(description->name));
    m_menus.insert(id, made);
    fill(made, *description);
    return made;
}

QMenu* MenuBuilder::makeCopy(MenuId id, const QString& objectName, QWidget* parent)
{
    const MenuDescription* description = MenuLayout::menu(id);
    if (!description)
        return nullptr;
    auto* made = new QMenu(QString::fromUtf8(description->caption), parent);
    made->setObjectName(objectName);
    fill(made, *description);
    return made;
}

void MenuBuilder::fill(QMenu* menu, const MenuDescription& description)
{
    for (const MenuEntry& entry : description.entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Action:
            menu->addAction(m_actions[entry.action]);
            break;
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Submenu:
            if (QMenu* sub = this->menu(entry.submenu))
                menu->addMenu(sub);
            break;
        }
    }
}
