#include "app/WindowPlacement.h"

#include "bars/BarsControl.h"
#include "commands/MainActions.h"
#include "settings/WindowSettings.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

WindowPlacement::WindowPlacement(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_window(parts.window)
{}

void WindowPlacement::applyStored()
{
    if (m_parts.settings.maximized) {
        m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
        return;
    }
    if (!m_parts.settings.placementStored) {
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
    QRect wanted = m_parts.settings.frame;
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
    QAction* fullScreenItem = m_parts.actions[ActionId::actFullScreen];
    if (on == m_fullScreen) {
        fullScreenItem->setChecked(on);
        return;
    }
    QAction* toolbarItem = m_parts.actions[ActionId::actViewToolbar];
    QAction* menuBarItem = m_parts.actions[ActionId::actViewMenuBar];
    QWidget* statusBar = &m_parts.statusBar;
    BarsControl* bars = &m_parts.bars;
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
        bars->ApplyBarVisibility();
        m_window.setUpdatesEnabled(true);
    }
    m_fullScreen = on;
    fullScreenItem->setChecked(on);
}
