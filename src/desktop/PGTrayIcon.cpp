#include "desktop/PGTrayIcon.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

TPGTrayIcon::TPGTrayIcon(QWidget* window, std::function<bool()> trayAvailable)
    : QObject(window)
    , m_window(window)
    , m_trayAvailable(std::move(trayAvailable))
{
    window->installEventFilter(this);
}

TPGTrayIcon::~TPGTrayIcon()
{
    if (m_minimized)
        QGuiApplication::setQuitOnLastWindowClosed(m_quitOnLastWindowClosed);
    delete m_icon;
}

bool TPGTrayIcon::TrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TPGTrayIcon::trayAvailable() const
{
    return m_trayAvailable ? m_trayAvailable() : TrayAvailable();
}

void TPGTrayIcon::SetActive(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (!on && m_minimized)
        Restore(); // nothing would be left to bring the window back
    updateIcon();
}

bool TPGTrayIcon::IconVisible() const
{
    return m_icon && m_icon->isVisible();
}

void TPGTrayIcon::SetHint(const QString& hint)
{
    m_hint = hint;
    if (m_icon)
        m_icon->setToolTip(hint);
}

void TPGTrayIcon::SetIcon(const QIcon& icon)
{
    m_iconImage = icon;
    if (m_icon)
        m_icon->setIcon(icon);
}

void TPGTrayIcon::SetPopupMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void TPGTrayIcon::updateIcon()
{
    const bool wanted = m_active && trayAvailable();
    if (!wanted) {
        delete m_icon;
        return;
    }
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(m_iconImage, this);
        m_icon->setToolTip(m_hint);
        m_icon->setContextMenu(m_menu);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    m_icon->show();
}

void TPGTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger) {
        // Trays that report only single activations (StatusNotifier trays) would otherwise
        // never give the window back. A click brings it back and never hides it, so the
        // first click of a double-click does no harm where double-clicks are reported.
        if (m_minimized) {
            Restore();
            m_restoredByClick.start();
        }
        return;
    }
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    // The double-click whose first click has just brought the window back is done.
    if (m_restoredByClick.isValid() &&
        !m_restoredByClick.hasExpired(QApplication::doubleClickInterval())) {
        m_restoredByClick.invalidate();
        return;
    }
    Q_EMIT doubleClicked();
}

void TPGTrayIcon::MinimizeToTray()
{
    if (!m_window || m_minimized)
        return;
    updateIcon(); // a tray may have come or gone since
    if (!m_active || !trayAvailable()) {
        m_window->showMinimized();
        return;
    }
    m_minimized = true;
    // Closing another window of the program while this one is in the tray must not end it.
    m_quitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_window->hide();
    Q_EMIT minimized();
}

void TPGTrayIcon::Restore()
{
    if (!m_window)
        return;
    const bool wasInTray = m_minimized;
    leaveTray();
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    if (wasInTray)
        Q_EMIT restored();
}

void TPGTrayIcon::leaveTray()
{
    if (!m_minimized)
        return;
    m_minimized = false;
    QGuiApplication::setQuitOnLastWindowClosed(m_quitOnLastWindowClosed);
}

bool TPGTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::WindowStateChange && m_active && m_window->isMinimized() &&
            !m_minimized && trayAvailable()) {
            // The user minimized the window: into the tray with it, once the window system
            // has finished minimizing.
            QTimer::singleShot(0, this, [this] {
                if (m_window && m_window->isMinimized())
                    MinimizeToTray();
            });
        } else if (event->type() == QEvent::Close) {
            leaveTray(); // closed for good: the program's usual end applies again
        } else if (event->type() == QEvent::Show && m_minimized && !event->spontaneous()) {
            // Shown by the program (a second copy's hand-off): out of the tray. The window
            // system's own late reports of the minimizing do not count.
            leaveTray();
            Q_EMIT restored();
        }
    }
    return QObject::eventFilter(watched, event);
}
