#pragma once

#include <QList>
#include <QPixmap>

// The pictures of the tab strip and the status bar, drawn in code so that they are crisp at
// any scale.
namespace StateIcons {

// Indexes of the tab state pictures in tabStateImages().
constexpr int Loading = 0;  // red square: a navigation cycle has started
constexpr int Finished = 1; // green square: loaded while the tab was not in view
constexpr int Arrived = 2;  // yellow square: the first document arrived, still loading
constexpr int Locked = 3;   // black padlock

constexpr int TabImageSize = 8;
constexpr int SecureIconSize = 16;

// The four tab state pictures, 8 by 8 pixels, transparent outside the shape.
QList<QPixmap> tabStateImages(qreal devicePixelRatio = 1.0);

// The secure-connection padlock of the status bar, 16 by 16 pixels, transparent.
QPixmap securePadlock(qreal devicePixelRatio = 1.0);

} // namespace StateIcons
