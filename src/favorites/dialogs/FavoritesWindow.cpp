#include "favorites/dialogs/FavoritesWindow.h"

#include "settings/PVOptions.h"
#include "platform/FolderTree.h"
#include "sidebar/FavoritesPane.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSizeGrip>
#include <QVBoxLayout>

TfrmFavorites::TfrmFavorites(SideBarHost& host, RegistryHive& hive, SideBarQuestions& questions,
                             QAction* addToFavorites, QAction* organizeFavorites,
                             QWidget* mainWindow)
    : QFrame(mainWindow, Qt::Tool | Qt::FramelessWindowHint)
    , m_hive(hive)
{
    setObjectName(QStringLiteral("frmFavorites"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    m_pane = new FavoritesPane(host, hive, questions, this);
    m_pane->setCommands(addToFavorites, organizeFavorites);
    m_pane->addNewFolderButton();
    auto* grip = new QSizeGrip(this); // no caption bar and no border to drag: the corner
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch(1);
    bottom->addWidget(grip);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_pane, 1);
    layout->addLayout(bottom);

    QSize size(250, 400);
    try {
        const TPVOptions options(m_hive);
        size = {options.GetFavoritesWidth(), options.GetFavoritesHeight()};
    } catch (const RegistryError&) {
    }
    resize(qBound(120, size.width(), 4000), qBound(120, size.height(), 4000));
    if (mainWindow)
        mainWindow->installEventFilter(this);
}

void TfrmFavorites::showAt(const QPoint& topLeft)
{
    if (isVisible())
        return;
    if (!m_filled) { // the tree is read on the first showing
        m_filled = true;
        m_pane->fill();
    } else if (m_stale) {
        m_pane->tree()->refresh();
    }
    m_stale = false;
    move(topLeft);
    show();
    raise();
    activateWindow();
}

void TfrmFavorites::folderChanged()
{
    if (!m_filled)
        return; // read whole on the first showing anyway
    if (isVisible())
        m_pane->tree()->refresh();
    else
        m_stale = true;
}

bool TfrmFavorites::event(QEvent* event)
{
    // A tool window shares its owner's shortcuts, and Esc is the main window's Stop: here it
    // is this window's own.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QFrame::event(event);
}

void TfrmFavorites::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QFrame::keyPressEvent(event);
}

void TfrmFavorites::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    try {
        TPVOptions options(m_hive);
        options.SetFavoritesWidth(width());
        options.SetFavoritesHeight(height());
    } catch (const RegistryError&) {
        // The size is a convenience: an unwritable hive keeps the old one.
    }
    Q_EMIT hidden();
}

bool TfrmFavorites::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && watched == parent() && isVisible())
        hide();
    return QFrame::eventFilter(watched, event);
}
