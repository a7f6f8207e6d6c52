#include "desktop/TrayControl.h"

#include "desktop/PGTrayIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>
#include <QWindow>

#include <algorithm>

TrayControl::TrayControl(QWidget* window, std::function<QString()> activeTitle,
                         std::function<bool()> trayAvailable)
    : QObject(window)
    , m_window(window)
    , m_activeTitle(std::move(activeTitle))
    , m_trayAvailable(std::move(trayAvailable))
{
    m_pgTray = new TPGTrayIcon(window, m_trayAvailable);
    m_pgTray->setObjectName(QStringLiteral("pgTray"));
    m_pgTray->SetIcon(window->windowIcon());
    m_pgTray->SetHint(QStringLiteral("Pelvane 5.5"));

    m_pmTray = new QMenu(window);
    m_pmTray->setObjectName(QStringLiteral("pmTray"));
    m_mnuTrayRestore = m_pmTray->addAction(QStringLiteral("&Restore"));
    m_mnuTrayRestore->setObjectName(QStringLiteral("mnuTrayRestore"));
    m_pmTray->setDefaultAction(m_mnuTrayRestore);
    m_pmTray->addSeparator();
    QAction* exit = m_pmTray->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuTrayExit"));
    m_pgTray->SetPopupMenu(m_pmTray);

    connect(m_pmTray, &QMenu::aboutToShow, this, &TrayControl::pmTrayPopup);
    connect(m_mnuTrayRestore, &QAction::triggered, this, &TrayControl::TrayRestoreClick);
    connect(exit, &QAction::triggered, this, &TrayControl::TrayExitClick);
    connect(m_pgTray, &TPGTrayIcon::doubleClicked, this, &TrayControl::TrayRestoreClick);
    connect(m_pgTray, &TPGTrayIcon::minimized, this, [this] {
        m_trayMinimized = true;
        const QString title = m_activeTitle ? m_activeTitle() : QString();
        m_pgTray->SetHint(QStringLiteral("Pelvane - ") + title);
    });
    connect(m_pgTray, &TPGTrayIcon::restored, this, [this] {
        m_trayMinimized = false;
        m_pgTray->SetHint(QStringLiteral("Pelvane"));
    });
}

bool TrayControl::trayAvailable() const
{
    return m_trayAvailable ? m_trayAvailable() : TPGTrayIcon::TrayAvailable();
}

void TrayControl::SetMinToTray(bool on)
{
    m_pgTray->SetActive(on);
}

void TrayControl::pmTrayPopup()
{
    m_mnuTrayRestore->setText(m_trayMinimized ? QStringLiteral("&Restore")
                                              : QStringLiteral("&Minimize"));
}

void TrayControl::TrayRestoreClick()
{
    if (m_trayMinimized)
        m_pgTray->Restore();
    else
        m_pgTray->MinimizeToTray();
}

void TrayControl::TrayExitClick()
{
    const bool hidden = m_trayMinimized;
    if (!m_window->close() || !hidden)
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
