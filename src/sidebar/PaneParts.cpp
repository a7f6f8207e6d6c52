#include "sidebar/PaneParts.h"

#include "sidebar/SideBarHost.h"

#include <QDir>

#include <QAction>
#include <QKeyEvent>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>

namespace PaneParts {

QToolBar* makeToolBar(QWidget* parent)
{
    auto* bar = new QToolBar(parent);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

QAction* addButton(QToolBar* bar, const QString& name, const QString& caption, const QString& hint,
                   const QString& themeIcon, int standardPixmap)
{
    const QIcon fallback =
        bar->style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardPixmap));
    auto* action = new QAction(QIcon::fromTheme(themeIcon, fallback), caption, bar);
    action->setObjectName(name);
    const qsizetype bar_ = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar_ < 0 ? hint : hint.left(bar_));
    action->setStatusTip(bar_ < 0 ? hint : hint.mid(bar_ + 1));
    bar->addAction(action);
    return action;
}

bool isPlainName(const QString& name)
{
    return !name.trimmed().isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool makeFolderIn(const QString& parent, SideBarQuestions& questions)
{
    if (parent.isEmpty())
        return false;
    const auto answer =
        questions.askText(QStringLiteral("New Folder"), QStringLiteral("Enter the folder name:"),
                          QStringLiteral("New Folder"));
    if (!answer)
        return false;
    if (!isPlainName(*answer) || !QDir(parent).mkdir(*answer)) {
        questions.tell(QStringLiteral("Cannot create the folder \"%1\".").arg(*answer));
        return false;
    }
    return true;
}

TreeKey treeKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return held & ~Qt::ShiftModifier ? TreeKey::None : TreeKey::Open;
    case Qt::Key_Menu:
        return held == Qt::NoModifier ? TreeKey::Menu : TreeKey::None;
    case Qt::Key_F10:
        return held == Qt::ShiftModifier ? TreeKey::Menu : TreeKey::None;
    case Qt::Key_F2:
        return held == Qt::NoModifier ? TreeKey::Rename : TreeKey::None;
    default:
        return TreeKey::None;
    }
}

TreeKeyPress treeKeyPressed(QTreeWidget* tree, const QObject* watched, const QEvent* event)
{
    if (watched != tree || event->type() != QEvent::KeyPress || !tree->currentItem())
        return {};
    const auto* key = static_cast<const QKeyEvent*>(event);
    return {treeKeyOf(key->key(), key->modifiers()), tree->currentItem(), key->modifiers()};
}

QPoint menuPointOf(QTreeWidget* tree, const QTreeWidgetItem* node)
{
    tree->scrollToItem(node);
    const QRect rect = tree->visualItemRect(node);
    return tree->viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
}

} // namespace PaneParts
