#pragma once

#include <QObject>

class BarsControl;
class EngineServices;
class RegistryHive;
class TabSet;
class TDiscMonitor;
class TLinksBar;
class TPVStatusBar;
struct WindowSettings;

// The links bar: made from the Links folder at creation, shown on the "Links" band, kept up
// to date by a monitor on the folder, its links opened in the tab set or, for files, in the
// desktop's program for them.
class LinksCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(LinksCommands)

public:
    // `settings` are the window's working copies ("LinksNewWin").
    LinksCommands(TabSet& tabs, BarsControl& bars, TPVStatusBar& status,
                  const WindowSettings& settings, RegistryHive& hive, EngineServices& engine,
                  QObject* parent = nullptr);

    TLinksBar* bar() const { return m_bar; }
    // An existing file opens in its own program, anything else goes to OpenAddress with
    // LinksNewWin.
    void OpenLink(const QString& address, bool shiftHeld);
    // The Favorites folder changed: a Links folder made after the start is found now.
    void favoritesFolderChanged();

private:
    // Organize Links: the Links folder in the desktop's file manager.
    void OrganizeLinks();
    void watchFolder();

    TabSet& m_tabs;
    TPVStatusBar& m_status;
    const WindowSettings& m_settings;
    TLinksBar* m_bar = nullptr;
    TDiscMonitor* m_monitor = nullptr; // while the Links folder exists
};
