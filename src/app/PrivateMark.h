#pragma once

#include <QString>

#include <functional>

class QMainWindow;
class QWidget;

// How a private window says what it is where a person looks: in its title (and so on the
// task bar), in a tinted strip above its tabs, and in its address band's tint.
namespace PrivateMark {

// The title of the program's window; a private window's says so.
QString windowTitle(bool privateWindow);
// What the strip above the tabs says.
QString stripText();
// Marks `window` as private: the title, the strip (handed to `placeAboveTabs`) and the tint
// of `addressBand`.
void mark(QMainWindow& window, QWidget& addressBand,
          const std::function<void(QWidget* bar)>& placeAboveTabs);

} // namespace PrivateMark
