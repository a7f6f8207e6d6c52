#pragma once

#include <QObject>
#include <QRect>

class TfrmMain;
struct WindowSettings;

// Where the window sits: the stored placement at start, full screen and back, and the
// placement to write (in full screen, the one it had before).
class WindowPlacement final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowPlacement)

public:
    WindowPlacement(TfrmMain& window, const WindowSettings& settings);

    // The stored placement, kept within reach on today's screens.
    void applyStored();
    bool fullScreen() const { return m_fullScreen; }
    void setFullScreen(bool on);
    // Writes the placement into `now`: full screen, maximized and the frame.
    void save(WindowSettings& now) const;

private:
    TfrmMain& m_window;
    const WindowSettings& m_settings;
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
