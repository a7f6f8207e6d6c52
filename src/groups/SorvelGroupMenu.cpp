#include "groups/SorvelGroupMenu.h"

#include "groups/SorvelGroup.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <algorithm>

namespace {

bool captionLess(const GroupMenuEntry& a, const GroupMenuEntry& b)
{
    const int folded = QString::compare(a.caption, b.caption, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.caption < b.caption;
}

} // namespace

QString groupMenuCaption(const QString& name)
{
    QString caption = name;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    // A tab would start the menu's shortcut column.
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

QList<GroupMenuEntry> groupMenuEntries(const QString& folder)
{
    const QDir dir(folder);
    QList<GroupMenuEntry> folders;
    QList<GroupMenuEntry> files;
    const QFileInfoList items =
        dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& item : items) {
        const QString name = item.fileName();
        if (item.isDir()) {
            if (!name.startsWith(QLatin1Char('.')))
                folders.append({groupMenuCaption(name), item.absoluteFilePath(), true});
        } else if (IsPageGroupFile(name)) {
            files.append({groupMenuCaption(name.chopped(4)), item.absoluteFilePath(), false});
        }
    }
    std::sort(folders.begin(), folders.end(), captionLess);
    std::sort(files.begin(), files.end(), captionLess);
    return folders + files;
}

int fillGroupMenu(QMenu* menu, const QString& folder, const OpenGroup& open)
{
    const QList<GroupMenuEntry> entries = groupMenuEntries(folder);
    for (const GroupMenuEntry& entry : entries) {
        if (entry.folder) {
            menu->addMenu(new TVarloGroupMenuItem(entry, open, menu));
            continue;
        }
        QAction* item =
            menu->addAction(menu->style()->standardIcon(QStyle::SP_FileIcon), entry.caption);
        item->setStatusTip(QDir::toNativeSeparators(entry.path));
        const QString path = entry.path;
        QObject::connect(item, &QAction::triggered, menu, [open, path] {
            if (open)
                open(path);
        });
    }
    return int(entries.size());
}

TVarloGroupMenuItem::TVarloGroupMenuItem(const GroupMenuEntry& entry, OpenGroup open,
                                         QWidget* parent)
    : QMenu(entry.caption, parent)
    , m_folderPath(entry.path)
    , m_open(std::move(open))
{
    setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    // The placeholder gives the item its sub-menu arrow before anything is read.
    m_placeholder = addAction(EmptyCaption());
    m_placeholder->setEnabled(false);
    connect(this, &QMenu::aboutToShow, this, &TVarloGroupMenuItem::LoadMe);
}

void TVarloGroupMenuItem::LoadMe()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (fillGroupMenu(this, m_folderPath, m_open) > 0) {
        removeAction(m_placeholder);
        delete m_placeholder;
        m_placeholder = nullptr;
    }
}

TSorvelGroupMenu::TSorvelGroupMenu(QMenu* menu, int fixedItems, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
    , m_fixedItems(fixedItems)
{
    connect(m_menu, &QMenu::aboutToShow, this, &TSorvelGroupMenu::rebuildIfChanged);
}

void TSorvelGroupMenu::rebuildIfChanged()
{
    if (!m_groupsChanged)
        return;
    clearFolderItems();
    // A missing folder simply shows no groups; it is made when a group is first saved.
    fillGroupMenu(m_menu, Paths::groupsFolder(),
                  [this](const QString& path) { Q_EMIT groupClicked(path); });
    m_groupsChanged = false;
}

void TSorvelGroupMenu::clearFolderItems()
{
    const QList<QAction*> items = m_menu->actions();
    for (qsizetype i = m_fixedItems; i < items.size(); ++i) {
        QAction* item = items.at(i);
        if (QMenu* sub = item->menu(); sub && sub->parent() == m_menu) {
            delete sub; // takes its item along
        } else {
            m_menu->removeAction(item);
            if (item->parent() == m_menu)
                delete item;
        }
    }
}
