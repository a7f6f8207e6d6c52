#pragma once

#include <QString>

class QAction;
class QToolBar;
class QWidget;

// Small pieces the side bar's panes share.
class SideBarQuestions;

namespace PaneParts {

QToolBar* makeToolBar(QWidget* parent);
// A tool button's command; `hint` is "short|long" as the program's hints are.
QAction* addButton(QToolBar* bar, const QString& name, const QString& caption, const QString& hint,
                   const QString& themeIcon, int standardPixmap);
// A file or folder name the user typed is usable as one name in a folder.
bool isPlainName(const QString& name);
// Asks for a name and makes that folder in `parent`; tells the user when it cannot. True
// when the folder was made.
bool makeFolderIn(const QString& parent, SideBarQuestions& questions);
// A tool tip that shows `text` as it is: a tip that looks like markup is drawn as markup.
QString plainTip(const QString& text);

} // namespace PaneParts
