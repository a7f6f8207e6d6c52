#include "sidebar/HistoryPane.h"

#include "history/HistoryIndex.h"
#include "history/HistoryStore.h"
#include "platform/FolderTree.h"
#include "platform/PlainTip.h"
#include "platform/ShellFolders.h"
#include "platform/BackgroundJob.h"
#include "settings/SiteZoom.h"
#include "sidebar/HistoryProperties.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarHost.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int KindRole = Qt::UserRole + 1;
constexpr int PeriodFirstRole = Qt::UserRole + 2;
constexpr int PeriodEndRole = Qt::UserRole + 3;
constexpr int PeriodKindRole = Qt::UserRole + 4;
constexpr int WeeksAgoRole = Qt::UserRole + 5;
constexpr int SiteRole = Qt::UserRole + 6;
constexpr int UrlRole = Qt::UserRole + 7;
constexpr int FilledRole = Qt::UserRole + 8;

QString clearQuestion()
{
    return QStringLiteral(
        "This will clear your global history. Are you sure you want to proceed?");
}

QTreeWidgetItem* makeItem(const HistoryNode& node, const QString& caption, QStyle* style)
{
    auto* item = new QTreeWidgetItem({caption});
    item->setData(0, KindRole, int(node.kind));
    item->setData(0, PeriodFirstRole, node.period.first);
    item->setData(0, PeriodEndRole, node.period.end);
    item->setData(0, PeriodKindRole, int(node.period.kind));
    item->setData(0, WeeksAgoRole, node.period.weeksAgo);
    item->setData(0, SiteRole, node.site);
    item->setData(0, UrlRole, node.url);
    if (node.kind == HistoryNode::Kind::Page) {
        item->setIcon(0, style->standardIcon(QStyle::SP_FileLinkIcon));
        item->setToolTip(0, plainTip(node.url));
    } else {
        item->setIcon(0, style->standardIcon(QStyle::SP_DirIcon));
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    return item;
}

bool sameNode(const HistoryNode& a, const HistoryNode& b)
{
    return a.kind == b.kind && a.period == b.period && a.site == b.site && a.url == b.url;
}

} // namespace

QList<FoundRow> findHistory(const QString& storeFile, const QString& historyFolder,
                            const QString& text, const QDateTime& now,
                            const std::atomic_bool* cancelled, QString* error)
{
    QList<FoundRow> rows;
    if (QFileInfo(storeFile).isFile()) {
        HistoryStore store(storeFile, HistoryStore::Access::ReadOnly);
        if (!store.isOpen() && error)
            *error = store.unavailableMessage();
        const QList<HistoryStore::PeriodPages> periods = store.searchByPeriod(text, now);
        for (const HistoryStore::PeriodPages& period : periods) {
            for (const HistoryEntry& page : period.pages)
                rows.append({page.title.isEmpty() ? page.url : page.title, page.url});
        }
        if (cancelled && cancelled->load())
            return rows;
    }
    if (!historyFolder.isEmpty()) {
        QList<HistoryIndexRow> found;
        QString indexError;
        if (!SearchHistoryFolder(historyFolder, text, found, &indexError) && error)
            *error = indexError;
        for (const HistoryIndexRow& row : std::as_const(found))
            rows.append({row.caption, row.address});
    }
    return rows;
}

