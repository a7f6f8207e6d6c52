#include "browser/strip/TabHintWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QStylePainter>

namespace {

// Long enough to read a long page title.
constexpr int ShowMilliseconds = 10000;

} // namespace

TPVTabHintWindow::TPVTabHintWindow(QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
{
    setObjectName(QStringLiteral("tabHint"));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(
        QPalette(palette().color(QPalette::ToolTipText), palette().color(QPalette::ToolTipBase)));
    setAutoFillBackground(true);
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    m_expire.setSingleShot(true);
    m_expire.setInterval(ShowMilliseconds);
    connect(&m_expire, &QTimer::timeout, this, &TPVTabHintWindow::cancel);
}

void TPVTabHintWindow::showAt(const QString& text, const QPoint& globalPos, int aboveY)
{
    setText(text);
    adjustSize();
    QPoint pos = globalPos;
    // Keep the whole hint on the screen the tab is on.
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect avail = screen->availableGeometry();
        pos.setX(std::max(avail.left(), std::min(pos.x(), avail.right() + 1 - width())));
        if (pos.y() + height() > avail.bottom() + 1)
            pos.setY(aboveY - height());
    }
    move(pos);
    show();
    raise();
    m_expire.start();
}

void TPVTabHintWindow::cancel()
{
    m_expire.stop();
    hide();
}

void TPVTabHintWindow::paintEvent(QPaintEvent* event)
{
    QStylePainter p(this);
    QStyleOptionFrame opt;
    opt.initFrom(this);
    p.drawPrimitive(QStyle::PE_PanelTipLabel, opt);
    p.end();
    QLabel::paintEvent(event);
}
