#pragma once

#include <QObject>

class EngineServices;
class RegistryHive;
class TDiscMonitor;
class TfrmMain;
class TLinksBar;
struct WindowSettings;

// The links bar: made from the Links folder at creation, shown on the "Links" band, kept up
// to date by a monitor on the folder, its links opened by the window's link opener.
class WindowLinks final : public QObject
{
public:
    WindowLinks(TfrmMain& window, const WindowSettings& settings, RegistryHive& hive,
                EngineServices& engine);

    TLinksBar* bar() const { return m_bar; }
    // An existing file opens in its own program, anything else goes to OpenAddress with
    // LinksNewWin.
    void OpenLink(const QString& address, bool shiftHeld);
    // The Links folder in the desktop's file manager.
    void OrganizeLinks();
    // The Favorites folder changed: a Links folder made after the start is found now.
    void favoritesFolderChanged();

private:
    void watchFolder();

    TfrmMain& m_window;
    const WindowSettings& m_settings;
    TLinksBar* m_bar = nullptr;
    TDiscMonitor* m_monitor = nullptr; // while the Links folder exists
};
