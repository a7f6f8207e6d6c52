#pragma once

class QWidget;

namespace DialogPlacement {

// Moves a shown top-level window to the middle of the screen its parent is on (the
// primary screen without a parent).
void centreOnScreen(QWidget* window);

} // namespace DialogPlacement
