#include "links/window/LinksCommands.h"

#include "bars/BarsControl.h"
#include "browser/TabSet.h"
#include "browser/strip/PVStatusBar.h"
#include "integration/DiscMonitor.h"
#include "links/LinksBar.h"
#include "links/LinksFolder.h"
#include "platform/DesktopLaunch.h"
#include "platform/web/EngineServices.h"
#include "settings/DefaultPrograms.h"
#include "settings/WindowSettings.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

LinksCommands::LinksCommands(TabSet& tabs, BarsControl& bars, TPVStatusBar& status,
                             const WindowSettings& settings, RegistryHive& hive,
                             EngineServices& engine, QObject* parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_status(status)
    , m_settings(settings)
{
    m_bar = new TLinksBar(LinksFolder::path(hive),
                          [&engine](const QString& address) { return engine.siteIcon(address); });
    // The band's own chevron drops the whole menu when the last button passes its edge.
    m_bar->setOwnChevron(false);
    bars.setLinksWidget(m_bar, m_bar->chevronMenu());
    connect(m_bar, &TLinksBar::OnLinkClick, this, [this](const QString& address) {
        OpenLink(address, QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(m_bar, &TLinksBar::OnCustomize, this, &LinksCommands::OrganizeLinks);
    connect(m_bar, &TLinksBar::refreshed, this,
            [this, &bars] { bars.setLinksWidget(m_bar, m_bar->chevronMenu()); });
    QAction* organize = bars.organizeLinksItem();
    organize->setEnabled(true);
    connect(organize, &QAction::triggered, this, &LinksCommands::OrganizeLinks);
    watchFolder();
}

void LinksCommands::favoritesFolderChanged()
{
    // A Links folder made after the start is found when the Favorites folder's monitor
    // hears of it.
    if (!m_monitor || !m_monitor->Active()) {
        m_bar->Refresh();
        watchFolder();
    }
}

void LinksCommands::watchFolder()
{
    const QString folder = m_bar->LinksFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return; // a missing folder: an empty bar and no monitor
    if (!m_monitor) {
        m_monitor = new TDiscMonitor(m_bar);
        m_monitor->SetFilters(TDiscMonitor::FileName | TDiscMonitor::DirName |
                              TDiscMonitor::LastWrite);
        m_monitor->SetSubTree(true);
        connect(m_monitor, &TDiscMonitor::OnChange, m_bar, &TLinksBar::Refresh);
        // The folder went: the bar empties, and the monitor waits for a new one.
        connect(m_monitor, &TDiscMonitor::OnInvalid, this, [this] {
            m_monitor->SetActive(false);
            m_bar->Refresh();
        });
    }
    m_monitor->SetDirectory(folder);
    m_monitor->SetActive(true);
}

void LinksCommands::OpenLink(const QString& address, bool shiftHeld)
{
    if (!LinksFolder::isExistingFile(address)) {
        m_tabs.OpenAddress(address, m_settings.newTabFlags.links, shiftHeld);
        return;
    }
    // A file of the folder opens in the desktop's program for it, as any program is started.
    const auto program = LinksFolder::fileProgram(address, DefaultPrograms::Places::current());
    const QString problem =
        program ? DesktopLaunch::start(*program, DesktopEntry::BuildCommand(*program, address),
                                       DesktopLaunch::terminalProgram())
                : QStringLiteral("No program is set up on this desktop to open %1.")
                      .arg(QFileInfo(address).fileName());
    if (!problem.isEmpty())
        m_status.setText(problem);
}

void LinksCommands::OrganizeLinks()
{
    if (!m_bar->LinksFolder().isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_bar->LinksFolder()));
}
