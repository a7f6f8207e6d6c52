#pragma once

#include <QString>

class QAction;
class QToolBar;
class QWidget;

// Small pieces the side bar's panes share.
namespace PaneParts {

QToolBar* makeToolBar(QWidget* parent);
// A tool button's command; `hint` is "short|long" as the program's hints are.
QAction* addButton(QToolBar* bar, const QString& name, const QString& caption,
                   const QString& hint, const QString& themeIcon, int standardPixmap);
// A file or folder name the user typed is usable as one name in a folder.
bool isPlainName(const QString& name);

} // namespace PaneParts
