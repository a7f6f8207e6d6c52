#include "bars/MenuBand.h"

#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "platform/MenuButton.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

MenuBand::MenuBand(MenuBuilder& menus, const MainActions& actions, QWidget* parent)
    : QToolBar(QStringLiteral("Menu"), parent)
{
    setObjectName(QStringLiteral("tbMenu"));
    for (const MenuDescription& description : MenuLayout::menuBar()) {
        QMenu* menu = menus.menu(description.id);
        auto* button = new MenuButton(this);
        button->setText(menu->title());
        button->setMenu(menu);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setObjectName(QStringLiteral("tb") + menu->objectName().mid(3));
        addWidget(button);
        m_buttons.insert(description.id, button);
    }

    auto* gap = new QWidget(this);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(gap);
    m_pmCloseAll = menus.makeCopy(MenuId::CloseAll, QStringLiteral("pmCloseAll"), this);
    m_pmCloseAll->setDefaultAction(actions[ActionId::actCloseAll]);
    auto* spdCloseAll = new QToolButton(this);
    spdCloseAll->setObjectName(QStringLiteral("spdCloseAll"));
    spdCloseAll->setText(QStringLiteral("\u00D7\u00D7"));
    spdCloseAll->setAutoRaise(true);
    spdCloseAll->setToolTip(QStringLiteral("Close Tabs\nRight-click for more options"));
    spdCloseAll->setStatusTip(QStringLiteral("Closes the active browser tab"));
    spdCloseAll->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(spdCloseAll, &QToolButton::clicked, actions[ActionId::actCloseAll], &QAction::trigger);
    connect(spdCloseAll, &QWidget::customContextMenuRequested, this,
            [this, spdCloseAll](const QPoint& pos) {
                m_pmCloseAll->popup(spdCloseAll->mapToGlobal(pos));
            });
    addWidget(spdCloseAll);
    auto* spdClose = new QToolButton(this);
    spdClose->setObjectName(QStringLiteral("spdClose"));
    spdClose->setText(QStringLiteral("\u00D7"));
    spdClose->setAutoRaise(true);
    spdClose->setToolTip(QStringLiteral("Close Active Tab"));
    spdClose->setStatusTip(QStringLiteral("Close Active Tab"));
    connect(spdClose, &QToolButton::clicked, actions[ActionId::actClose], &QAction::trigger);
    addWidget(spdClose);
}

void MenuBand::dropDown(MenuId id) const
{
    QToolButton* found = button(id);
    if (found && found->isVisible())
        found->showMenu();
}
