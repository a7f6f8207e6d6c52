#include "sidebar/window/SideBarCommands.h"

#include "commands/MainActions.h"
#include "platform/Paths.h"
#include "sidebar/SideBar.h"

#include <QAction>
#include <QMainWindow>
#include <QSplitter>

SideBarCommands::SideBarCommands(const Parts& parts, QObject* parent)
    : QObject(parent)
    , m_host(parts.tabs, parts.groups, parts.settings, parts.status)
{
    const SideBar::Places places{parts.historyFile, Paths::groupsFolder()};
    m_bar = new SideBar(m_host, parts.hive, places, nullptr, &parts.window);
    const MainActions& actions = parts.actions;
    m_bar->setFavoritesCommands(actions[ActionId::actAddToFavorites],
                                actions[ActionId::actOrganizeFavorites]);

    QMainWindow& window = parts.window;
    WindowSettings& settings = parts.settings;
    auto* splitter = new QSplitter(Qt::Horizontal, &window);
    splitter->setObjectName(QStringLiteral("spSplitter"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    QWidget* tabs = window.takeCentralWidget();
    splitter->addWidget(m_bar);
    splitter->addWidget(tabs);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({qMax(100, settings.sorvelBarWidth), qMax(200, window.width())});
    window.setCentralWidget(splitter);
    // The width is the user's: kept as the splitter last left it, written back at exit.
    connect(splitter, &QSplitter::splitterMoved, this, [this, splitter, &settings] {
        if (m_bar->isVisible())
            settings.sorvelBarWidth = splitter->sizes().value(0);
    });

    QAction* view = actions[ActionId::actViewSorvelBar];
    QAction* button = actions[ActionId::tbVarloBar];
    for (QAction* action : {view, button})
        connect(action, &QAction::triggered, m_bar, &SideBar::ShowSideBar);
    connect(m_bar, &SideBar::visibilityChanged, this,
            [view, button, splitter, &settings](bool visible) {
                view->setChecked(visible);
                button->setChecked(visible);
                // Shown again at the width the user left it, whatever the window did meanwhile.
                if (visible) {
                    const int total = splitter->width();
                    const int bar = qMax(100, settings.sorvelBarWidth);
                    splitter->setSizes({bar, qMax(200, total - bar)});
                }
            });
    m_bar->ShowSideBar(settings.viewSorvelBar);
}