HistoryPane::HistoryPane(SideBarHost& host, RegistryHive& hive, const QString& storeFile,
                         SideBarQuestions& questions, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_hive(hive)
    , m_questions(questions)
    , m_storeFile(storeFile)
    , m_job(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("tsHistory"));
    QToolBar* bar = PaneParts::makeToolBar(this);
    m_tbFind = PaneParts::addButton(bar, QStringLiteral("tbFindHistory"), QStringLiteral("Find"),
                                    QStringLiteral("Find|Finds a page in your history"),
                                    QStringLiteral("edit-find"), QStyle::SP_FileDialogContentsView);
    m_tbFind->setCheckable(true);
    QAction* refreshButton = PaneParts::addButton(
        bar, QStringLiteral("tbHistoryRefresh"), QStringLiteral("Refresh"),
        QStringLiteral("Refresh|Refreshes your history display"), QStringLiteral("view-refresh"),
        QStyle::SP_BrowserReload);
    QAction* clear = PaneParts::addButton(bar, QStringLiteral("spdClearHistory"),
                                          QStringLiteral("Clear"),
                                          QStringLiteral("Clear|Clears your history"),
                                          QStringLiteral("edit-clear-history"),
                                          QStyle::SP_DialogResetButton);

    m_stack = new QStackedWidget(this);
    m_tree = new QTreeWidget(m_stack);
    m_tree->setObjectName(QStringLiteral("shHistory"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setMouseTracking(true);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->viewport()->installEventFilter(this);
    m_tree->installEventFilter(this);
    m_find = new FindPanel(QStringLiteral("History"), m_stack);
    m_stack->addWidget(m_tree);
    m_stack->addWidget(m_find);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_stack, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("pmHistory"));
    auto add = [this](const char* name, const QString& caption, auto slot) {
        QAction* item = m_menu->addAction(caption, this, slot);
        item->setObjectName(QLatin1String(name));
        return item;
    };
    m_menu->setDefaultAction(add("pmHistoryOpen", QStringLiteral("&Open"),
                                 [this] { openMenuNode(); }));
    add("pmHistoryNewWindow", QStringLiteral("Open in &New Window"), [this] {
        if (m_popupNode && m_popupNode->kind == HistoryNode::Kind::Page)
            m_host.OpenInNewTab(m_popupNode->url);
    });
    m_menu->addSeparator()->setObjectName(QStringLiteral("pmHistorySep1"));
    add("pmHistoryCopy", QStringLiteral("&Copy"), [this] {
        // Only this command puts the address on the clipboard.
        if (m_popupNode && m_popupNode->kind == HistoryNode::Kind::Page)
            QGuiApplication::clipboard()->setText(m_popupNode->url);
    });
    add("pmHistoryDelete", QStringLiteral("&Delete"), [this] { deleteMenuNode(); });
    m_menu->addSeparator()->setObjectName(QStringLiteral("pmHistorySep2"));
    add("pmHistoryProperties", QStringLiteral("P&roperties"), [this] { showProperties(); });

    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, FilledRole).toBool())
            fillChildren(item);
        if (m_host.SBAutoExpand())
            FolderTree::collapseOtherSiblings(item);
    });
    connect(m_tree, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) {
        const QString url = item->data(0, UrlRole).toString();
        m_host.SetStatusText(url.isEmpty() ? item->text(0) : url);
    });
    connect(refreshButton, &QAction::triggered, this, &HistoryPane::refresh);
    connect(clear, &QAction::triggered, this, &HistoryPane::clearHistory);
    connect(m_tbFind, &QAction::toggled, this, [this](bool on) {
        m_stack->setCurrentWidget(on ? static_cast<QWidget*>(m_find) : m_tree);
        if (on)
            m_find->edit()->setFocus();
    });
    connect(m_find, &FindPanel::findRequested, this, &HistoryPane::find);
    connect(m_find, &FindPanel::rowOpened, this,
            [this](const QString& address, Qt::KeyboardModifiers modifiers) {
                m_host.OpenAddress(address, m_host.newTabFlags().history,
                                   modifiers.testFlag(Qt::ShiftModifier));
            });
}

HistoryPane::~HistoryPane() = default;

QString HistoryPane::historyFolder() const
{
    return ShellFolders::read(m_hive, QStringLiteral("History"));
}

