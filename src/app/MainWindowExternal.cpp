// What goes between the main window and other programs: links dropped on the tab strip,
// the launch image (open in the default browser, drag out as a shortcut), editing the page
// in a program the desktop registers for web pages, and the offer to become the default
// browser.
#include "app/MainWindow.h"

#include "address/AddressPolicy.h"
#include "app/LaunchImage.h"
#include "app/TabStripDropTarget.h"
#include "app/WindowQuestions.h"
#include "bars/MenuBand.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "platform/DesktopEntry.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "settings/DefaultBrowser.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QToolBar>
#include <QUrl>
#include <QUrlQuery>

namespace {

// Opens an address in the desktop's default browser; nothing for an empty one.
void launchInDefaultBrowser(const QString& address)
{
    if (AddressPolicy::decide(AddressPolicy::Source::LaunchImage, address) !=
        AddressPolicy::Decision::Open)
        return; // only web addresses go to the desktop: no files, no other programs
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace

void TfrmMain::buildExternalPlaces()
{
    new TabStripDropTarget(
        m_pcPage, [this](int tabIndex, const QString& address) { DropOnTab(tabIndex, address); },
        this);

    // The launch image sits beside the logo area at the far end of the menu band.
    m_imgIELink = new LaunchImage(
        [this]() -> LaunchImage::Link {
            const TBrowserTab* tab = GetActivePage();
            if (!tab)
                return {};
            return {tab->GetAddress(), tab->GetTitle()};
        },
        m_tbMenu);
    m_tbMenu->addWidget(m_imgIELink);
    connect(m_imgIELink, &LaunchImage::launchRequested, this, [this] {
        if (const TBrowserTab* tab = GetActivePage())
            launchInDefaultBrowser(tab->GetAddress());
    });
    connect(m_imgIELink, &LaunchImage::linkDropped, this, &launchInDefaultBrowser);

    // The Source button's programs: read the first time the menu opens; the programs are
    // not looked up again while we run.
    QMenu* editMenu = menu(MenuId::EditWith);
    connect(editMenu, &QMenu::aboutToShow, this, [this, editMenu] {
        if (editMenu->isEmpty())
            fillEditMenu(editMenu);
    });
}

void TfrmMain::fillEditMenu(QMenu* menu)
{
    const QList<DesktopApplication> programs =
        DesktopEntry::ProgramsFor(QStringLiteral("text/html"), DesktopEntry::ApplicationFolders());
    for (const DesktopApplication& program : programs) {
        if (program.id == QLatin1String("pelvane.desktop"))
            continue; // ourselves: that is not editing
        QString caption = program.name;
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item = menu->addAction(caption);
        connect(item, &QAction::triggered, this, [this, program] { EditDocumentWith(program); });
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("(no program for web pages)"))->setEnabled(false);
}

void TfrmMain::EditDocumentWith(const DesktopApplication& program)
{
    TBrowserTab* tab = GetActivePage();
    if (!tab)
        return;
    const QPointer<TfrmMain> self(this);
    tab->SaveToTempFile([self, program](const TSaveResult& result) {
        if (!self)
            return;
        if (!result.ok()) {
            self->m_questions->tell(QStringLiteral("The page could not be saved for %1:\n%2")
                                        .arg(program.name, result.error));
            return;
        }
        const QStringList command = DesktopEntry::BuildCommand(program, result.fileName);
        if (command.isEmpty())
            return;
        if (!QProcess::startDetached(command.first(), command.mid(1)))
            self->m_questions->tell(QStringLiteral("%1 could not be started.").arg(program.name));
    });
}

void TfrmMain::DropOnTab(int tabIndex, const QString& address)
{
    auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->pageForTabIndex(tabIndex));
    const auto decision = AddressPolicy::decide(AddressPolicy::Source::DroppedLink, address);
    if (!tab || address.isEmpty() || decision == AddressPolicy::Decision::Refuse)
        return;
    // Onto another tab: that tab shows it. Onto the page being read (or an address that
    // must not take over a tab): it is kept, and the link opens beside it.
    if (tab != GetActivePage() && decision == AddressPolicy::Decision::Open) {
        tab->NavigateTo(address);
        return;
    }
    if (TBrowserTab* created = NewTabBackground(false))
        created->OpenAsHome(address);
}

void TfrmMain::runDefaultBrowserCheck()
{
    // A picture of the window asks nothing.
    if (!m_start.askDefaultBrowser || !m_start.screenshotFile.isEmpty())
        return;
    QString error;
    std::optional<DefaultBrowserCheck> result;
    try {
        result = StartupDefaultBrowserCheck(m_hive, QCoreApplication::applicationFilePath(),
                                            m_start.askDefaultBrowser, &error);
    } catch (const RegistryError& failure) {
        result = DefaultBrowserCheck::Failed;
        error = failure.message();
    }
    if (result == DefaultBrowserCheck::Failed) {
        m_questions->tell(
            QStringLiteral("Pelvane could not be made your default browser.\n\n%1").arg(error));
    }
}

// --- Help -------------------------------------------------------------------------------------

QString TfrmMain::helpAddress(const QString& page) const
{
    return QUrl::fromLocalFile(
               QDir(Paths::sharedDataFolder()).filePath(QStringLiteral("help/") + page))
        .toString();
}

void TfrmMain::showHelpTopics()
{
    NewTab()->OpenAsHome(helpAddress(QStringLiteral("index.html")));
}

void TfrmMain::showSupport()
{
    // The page shows the facts of this copy; they travel in its address as data.
    QUrlQuery facts;
    facts.addQueryItem(QStringLiteral("version"), QCoreApplication::applicationVersion());
    facts.addQueryItem(QStringLiteral("build"),
                       QStringLiteral("Qt %1 (running on Qt %2)")
                           .arg(QLatin1String(QT_VERSION_STR), QLatin1String(qVersion())));
    facts.addQueryItem(QStringLiteral("settings"), m_hive.path());
    facts.addQueryItem(QStringLiteral("program"), Paths::programFolder());
    facts.addQueryItem(QStringLiteral("shared"), Paths::sharedDataFolder());
    QUrl address(helpAddress(QStringLiteral("support.html")));
    address.setQuery(facts);
    NewTab()->OpenAsHome(address.toString());
}
