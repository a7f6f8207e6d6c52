#pragma once

#include <QIcon>

// The toolbar's own pictures, drawn at whatever size and pixel density they are asked for,
// so they stay sharp where the desktop's icon theme has none of its own.
namespace ToolbarIcons {

// The picture of the button of that name ("tbBack", ...); a null icon for a name without one.
QIcon drawn(const char* buttonName);

} // namespace ToolbarIcons
