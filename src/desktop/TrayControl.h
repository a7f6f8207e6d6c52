#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;
class TPGTrayIcon;

// The tray part of the main window: the icon with its menu ("&Restore"/"&Minimize",
// "&Exit"), its hint naming the active page while the window is in the tray, and the
// switch that puts the icon in use ("MinToTray").
class TrayControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayControl)

public:
    // `activeTitle` gives the title of the active page for the hint; `trayAvailable` as
    // for TPGTrayIcon (empty: the desktop is asked).
    TrayControl(QWidget* window, std::function<QString()> activeTitle,
                std::function<bool()> trayAvailable);

    TPGTrayIcon* icon() const { return m_pgTray; }
    QMenu* menu() const { return m_pmTray; }
    bool TrayMinimized() const { return m_trayMinimized; }
    bool trayAvailable() const;

    // Puts the icon in use or out of it.
    void SetMinToTray(bool on);
    // The menu's first item and a double-click on the icon: into the tray, or back.
    void TrayRestoreClick();
    // The menu's Exit: closes the window, and ends the program if the window was hidden.
    void TrayExitClick();

private:
    void pmTrayPopup();

    QWidget* const m_window;
    const std::function<QString()> m_activeTitle;
    const std::function<bool()> m_trayAvailable;
    TPGTrayIcon* m_pgTray = nullptr;
    QMenu* m_pmTray = nullptr;
    QAction* m_mnuTrayRestore = nullptr;
    bool m_trayMinimized = false;
};
