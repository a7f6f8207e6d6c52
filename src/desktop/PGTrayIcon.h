#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>

class QMenu;
class QWidget;

// The main window's icon in the desktop's notification area (the tray). While it is
// active, minimizing the window hides it into the tray instead of leaving it on the task
// bar; the window comes back through Restore (the icon's menu, a double-click, or anything
// else that shows the window again).
//
// Where the desktop has no notification area, an active icon shows nothing and the window
// minimizes as usual: a window hidden into a tray that is not there could not be got back.
class TPGTrayIcon final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPGTrayIcon)

public:
    // `trayAvailable` answers whether the desktop has a notification area now; empty: the
    // desktop is asked (TrayAvailable()).
    explicit TPGTrayIcon(QWidget* window, std::function<bool()> trayAvailable = {});
    ~TPGTrayIcon() override;

    // Whether this desktop has a notification area at all.
    static bool TrayAvailable();

    bool Active() const { return m_active; }
    void SetActive(bool on);
    // Whether the icon is in the notification area: active, and the desktop has one.
    bool IconVisible() const;

    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    void SetIcon(const QIcon& icon);
    void SetPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const { return m_menu; }
    // The icon in the notification area, while there is one.
    QSystemTrayIcon* icon() const { return m_icon; }

    // True while the window is hidden in the tray.
    bool MinimizedToTray() const { return m_minimized; }
    // Hides the window into the tray; where that cannot be done, minimizes it as usual.
    void MinimizeToTray();
    // Brings the window back from the tray (or from a minimized state), to the front.
    void Restore();

Q_SIGNALS:
    void minimized(); // the window went into the tray
    void restored();  // ... and came back
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    QElapsedTimer m_restoredByClick;
    bool trayAvailable() const;
    void updateIcon();
    void leaveTray();

    QPointer<QWidget> m_window;
    std::function<bool()> m_trayAvailable;
    QPointer<QSystemTrayIcon> m_icon;
    QPointer<QMenu> m_menu;
    QIcon m_iconImage;
    QString m_hint;
    bool m_active = false;
    bool m_minimized = false;
    bool m_quitOnLastWindowClosed = true; // the application's rule before the window hid
};
