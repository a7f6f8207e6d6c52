// What goes between the main window and other programs: links dropped on the tab strip,
// the launch image (open in the default browser, drag out as a shortcut), and editing the
// page in a program the desktop registers for web pages.
#include "app/MainWindow.h"

#include "app/EditWith.h"
#include "app/LaunchImage.h"
#include "app/MainActions.h"
#include "app/TabStripDropTarget.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// Opens an address in the desktop's default browser; nothing for an empty one.
void launchInDefaultBrowser(const QString& address)
{
    if (address.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

QToolButton* addMenuToolButton(QToolBar* bar, const QString& text, QStyle::StandardPixmap icon,
                               const char* name, QMenu* menu)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setIcon(bar->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setMenu(menu);
    bar->addWidget(button);
    return button;
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

    // The toolbar's Search, Font and Source buttons.
    QAction* search = m_actions->get("actGoSearch");
    search->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    search->setIconText(QStringLiteral("Search"));
    m_tbMain->addAction(search);
    QToolButton* font = addMenuToolButton(m_tbMain, QStringLiteral("Font"),
                                          QStyle::SP_FileDialogDetailedView, "tbFont", m_mnuFont);
    font->setToolTip(
        MainActions::shortHint(m_actions->get("actSetMediumFont")->property("hint").toString()));
    connect(font, &QToolButton::clicked, m_actions->get("actSetMediumFont"), &QAction::trigger);
    auto* editMenu = new QMenu(m_tbMain);
    editMenu->setObjectName(QStringLiteral("pmEditDocument"));
    QToolButton* source = addMenuToolButton(m_tbMain, QStringLiteral("Source"), QStyle::SP_FileIcon,
                                            "tbSource", editMenu);
    source->setToolTip(QStringLiteral("View Source"));
    connect(source, &QToolButton::clicked, m_actions->get("actViewSource"), &QAction::trigger);
    // Filled the first time it opens; the programs are not looked up again while we run.
    connect(editMenu, &QMenu::aboutToShow, this, [this, editMenu] {
        if (editMenu->isEmpty())
            fillEditMenu(editMenu);
    });
}

void TfrmMain::fillEditMenu(QMenu* menu)
{
    const QList<DesktopApplication> programs =
        EditWith::ProgramsFor(QStringLiteral("text/html"), EditWith::ApplicationFolders());
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
            QMessageBox::warning(self, QStringLiteral("Pelvane"),
                                 QStringLiteral("The page could not be saved for %1:\n%2")
                                     .arg(program.name, result.error));
            return;
        }
        const QStringList command = EditWith::BuildCommand(program, result.fileName);
        if (command.isEmpty())
            return;
        if (!QProcess::startDetached(command.first(), command.mid(1)))
            QMessageBox::warning(self, QStringLiteral("Pelvane"),
                                 QStringLiteral("%1 could not be started.").arg(program.name));
    });
}

void TfrmMain::DropOnTab(int tabIndex, const QString& address)
{
    auto* tab = qobject_cast<TBrowserTab*>(m_pcPage->pageForTabIndex(tabIndex));
    if (!tab || address.isEmpty())
        return;
    // Onto another tab: that tab shows it. Onto the page being read: it is kept, and the
    // link opens beside it.
    if (tab != GetActivePage()) {
        tab->NavigateTo(address);
        return;
    }
    if (TBrowserTab* created = NewTabBackground(false))
        created->OpenAsHome(address);
}
