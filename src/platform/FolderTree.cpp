#include "platform/FolderTree.h"

#include "platform/BackgroundJob.h"
#include "platform/FolderListing.h"
#include "platform/InternetShortcut.h"

#include <QDir>
#include <QMouseEvent>
#include <QSet>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole + 1;
constexpr int FolderRole = Qt::UserRole + 2;
constexpr int FilledRole = Qt::UserRole + 3;

bool isShortcut(const QString& fileName)
{
    return InternetShortcut::isShortcutName(fileName);
}

} // namespace

QString folderTreeName(const QFileInfo& file)
{
    const QString name = file.fileName();
    return file.isDir() ? name : InternetShortcut::displayName(name);
}

QList<FolderTreeEntry> readFolderTreeEntries(const QString& folder, bool showHidden,
                                             QString* error)
{
    QList<FolderTreeEntry> entries;
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        if (error) {
            *error = !info.exists() ? QStringLiteral("The folder %1 does not exist.").arg(folder)
                     : !info.isDir() ? QStringLiteral("%1 is not a folder.").arg(folder)
                                     : QStringLiteral("The folder %1 cannot be read.").arg(folder);
        }
        return entries;
    }
    QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    if (showHidden)
        filters |= QDir::Hidden;
    const QFileInfoList found = listFolder(folder, filters);
    entries.reserve(found.size());
    for (const QFileInfo& file : found)
        entries.append({folderTreeName(file), file.filePath(), file.isDir()});
    std::sort(entries.begin(), entries.end(),
              [](const FolderTreeEntry& a, const FolderTreeEntry& b) {
                  if (a.folder != b.folder)
                      return a.folder;
                  const int folded = QString::compare(a.name, b.name, Qt::CaseInsensitive);
                  return folded != 0 ? folded < 0 : a.name < b.name;
              });
    if (error)
        error->clear();
    return entries;
}

FolderTree::FolderTree(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true); // keeps large folders quick to lay out
    setMouseTracking(true);
    setEditTriggers(NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setSelectionMode(SingleSelection);
    // Made once: asking the style for a picture per node costs seconds in a large folder.
    m_folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    m_shortcutIcon = style()->standardIcon(QStyle::SP_FileLinkIcon);
    m_fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::onExpanded);
    connect(this, &QTreeWidget::itemEntered, this,
            [this](QTreeWidgetItem* node) { Q_EMIT hintChanged(hintOf(node)); });
}

FolderTree::~FolderTree() = default;

void FolderTree::setRoot(const QString& folder)
{
    ++m_generation;
    m_root = folder;
    m_error.clear(); // a root read in the background says nothing of the last one's fault
    clear();
    if (m_rootCaption.isEmpty()) {
        fill(invisibleRootItem(), m_root);
        return;
    }
    QTreeWidgetItem* top = makeNode({m_rootCaption, m_root, true});
    addTopLevelItem(top);
    fill(top, m_root);
    if (top->childCount() == 0)
        top->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    top->setExpanded(true);
}

QTreeWidgetItem* FolderTree::rootNode() const
{
    return m_rootCaption.isEmpty() ? nullptr : topLevelItem(0);
}

void FolderTree::refresh()
{
    QSet<QString> open;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if ((*it)->isExpanded())
            open.insert(pathOf(*it));
    }
    const QString selected = selectedPath();
    // Re-opening the folders must not close their siblings.
    m_restoring = true;
    setRoot(m_root);
    // One walk: a folder opened here is read at once and the walk goes on into what it
    // holds (the folders inside one read in the background come back closed).
    QTreeWidgetItem* current = nullptr;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const QString path = pathOf(*it);
        if (!current && !selected.isEmpty() && path == selected)
            current = *it;
        if (open.contains(path))
            (*it)->setExpanded(true);
    }
    if (current)
        setCurrentItem(current);
    m_restoring = false;
}

void FolderTree::fill(QTreeWidgetItem* parent, const QString& folder)
{
    parent->setData(0, FilledRole, true);
    // Most folders are small: counting the first entries tells cheaply.
    if (listFolder(folder,
                   QDir::AllEntries | QDir::System | (m_showHidden ? QDir::Hidden : QDir::Filters()),
                   ReadAtOnce + 1)
            .size() > ReadAtOnce) {
        fillLater(parent, folder);
        return;
    }
    QString error;
    const QList<FolderTreeEntry> entries = readFolderTreeEntries(folder, m_showHidden, &error);
    if (folder == m_root)
        m_error = error;
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(entries.size());
    for (const FolderTreeEntry& entry : entries) {
        if (entry.folder || !m_foldersOnly)
            nodes.append(makeNode(entry));
    }
    parent->addChildren(nodes);
}

