#include "browser/strip/TabLayout.h"

#include <algorithm>
#include <numeric>

namespace TabLayout {

int naturalTabWidth(int textWidth, int imageWidth, bool hasText)
{
    // Left border 1, margin 5, image and 5, text, margin 5, right border 2.
    const int image = imageWidth > 0 ? imageWidth + 5 : 0;
    if (!hasText)
        return imageWidth > 0 ? 1 + 5 + imageWidth + 5 + 2 : MinTabWidth;
    return std::max(MinTabWidth, 1 + 5 + image + std::max(0, textWidth) + 5 + 2);
}

int rowHeight(int fontHeight, int imageHeight)
{
    return std::max(fontHeight, imageHeight) + 6;
}

QList<int> fillRows(const QList<int>& widths, int available)
{
    QList<int> rows;
    rows.reserve(widths.size());
    int row = 0;
    int used = 0;
    for (const int w : widths) {
        if (used > 0 && used + w > available) {
            ++row;
            used = 0;
        }
        used += w;
        rows.append(row);
    }
    return rows;
}

namespace {

int rowY(int displayRow, int rows, int rowH, Side side)
{
    // Display row 0 is the one next to the pages.
    if (side == Side::Top)
        return Raise + (rows - 1 - displayRow) * rowH;
    return 1 + displayRow * rowH;
}

int sumFrom(const QList<int>& widths, int first, int last)
{
    return std::accumulate(widths.begin() + first, widths.begin() + last + 1, 0);
}

void layoutOneRow(const Input& in, QList<int> widths, Geometry& g)
{
    const int n = int(widths.size());
    const int y = rowY(0, 1, in.rowHeight, in.side);
    const int total = std::accumulate(widths.begin(), widths.end(), 0);
    g.clipRight = in.stripWidth;
    g.overflow = total > in.stripWidth - 2 * SideMargin && n > 0;
    int first = 0;
    if (g.overflow) {
        const int buttonsLeft = std::max(0, in.stripWidth - 2 * ScrollButtonWidth);
        g.buttons = QRect(buttonsLeft, y, in.stripWidth - buttonsLeft, in.rowHeight);
        g.clipRight = buttonsLeft - 1;
        const int room = g.clipRight - SideMargin;
        // A tab wider than the room left by the buttons is narrowed (its text then ends in
        // "..."), with space for its enlargement when it is selected.
        for (int& w : widths)
            w = std::clamp(w, 1, std::max(1, room - 2));
        first = std::clamp(in.firstVisible, 0, n - 1);
        // Do not leave room unused at the end while earlier tabs are scrolled away.
        while (first > 0 && sumFrom(widths, first - 1, n - 1) <= room)
            --first;
        if (in.ensureVisible >= 0 && in.ensureVisible < n) {
            first = std::min(first, in.ensureVisible);
            // Wholly: the selected tab is drawn two pixels wider.
            const int wanted = in.ensureVisible == in.selected ? room - 2 : room;
            while (first < in.ensureVisible && sumFrom(widths, first, in.ensureVisible) > wanted)
                ++first;
        }
        g.canScrollBack = first > 0;
        g.canScrollForward = sumFrom(widths, first, n - 1) > room;
    }
    g.firstVisible = first;
    int x = SideMargin;
    for (int i = 0; i < n; ++i) {
        if (i < first || x >= g.clipRight) {
            g.rects.append(QRect());
            continue;
        }
        g.rects.append(QRect(x, y, widths[i], in.rowHeight));
        x += widths[i];
    }
    g.rowOf = QList<int>(n, 0);
}

} // namespace

Geometry layout(const Input& in)
{
    Geometry g;
    const int available = std::max(1, in.stripWidth - 2 * SideMargin);
    QList<int> widths = in.widths;
    for (int& w : widths)
        w = std::clamp(w, 1, available);
    const int n = int(widths.size());

    g.rowOf = fillRows(widths, available);
    g.rows = n > 0 ? g.rowOf.last() + 1 : 1;
    if (!in.multiLine || g.rows == 1) {
        g.rows = 1;
        layoutOneRow(in, widths, g);
        g.height = in.rowHeight + Raise + 1;
        return g;
    }

    g.clipRight = in.stripWidth;
    g.height = g.rows * in.rowHeight + Raise + 1;
    const int selectedRow = in.selected >= 0 && in.selected < n ? g.rowOf[in.selected] : 0;
    g.rects.resize(n);
    int start = 0;
    while (start < n) {
        const int row = g.rowOf[start];
        int end = start;
        while (end + 1 < n && g.rowOf[end + 1] == row)
            ++end;
        // Every row is stretched to the full width, its spare room shared among its tabs.
        const int count = end - start + 1;
        const int spare = std::max(0, available - sumFrom(widths, start, end));
        const int displayRow = (row - selectedRow + g.rows) % g.rows;
        const int y = rowY(displayRow, g.rows, in.rowHeight, in.side);
        int x = SideMargin;
        for (int i = start; i <= end; ++i) {
            const int k = i - start;
            const int w = widths[i] + spare / count + (k < spare % count ? 1 : 0);
            g.rects[i] = QRect(x, y, w, in.rowHeight);
            x += w;
        }
        start = end + 1;
    }
    return g;
}

QRect drawnRect(const QRect& place, bool selected, Side side)
{
    if (!selected)
        return place;
    if (side == Side::Top)
        return place.adjusted(-2, -Raise, 2, 1);
    return place.adjusted(-2, -1, 2, Raise);
}

int tabAt(const Geometry& g, int selected, Side side, const QPoint& point)
{
    if (point.x() >= g.clipRight)
        return -1;
    if (selected >= 0 && selected < g.rects.size() && !g.rects[selected].isNull() &&
        drawnRect(g.rects[selected], true, side).contains(point))
        return selected;
    for (int i = 0; i < g.rects.size(); ++i) {
        if (!g.rects[i].isNull() && g.rects[i].contains(point))
            return i;
    }
    return -1;
}

} // namespace TabLayout
