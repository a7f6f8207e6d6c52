#pragma once

#include <QLabel>
#include <QTimer>

// The small hint window of the tab strip. Unlike QToolTip, which always sits beside the
// mouse pointer, it goes exactly where it is asked to: just below the tab it names.
class TPVTabHintWindow final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPVTabHintWindow)

public:
    explicit TPVTabHintWindow(QWidget* parent);

    // Shows the text for a while with its top left corner at a global position; when that
    // would run off the bottom of the screen, it ends just above aboveY instead.
    void showAt(const QString& text, const QPoint& globalPos, int aboveY);
    void cancel();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_expire;
};
