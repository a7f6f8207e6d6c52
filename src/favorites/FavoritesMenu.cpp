#include "favorites/FavoritesMenu.h"

#include "integration/DiscMonitor.h"
#include "platform/FolderListing.h"
#include "platform/InternetShortcut.h"

#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QStyle>

namespace {

constexpr qsizetype LongName = 46;
constexpr qsizetype KeptEachSide = 21;

} // namespace

QString favoriteDisplayName(const QString& name)
{
    QString shown = name;
    if (name.size() >= LongName) {
        QString head = name.first(KeptEachSide);
        QString tail = name.last(KeptEachSide);
        // Never half a character that takes two code units.
        if (head.back().isHighSurrogate())
            head.chop(1);
        if (tail.front().isLowSurrogate())
            tail.remove(0, 1);
        shown = head + QLatin1String("...") + tail;
    }
    return folderMenuCaption(shown);
}

QList<FolderMenuEntry> readFavoriteEntries(const QString& folder, const FavoriteIconLookup& icons,
                                           const QIcon& pageIcon)
{
    QList<FolderMenuEntry> folders;
    QList<FolderMenuEntry> shortcuts;
    if (folder.isEmpty())
        return folders;
    const QFileInfoList found = listFolder(folder, QDir::AllEntries | QDir::System);
    for (const QFileInfo& file : found) {
        const QString name = file.fileName();
        if (file.isDir()) {
            if (!name.startsWith(QLatin1Char('.')))
                folders.append({favoriteDisplayName(name), file.filePath(), true, {}, {}});
            continue;
        }
        if (!InternetShortcut::isShortcutName(name))
            continue;
        const QString address = InternetShortcut::readAddress(file.filePath());
        QIcon icon = icons && !address.isEmpty() ? icons(address) : QIcon();
        if (icon.isNull())
            icon = pageIcon;
        shortcuts.append({favoriteDisplayName(InternetShortcut::displayName(name)),
                          file.filePath(), false, address, icon});
    }
    sortFolderMenuEntriesLocaleAware(folders);
    sortFolderMenuEntriesLocaleAware(shortcuts);
    return folders + shortcuts;
}

FavoritesMenu::FavoritesMenu(QMenu* menu, std::function<QString()> folder, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
{
    m_pageIcon = QIcon::fromTheme(QStringLiteral("text-html"),
                                  menu->style()->standardIcon(QStyle::SP_FileIcon));
    // Before the folder menu's own handler: the first opening starts the watch, and a
    // folder that could not be watched is tried again.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (!FavoritesMenuBuilt())
            startWatching();
    });
    m_menu = new FolderMenu(
        menu, HeadItems, m_folder,
        [this](const QString& path) { return readFavoriteEntries(path, m_icons, m_pageIcon); },
        this);
    connect(m_menu, &FolderMenu::itemClicked, this, &FavoritesMenu::FavoriteMenuClick);
}

FavoritesMenu::~FavoritesMenu() = default;

void FavoritesMenu::startWatching()
{
    const QString folder = m_folder();
    if (!m_monitor) {
        m_monitor = new TDiscMonitor(this);
        m_monitor->SetFilters(TDiscMonitor::FileName | TDiscMonitor::DirName);
        m_monitor->SetSubTree(true);
        connect(m_monitor, &TDiscMonitor::OnChange, this, [this] {
            setChanged();
            Q_EMIT folderChanged();
        });
        connect(m_monitor, &TDiscMonitor::OnInvalid, this, [this] { m_monitorInvalid = true; });
    }
    m_monitor->SetDirectory(folder);
    if (m_monitorInvalid) { // the folder may exist by now
        m_monitorInvalid = false;
        m_monitor->SetActive(false);
    }
    m_monitor->SetActive(true);
}

void FavoritesMenu::FavoriteMenuClick(const QString& path)
{
    const QString address = InternetShortcut::readAddress(path);
    if (address.isEmpty())
        return; // listed, but it leads nowhere
    Q_EMIT favoriteChosen(address,
                          QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
}
