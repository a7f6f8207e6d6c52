#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Makes a shown window the active one, as a click of the user would, and answers whether it
// became so. Keys sent to a widget reach the window's shortcuts only in the active window, and
// under Xvfb there is no window manager to activate one.
inline bool activateForKeys(QWidget* widget)
{
    QWidget* window = widget->window();
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    // Qt 6.5 deprecated setting the active window directly; the window system is asked, and
    // its answer is waited for.
    window->activateWindow();
#else
    QApplication::setActiveWindow(window);
#endif
    return QTest::qWaitForWindowActive(window);
}
