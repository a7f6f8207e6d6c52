#pragma once

#include <QPoint>
#include <QString>

class QAction;
class QEvent;
class QObject;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
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
// What a key pressed in a pane's tree asks of the selected entry: Enter opens it as a click
// does (Shift inverting where it opens), the Menu key and Shift+F10 show its context menu,
// F2 renames it.
enum class TreeKey
{
    None,
    Open,
    Menu,
    Rename,
};
TreeKey treeKeyOf(int key, Qt::KeyboardModifiers modifiers);
// Such a key pressed in `tree` (`event` sent to `watched`), with the entry it is for.
struct TreeKeyPress
{
    TreeKey wanted = TreeKey::None; // None: no such key, or no entry selected
    QTreeWidgetItem* node = nullptr;
    Qt::KeyboardModifiers modifiers;
};
TreeKeyPress treeKeyPressed(QTreeWidget* tree, const QObject* watched, const QEvent* event);
// Where a context menu asked for from the keyboard opens: under `node`, scrolled into view.
QPoint menuPointOf(QTreeWidget* tree, const QTreeWidgetItem* node);

} // namespace PaneParts
