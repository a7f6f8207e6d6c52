#include "platform/FramePacer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

int FramePacer::waitBefore(qint64 sinceLastDrawnMs, int frameMs)
{
    if (sinceLastDrawnMs < 0 || sinceLastDrawnMs >= frameMs)
        return 0;
    return int(frameMs - sinceLastDrawnMs);
}

int FramePacer::intervalFor(int frameMs, int drawingMs, qint64 sinceInputMs)
{
    if (sinceInputMs >= 0 && sinceInputMs < InputGraceMs)
        return frameMs;
    return std::max(frameMs, std::min(drawingMs * DrawingShare, LongestIntervalMs));
}

int FramePacer::frameMsFor(qreal refreshRate)
{
    // Between 240 and 20 frames a second; anything else (0, NaN) counts as 60.
    if (!(refreshRate >= 20 && refreshRate <= 240))
        refreshRate = 60;
    return std::max(1, int(std::lround(1000 / refreshRate)));
}

FramePacer::FramePacer(QWidget& window, int frameMs, Clock clock)
    : QObject(&window)
    , m_window(window)
    , m_frameMs(frameMs)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDeadlineTimer::current().deadline(); }))
{
    m_held.setSingleShot(true);
    // Precise: a coarse timer may wake several milliseconds late, which would lose a frame.
    m_held.setTimerType(Qt::PreciseTimer);
    connect(&m_held, &QTimer::timeout, this, &FramePacer::drawHeld);
    m_window.installEventFilter(this);
}

int FramePacer::frameMs() const
{
    if (m_frameMs > 0)
        return m_frameMs;
    const QScreen* screen = m_window.screen();
    return frameMsFor(screen ? screen->refreshRate() : 0);
}

int FramePacer::typicalDrawingMs() const
{
    if (m_timed == 0)
        return 0;
    auto costs = m_costs;
    std::nth_element(costs.begin(), costs.begin() + m_timed / 2, costs.begin() + m_timed);
    return costs[size_t(m_timed / 2)];
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_inputWatched) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
            m_lastInput = m_clock();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    if (watched != &m_window || event->type() != QEvent::UpdateRequest || m_delivering)
        return QObject::eventFilter(watched, event);
    watchInput();
    if (m_held.isActive())
        return true; // drawn with the held one
    const qint64 now = m_clock();
    const int interval =
        intervalFor(frameMs(), typicalDrawingMs(), m_lastInput < 0 ? -1 : now - m_lastInput);
    const int wait = waitBefore(m_lastDrawn < 0 ? -1 : now - m_lastDrawn, interval);
    if (wait == 0) {
        ++m_drawnAtOnce;
        deliver(now);
        return true;
    }
    // The toolkit asks no more until this request is answered: whatever else becomes dirty
    // meanwhile is drawn with it.
    m_held.start(wait);
    return true;
}

void FramePacer::watchInput()
{
    // The window's system window sees every key, click and turn of the wheel meant for any
    // of its widgets, the page's included, before they do. It exists once the window is
    // made, which is before its first drawing.
    QObject* handle = m_window.windowHandle();
    if (!handle || handle == m_inputWatched)
        return;
    if (m_inputWatched)
        m_inputWatched->removeEventFilter(this);
    m_inputWatched = handle;
    handle->installEventFilter(this);
}

void FramePacer::drawHeld()
{
    ++m_drawnLater;
    deliver(m_clock());
}

void FramePacer::deliver(qint64 now)
{
    m_lastDrawn = now;
    m_delivering = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
    m_delivering = false;
    // Where the window is composed through OpenGL, putting it on the screen waits until the
    // composition is done: the time here is what the drawing cost.
    const qint64 cost = std::clamp<qint64>(m_clock() - now, 0, 10000);
    m_costs[size_t(m_nextCost)] = int(cost);
    m_nextCost = (m_nextCost + 1) % int(m_costs.size());
    m_timed = std::min(m_timed + 1, int(m_costs.size()));
}
