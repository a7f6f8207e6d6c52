#include "bars/Throbber.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int Steps = 12;
}

Throbber::Throbber(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("imgLogo"));
    m_timer = new QTimer(this);
    m_timer->setInterval(80);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_isLoading && !m_isLoading()) {
            setRunning(false);
            return;
        }
        m_step = (m_step + 1) % Steps;
        update();
    });
}

bool Throbber::isRunning() const
{
    return m_timer->isActive();
}

void Throbber::setRunning(bool running)
{
    if (running == isRunning())
        return;
    if (running) {
        m_timer->start();
    } else {
        m_timer->stop();
        m_step = 0;
    }
    update();
}

void Throbber::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 6;
    painter.translate(width() / 2.0, height() / 2.0);
    const QColor ink = palette().color(QPalette::Highlight);
    // Twelve spokes; while running, the brightest one goes round.
    for (int i = 0; i < Steps; ++i) {
        QColor spoke = ink;
        const int age = (m_step - i + Steps) % Steps;
        spoke.setAlphaF(isRunning() ? 1.0 - age / qreal(Steps) * 0.85 : 0.35);
        painter.setPen(QPen(spoke, 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -side / 4), QPointF(0, -side / 2));
        painter.rotate(360.0 / Steps);
    }
}
