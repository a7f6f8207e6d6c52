#include "app/WindowPlacement.h"

#include "app/MainWindow.h"
#include "bars/BarsControl.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "settings/WindowSettings.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

WindowPlacement::WindowPlacement(TfrmMain& window, const WindowSettings& settings)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
{}

void WindowPlacement::applyStored()
{
    if (m_settings.maximized) {
        m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
        return;
    }
    if (!m_settings.placementStored) {
        // A first start: today's screens are far larger than the stored defaults.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect first = WindowSettings::firstPlacement(screen->availableGeometry());
            m_window.move(first.topLeft());
            m_window.resize(first.size());
            return;
        }
    }
    // A placement from a larger screen, or a corrupt one, must not leave the window out
    // of reach: keep it on the screen it would appear on.
    QRect wanted = m_settings.frame;
    const QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        wanted.setWidth(qBound(200, wanted.width(), qMax(200, area.width())));
        wanted.setHeight(qBound(150, wanted.height(), qMax(150, area.height())));
        if (!area.intersects(wanted))
            wanted.moveTopLeft(area.topLeft());
    }
    m_window.move(wanted.topLeft());
    m_window.resize(wanted.size());
}

void WindowPlacement::save(WindowSettings& now) const
{
    now.fullScreen = m_fullScreen;
    now.maximized = m_fullScreen ? m_before.maximized : m_window.isMaximized();
    now.frame = m_fullScreen ? m_before.geometry : QRect(m_window.pos(), m_window.size());
}

void WindowPlacement::setFullScreen(bool on)
{
    QAction* fullScreenItem = m_window.action(ActionId::actFullScreen);
    if (on == m_fullScreen) {
        fullScreenItem->setChecked(on);
        return;
    }
    QAction* toolbarItem = m_window.action(ActionId::actViewToolbar);
    QAction* menuBarItem = m_window.action(ActionId::actViewMenuBar);
    TPVStatusBar* statusBar = m_window.statusPanel();
    BarsControl* bars = m_window.bars();
    if (on) {
        toolbarItem->setVisible(false);
        menuBarItem->setVisible(true);
        // The bands' own state, also before the window is first shown.
        m_before.maximized = m_window.isMaximized();
        m_before.geometry = QRect(m_window.pos(), m_window.size());
        m_before.statusBarVisible = statusBar->isVisibleTo(&m_window);
        m_before.toolbarVisible = bars->isBandVisible(BarsControl::Band::Tool);
        bars->setBandVisible(BarsControl::Band::Tool, true);
        m_window.setUpdatesEnabled(false);
        statusBar->hide();
        m_window.setWindowState(
            (m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
            Qt::WindowFullScreen);
        m_window.setUpdatesEnabled(true);
    } else {
        toolbarItem->setVisible(true);
        menuBarItem->setVisible(false);
        m_window.setUpdatesEnabled(false);
        statusBar->setVisible(m_before.statusBarVisible);
        if (m_before.maximized) {
            m_window.setWindowState(Qt::WindowMaximized);
        } else {
            m_window.setWindowState(Qt::WindowNoState);
            m_window.move(m_before.geometry.topLeft());
            m_window.resize(m_before.geometry.size());
        }
        bars->setBandVisible(BarsControl::Band::Menu, true);
        menuBarItem->setChecked(true);
        bars->setBandVisible(BarsControl::Band::Tool, m_before.toolbarVisible);
        // Then every band as its View menu item says.
        m_window.ApplyBarVisibility();
        m_window.setUpdatesEnabled(true);
    }
    m_fullScreen = on;
    fullScreenItem->setChecked(on);
}
