// The side bar's place in the window: beside the tabs with a splitter, its host, and the
// commands that show it.
#include "app/MainWindow.h"

#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "commands/MainActions.h"
#include "groups/SorvelGroupCommands.h"
#include "platform/Paths.h"
#include "platform/web/EngineServices.h"
#include "sidebar/SideBar.h"
#include "app/WindowSideBarHost.h"

#include <QAction>
#include <QSplitter>

void TfrmMain::buildSideBar()
{
    auto* host = new WindowSideBarHost(*this);
    const SideBar::Places places{m_start.engine->historyFile(), Paths::groupsFolder()};
    m_sideBar = new SideBar(*host, m_hive, places, nullptr, this);
    m_sideBar->setFavoritesCommands(action(ActionId::actAddToFavorites),
                                    action(ActionId::actOrganizeFavorites));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("spSplitter"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    takeCentralWidget();
    splitter->addWidget(m_sideBar);
    splitter->addWidget(m_pcPage);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({qMax(100, m_settings.sorvelBarWidth), qMax(200, width())});
    setCentralWidget(splitter);
    // The width is the user's: kept as the splitter last left it, written back at exit.
    connect(splitter, &QSplitter::splitterMoved, this, [this, splitter] {
        if (m_sideBar->isVisible())
            m_settings.sorvelBarWidth = splitter->sizes().value(0);
    });

    for (ActionId id : {ActionId::actViewSorvelBar, ActionId::tbVarloBar})
        connect(action(id), &QAction::triggered, m_sideBar, &SideBar::ShowSideBar);
    connect(m_sideBar, &SideBar::visibilityChanged, this, [this, splitter](bool visible) {
        action(ActionId::actViewSorvelBar)->setChecked(visible);
        action(ActionId::tbVarloBar)->setChecked(visible);
        // Shown again at the width the user left it, whatever the window did meanwhile.
        if (visible) {
            const int total = splitter->width();
            const int bar = qMax(100, m_settings.sorvelBarWidth);
            splitter->setSizes({bar, qMax(200, total - bar)});
        }
    });
    m_sideBar->ShowSideBar(m_settings.viewSorvelBar);
}