HistoryNode HistoryPane::nodeOf(const QTreeWidgetItem* item)
{
    HistoryNode node;
    if (!item)
        return node;
    node.kind = HistoryNode::Kind(item->data(0, KindRole).toInt());
    node.period.kind = HistoryPeriod::Kind(item->data(0, PeriodKindRole).toInt());
    node.period.weeksAgo = item->data(0, WeeksAgoRole).toInt();
    node.period.first = item->data(0, PeriodFirstRole).toDate();
    node.period.end = item->data(0, PeriodEndRole).toDate();
    node.site = item->data(0, SiteRole).toString();
    node.url = item->data(0, UrlRole).toString();
    return node;
}

void HistoryPane::root()
{
    m_tree->clear();
    // Without a History folder the pane has no root, as the system browser's had none.
    if (historyFolder().isEmpty())
        return;
    if (!m_store) {
        m_store = new HistoryStore(m_storeFile, this);
        if (!m_store->isOpen())
            m_host.SetStatusText(m_store->unavailableMessage());
    }
    const QList<HistoryPeriod> periods = m_store->periods();
    QList<QTreeWidgetItem*> items;
    for (const HistoryPeriod& period : periods)
        items.append(makeItem({HistoryNode::Kind::Period, period, {}, {}}, period.caption(), style()));
    m_tree->addTopLevelItems(items);
}

void HistoryPane::fillChildren(QTreeWidgetItem* item)
{
    item->setData(0, FilledRole, true);
    if (!m_store)
        return;
    const HistoryNode node = nodeOf(item);
    QList<QTreeWidgetItem*> children;
    if (node.kind == HistoryNode::Kind::Period) {
        const QStringList sites = m_store->sites(node.period);
        for (const QString& site : sites) {
            children.append(makeItem({HistoryNode::Kind::Site, node.period, site, {}},
                                     site.isEmpty() ? QStringLiteral("My Computer") : site,
                                     style()));
        }
    } else if (node.kind == HistoryNode::Kind::Site) {
        const QList<HistoryEntry> pages = m_store->pages(node.period, node.site);
        for (const HistoryEntry& page : pages) {
            children.append(makeItem({HistoryNode::Kind::Page, node.period, node.site, page.url},
                                     page.title.isEmpty() ? page.url : page.title, style()));
        }
    }
    item->addChildren(children);
    if (children.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* HistoryPane::itemFor(const HistoryNode& node) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (sameNode(nodeOf(*it), node))
            return *it;
    }
    return nullptr;
}

void HistoryPane::refresh()
{
    QList<HistoryNode> open;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->isExpanded())
            open.append(nodeOf(*it));
    }
    root();
    for (const HistoryNode& node : std::as_const(open)) {
        if (QTreeWidgetItem* item = itemFor(node)) {
            fillChildren(item);
            // Put back as it was, without the auto-expand rule closing siblings.
            m_tree->blockSignals(true);
            item->setExpanded(true);
            m_tree->blockSignals(false);
        }
    }
}

bool HistoryPane::prepareMenu(const QTreeWidgetItem* item)
{
    if (!item || !item->parent())
        return false;
    m_popupNode = nodeOf(item);
    const bool page = m_popupNode->kind == HistoryNode::Kind::Page;
    for (const char* name : {"pmHistoryNewWindow", "pmHistoryCopy", "pmHistorySep2",
                             "pmHistoryProperties"})
        menuItem(QLatin1String(name))->setVisible(page);
    return true;
}

QAction* HistoryPane::menuItem(const QString& name) const
{
    const auto items = m_menu->actions();
    for (QAction* item : items) {
        if (item->objectName() == name)
            return item;
    }
    return nullptr;
}

