#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class QWidget;

// Draws a window at most once a frame. While pages load, the tab strip, the status bar, the
// throbber and the page itself each ask for the window to be drawn, and the toolkit draws it
// on the next pass of the event loop, each report in a pass of its own. Every drawing puts
// the whole window on the screen; where the page is composed through OpenGL that means
// composing all of it again. A request that comes within a frame of the last drawing waits
// for the next frame, and what was asked for meanwhile is drawn together then. An exposed
// window is drawn at once as before: the system's own requests do not pass through here.
//
// Where a drawing costs more than a small part of a frame (OpenGL on a slow graphics
// processor, or on the processor itself), drawing once a frame would take most of the time
// of the program and of the machine from the pages that are loading: there the drawings
// are spaced by a multiple of what they cost, up to a tenth of a second apart. Right after
// the user types, clicks or scrolls in the window it is drawn once a frame again, so that
// an answer to the user never waits.
class FramePacer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FramePacer)

public:
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;

    // How long a request made `sinceLastDrawnMs` after the last drawing waits; 0: drawn now.
    // A negative time since (nothing drawn yet) is drawn now.
    static int waitBefore(qint64 sinceLastDrawnMs, int frameMs);

    // The least time from the start of one drawing to the start of the next, for a screen's
    // frame of `frameMs`, drawings that typically take `drawingMs`, and the user's last input
    // `sinceInputMs` ago (negative: none yet).
    static int intervalFor(int frameMs, int drawingMs, qint64 sinceInputMs);
    // A drawing takes at most this share of the time: 1/DrawingShare.
    static constexpr int DrawingShare = 3;
    static constexpr int LongestIntervalMs = 100;
    static constexpr int InputGraceMs = 500;

    // The length of a frame on a screen refreshing `refreshRate` times a second, kept
    // within sensible bounds for screens that report nothing or nonsense.
    static int frameMsFor(qreal refreshRate);

    // Belongs to `window`, a top-level widget. `frameMs` 0: the length of a frame of the
    // window's screen.
    explicit FramePacer(QWidget& window, int frameMs = 0, Clock clock = {});

    // Drawings let through at once, and those held for a frame and drawn then.
    int drawnAtOnce() const { return m_drawnAtOnce; }
    int drawnLater() const { return m_drawnLater; }
    bool holding() const { return m_held.isActive(); }
    // What a drawing of the window typically takes (the median of the last few), 0 before
    // any was timed.
    int typicalDrawingMs() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int frameMs() const;
    void drawHeld();
    void deliver(qint64 now);
    void watchInput();

    QWidget& m_window;
    const int m_frameMs;
    const Clock m_clock;
    QTimer m_held;
    qint64 m_lastDrawn = -1;
    qint64 m_lastInput = -1;
    // The times of the last drawings, the oldest overwritten first.
    std::array<int, 5> m_costs{};
    int m_nextCost = 0;
    int m_timed = 0; // how many of m_costs hold a time
    QPointer<QObject> m_inputWatched;
    bool m_delivering = false;
    int m_drawnAtOnce = 0;
    int m_drawnLater = 0;
};
