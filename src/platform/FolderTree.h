#pragma once

#include <QFileInfo>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QList>
#include <QString>
#include <QTreeWidget>

#include <functional>

// One entry of a folder as the folder tree lists it.
struct FolderTreeEntry
{
    QString name; // as shown: a shortcut's file name without ".url"
    QString path;
    bool folder = false;

    friend bool operator==(const FolderTreeEntry&, const FolderTreeEntry&) = default;
};

// The entries of a folder as the tree shows them: sub-folders first, then files, each
// sorted by name without regard to case; "." and ".." never, hidden entries only with
// `showHidden`. A folder that cannot be listed gives nothing and *error says why.
QList<FolderTreeEntry> readFolderTreeEntries(const QString& folder, bool showHidden,
                                             QString* error = nullptr);
// A file as the tree names it: ".url" shortcuts (any case) without their extension.
QString folderTreeName(const QFileInfo& file);

// A tree of a folder on disk: the folders and files below a root, read one level at a
// time as the user opens folders, so that a large tree costs only what is shown. The
// favorites, history-folder and page-group panes and the favorites window use it.
//
// A press on a node's label is reported by nodePressed after the tree has selected it
// (a press on the expand arrow is the tree's own business). With auto-expand, opening a
// folder closes its open siblings, so that one branch per level stays open (top-level
// nodes are left alone).
class FolderTree : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderTree)

public:
    explicit FolderTree(QWidget* parent = nullptr);
    ~FolderTree() override;

    // Makes `folder` the root and reads it.
    void setRoot(const QString& folder);
    QString root() const { return m_root; }
    void setShowHidden(bool show) { m_showHidden = show; }
    // Lists folders and no files (a tree to choose a folder in).
    void setFoldersOnly(bool only) { m_foldersOnly = only; }
    // Shows the root itself as the one top node, named `caption` and open, for a tree in
    // which the root is a choice too; empty (the default): the root's entries are the top
    // nodes. Takes effect at the next setRoot().
    void setRootNode(const QString& caption) { m_rootCaption = caption; }
    // The root's own node; null without one.
    QTreeWidgetItem* rootNode() const;
    bool showHidden() const { return m_showHidden; }
    void setAutoExpand(bool on)
    {
        m_autoExpand = [on] { return on; };
    }
    // The rule read at each opening (a setting that may change while the tree lives).
    void setAutoExpand(std::function<bool()> rule) { m_autoExpand = std::move(rule); }
    bool autoExpand() const { return m_autoExpand && m_autoExpand(); }

    // Reads the root again, keeping open the folders that were open and the selection.
    void refresh();
    // Why the root could not be read at the last reading; empty when it could.
    QString errorText() const { return m_error; }
    // A large folder is listed off the window's thread and its nodes added a slice at a
    // time; true until every folder being read is shown whole.
    bool isReading() const { return m_reading > 0; }
    // Folders of up to this many entries are read at once.
    static constexpr int ReadAtOnce = 1000;
    static constexpr int NodesPerSlice = 1000;

    QTreeWidgetItem* nodeAt(const QPoint& viewportPos) const;
    static QString pathOf(const QTreeWidgetItem* node);
    static bool isFolder(const QTreeWidgetItem* node);
    QString selectedPath() const;
    // The node of a path among the nodes read so far; null when none.
    QTreeWidgetItem* nodeOf(const QString& path) const;
    // Opens a closed folder and closes an open one.
    void toggle(QTreeWidgetItem* node);
    // The text the status bar shows for a node: a shortcut's address, else its path.
    static QString hintOf(const QTreeWidgetItem* node);

    // The auto-expand rule for any tree: closes every other child of `node`'s parent.
    static void collapseOtherSiblings(QTreeWidgetItem* node);

Q_SIGNALS:
    void nodePressed(QTreeWidgetItem* node, Qt::MouseButton button,
                     Qt::KeyboardModifiers modifiers, const QPoint& globalPos);
    // A press that hit no node's label (empty space, an expand arrow).
    void emptyPressed(Qt::MouseButton button, const QPoint& globalPos);
    void hintChanged(const QString& hint);
    // A folder read in the background is now shown whole.
    void folderRead(const QString& folder);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fill(QTreeWidgetItem* parent, const QString& folder);
    void fillLater(QTreeWidgetItem* parent, const QString& folder);
    void addSlice(const QPersistentModelIndex& parent, bool root, int generation,
                  const QString& folder, const QList<FolderTreeEntry>& entries, qsizetype from);
    QTreeWidgetItem* makeNode(const FolderTreeEntry& entry) const;
    void onExpanded(QTreeWidgetItem* node);

    QString m_root;
    QString m_rootCaption;
    QString m_error;
    QIcon m_folderIcon;
    QIcon m_shortcutIcon;
    QIcon m_fileIcon;
    int m_generation = 0; // a new root drops what is still being read for the old one
    int m_reading = 0;
    bool m_showHidden = false;
    bool m_foldersOnly = false;
    std::function<bool()> m_autoExpand = [] { return true; };
    bool m_restoring = false;
};
