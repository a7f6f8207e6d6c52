#include "sidebar/GroupsPane.h"

#include "groups/SorvelGroup.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarHost.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

GroupsPane::GroupsPane(SideBarHost& host, SideBarQuestions& questions, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_questions(questions)
{
    setObjectName(QStringLiteral("tsSorvelGroups"));
    QToolBar* bar = PaneParts::makeToolBar(this);
    QAction* newFolder =
        PaneParts::addButton(bar, QStringLiteral("tbNewSGFolder"), QStringLiteral("New"),
                             QStringLiteral("New Folder|Creates a new folder"),
                             QStringLiteral("folder-new"), QStyle::SP_FileDialogNewFolder);
    QAction* refresh =
        PaneParts::addButton(bar, QStringLiteral("tbSGRefresh"), QStringLiteral("Refresh"),
                             QStringLiteral("Refresh|Refreshes your SorvelGroups"),
                             QStringLiteral("view-refresh"), QStyle::SP_BrowserReload);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_tree = new FolderTree(this);
    m_tree->setObjectName(QStringLiteral("shSorvelGroups"));
    m_tree->setShowHidden(true);
    m_tree->setAutoExpand([this] { return m_host.SBAutoExpand(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_tree, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("pmSorvelGroups"));
    auto add = [this](const char* name, const QString& caption, const QString& hint,
                      void (GroupsPane::*slot)()) {
        QAction* item = m_menu->addAction(caption, this, slot);
        item->setObjectName(QLatin1String(name));
        item->setStatusTip(hint);
        return item;
    };
    m_menu->setDefaultAction(add("pmSGOpen", QStringLiteral("&Open"),
                                 QStringLiteral("Opens the selected SorvelGroup"),
                                 &GroupsPane::openGroup));
    m_organize =
        add("pmSGOrganize", QStringLiteral("Or&ganize..."),
            QStringLiteral("Organizes the selected SorvelGroup"), &GroupsPane::organizeGroup);
    add("pmSGRename", QStringLiteral("&Rename..."),
        QStringLiteral("Renames the selected SorvelGroup"), &GroupsPane::renameGroup);
    add("pmSGDelete", QStringLiteral("&Delete..."),
        QStringLiteral("Deletes the selected SorvelGroup"), &GroupsPane::deleteGroup);
    m_menu->addSeparator();
    add("pmSGRefresh", QStringLiteral("Re&fresh"), QString(), &GroupsPane::refresh);

    connect(newFolder, &QAction::triggered, this, &GroupsPane::newFolder);
    connect(refresh, &QAction::triggered, this, &GroupsPane::refresh);
    // A group opens when it is clicked, not whenever the selection moves: the arrow keys
    // would open (and, with SGCloseFirst, replace the tabs by) every group on their way.
    connect(m_tree, &FolderTree::nodePressed, this,
            [this](QTreeWidgetItem* node, Qt::MouseButton button, Qt::KeyboardModifiers,
                   const QPoint& globalPos) {
                if (button == Qt::LeftButton)
                    return choose(node, false);
                if (button != Qt::RightButton)
                    return;
                prepareMenu(node);
                m_menu->popup(globalPos);
            });
    m_tree->installEventFilter(this);
    connect(m_tree, &FolderTree::hintChanged, this,
            [this](const QString& hint) { m_host.SetStatusText(hint); });
}

void GroupsPane::fill(const QString& folder)
{
    Paths::ensurePrivateFolder(folder);
    m_tree->setRoot(folder);
    if (!m_tree->errorText().isEmpty())
        m_host.SetStatusText(m_tree->errorText());
}

void GroupsPane::choose(QTreeWidgetItem* node, bool again)
{
    const QString path = FolderTree::pathOf(node);
    if (!node || (path == m_lastGroupPath && !again))
        return;
    m_lastGroupPath = path;
    if (FolderTree::isFolder(node)) {
        if (again)
            m_tree->toggle(node);
    } else if (IsPageGroupFile(path)) {
        m_host.OpenPageGroup(path, m_host.SGCloseFirst(), false);
    }
}

bool GroupsPane::eventFilter(QObject* watched, QEvent* event)
{
    const PaneParts::TreeKeyPress press = PaneParts::treeKeyPressed(m_tree, watched, event);
    switch (press.wanted) {
    case PaneParts::TreeKey::None:
        return QWidget::eventFilter(watched, event);
    case PaneParts::TreeKey::Open:
        choose(press.node, true);
        break;
    case PaneParts::TreeKey::Menu:
        prepareMenu(press.node);
        m_menu->popup(PaneParts::menuPointOf(m_tree, press.node));
        break;
    case PaneParts::TreeKey::Rename:
        prepareMenu(press.node);
        renameGroup();
        break;
    }
    return true;
}

void GroupsPane::prepareMenu(const QTreeWidgetItem* node)
{
    m_menuPath = FolderTree::pathOf(node);
    m_organize->setVisible(QFileInfo(m_menuPath).isFile());
}

QTreeWidgetItem* GroupsPane::menuNode() const
{
    return m_tree->nodeOf(m_menuPath);
}

void GroupsPane::openGroup()
{
    QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    if (FolderTree::isFolder(node))
        node->setExpanded(true);
    else if (IsPageGroupFile(m_menuPath))
        m_host.OpenPageGroup(m_menuPath, m_host.SGCloseFirst(), false);
}

void GroupsPane::organizeGroup()
{
    if (!menuNode() || !QFileInfo(m_menuPath).isFile() || !IsPageGroupFile(m_menuPath))
        return;
    m_host.OrganizePageGroup(m_menuPath);
    m_host.SetGroupsChanged();
    m_tree->refresh();
}

void GroupsPane::renameGroup()
{
    const QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    const QFileInfo info(m_menuPath);
    QString target;
    if (info.isDir()) {
        const auto answer =
            m_questions.askText(QStringLiteral("Rename Folder"),
                                QStringLiteral("Enter new folder name:"), info.fileName());
        if (!answer || answer->isEmpty() || !PaneParts::isPlainName(*answer))
            return;
        target = info.dir().filePath(*answer);
    } else if (info.isFile()) {
        QString name = info.fileName();
        if (name.endsWith(QLatin1String(".sgp"))) // the extension as we write it, exactly
            name.chop(4);
        const auto answer =
            m_questions.askText(QStringLiteral("Rename SorvelGroup"),
                                QStringLiteral("Enter new SorvelGroup name (no extension):"), name);
        if (!answer || answer->isEmpty() || !PaneParts::isPlainName(*answer))
            return;
        target = info.dir().filePath(*answer + QStringLiteral(".sgp"));
    } else {
        return;
    }
    // A target that exists, or a name the file system refuses, leaves the file alone.
    if (QFileInfo::exists(target) || !QFile::rename(m_menuPath, target))
        return;
    m_host.SetGroupsChanged();
    m_tree->setRoot(m_tree->root());
}

void GroupsPane::deleteGroup()
{
    const QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    if (!m_questions.confirm(QStringLiteral("Confirm Delete"),
                             QStringLiteral("Are you sure you want to move \"%1\" to the trash?")
                                 .arg(node->text(0))))
        return;
    if (!QFile::moveToTrash(m_menuPath))
        m_questions.tell(QStringLiteral("Cannot move %1 to the trash.").arg(m_menuPath));
    m_host.SetGroupsChanged();
    m_tree->refresh();
}

void GroupsPane::newFolder()
{
    QString parent = m_tree->root();
    const QString selected = m_tree->selectedPath();
    if (!selected.isEmpty())
        parent = QFileInfo(selected).isDir() ? selected : QFileInfo(selected).path();
    if (!PaneParts::makeFolderIn(parent, m_questions))
        return;
    m_host.SetGroupsChanged();
    m_tree->refresh();
}

void GroupsPane::refresh()
{
    m_host.SetGroupsChanged();
    m_tree->refresh();
}
