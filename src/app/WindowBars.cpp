#include "app/WindowBars.h"

#include "address/AddressBand.h"
#include "app/MainWindow.h"
#include "app/Throbber.h"
#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "bars/ToolbarFile.h"
#include "bars/dialogs/CustomizeToolbar.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "platform/Paths.h"

#include <QAction>

WindowBars::WindowBars(TfrmMain& window, MenuBuilder& menus, const WindowSettings& settings)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
{
    m_tbMenu = new MenuBand(menus, *window.actions(), &window);
    window.action(ActionId::actViewMenuBar)->setVisible(false); // offered in full screen only

    // The logo area at the right end of the menu band.
    m_throbber = new Throbber(m_tbMenu);
    m_throbber->setLoadingQuery([&window] {
        const TBrowserTab* tab = window.GetActivePage();
        return tab && tab->Busy();
    });
    m_tbMenu->addWidget(m_throbber);

    m_tbMain = new MainToolbar(
        *window.actions(), [&window](MenuId id) { return window.menu(id); }, &window);
}

void WindowBars::placeBands()
{
    AddressBand* address = m_window.addressBand();
    BarsControl::Contents contents;
    contents.menuBand = m_tbMenu;
    contents.toolbar = m_tbMain;
    contents.address = address;
    contents.addressLabel = address->label();
    m_bars = new BarsControl(
        *m_window.actions(), contents, [this] { return m_window.FullScreen(); }, &m_window);
    m_window.setMenuWidget(m_bars->coolBar());
    connect(m_window.action(ActionId::actCustomizeToolbar), &QAction::triggered, this,
            &WindowBars::customizeToolbar);
    loadToolbarLayout(false);
}

void WindowBars::showAsSet()
{
    const auto check = [this](ActionId id, bool on) { m_window.action(id)->setChecked(on); };
    check(ActionId::actViewToolbar, m_settings.viewToolbar);
    check(ActionId::actViewAddressBar, m_settings.viewAddressBar);
    check(ActionId::actViewLinksBar, m_settings.viewLinksBar);
    check(ActionId::actViewStatusBar, m_settings.viewStatusBar);
    check(ActionId::actViewSorvelBar, m_settings.viewSorvelBar);
    check(ActionId::actViewMenuBar, true);
    check(ActionId::actForeground, m_settings.openNewInForeground);
    m_bars->ApplyBarVisibility();
    m_window.statusPanel()->setVisible(m_settings.viewStatusBar);
}

QString WindowBars::toolbarFile() const
{
    return ToolbarFile::fileIn(Paths::programFolder());
}

void WindowBars::loadToolbarLayout(bool reset)
{
    m_tbMain->setArrangement(
        ToolbarFile::LoadToolbarLayout(toolbarFile(), m_tbMain->arrangement(), reset));
}

void WindowBars::saveToolbarLayout()
{
    // A file that cannot be written leaves the last one; the toolbar is as the user left it.
    if (Paths::ensurePrivateFolder(Paths::programFolder()))
        ToolbarFile::SaveToolbarLayout(toolbarFile(), m_tbMain->arrangement());
}

void WindowBars::customizeToolbar()
{
    TfrmCustomizeToolbar dialog(m_tbMain->buttonRows(), &m_window);
    dialog.exec();
    switch (dialog.answer()) {
    case TfrmCustomizeToolbar::Answer::Ok:
        m_tbMain->setArrangement(dialog.arrangement());
        break;
    case TfrmCustomizeToolbar::Answer::Reset:
        m_tbMain->setArrangement(ToolbarFile::apply(m_tbMain->arrangement(), {}, true));
        break;
    case TfrmCustomizeToolbar::Answer::Cancel:
        break;
    }
    saveToolbarLayout();
}
