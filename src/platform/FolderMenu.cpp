#include "platform/FolderMenu.h"

#include <QCollator>
#include <QDir>
#include <QStyle>

#include <algorithm>

QString folderMenuCaption(const QString& name)
{
    QString caption = name;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    // A tab would start the menu's shortcut column.
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

void sortFolderMenuEntries(QList<FolderMenuEntry>& entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const FolderMenuEntry& a, const FolderMenuEntry& b) {
                  const int folded = QString::compare(a.caption, b.caption, Qt::CaseInsensitive);
                  return folded != 0 ? folded < 0 : a.caption < b.caption;
              });
}

void sortFolderMenuEntriesLocaleAware(QList<FolderMenuEntry>& entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(entries.begin(), entries.end(),
              [&collator](const FolderMenuEntry& a, const FolderMenuEntry& b) {
                  const int folded = collator.compare(a.caption, b.caption);
                  return folded != 0 ? folded < 0 : a.caption < b.caption;
              });
}

int fillFolderMenu(QMenu* menu, const QString& folder, const FolderReader& read,
                   const FolderItemOpen& open)
{
    const QList<FolderMenuEntry> entries = read ? read(folder) : QList<FolderMenuEntry>();
    for (const FolderMenuEntry& entry : entries) {
        if (entry.folder) {
            menu->addMenu(new FolderMenuItem(entry, read, open, menu));
            continue;
        }
        const QIcon icon =
            entry.icon.isNull() ? menu->style()->standardIcon(QStyle::SP_FileIcon) : entry.icon;
        QAction* item = menu->addAction(icon, entry.caption);
        item->setStatusTip(entry.hint.isEmpty() ? QDir::toNativeSeparators(entry.path)
                                                : entry.hint);
        const QString path = entry.path;
        QObject::connect(item, &QAction::triggered, menu, [open, path] {
            if (open)
                open(path);
        });
    }
    return int(entries.size());
}

FolderMenuItem::FolderMenuItem(const FolderMenuEntry& entry, FolderReader read, FolderItemOpen open,
                               QWidget* parent)
    : QMenu(entry.caption, parent)
    , m_folderPath(entry.path)
    , m_read(std::move(read))
    , m_open(std::move(open))
{
    setIcon(entry.icon.isNull() ? style()->standardIcon(QStyle::SP_DirIcon) : entry.icon);
    // The placeholder gives the item its sub-menu arrow before anything is read.
    m_placeholder = addAction(EmptyCaption());
    m_placeholder->setEnabled(false);
    connect(this, &QMenu::aboutToShow, this, &FolderMenuItem::LoadMe);
}

void FolderMenuItem::LoadMe()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (fillFolderMenu(this, m_folderPath, m_read, m_open) > 0) {
        removeAction(m_placeholder);
        delete m_placeholder;
        m_placeholder = nullptr;
    }
}

FolderMenu::FolderMenu(QMenu* menu, int fixedItems, std::function<QString()> folder,
                       FolderReader read, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
    , m_fixedItems(fixedItems)
    , m_folder(std::move(folder))
    , m_read(std::move(read))
{
    connect(m_menu, &QMenu::aboutToShow, this, &FolderMenu::rebuildIfChanged);
}

void FolderMenu::rebuildIfChanged()
{
    if (!m_changed)
        return;
    clearFolderItems();
    // A missing folder simply shows nothing.
    fillFolderMenu(m_menu, m_folder(), m_read,
                   [this](const QString& path) { Q_EMIT itemClicked(path); });
    m_changed = false;
}

void FolderMenu::clearFolderItems()
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
