#include "links/LinksBar.h"

#include "links/LinksFolder.h"
#include "platform/MenuButton.h"
#include "platform/PlainTip.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>

TLinksBar::TLinksBar(const QString& folder, IconLookup icons, QWidget* parent)
    : QWidget(parent)
    , m_folder(folder)
    , m_icons(std::move(icons))
    , m_linksMenu(new QMenu(QStringLiteral("Links"), this))
    , m_chevron(new MenuButton(this))
{
    setObjectName(QStringLiteral("tbarLinks"));
    m_linksMenu->setObjectName(QStringLiteral("LinksMenu"));
    m_chevron->setObjectName(QStringLiteral("tbxLinks"));
    m_chevron->setAutoRaise(true);
    m_chevron->setArrowType(Qt::NoArrow);
    m_chevron->setText(QStringLiteral("\u00bb"));
    m_chevron->setToolTip(QStringLiteral("More links"));
    m_chevron->hide();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Refresh();
}

void TLinksBar::Refresh()
{
    // One repaint for the whole rebuild: the bar never shows half a row.
    setUpdatesEnabled(false);
    clearButtons(); // they show the folder menus that go next
    m_linksMenu->clear();
    const QList<QObject*> children = m_linksMenu->children();
    for (QObject* child : children) {
        if (qobject_cast<QMenu*>(child))
            delete child; // the folder menus of the last build
    }
    m_entries.clear();
    if (QFileInfo(m_folder).isDir()) {
        BuildLinksMenu(m_folder, m_linksMenu);
        CreateLinkButtons();
        appendCustomize();
    }
    m_chevron->setMenu(chevronMenu());
    placeButtons();
    updateGeometry();
    setUpdatesEnabled(true);
    Q_EMIT refreshed();
}

void TLinksBar::setOwnChevron(bool own)
{
    m_ownChevron = own;
    placeButtons();
}

void TLinksBar::setIconLookup(IconLookup lookup)
{
    m_icons = std::move(lookup);
    Refresh();
}

QList<FolderMenuEntry> TLinksBar::readLevel(const QString& folder) const
{
    QList<FolderMenuEntry> entries = LinksFolder::read(folder);
    if (!m_icons)
        return entries;
    for (FolderMenuEntry& entry : entries) {
        // A shortcut's path is its address; any other file's is its absolute path.
        if (entry.folder || entry.path.isEmpty() || QDir::isAbsolutePath(entry.path))
            continue;
        const QIcon site = m_icons(entry.path);
        if (!site.isNull())
            entry.icon = site;
    }
    return entries;
}

void TLinksBar::BuildLinksMenu(const QString& folder, QMenu* item)
{
    m_entries = readLevel(folder);
    // Subfolders are read when they first open, by the same rules: a Links folder of
    // thousands of entries costs nothing until it is looked at.
    const FolderReader read = [this](const QString& path) { return readLevel(path); };
    const FolderItemOpen open = [this](const QString& address) { Q_EMIT OnLinkClick(address); };
    for (const FolderMenuEntry& entry : std::as_const(m_entries)) {
        if (entry.folder) {
            item->addMenu(new FolderMenuItem(entry, read, open, item));
            continue;
        }
        const QIcon icon =
            entry.icon.isNull() ? style()->standardIcon(QStyle::SP_FileIcon) : entry.icon;
        QAction* link = item->addAction(icon, entry.caption);
        link->setStatusTip(entry.hint);
        const QString address = entry.path;
        connect(link, &QAction::triggered, this, [this, address] { Q_EMIT OnLinkClick(address); });
    }
}

void TLinksBar::CreateLinkButtons()
{
    const QList<QAction*> items = m_linksMenu->actions();
    for (qsizetype i = 0; i < items.size() && i < m_entries.size(); ++i) {
        const FolderMenuEntry& entry = m_entries.at(i);
        QAction* item = items.at(i);
        auto* button = new QToolButton(this);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIcon(item->icon());
        // Long captions are cut; the whole text is in the tool tip.
        const QString caption = entry.caption;
        const QString shown =
            button->fontMetrics().elidedText(caption, Qt::ElideRight, MaxButtonWidth);
        button->setText(shown);
        const bool dropsDown = entry.folder && LinksFolder::hasEntries(entry.path);
        if (dropsDown) {
            button->setMenu(item->menu());
            button->setPopupMode(QToolButton::InstantPopup);
            if (shown != caption)
                button->setToolTip(
                    plainTip(QString(caption).replace(QLatin1String("&&"), QLatin1String("&"))));
        } else {
            // A file, or a folder with nothing in it: a link to its address.
            button->setToolTip(plainTip(entry.hint));
            const QString address = entry.path;
            connect(button, &QToolButton::clicked, this,
                    [this, address] { Q_EMIT OnLinkClick(address); });
        }
        button->setStatusTip(entry.hint);
        button->show();
        m_buttons << button;
    }
}

void TLinksBar::appendCustomize()
{
    m_linksMenu->addSeparator();
    QAction* customize = m_linksMenu->addAction(QStringLiteral("Customize..."));
    connect(customize, &QAction::triggered, this, &TLinksBar::OnCustomize);
}

void TLinksBar::clearButtons()
{
    // From the last to the first, as they were made.
    while (!m_buttons.isEmpty())
        delete m_buttons.takeLast();
}

void TLinksBar::placeButtons()
{
    const int chevronWidth = m_chevron->sizeHint().width();
    int x = 0;
    int total = 0;
    for (const QToolButton* button : std::as_const(m_buttons))
        total += button->sizeHint().width() + 1;
    m_overflowing = total > width();
    // While some do not fit, the chevron takes the right end.
    const bool chevron = m_ownChevron && m_overflowing;
    const int room = chevron ? width() - chevronWidth : width();
    for (QToolButton* button : std::as_const(m_buttons)) {
        const QSize hint = button->sizeHint();
        const bool fits = !m_ownChevron || x + hint.width() <= room;
        button->setGeometry(x, 0, hint.width(), height());
        button->setVisible(fits);
        x += hint.width() + 1;
    }
    m_chevron->setGeometry(width() - chevronWidth, 0, chevronWidth, height());
    m_chevron->setVisible(chevron);
}

QSize TLinksBar::sizeHint() const
{
    // The bar takes the room its row gives it and shows what fits; asking for the width of
    // every button would make a window with many links wider than the screen.
    int height = m_chevron->sizeHint().height();
    for (const QToolButton* button : m_buttons)
        height = std::max(height, button->sizeHint().height());
    return {m_chevron->sizeHint().width(), height};
}

QSize TLinksBar::minimumSizeHint() const
{
    return sizeHint();
}

void TLinksBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}
