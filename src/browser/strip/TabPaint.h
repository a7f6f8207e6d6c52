#pragma once

#include "browser/strip/TabLayout.h"

#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The geometry inside one drawn tab: where its fill, image and text go. Pure functions, so
// that the offsets are tested without pixels.
namespace TabPaint {

using TabLayout::Side;

// The item rectangle of a drawn tab: its inside, less the borders. At the bottom it reaches
// 2 pixels further up and down, which the fill takes back again (fillRect).
QRect itemRect(const QRect& drawn, Side side);

// The item rectangle as filled: on top 1 pixel larger above and below, at the bottom 2
// pixels smaller above and below.
QRect fillRect(const QRect& item, Side side);

struct Offsets
{
    int dx = 0;
    int dy = 0;
    friend bool operator==(const Offsets&, const Offsets&) = default;
};

// How far image and text of a tab move: the selected tab's content shifts with its
// enlargement, and differently when it has an image.
Offsets offsets(Side side, bool selected, bool hasImage);

// Where the image goes inside the filled rectangle.
QPoint imagePos(const QRect& fill, Offsets off, QSize image);

// The text's rectangle: it starts after the image (or at the left margin without one),
// moves up or down with the offset, and ends a small margin before the right border.
QRect textRect(const QRect& fill, Offsets off, int imageWidth);

// A caption without leading and trailing blanks (spaces and control characters).
QString trimBlanks(const QString& caption);

// The text as it fits in the width: whole, or cut and ended with "...".
QString elide(const QString& text, const QFontMetrics& fm, int width);

// Where the hint of a tab appears: just below the tab, a little to the right of its left.
QPoint hintPos(const QRect& tab);

} // namespace TabPaint
