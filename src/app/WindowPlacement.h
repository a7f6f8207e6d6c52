#pragma once

#include <QObject>
#include <QRect>

class BarsControl;
class MainActions;
class QWidget;
struct WindowSettings;

// Where the window sits: the stored placement at start, full screen and back, and the
// placement to write (in full screen, the one it had before).
class WindowPlacement final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowPlacement)

public:
    struct Parts
    {
        QWidget& window;
        const WindowSettings& settings; // the stored placement and full screen
        const MainActions& actions;     // Full Screen, and the View menu's bar items
        // What full screen hides and puts back: the bands and the status bar.
        BarsControl& bars;
        QWidget& statusBar;
    };

    explicit WindowPlacement(Parts parts, QObject* parent = nullptr);

    // The stored placement, kept within reach on today's screens.
    void applyStored();
    bool fullScreen() const { return m_fullScreen; }
    void setFullScreen(bool on);
    // Writes the placement into `now`: full screen, maximized and the frame.
    void save(WindowSettings& now) const;

private:
    Parts m_parts;
    QWidget& m_window;
    bool m_fullScreen = false;
    // Full screen keeps what it changed, to put it back.
    struct Before
    {
        QRect geometry;
        bool maximized = false;
        bool statusBarVisible = true;
        bool toolbarVisible = true;
    } m_before;
};
