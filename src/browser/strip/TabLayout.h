#pragma once

#include <QList>
#include <QRect>

// Where the tabs of the strip go: pure functions of the tab widths, the strip's width, the
// row height, the scroll position and the selected tab, so that they can be tested apart
// from any widget. Coordinates are the strip's own.
namespace TabLayout {

enum class Side
{
    Top,    // the strip is above the pages
    Bottom, // the strip is below the pages
};

constexpr int SideMargin = 2; // room at the strip's ends for the selected tab's enlargement
constexpr int Raise = 2;      // the selected tab stands this much further out than the others
constexpr int ScrollButtonWidth = 16;
constexpr int MinTabWidth = 24;

// Width of a tab that shows text of the given width and an image of the given width (0:
// none). Icon-only tabs pass hasText = false.
int naturalTabWidth(int textWidth, int imageWidth, bool hasText);
// Height of one row of tabs.
int rowHeight(int fontHeight, int imageHeight);

struct Input
{
    QList<int> widths; // natural width of each tab, in tab order
    int stripWidth = 0;
    int rowHeight = 0;
    bool multiLine = false;
    Side side = Side::Bottom;
    int selected = -1;      // the selected tab, -1 for none
    int firstVisible = 0;   // one row: the first tab in view
    int ensureVisible = -1; // one row: scroll so that this tab is in view (-1: keep)
};

struct Geometry
{
    QList<QRect> rects; // each tab's place, not enlarged; null when scrolled out of view
    QList<int> rowOf;   // the row each tab was filled into (0 holds the first tab)
    int rows = 1;
    int height = 0;        // the strip's height
    bool overflow = false; // one row that cannot hold every tab: scroll buttons are shown
    int firstVisible = 0;
    int clipRight = 0; // tabs are cut off at this x (the scroll buttons start there)
    QRect buttons;     // the scroll buttons' place; null without overflow
    bool canScrollBack = false;
    bool canScrollForward = false;
};

// The row each tab lands in when rows are filled left to right; a tab wider than the
// available width gets a row of its own.
QList<int> fillRows(const QList<int>& widths, int available);

Geometry layout(const Input& in);

// The rectangle a tab is drawn in: the selected tab is wider and stands out further, and
// reaches over the line between strip and pages so that it joins its page.
QRect drawnRect(const QRect& place, bool selected, Side side);

// The tab at a point, -1 for none. The selected tab's enlarged rectangle wins over its
// neighbours.
int tabAt(const Geometry& g, int selected, Side side, const QPoint& point);

} // namespace TabLayout
