#pragma once

#include <QWidget>

class QTimer;

// The logo area's animation: turns while the active tab is loading and rests otherwise.
class Throbber final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Throbber)

public:
    explicit Throbber(QWidget* parent = nullptr);

    bool isRunning() const;
    void setRunning(bool running);
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer = nullptr;
    int m_step = 0;
};
