#include "sidebar/FavoritesPane.h"

#include "platform/BackgroundJob.h"
#include "platform/FolderTree.h"
#include "platform/ShellFolders.h"
#include "sidebar/FavoritesFind.h"
#include "sidebar/FindPanel.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarHost.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

FavoritesPane::FavoritesPane(SideBarHost& host, RegistryHive& hive, SideBarQuestions& questions,
                             QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_hive(hive)
    , m_questions(questions)
    , m_job(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("tsFavorites"));
    m_toolbar = PaneParts::makeToolBar(this);
    m_tbFind = PaneParts::addButton(m_toolbar, QStringLiteral("tbFindFavorite"),
                                    QStringLiteral("Find"), QStringLiteral("Find|Finds a favorite"),
                                    QStringLiteral("edit-find"), QStyle::SP_FileDialogContentsView);
    m_tbFind->setCheckable(true);
    QAction* refresh = PaneParts::addButton(
        m_toolbar, QStringLiteral("tbFavoritesRefresh"), QStringLiteral("Refresh"),
        QStringLiteral("Refresh|Refreshes your favorites"), QStringLiteral("view-refresh"),
        QStyle::SP_BrowserReload);

    m_stack = new QStackedWidget(this);
    m_tree = new FolderTree(m_stack);
    m_tree->setObjectName(QStringLiteral("shFavorites"));
    m_tree->setAutoExpand([this] { return m_host.SBAutoExpand(); });
    m_find = new FindPanel(QStringLiteral("Favorites"), m_stack);
    m_stack->addWidget(m_tree);
    m_stack->addWidget(m_find);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_stack, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("pmFavorites"));
    QAction* open = m_menu->addAction(QStringLiteral("&Open"), this,
                                      [this] { openNode(menuNode(), false, Qt::NoModifier); });
    m_menu->setDefaultAction(open);
    m_menu->addAction(QStringLiteral("Open in New &Tab"), this,
                      [this] { openNode(menuNode(), true, Qt::NoModifier); });
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Re&name..."), this, &FavoritesPane::renameNode);
    m_menu->addAction(QStringLiteral("&Delete"), this, &FavoritesPane::deleteNode);
    m_menu->addAction(QStringLiteral("New &Folder..."), this, &FavoritesPane::newFolder);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("P&roperties"), this, &FavoritesPane::showProperties);

    connect(m_tree, &FolderTree::nodePressed, this, &FavoritesPane::onNodePressed);
    m_tree->installEventFilter(this);
    connect(m_tree, &FolderTree::hintChanged, this,
            [this](const QString& hint) { m_host.SetStatusText(hint); });
    connect(refresh, &QAction::triggered, m_tree, &FolderTree::refresh);
    connect(m_tbFind, &QAction::toggled, this, [this](bool on) {
        m_stack->setCurrentWidget(on ? static_cast<QWidget*>(m_find) : m_tree);
        if (on)
            m_find->edit()->setFocus();
    });
    connect(m_find, &FindPanel::findRequested, this, &FavoritesPane::find);
    connect(m_find, &FindPanel::rowOpened, this,
            [this](const QString& address, Qt::KeyboardModifiers modifiers) {
                m_host.OpenAddress(address, m_host.newTabFlags().favorites,
                                   modifiers.testFlag(Qt::ShiftModifier));
            });
}

FavoritesPane::~FavoritesPane() = default;

void FavoritesPane::pictureCommands(QAction* addToFavorites, QAction* organizeFavorites,
                                    const QStyle* style)
{
    const std::pair<QAction*, QStyle::StandardPixmap> commands[] = {
        {addToFavorites, QStyle::SP_FileDialogNewFolder},
        {organizeFavorites, QStyle::SP_FileDialogDetailedView},
    };
    // The bar shows pictures only; a command without one gets ours.
    for (const auto& [command, picture] : commands) {
        if (command && command->icon().isNull())
            command->setIcon(style->standardIcon(picture));
    }
}

void FavoritesPane::setCommands(QAction* addToFavorites, QAction* organizeFavorites)
{
    pictureCommands(addToFavorites, organizeFavorites, style());
    QAction* first = m_toolbar->actions().value(0);
    for (QAction* command : {addToFavorites, organizeFavorites}) {
        if (command)
            m_toolbar->insertAction(first, command);
    }
}

QAction* FavoritesPane::addNewFolderButton()
{
    QAction* refresh = nullptr;
    for (QAction* action : m_toolbar->actions()) {
        if (action->objectName() == QLatin1String("tbFavoritesRefresh"))
            refresh = action;
    }
    QAction* button = PaneParts::addButton(
        m_toolbar, QStringLiteral("tbNewFolder"), QStringLiteral("New Folder"),
        QStringLiteral("New Folder|Makes a new folder in the selected folder"),
        QStringLiteral("folder-new"), QStyle::SP_FileDialogNewFolder);
    m_toolbar->removeAction(button);
    m_toolbar->insertAction(refresh, button);
    connect(button, &QAction::triggered, this, [this] {
        setMenuNode(m_tree->currentItem());
        newFolder();
    });
    return button;
}

