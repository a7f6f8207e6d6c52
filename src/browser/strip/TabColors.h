#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

// Colours are kept as the stored integer colour values of the settings: 0x00BBGGRR for a
// plain colour, or 0x80000000 + n for system colour n, which follows the current style's
// palette. Keeping the value rather than a QColor lets a system colour follow a change of
// style or palette after it was set.
namespace TabColors {

using ColorValue = qint32;

constexpr ColorValue SystemFlag = qint32(0x80000000u);

// The system colour indexes this program stores or draws with.
constexpr ColorValue clInactiveCaption = SystemFlag | 3;
constexpr ColorValue clWindowText = SystemFlag | 8;
constexpr ColorValue clHighlightText = SystemFlag | 14;
constexpr ColorValue clBtnFace = SystemFlag | 15;

// The colour a stored value stands for under the given palette. An invalid QColor when the
// value names no colour (an unknown system index or an unknown kind of value), so that the
// caller can fall back to its default.
QColor resolveColor(ColorValue value, const QPalette& palette);

// The stored value of a plain colour (alpha is dropped).
ColorValue colorValue(const QColor& color);

struct TabColorPair
{
    ColorValue tab;
    ColorValue font;
    friend bool operator==(const TabColorPair&, const TabColorPair&) = default;
};

// The inactive-tab colours of a colour scheme name: "std" and "rev" are fixed pairs of
// system colours, any other name takes the custom pair.
TabColorPair tabColorsForScheme(const QString& scheme, ColorValue customTab, ColorValue customFont);

} // namespace TabColors
