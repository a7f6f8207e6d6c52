#include "platform/FramePacer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

int FramePacer::waitBefore(qint64 sinceLastDrawnMs, int frameMs)
{
    if (sinceLastDrawnMs < 0 || sinceLastDrawnMs >= frameMs)
        return 0;
    return int(frameMs - sinceLastDrawnMs);
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

bool FramePacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window || event->type() != QEvent::UpdateRequest || m_delivering)
        return QObject::eventFilter(watched, event);
    if (m_held.isActive())
        return true; // drawn with the held one
    const qint64 now = m_clock();
    const int wait = waitBefore(m_lastDrawn < 0 ? -1 : now - m_lastDrawn, frameMs());
    if (wait == 0) {
        m_lastDrawn = now;
        ++m_drawnAtOnce;
        return QObject::eventFilter(watched, event);
    }
    // The toolkit asks no more until this request is answered: whatever else becomes dirty
    // meanwhile is drawn with it.
    m_held.start(wait);
    return true;
}

void FramePacer::drawHeld()
{
    m_lastDrawn = m_clock();
    ++m_drawnLater;
    m_delivering = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
    m_delivering = false;
}
