#include "browser/strip/TabPaint.h"

namespace TabPaint {

QRect itemRect(const QRect& drawn, Side side)
{
    // Borders: on top light left and top edges and a two-pixel right edge, open at the
    // bottom where the tab meets the pages; at the bottom mirrored, with a two-pixel lower
    // edge.
    if (side == Side::Top)
        return drawn.adjusted(1, 1, -2, 0);
    return drawn.adjusted(1, -2, -2, 0);
}

QRect fillRect(const QRect& item, Side side)
{
    if (side == Side::Top)
        return item.adjusted(0, -1, 0, 1);
    return item.adjusted(0, 2, 0, -2);
}

Offsets offsets(Side side, bool selected, bool hasImage)
{
    if (side == Side::Top)
        return selected ? Offsets{2, -1} : Offsets{0, 1};
    if (!selected)
        return {0, 0};
    return hasImage ? Offsets{2, 1} : Offsets{2, 2};
}

QPoint imagePos(const QRect& fill, Offsets off, QSize image)
{
    // Halves round toward zero, as the image is centred on the filled height.
    return {fill.left() + 5 + off.dx,
            fill.top() + (fill.height() / 2 - image.height() / 2) + off.dy};
}

QRect textRect(const QRect& fill, Offsets off, int imageWidth)
{
    const int left =
        imageWidth > 0 ? fill.left() + 5 + off.dx + 5 + imageWidth : fill.left() + 5 + off.dx;
    QRect r(QPoint(left, fill.top() + off.dy), QPoint(fill.right() - 3, fill.bottom() + off.dy));
    if (r.width() < 0)
        r.setWidth(0);
    return r;
}

QString trimBlanks(const QString& caption)
{
    qsizetype first = 0;
    qsizetype last = caption.size() - 1;
    while (first <= last && caption.at(first).unicode() <= 0x20)
        ++first;
    while (last >= first && caption.at(last).unicode() <= 0x20)
        --last;
    return caption.mid(first, last - first + 1);
}

QString elide(const QString& text, const QFontMetrics& fm, int width)
{
    if (fm.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    // The longest start that fits with the dots; widths grow with length, so search.
    qsizetype lo = 0;
    qsizetype hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(text.left(mid) + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo == 0 && fm.horizontalAdvance(dots) > width)
        return {};
    // Do not split a surrogate pair.
    if (lo > 0 && text.at(lo - 1).isHighSurrogate())
        --lo;
    return text.left(lo) + dots;
}

QPoint hintPos(const QRect& tab)
{
    return {tab.left() + 3, tab.top() + tab.height() + 1};
}

} // namespace TabPaint
