#pragma once

#include "sidebar/window/SideBarTabs.h"

#include <QObject>
#include <QString>

class MainActions;
class QMainWindow;
class RegistryHive;
class SideBar;

// The side bar's place in the window: beside the tabs with a splitter whose width is the
// user's, its host, and the View command and the toolbar button that show and hide it.
class SideBarCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(SideBarCommands)

public:
    struct Parts
    {
        // The bar goes beside the window's central widget (the tabs), in one splitter.
        QMainWindow& window;
        TabSet& tabs;
        SorvelGroupCommands& groups;
        const MainActions& actions;
        // The window's working copies: "ViewSorvelBar" at creation, "SorvelBarWidth" kept as
        // the splitter last left it, and the side bar's own options.
        WindowSettings& settings;
        TPVStatusBar& status;
        RegistryHive& hive;
        QString historyFile; // the history store's file
    };

    explicit SideBarCommands(const Parts& parts, QObject* parent = nullptr);

    SideBar* sideBar() const { return m_bar; }
    // The side bar's host, which the floating favorites window shares.
    SideBarHost& host() { return m_host; }

private:
    SideBarTabs m_host;
    SideBar* m_bar = nullptr;
};