void FavoritesPane::setMenuNode(const QTreeWidgetItem* node)
{
    m_menuPath = FolderTree::pathOf(node);
}

QTreeWidgetItem* FavoritesPane::menuNode() const
{
    return m_tree->nodeOf(m_menuPath);
}

QString FavoritesPane::favoritesFolder() const
{
    return ShellFolders::read(m_hive, QStringLiteral("Favorites"));
}

void FavoritesPane::fill()
{
    m_tree->setRoot(favoritesFolder());
    if (!m_tree->errorText().isEmpty())
        m_host.SetStatusText(m_tree->errorText());
}

void FavoritesPane::onNodePressed(QTreeWidgetItem* node, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers, const QPoint& globalPos)
{
    if (button == Qt::RightButton) {
        setMenuNode(node);
        m_menu->popup(globalPos);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (FolderTree::isFolder(node)) {
        m_tree->toggle(node);
        return;
    }
    openNode(node, false, modifiers);
}

bool FavoritesPane::eventFilter(QObject* watched, QEvent* event)
{
    const PaneParts::TreeKeyPress press = PaneParts::treeKeyPressed(m_tree, watched, event);
    switch (press.wanted) {
    case PaneParts::TreeKey::None:
        return QWidget::eventFilter(watched, event);
    case PaneParts::TreeKey::Open:
        onNodePressed(press.node, Qt::LeftButton, press.modifiers, {});
        break;
    case PaneParts::TreeKey::Menu:
        onNodePressed(press.node, Qt::RightButton, press.modifiers,
                      PaneParts::menuPointOf(m_tree, press.node));
        break;
    case PaneParts::TreeKey::Rename:
        setMenuNode(press.node);
        renameNode();
        break;
    }
    return true;
}

void FavoritesPane::openNode(QTreeWidgetItem* node, bool inNewTab, Qt::KeyboardModifiers modifiers)
{
    if (!node)
        return;
    if (FolderTree::isFolder(node)) {
        node->setExpanded(true);
        return;
    }
    const QString path = FolderTree::pathOf(node);
    if (!path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive))
        return;
    const QString address = readShortcutAddress(path);
    if (address.isEmpty()) {
        m_host.SetStatusText(QStringLiteral("%1 holds no address.").arg(node->text(0)));
        return;
    }
    if (inNewTab)
        m_host.OpenInNewTab(address);
    else
        m_host.OpenAddress(address, m_host.newTabFlags().favorites,
                           modifiers.testFlag(Qt::ShiftModifier));
}

void FavoritesPane::renameNode()
{
    QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    const QString path = FolderTree::pathOf(node);
    const QFileInfo info(path);
    const bool shortcut =
        !info.isDir() && path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive);
    const auto answer = m_questions.askText(QStringLiteral("Rename"),
                                            QStringLiteral("Enter the new name:"), node->text(0));
    if (!answer || *answer == node->text(0))
        return;
    if (!PaneParts::isPlainName(*answer)) {
        m_questions.tell(QStringLiteral("\"%1\" is not a valid name.").arg(*answer));
        return;
    }
    const QString target = info.dir().filePath(*answer + (shortcut ? path.right(4) : QString()));
    if (QFileInfo::exists(target) || !QFile::rename(path, target)) {
        m_questions.tell(QStringLiteral("Cannot rename %1 to %2.").arg(info.fileName(), *answer));
        return;
    }
    m_tree->refresh();
}

void FavoritesPane::deleteNode()
{
    QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    const QString path = FolderTree::pathOf(node);
    if (!m_questions.confirm(QStringLiteral("Confirm Delete"),
                             QStringLiteral("Are you sure you want to move \"%1\" to the trash?")
                                 .arg(node->text(0))))
        return;
    if (!QFile::moveToTrash(path)) {
        m_questions.tell(QStringLiteral("Cannot move %1 to the trash.").arg(path));
        return;
    }
    m_tree->refresh();
}

void FavoritesPane::newFolder()
{
    QString parent = m_tree->root();
    if (const QTreeWidgetItem* node = menuNode()) {
        const QString path = FolderTree::pathOf(node);
        parent = FolderTree::isFolder(node) ? path : QFileInfo(path).path();
    }
    if (!PaneParts::makeFolderIn(parent, m_questions))
        return;
    m_tree->refresh();
}

void FavoritesPane::showProperties()
{
    QTreeWidgetItem* node = menuNode();
    if (!node)
        return;
    const QString path = FolderTree::pathOf(node);
    QString text = QStringLiteral("Name: %1\nLocation: %2").arg(node->text(0), path);
    if (!FolderTree::isFolder(node))
        text += QStringLiteral("\nAddress: %1").arg(readShortcutAddress(path));
    m_questions.tell(text);
}

void FavoritesPane::find()
{
    const QString text = m_find->text();
    if (text.isEmpty()) {
        m_find->edit()->setFocus();
        return;
    }
    m_find->clearRows();
    const QString folder = favoritesFolder();
    m_job->start<QList<FoundRow>>(
        [folder, text](const std::atomic_bool& cancelled) {
            return findFavorites(folder, text, &cancelled);
        },
        [this](QList<FoundRow> rows) { m_find->showRows(rows); });
}
