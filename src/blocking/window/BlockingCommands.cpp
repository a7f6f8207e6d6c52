#include "blocking/window/BlockingCommands.h"

#include "blocking/ContentBlocker.h"
#include "blocking/window/BlockedListDialog.h"
#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "browser/TabSet.h"
#include "browser/strip/PVStatusBar.h"
#include "browser/window/TabMenu.h"
#include "commands/MainActions.h"
#include "integration/DiscMonitor.h"
#include "platform/Paths.h"

#include <QToolButton>
#include <QUrl>

BlockingCommands::BlockingCommands(Parts parts, QObject* parent)
    : QObject(parent)
    , m_blocker(parts.blocker)
    , m_tabs(parts.tabs)
    , m_tabMenu(parts.tabMenu)
    , m_status(parts.status)
{
    m_switch = new QToolButton(&m_status);
    m_switch->setObjectName(QStringLiteral("btnContentBlocking"));
    m_switch->setAutoRaise(true);
    m_switch->setCheckable(true);
    m_switch->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_status.addPermanentWidget(m_switch);
    connect(m_switch, &QToolButton::clicked, this, [this] {
        if (m_tabs.GetActivePage())
            toggleSite(siteOf(m_tabs.GetActivePage()));
    });

    m_tabItem = new QAction(QStringLiteral("&Block Content on This Site"), this);
    m_tabItem->setObjectName(QStringLiteral("mnuBlockContent"));
    m_tabItem->setCheckable(true);
    m_tabMenu.addTabItem(m_tabItem);
    connect(&m_tabMenu, &QMenu::aboutToShow, this, [this] {
        const QString site = siteOf(m_tabMenu.tab());
        m_tabItem->setEnabled(!site.isEmpty());
        m_tabItem->setChecked(!site.isEmpty() && m_blocker.isEnabledFor(site));
    });
    connect(m_tabItem, &QAction::triggered, this, [this] {
        const QString site = siteOf(m_tabMenu.tab());
        if (!site.isEmpty())
            toggleSite(site);
    });

    connect(parts.actions.get(ActionId::actBlockedContent), &QAction::triggered, this,
            &BlockingCommands::showBlocked);

    connect(&m_tabs, &TabSet::activeTabChanged, this, &BlockingCommands::update);
    connect(&m_tabs, &TabSet::addressShown, this, &BlockingCommands::update);
    connect(&m_blocker, &ContentBlocker::siteSwitched, this, &BlockingCommands::update);
    connect(&m_blocker, &ContentBlocker::blockedChanged, this, [this](const void* source) {
        if (source == sourceOf(m_tabs.GetActivePage()))
            update();
    });
    connect(&m_blocker, &ContentBlocker::listsLoaded, this, [this] {
        const QStringList messages = m_blocker.messages();
        if (!messages.isEmpty())
            m_status.setText(messages.join(QLatin1Char(' ')));
        update();
    });

    // The folder is made at start, so that the user finds where lists go and the monitor
    // has something to watch.
    Paths::ensurePrivateFolder(m_blocker.folder());
    m_monitor = new TDiscMonitor(this);
    m_monitor->SetDirectory(m_blocker.folder());
    m_monitor->SetSubTree(false);
    m_monitor->SetFilters(TDiscMonitor::FileName | TDiscMonitor::Size | TDiscMonitor::LastWrite);
    connect(m_monitor, &TDiscMonitor::OnChange, &m_blocker, &ContentBlocker::reload);
    m_monitor->SetActive(true);
    update();
}

QString BlockingCommands::siteOf(const TBrowserTab* tab)
{
    if (!tab || !tab->Browser())
        return {};
    const QUrl url(tab->Browser()->LocationURL());
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        return {};
    return url.host().toLower();
}

const void* BlockingCommands::sourceOf(const TBrowserTab* tab)
{
    if (!tab || !tab->Browser())
        return nullptr;
    return static_cast<const WebBackend*>(tab->Browser()->backend());
}

QString BlockingCommands::switchText(bool enabled, int count)
{
    return enabled ? QStringLiteral("Blocked: %1").arg(count) : QStringLiteral("Blocking off");
}

void BlockingCommands::toggleSite(const QString& site)
{
    if (site.isEmpty())
        return;
    m_blocker.setEnabledFor(site, !m_blocker.isEnabledFor(site));
    // The page shows what it would have shown with the new state.
    if (TBrowserTab* tab = m_tabs.GetActivePage(); tab && siteOf(tab) == site && tab->Browser())
        tab->Browser()->Refresh();
}

void BlockingCommands::update()
{
    const TBrowserTab* tab = m_tabs.GetActivePage();
    const QString site = siteOf(tab);
    const bool enabled = site.isEmpty() || m_blocker.isEnabledFor(site);
    const int count = m_blocker.blockedCountOn(sourceOf(tab));
    m_switch->setText(switchText(enabled, count));
    m_switch->setChecked(enabled);
    m_switch->setEnabled(!site.isEmpty());
    m_switch->setToolTip(site.isEmpty()
                             ? QStringLiteral("Content blocking")
                         : enabled
                             ? QStringLiteral("Content blocking is on for %1; click to turn it off")
                                   .arg(site)
                             : QStringLiteral("Content blocking is off for %1; click to turn it on")
                                   .arg(site));
    // Without any list there is nothing to show.
    m_switch->setVisible(m_blocker.filters()->ruleCount() > 0 || count > 0 || !enabled);
}

void BlockingCommands::showBlocked()
{
    const TBrowserTab* tab = m_tabs.GetActivePage();
    const void* source = sourceOf(tab);
    const QString site = siteOf(tab);
    BlockedListDialog dialog(site.isEmpty() ? QStringLiteral("this page") : site,
                             m_blocker.blockedCountOn(source), m_blocker.blockedOn(source),
                             m_blocker.messages(), m_status.window());
    m_dialog = &dialog;
    dialog.exec();
}

BlockedListDialog* BlockingCommands::blockedDialog() const
{
    return m_dialog;
}
