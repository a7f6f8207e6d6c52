#pragma once

#include <QWidget>

#include <functional>

class QTimer;

// The logo area's animation: turns while the active tab is loading and rests otherwise.
// The window starts it when a load begins; while it turns it asks at every step whether the
// active tab still loads, so it comes to rest on its idle picture however the load ended
// (finished, stopped, failed, or the active tab changed on the way).
class Throbber final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Throbber)

public:
    explicit Throbber(QWidget* parent = nullptr);

    bool isRunning() const;
    void setRunning(bool running);
    // Whether the active tab is loading; without it the throbber turns until told to stop.
    void setLoadingQuery(std::function<bool()> isLoading) { m_isLoading = std::move(isLoading); }
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer = nullptr;
    int m_step = 0;
    std::function<bool()> m_isLoading;
};
