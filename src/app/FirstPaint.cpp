#include "app/FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

FirstPaint::FirstPaint(QWidget& window, std::function<void()> then, int longestWaitMs)
    : QObject(&window)
    , m_window(window)
    , m_then(std::move(then))
    , m_longestWait(new QTimer(this))
{
    m_longestWait->setSingleShot(true);
    m_longestWait->setInterval(longestWaitMs);
    connect(m_longestWait, &QTimer::timeout, this, &FirstPaint::run);
    m_window.installEventFilter(this);
}

bool FirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Show) {
        // The system window exists from the first show on.
        if (QWindow* handle = m_window.windowHandle())
            handle->installEventFilter(this);
        m_longestWait->start();
    } else if (watched == &m_window && event->type() == QEvent::WinIdChange) {
        // A window that takes in a page composed through OpenGL is made again as an OpenGL
        // one, often before it was first drawn: the new system window is the one exposed.
        if (QWindow* handle = m_window.windowHandle())
            handle->installEventFilter(this);
    } else if (event->type() == QEvent::Expose && !m_queued && watched == m_window.windowHandle() &&
               m_window.windowHandle()->isExposed()) {
        // Queued: the widgets paint while this report is handled, after the filter.
        m_queued = true;
        QTimer::singleShot(0, this, &FirstPaint::run);
    }
    return QObject::eventFilter(watched, event);
}

void FirstPaint::run()
{
    if (!m_then)
        return;
    m_longestWait->stop();
    m_window.removeEventFilter(this);
    if (QWindow* handle = m_window.windowHandle())
        handle->removeEventFilter(this);
    std::exchange(m_then, {})();
}
