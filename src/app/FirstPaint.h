#pragma once

#include <QObject>

#include <functional>

class QTimer;
class QWidget;

// Runs a function once, right after a window has first been drawn: when its system window
// reports itself exposed, widgets paint and put the picture on the screen while that report
// is handled, and the function runs after it. A window the desktop does not draw when shown
// (on another workspace, held back by the window manager) gets its function anyway, a
// moment after it was shown.
class FirstPaint final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FirstPaint)

public:
    static constexpr int LongestWaitMs = 1000;

    // Belongs to `window`, which must not have been shown yet. `longestWaitMs`: how long
    // after the show the function runs at the latest.
    FirstPaint(QWidget& window, std::function<void()> then, int longestWaitMs = LongestWaitMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run();

    QWidget& m_window;
    std::function<void()> m_then;
    QTimer* m_longestWait;
    bool m_queued = false;
};
