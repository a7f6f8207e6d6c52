// The links bar: made from the Links folder at creation, shown on the "Links" band, its
// links opened by the window's link opener.
#include "app/MainWindow.h"

#include "bars/BarsControl.h"
#include "integration/DiscMonitor.h"
#include "links/LinksBar.h"
#include "links/LinksFolder.h"
#include "platform/web/EngineServices.h"
#include "settings/DefaultPrograms.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

void TfrmMain::buildLinksBar()
{
    m_linksBar = new TLinksBar(LinksFolder::path(m_hive), [engine = m_start.engine](
                                                              const QString& address) {
        return engine->siteIcon(address);
    });
    // The band's own chevron drops the whole menu when the last button passes its edge.
    m_linksBar->setOwnChevron(false);
    setLinksWidget(m_linksBar, m_linksBar->chevronMenu());
    connect(m_linksBar, &TLinksBar::OnLinkClick, this, [this](const QString& address) {
        OpenLink(address, QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(m_linksBar, &TLinksBar::OnCustomize, this, &TfrmMain::OrganizeLinks);
    connect(m_linksBar, &TLinksBar::refreshed, this,
            [this] { setLinksWidget(m_linksBar, m_linksBar->chevronMenu()); });
    QAction* organize = m_bars->organizeLinksItem();
    organize->setEnabled(true);
    connect(organize, &QAction::triggered, this, &TfrmMain::OrganizeLinks);
    watchLinksFolder();
}

void TfrmMain::favoritesFolderChanged()
{
    // A Links folder made after the start is found when the Favorites folder's monitor
    // hears of it.
    if (!m_linksMonitor || !m_linksMonitor->Active()) {
        m_linksBar->Refresh();
        watchLinksFolder();
    }
}

void TfrmMain::watchLinksFolder()
{
    const QString folder = m_linksBar->LinksFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return; // a missing folder: an empty bar and no monitor
    if (!m_linksMonitor) {
        m_linksMonitor = new TDiscMonitor(m_linksBar);
        m_linksMonitor->SetFilters(TDiscMonitor::FileName | TDiscMonitor::DirName |
                                   TDiscMonitor::LastWrite);
        m_linksMonitor->SetSubTree(true);
        connect(m_linksMonitor, &TDiscMonitor::OnChange, m_linksBar, &TLinksBar::Refresh);
        // The folder went: the bar empties, and the monitor waits for a new one.
        connect(m_linksMonitor, &TDiscMonitor::OnInvalid, this, [this] {
            m_linksMonitor->SetActive(false);
            m_linksBar->Refresh();
        });
    }
    m_linksMonitor->SetDirectory(folder);
    m_linksMonitor->SetActive(true);
}

void TfrmMain::OpenLink(const QString& address, bool shiftHeld)
{
    if (!LinksFolder::isExistingFile(address)) {
        OpenAddress(address, m_settings.newTabFlags.links, shiftHeld);
        return;
    }
    // A file of the folder opens in the desktop's program for it, started without a shell.
    const QStringList command =
        LinksFolder::fileCommand(address, DefaultPrograms::Places::current());
    if (command.isEmpty()) {
        SetStatusText(QStringLiteral("No program is set up on this desktop to open %1.")
                          .arg(QFileInfo(address).fileName()));
    } else if (!QProcess::startDetached(command.first(), command.mid(1))) {
        SetStatusText(QStringLiteral("%1 could not be started.").arg(command.first()));
    }
}

void TfrmMain::OrganizeLinks()
{
    // The desktop's file manager, at the Links folder.
    if (m_linksBar && !m_linksBar->LinksFolder().isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_linksBar->LinksFolder()));
}