bool HistoryPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mouse->position().toPoint();
        QTreeWidgetItem* item = m_tree->itemAt(pos);
        // The indentation (where the expand arrow is) belongs to the tree.
        if (!item || !m_tree->visualItemRect(item).contains(pos))
            return false;
        m_tree->setCurrentItem(item);
        pressItem(item, mouse->button(), mouse->modifiers(), mouse->globalPosition().toPoint());
        return true;
    }
    const PaneParts::TreeKeyPress press = PaneParts::treeKeyPressed(m_tree, watched, event);
    if (press.wanted == PaneParts::TreeKey::Open) {
        pressItem(press.node, Qt::LeftButton, press.modifiers, {});
        return true;
    }
    if (press.wanted == PaneParts::TreeKey::Menu) {
        pressItem(press.node, Qt::RightButton, press.modifiers,
                  PaneParts::menuPointOf(m_tree, press.node));
        return true;
    }
    // A double click would open the page a second time: the press has opened it already.
    if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QWidget::eventFilter(watched, event);
}

void HistoryPane::pressItem(QTreeWidgetItem* item, Qt::MouseButton button,
                            Qt::KeyboardModifiers modifiers, const QPoint& globalPos)
{
    if (button == Qt::RightButton) {
        if (prepareMenu(item))
            m_menu->popup(globalPos);
        return;
    }
    const HistoryNode node = nodeOf(item);
    if (node.kind == HistoryNode::Kind::Page)
        openPage(node, modifiers);
    else
        item->setExpanded(!item->isExpanded());
}

void HistoryPane::openPage(const HistoryNode& node, Qt::KeyboardModifiers modifiers)
{
    // The address is the node's own: the clipboard is the user's, and stays as it was.
    m_host.OpenAddress(node.url, m_host.newTabFlags().history,
                       modifiers.testFlag(Qt::ShiftModifier));
}

void HistoryPane::openMenuNode()
{
    if (!m_popupNode)
        return;
    if (m_popupNode->kind == HistoryNode::Kind::Page) {
        openPage(*m_popupNode, QGuiApplication::queryKeyboardModifiers());
    } else if (QTreeWidgetItem* item = itemFor(*m_popupNode)) {
        item->setExpanded(true);
    }
}

void HistoryPane::deleteMenuNode()
{
    if (!m_popupNode || m_popupNode->kind == HistoryNode::Kind::Period || !m_store)
        return;
    if (!m_store->deleteFromPeriod(m_popupNode->period, m_popupNode->site, m_popupNode->url) &&
        !m_store->isOpen())
        m_host.SetStatusText(m_store->unavailableMessage());
    m_popupNode.reset();
    refresh();
}

void HistoryPane::showProperties()
{
    if (!m_popupNode || m_popupNode->kind != HistoryNode::Kind::Page || !m_store)
        return;
    const auto entry = m_store->entry(m_popupNode->url);
    if (!entry)
        return;
    auto* dialog = new HistoryProperties(*entry, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void HistoryPane::clearHistory()
{
    if (!m_questions.confirm(QStringLiteral("Pelvane"), clearQuestion()))
        return;
    SiteZoom::forgetAll(m_hive); // where the user went shows in the sizes chosen there
    if (!m_store)
        m_store = new HistoryStore(m_storeFile, this);
    if (!m_store->clear() && !m_store->isOpen())
        m_host.SetStatusText(m_store->unavailableMessage());
    refresh();
}

void HistoryPane::find()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return;
    QString folder = historyFolder();
    if (folder.isEmpty())
        return; // the list keeps its rows
    const QString legacy = QDir(folder).filePath(QStringLiteral("History.IE5"));
    if (QFileInfo(legacy).isDir())
        folder = legacy;
    m_find->clearRows();
    const QString storeFile = m_storeFile;
    const QDateTime now = QDateTime::currentDateTime();
    struct Found
    {
        QList<FoundRow> rows;
        QString error;
    };
    m_job->start<Found>(
        [storeFile, folder, text, now](const std::atomic_bool& cancelled) {
            Found found;
            found.rows = findHistory(storeFile, folder, text, now, &cancelled, &found.error);
            return found;
        },
        [this](Found found) {
            m_find->showRows(found.rows);
            if (!found.error.isEmpty())
                m_host.SetStatusText(found.error);
        });
}
