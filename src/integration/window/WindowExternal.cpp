#include "integration/window/WindowExternal.h"

#include "address/AddressPolicy.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "integration/LaunchImage.h"
#include "integration/window/TabStripDropTarget.h"
#include "platform/DesktopEntry.h"
#include "platform/DesktopLaunch.h"
#include "platform/Questions.h"
#include "platform/Registry.h"
#include "settings/DefaultBrowser.h"
#include "settings/DefaultPrograms.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QUrl>

WindowExternal::WindowExternal(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
{
    new TabStripDropTarget(
        &m_parts.tabs.strip(),
        [this](int tabIndex, const QString& address) { dropOnTab(tabIndex, address); }, this);

    // The launch image sits beside the logo area at the far end of the menu band.
    auto* launchImage = new LaunchImage(
        [&tabs = m_parts.tabs]() -> LaunchImage::Link {
            const TBrowserTab* tab = tabs.GetActivePage();
            if (!tab)
                return {};
            return {tab->GetAddress(), tab->GetTitle()};
        },
        &m_parts.menuBand);
    m_parts.menuBand.addWidget(launchImage);
    connect(launchImage, &LaunchImage::launchRequested, this, [this] {
        if (const TBrowserTab* tab = m_parts.tabs.GetActivePage())
            launchInOtherBrowser(tab->GetAddress());
    });
    connect(launchImage, &LaunchImage::linkDropped, this, &WindowExternal::launchInOtherBrowser);

    // The Source button's programs: read the first time the menu opens; the programs are
    // not looked up again while we run.
    QMenu* editMenu = &m_parts.editMenu;
    connect(editMenu, &QMenu::aboutToShow, this, [this, editMenu] {
        if (editMenu->isEmpty())
            fillEditMenu(editMenu);
    });
}

void WindowExternal::launchInOtherBrowser(const QString& address)
{
    if (AddressPolicy::decide(AddressPolicy::Source::LaunchImage, address) !=
        AddressPolicy::Decision::Open)
        return; // only web addresses go to the desktop: no files, no other programs
    // The desktop's opener would hand the page straight back when we are its browser.
    const auto browser = DefaultPrograms::otherBrowser(DefaultPrograms::Places::current(),
                                                       DefaultBrowser::DesktopId);
    if (!browser)
        return;
    const QString problem = DesktopLaunch::start(
        *browser,
        DesktopEntry::BuildAddressCommand(*browser, QUrl::fromUserInput(address).toString()),
        DesktopLaunch::terminalProgram());
    if (!problem.isEmpty())
        m_parts.questions.tell(problem);
}

void WindowExternal::fillEditMenu(QMenu* menu)
{
    const QList<DesktopApplication> programs =
        DesktopEntry::ProgramsFor(QStringLiteral("text/html"), DesktopEntry::ApplicationFolders());
    for (const DesktopApplication& program : programs) {
        if (program.id == DefaultBrowser::DesktopId)
            continue; // ourselves: that is not editing
        QString caption = program.name;
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item = menu->addAction(caption);
        connect(item, &QAction::triggered, this, [this, program] { editDocumentWith(program); });
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("(no program for web pages)"))->setEnabled(false);
}

void WindowExternal::editDocumentWith(const DesktopApplication& program)
{
    TBrowserTab* tab = m_parts.tabs.GetActivePage();
    if (!tab)
        return;
    const QPointer<WindowExternal> self(this);
    tab->SaveToTempFile([self, program](const TSaveResult& result) {
        if (!self)
            return;
        if (!result.ok()) {
            self->m_parts.questions.tell(QStringLiteral("The page could not be saved for %1:\n%2")
                                             .arg(program.name, result.error));
            return;
        }
        // In a terminal when the program's entry asks for one, as an editor of the console
        // does: started without one it would run unseen.
        const QString problem =
            DesktopLaunch::start(program, DesktopEntry::BuildCommand(program, result.fileName),
                                 DesktopLaunch::terminalProgram());
        if (!problem.isEmpty())
            self->m_parts.questions.tell(problem);
    });
}

void WindowExternal::dropOnTab(int tabIndex, const QString& address)
{
    auto* tab = qobject_cast<TBrowserTab*>(m_parts.tabs.strip().pageForTabIndex(tabIndex));
    const auto decision = AddressPolicy::decide(AddressPolicy::Source::DroppedLink, address);
    if (!tab || address.isEmpty() || decision == AddressPolicy::Decision::Refuse)
        return;
    // Onto another tab: that tab shows it. Onto the page being read (or an address that
    // must not take over a tab): it is kept, and the link opens beside it.
    if (tab != m_parts.tabs.GetActivePage() && decision == AddressPolicy::Decision::Open) {
        tab->NavigateTo(address);
        return;
    }
    if (TBrowserTab* created = m_parts.tabs.NewTabBackground(false))
        created->OpenAsHome(address);
}

void WindowExternal::runDefaultBrowserCheck(const std::function<bool()>& ask)
{
    if (!ask)
        return;
    QString error;
    std::optional<DefaultBrowserCheck> result;
    try {
        result = StartupDefaultBrowserCheck(m_parts.hive, QCoreApplication::applicationFilePath(),
                                            ask, &error);
    } catch (const RegistryError& failure) {
        result = DefaultBrowserCheck::Failed;
        error = failure.message();
    }
    if (result == DefaultBrowserCheck::Failed) {
        m_parts.questions.tell(
            QStringLiteral("Pelvane could not be made your default browser.\n\n%1").arg(error));
    }
}
