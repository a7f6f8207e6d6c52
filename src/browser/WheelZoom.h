#pragma once

#include <QObject>

// Ctrl and the wheel over a page zoom it, a step a notch, as the user's choice for the
// site. Installed on the application: the wheel reaches the engine's own widget inside the
// page first, which would otherwise scroll (or zoom without the program knowing).
class WheelZoom final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WheelZoom)

public:
    explicit WheelZoom(QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a fine wheel (a touchpad) has turned since the last step.
    int m_turned = 0;
};
