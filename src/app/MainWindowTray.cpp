// The tray icon: minimizing into the notification area and coming back.
#include "app/MainWindow.h"

#include "app/PGTrayIcon.h"
#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWindow>

#include <algorithm>

void TfrmMain::buildTray()
{
    m_pgTray = new TPGTrayIcon(this, m_start.trayAvailable);
    m_pgTray->setObjectName(QStringLiteral("pgTray"));
    m_pgTray->SetIcon(windowIcon());
    m_pgTray->SetHint(QStringLiteral("Pelvane 5.5"));

    m_pmTray = new QMenu(this);
    m_pmTray->setObjectName(QStringLiteral("pmTray"));
    m_mnuTrayRestore = m_pmTray->addAction(QStringLiteral("&Restore"));
    m_mnuTrayRestore->setObjectName(QStringLiteral("mnuTrayRestore"));
    m_pmTray->setDefaultAction(m_mnuTrayRestore);
    m_pmTray->addSeparator();
    QAction* exit = m_pmTray->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuTrayExit"));
    m_pgTray->SetPopupMenu(m_pmTray);

    connect(m_pmTray, &QMenu::aboutToShow, this, &TfrmMain::pmTrayPopup);
    connect(m_mnuTrayRestore, &QAction::triggered, this, &TfrmMain::TrayRestoreClick);
    connect(exit, &QAction::triggered, this, &TfrmMain::TrayExitClick);
    connect(m_pgTray, &TPGTrayIcon::doubleClicked, this, &TfrmMain::TrayRestoreClick);
    connect(m_pgTray, &TPGTrayIcon::minimized, this, [this] {
        m_trayMinimized = true;
        const TBrowserTab* tab = GetActivePage();
        const QString title = tab ? tab->Browser()->LocationName() : QString();
        m_pgTray->SetHint(QStringLiteral("Pelvane - ") + title);
    });
    connect(m_pgTray, &TPGTrayIcon::restored, this, [this] {
        m_trayMinimized = false;
        m_pgTray->SetHint(QStringLiteral("Pelvane"));
    });
    syncTray();
}

void TfrmMain::syncTray()
{
    m_pgTray->SetActive(m_minToTray);
}

void TfrmMain::pmTrayPopup()
{
    m_mnuTrayRestore->setText(m_trayMinimized ? QStringLiteral("&Restore")
                                              : QStringLiteral("&Minimize"));
}

void TfrmMain::TrayRestoreClick()
{
    if (m_trayMinimized)
        m_pgTray->Restore();
    else
        m_pgTray->MinimizeToTray();
}

void TfrmMain::TrayExitClick()
{
    const bool hidden = m_trayMinimized;
    if (!close() || !hidden)
        return;
    // A hidden window's close does not end the program by itself; it ends here when no
    // other window of it is open, as it would have had the window been shown.
    const auto windows = QGuiApplication::topLevelWindows();
    const bool othersShown = std::any_of(windows.cbegin(), windows.cend(), [](QWindow* w) {
        return w->isVisible() && (w->type() == Qt::Window || w->type() == Qt::Dialog);
    });
    if (QGuiApplication::quitOnLastWindowClosed() && !othersShown)
        QCoreApplication::quit();
}
