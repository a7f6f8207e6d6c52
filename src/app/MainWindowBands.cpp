// The bands at the top of the window, their visibility, and the toolbar's customization.
#include "app/MainWindow.h"

#include "bars/BandPanel.h"
#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "bars/ToolbarFile.h"
#include "bars/dialogs/CustomizeToolbar.h"
#include "address/AddressBand.h"
#include "commands/MainActions.h"
#include "platform/Paths.h"

#include <QAction>
#include <QLabel>

void TfrmMain::buildBands(QLabel* addressLabel)
{
    BarsControl::Contents contents;
    contents.menuBand = m_tbMenu;
    contents.toolbar = m_tbMain;
    contents.address = m_addressBand;
    contents.addressLabel = addressLabel;
    m_bars = new BarsControl(*m_actions, contents, [this] { return FullScreen(); }, this);
    m_pnlAddress = m_bars->panel(BarsControl::Band::Address);
    setMenuWidget(m_bars->coolBar());
    connect(action(ActionId::actCustomizeToolbar), &QAction::triggered, this,
            &TfrmMain::CustomizeToolbar);
    LoadToolbarLayout(false);
}

void TfrmMain::ApplyBarVisibility()
{
    m_bars->ApplyBarVisibility();
}

void TfrmMain::setLinksWidget(QWidget* links, QMenu* linksMenu)
{
    m_bars->setLinksWidget(links, linksMenu);
}

QString TfrmMain::toolbarFile() const
{
    return ToolbarFile::fileIn(Paths::programFolder());
}

void TfrmMain::LoadToolbarLayout(bool reset)
{
    m_tbMain->setArrangement(
        ToolbarFile::LoadToolbarLayout(toolbarFile(), m_tbMain->arrangement(), reset));
}

void TfrmMain::SaveToolbarLayout()
{
    // A file that cannot be written leaves the last one; the toolbar is as the user left it.
    if (Paths::ensurePrivateFolder(Paths::programFolder()))
        ToolbarFile::SaveToolbarLayout(toolbarFile(), m_tbMain->arrangement());
}

void TfrmMain::CustomizeToolbar()
{
    TfrmCustomizeToolbar dialog(m_tbMain->buttonRows(), this);
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
    SaveToolbarLayout();
}