void FolderTree::fillLater(QTreeWidgetItem* parent, const QString& folder)
{
    auto* placeholder = new QTreeWidgetItem({QStringLiteral("Loading...")});
    placeholder->setFlags(Qt::NoItemFlags);
    parent->addChild(placeholder);
    const bool root = parent == invisibleRootItem();
    const QPersistentModelIndex index(root ? QModelIndex() : indexFromItem(parent));
    const int generation = m_generation;
    const bool hidden = m_showHidden;
    ++m_reading;
    auto* job = new BackgroundJob(this);
    job->start<QList<FolderTreeEntry>>(
        [folder, hidden](const std::atomic_bool&) {
            return readFolderTreeEntries(folder, hidden);
        },
        [this, job, index, root, generation, folder](QList<FolderTreeEntry> entries) {
            job->deleteLater();
            addSlice(index, root, generation, folder, entries, 0);
        });
}

void FolderTree::addSlice(const QPersistentModelIndex& index, bool root, int generation,
                          const QString& folder, const QList<FolderTreeEntry>& entries,
                          qsizetype from)
{
    QTreeWidgetItem* parent = root ? invisibleRootItem() : itemFromIndex(index);
    if (generation != m_generation || !parent) { // a new root, or the folder went
        --m_reading;
        return;
    }
    if (from == 0)
        delete parent->takeChild(parent->childCount() - 1); // "Loading..."
    const qsizetype to = qMin(entries.size(), from + NodesPerSlice);
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        if (entries.at(i).folder || !m_foldersOnly)
            nodes.append(makeNode(entries.at(i)));
    }
    parent->addChildren(nodes);
    if (to < entries.size()) {
        QTimer::singleShot(0, this, [=, this] {
            addSlice(index, root, generation, folder, entries, to);
        });
        return;
    }
    --m_reading;
    Q_EMIT folderRead(folder);
}

QTreeWidgetItem* FolderTree::makeNode(const FolderTreeEntry& entry) const
{
    auto* node = new QTreeWidgetItem({entry.name});
    node->setData(0, PathRole, entry.path);
    node->setData(0, FolderRole, entry.folder);
    node->setIcon(0, entry.folder              ? m_folderIcon
                     : isShortcut(entry.path) ? m_shortcutIcon
                                              : m_fileIcon);
    if (entry.folder) // whether it holds anything is learnt when it opens
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return node;
}

void FolderTree::onExpanded(QTreeWidgetItem* node)
{
    if (!node->data(0, FilledRole).toBool()) {
        fill(node, pathOf(node));
        if (node->childCount() == 0)
            node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    if (!m_restoring && autoExpand())
        collapseOtherSiblings(node);
}

void FolderTree::collapseOtherSiblings(QTreeWidgetItem* node)
{
    QTreeWidgetItem* parent = node ? node->parent() : nullptr;
    if (!parent)
        return; // top-level nodes are left alone
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* sibling = parent->child(i);
        if (sibling != node && sibling->isExpanded())
            sibling->setExpanded(false);
    }
}

QTreeWidgetItem* FolderTree::nodeAt(const QPoint& viewportPos) const
{
    QTreeWidgetItem* node = itemAt(viewportPos);
    if (!node || !visualItemRect(node).contains(viewportPos))
        return nullptr;
    return node;
}

QString FolderTree::pathOf(const QTreeWidgetItem* node)
{
    return node ? node->data(0, PathRole).toString() : QString();
}

bool FolderTree::isFolder(const QTreeWidgetItem* node)
{
    return node && node->data(0, FolderRole).toBool();
}

QString FolderTree::selectedPath() const
{
    return pathOf(currentItem());
}

QTreeWidgetItem* FolderTree::nodeOf(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if (pathOf(*it) == path)
            return *it;
    }
    return nullptr;
}

void FolderTree::toggle(QTreeWidgetItem* node)
{
    if (node)
        node->setExpanded(!node->isExpanded());
}

QString FolderTree::hintOf(const QTreeWidgetItem* node)
{
    const QString path = pathOf(node);
    if (!isFolder(node) && isShortcut(path)) {
        const QString url = InternetShortcut::readAddress(path);
        if (!url.isEmpty())
            return url;
    }
    return path;
}

void FolderTree::mousePressEvent(QMouseEvent* event)
{
    // The node's rectangle leaves out the indentation, where the expand arrow is.
    QTreeWidgetItem* node = nodeAt(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
    const QPoint global = event->globalPosition().toPoint();
    if (node)
        Q_EMIT nodePressed(node, event->button(), event->modifiers(), global);
    else
        Q_EMIT emptyPressed(event->button(), global);
}
