#include "bars/window/WindowBars.h"

#include "address/AddressBand.h"
#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "bars/Throbber.h"
#include "bars/ToolbarFile.h"
#include "bars/dialogs/CustomizeToolbar.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "platform/Paths.h"
#include "settings/WindowSettings.h"

#include <QAction>
#include <QMainWindow>

#include <utility>

WindowBars::WindowBars(Parts parts)
    : QObject(&parts.window)
    , m_parts(std::move(parts))
{
    QMainWindow* window = &m_parts.window;
    m_tbMenu = new MenuBand(m_parts.menus, m_parts.actions, window);
    m_parts.actions[ActionId::actViewMenuBar]->setVisible(false); // offered in full screen only

    // The logo area at the right end of the menu band.
    m_throbber = new Throbber(m_tbMenu);
    m_throbber->setLoadingQuery([&tabs = m_parts.tabs] {
        const TBrowserTab* tab = tabs.GetActivePage();
        return tab && tab->Busy();
    });
    m_tbMenu->addWidget(m_throbber);

    m_tbMain = new MainToolbar(
        m_parts.actions, [&menus = m_parts.menus](MenuId id) { return menus.menu(id); }, window);
}

void WindowBars::placeBands(AddressBand& address)
{
    BarsControl::Contents contents;
    contents.menuBand = m_tbMenu;
    contents.toolbar = m_tbMain;
    contents.address = &address;
    contents.addressLabel = address.label();
    m_bars = new BarsControl(m_parts.actions, contents, m_parts.fullScreen, &m_parts.window);
    m_parts.window.setMenuWidget(m_bars->coolBar());
    connect(m_parts.actions[ActionId::actCustomizeToolbar], &QAction::triggered, this,
            &WindowBars::customizeToolbar);
    loadToolbarLayout(false);
}

void WindowBars::showAsSet()
{
    const WindowSettings& settings = m_parts.settings;
    const auto check = [this](ActionId id, bool on) { m_parts.actions[id]->setChecked(on); };
    check(ActionId::actViewToolbar, settings.viewToolbar);
    check(ActionId::actViewAddressBar, settings.viewAddressBar);
    check(ActionId::actViewLinksBar, settings.viewLinksBar);
    check(ActionId::actViewStatusBar, settings.viewStatusBar);
    check(ActionId::actViewSorvelBar, settings.viewSorvelBar);
    check(ActionId::actViewMenuBar, true);
    check(ActionId::actForeground, settings.openNewInForeground);
    m_bars->ApplyBarVisibility();
    m_parts.statusBar.setVisible(settings.viewStatusBar);
}

QString WindowBars::toolbarFile()
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
    TfrmCustomizeToolbar dialog(m_tbMain->buttonRows(), &m_parts.window);
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
