#include "browser/strip/TabColors.h"

namespace TabColors {

namespace {

// Which palette role plays each system colour. The desktop has no window captions of its
// own to borrow from, so captions take the selection colours; an inactive caption takes
// the shadow colour, which keeps highlighted (light) text readable on it in light and dark
// palettes alike.
QColor systemColor(int index, const QPalette& p)
{
    switch (index) {
    case 0: // scroll bar
        return p.color(QPalette::Active, QPalette::Mid);
    case 1:  // desktop
    case 12: // application workspace
    case 16: // button shadow
        return p.color(QPalette::Active, QPalette::Dark);
    case 2:  // active caption
    case 13: // highlight
    case 29: // menu highlight
        return p.color(QPalette::Active, QPalette::Highlight);
    case 3:  // inactive caption
    case 6:  // window frame
    case 21: // 3D dark shadow
        return p.color(QPalette::Active, QPalette::Shadow);
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
    case 30: // menu bar
        return p.color(QPalette::Active, QPalette::Button);
    case 5: // window
        return p.color(QPalette::Active, QPalette::Base);
    case 7: // menu text
    case 8: // window text
        return p.color(QPalette::Active, QPalette::WindowText);
    case 9:  // caption text
    case 14: // highlight text
    case 19: // inactive caption text
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case 17: // grey text
        return p.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return p.color(QPalette::Active, QPalette::ButtonText);
    case 20: // button highlight
        return p.color(QPalette::Active, QPalette::Light);
    case 22: // 3D light
        return p.color(QPalette::Active, QPalette::Midlight);
    case 23: // tooltip text
        return p.color(QPalette::Active, QPalette::ToolTipText);
    case 24: // tooltip background
        return p.color(QPalette::Active, QPalette::ToolTipBase);
    case 26: // hot-tracked item
        return p.color(QPalette::Active, QPalette::Link);
    case 27: // gradient of the active caption
        return p.color(QPalette::Active, QPalette::Highlight).lighter(130);
    case 28: // gradient of the inactive caption
        return p.color(QPalette::Active, QPalette::Shadow).lighter(130);
    default:
        return {};
    }
}

} // namespace

QColor resolveColor(ColorValue value, const QPalette& palette)
{
    const quint32 bits = quint32(value);
    const quint32 kind = bits >> 24;
    if (kind == 0x80)
        return systemColor(int(bits & 0xFFFFFF), palette);
    // 0x02 marks a palette-relative colour of the old display drivers: the colour is the
    // same RGB triple.
    if (kind != 0x00 && kind != 0x02)
        return {};
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

ColorValue colorValue(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return ColorValue(quint32(rgb.red()) | (quint32(rgb.green()) << 8) |
                      (quint32(rgb.blue()) << 16));
}

TabColorPair tabColorsForScheme(const QString& scheme, ColorValue customTab, ColorValue customFont)
{
    if (scheme == QLatin1String("std"))
        return {clBtnFace, clWindowText};
    if (scheme == QLatin1String("rev"))
        return {clInactiveCaption, clHighlightText};
    return {customTab, customFont};
}

} // namespace TabColors
