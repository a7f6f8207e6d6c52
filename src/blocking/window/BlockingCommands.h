#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class BlockedListDialog;
class ContentBlocker;
class MainActions;
class QAction;
class QToolButton;
class TabSet;
class TBrowserTab;
class TDiscMonitor;
class TPVStatusBar;
class TTabMenu;

// Content blocking in the window: a switch on the status bar that shows how many requests
// were blocked on the page in front and turns blocking off (and on again) for its site, the
// same switch on the tab's context menu for the tab under the pointer, and the Tools item
// that lists what was blocked on the page. The lists' folder is watched: a list added,
// changed or removed is read again.
class BlockingCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlockingCommands)

public:
    struct Parts
    {
        ContentBlocker& blocker;
        TabSet& tabs;
        const MainActions& actions;
        TTabMenu& tabMenu;
        TPVStatusBar& status;
    };
    explicit BlockingCommands(Parts parts, QObject* parent = nullptr);

    QToolButton* statusSwitch() const { return m_switch; }
    QAction* tabMenuItem() const { return m_tabItem; }
    // The list of what was blocked on the active tab's page (modal).
    void showBlocked();
    // The dialog while it is open, for tests.
    BlockedListDialog* blockedDialog() const;

    // The site of a tab's page (its host); empty for pages of no site (blank, local files).
    static QString siteOf(const TBrowserTab* tab);
    // How a browser is named to the blocker (see WebRequest::source).
    static const void* sourceOf(const TBrowserTab* tab);
    // The switch's caption: the count while blocking is on for the site.
    static QString switchText(bool enabled, int count);

private:
    void update();
    void toggleSite(const QString& site);

    ContentBlocker& m_blocker;
    TabSet& m_tabs;
    TTabMenu& m_tabMenu;
    TPVStatusBar& m_status;
    QToolButton* m_switch = nullptr;
    QAction* m_tabItem = nullptr;
    TDiscMonitor* m_monitor = nullptr;
    QPointer<BlockedListDialog> m_dialog;
};
