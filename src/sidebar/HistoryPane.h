#pragma once

#include "history/HistoryPeriod.h"
#include "sidebar/FindPanel.h"

#include <QWidget>

#include <optional>

class BackgroundJob;
class HistoryStore;
class QAction;
class QMenu;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class RegistryHive;
class SideBarHost;
class SideBarQuestions;

// What a node of the history tree stands for.
struct HistoryNode
{
    enum class Kind
    {
        Period,
        Site,
        Page
    };
    Kind kind = Kind::Period;
    HistoryPeriod period;
    QString site;
    QString url; // pages only
};

// The rows a history find lists: every page of each period whose address or title holds
// `text` (case ignored), period by period, so that a page visited in two periods is listed
// twice; then the pages of the legacy index files in `historyFolder`. An unreadable store or
// index file ends that part of the search; *error says why.
QList<FoundRow> findHistory(const QString& storeFile, const QString& historyFolder,
                            const QString& text, const QDateTime& now,
                            const std::atomic_bool* cancelled, QString* error);

// The side bar's History pane: the history as a tree of periods, sites and pages, its
// context menu, the find panel and Clear.
class HistoryPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryPane)

public:
    HistoryPane(SideBarHost& host, RegistryHive& hive, const QString& storeFile,
                SideBarQuestions& questions, QWidget* parent = nullptr);
    ~HistoryPane() override;

    // Roots the tree (the first display, and again after the history options changed).
    void root();
    // Reads the tree again, keeping open what was open.
    void refresh();
    void clearHistory(); // the Clear button: asks first

    QTreeWidget* tree() const { return m_tree; }
    FindPanel* findPanel() const { return m_find; }
    QAction* findToggle() const { return m_tbFind; }
    QMenu* contextMenu() const { return m_menu; }
    BackgroundJob* findJob() const { return m_job; }
    HistoryStore* store() const { return m_store; }
    static HistoryNode nodeOf(const QTreeWidgetItem* item);
    // A right press on `item`: remembers it and sets which items the menu shows. False (no
    // menu) on a period or on empty space.
    bool prepareMenu(const QTreeWidgetItem* item);
    QAction* menuItem(const QString& name) const;
    void find();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillChildren(QTreeWidgetItem* item);
    // A left or right press on `item`, by the mouse or by its keys (Enter, the menu keys).
    void pressItem(QTreeWidgetItem* item, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint& globalPos);
    void openPage(const HistoryNode& node, Qt::KeyboardModifiers modifiers);
    void openMenuNode();
    void deleteMenuNode();
    void showProperties();
    QString historyFolder() const;
    QTreeWidgetItem* itemFor(const HistoryNode& node) const;

    SideBarHost& m_host;
    RegistryHive& m_hive;
    SideBarQuestions& m_questions;
    const QString m_storeFile;
    HistoryStore* m_store = nullptr;
    QAction* m_tbFind = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTreeWidget* m_tree = nullptr;
    FindPanel* m_find = nullptr;
    QMenu* m_menu = nullptr;
    std::optional<HistoryNode> m_popupNode; // HistoryPopupNode
    BackgroundJob* m_job = nullptr;
};
