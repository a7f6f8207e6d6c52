#include "browser/strip/StateIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace StateIcons {

namespace {

QPixmap blank(int size, qreal dpr)
{
    QPixmap pm(qRound(size * dpr), qRound(size * dpr));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

// A 4 by 4 square of colour inside a one-pixel black frame, centred in 8 by 8.
QPixmap square(const QColor& color, qreal dpr)
{
    QPixmap pm = blank(TabImageSize, dpr);
    QPainter p(&pm);
    p.fillRect(QRectF(1, 1, 6, 6), Qt::black);
    p.fillRect(QRectF(2, 2, 4, 4), color);
    return pm;
}

// Drawn from a pixel pattern: '#' is black, anything else transparent.
QPixmap smallPadlock(qreal dpr)
{
    static constexpr std::array<const char*, TabImageSize> rows = {
        "..####..", //
        ".#....#.", //
        ".#....#.", //
        "########", //
        "###..###", //
        "###..###", //
        "########", //
        ".######.", //
    };
    QPixmap pm = blank(TabImageSize, dpr);
    QPainter p(&pm);
    for (int y = 0; y < TabImageSize; ++y) {
        for (int x = 0; x < TabImageSize; ++x) {
            if (rows[y][x] == '#')
                p.fillRect(QRectF(x, y, 1, 1), Qt::black);
        }
    }
    return pm;
}

} // namespace

QList<QPixmap> tabStateImages(qreal devicePixelRatio)
{
    QList<QPixmap> images(4);
    images[Loading] = square(QColor(0xFF, 0x00, 0x00), devicePixelRatio);
    images[Finished] = square(QColor(0x00, 0xC0, 0x00), devicePixelRatio);
    images[Arrived] = square(QColor(0xFF, 0xFF, 0x00), devicePixelRatio);
    images[Locked] = smallPadlock(devicePixelRatio);
    return images;
}

QPixmap securePadlock(qreal devicePixelRatio)
{
    QPixmap pm = blank(SecureIconSize, devicePixelRatio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Shackle: a grey arch standing on the body.
    QPainterPath shackle;
    shackle.moveTo(4.5, 8);
    shackle.lineTo(4.5, 5);
    shackle.arcTo(QRectF(4.5, 1.5, 7, 7), 180, -180);
    shackle.lineTo(11.5, 8);
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 2.0));
    p.drawPath(shackle);
    // Body: a golden block with a dark edge and a keyhole.
    const QRectF body(2.5, 7.5, 11, 8);
    p.setPen(QPen(QColor(0x6B, 0x4E, 0x00), 1.0));
    p.setBrush(QColor(0xF2, 0xC2, 0x1B));
    p.drawRoundedRect(body, 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x40, 0x30, 0x00));
    p.drawEllipse(QPointF(8, 10.5), 1.3, 1.3);
    p.drawRect(QRectF(7.4, 10.5, 1.2, 3));
    return pm;
}

} // namespace StateIcons
