// The options dialog as the main window opens it, and the settings that take effect in the
// running window at once.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "app/PGTrayIcon.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "settings/dialogs/Options.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

// The dialog's view of the window.
class MainWindowOptionsTarget final : public OptionsTarget
{
public:
    MainWindowOptionsTarget(TfrmMain& window, bool trayAvailable)
        : m_window(window)
        , m_trayAvailable(trayAvailable)
    {}

    bool IE4Mode() const override { return m_window.IE4Mode(); }
    bool TrayAvailable() const override { return m_trayAvailable; }
    bool MinToTray() const override { return m_window.MinToTray(); }
    bool SBAutoExpand() const override { return m_window.SBAutoExpand(); }
    bool OpenNewInForeground() const override { return m_window.OpenNewInForeground(); }
    bool SGCloseFirst() const override { return m_window.SGCloseFirst(); }
    bool OpenNewAtEnd() const override { return m_window.OpenNewAtEnd(); }
    bool AddressNewWin() const override { return m_window.AddressNewWin(); }

    void SetDisableALTShortcuts(bool on) override { m_window.SetDisableALTShortcuts(on); }
    void SetNewAction(int action) override { m_window.SetNewAction(action); }
    int SetAutoCompleteStyle(int style) override
    {
        m_window.SetAutoCompleteStyle(style);
        return m_window.AutoCompleteStyle();
    }
    void SetInactiveTabColors(TabColors::TabColorPair colors) override
    {
        m_window.SetInactiveTabColors(colors);
    }
    void SetSGCloseFirst(bool on) override { m_window.SetSGCloseFirst(on); }
    void SetOpenNewAtEnd(bool on) override { m_window.SetOpenNewAtEnd(on); }
    void SetAddressNewWin(bool on) override { m_window.SetAddressNewWin(on); }
    void SetSBAutoExpand(bool on) override { m_window.SetSBAutoExpand(on); }
    void SetMinToTray(bool on) override { m_window.SetMinToTray(on); }
    void SetNewTabFlags(const NewTabFlags& flags) override { m_window.SetNewTabFlags(flags); }
    void SetShowGo(bool show) override { m_window.SetShowGo(show); }
    void SetUsePopupSorvel(bool on) override { m_window.SetUsePopupSorvel(on); }
    void SetOpenNewInForeground(bool on) override { m_window.SetOpenNewInForeground(on); }
    void SetLimitTitleLength(int limit) override { m_window.SetLimitTitleLength(limit); }

private:
    TfrmMain& m_window;
    const bool m_trayAvailable;
};

} // namespace

void TfrmMain::connectOptions()
{
    connect(m_actions->get("actOptions"), &QAction::triggered, this, &TfrmMain::ShowOptions);
}

void TfrmMain::ShowOptions()
{
    {
        const bool trayAvailable =
            m_start.trayAvailable ? m_start.trayAvailable() : TPGTrayIcon::TrayAvailable();
        MainWindowOptionsTarget target(*this, trayAvailable);
        TfrmOptions dialog(target, this);
        dialog.setFont(font());
        dialog.exec();
    }
    // Whatever the answer: another copy may have changed them meanwhile.
    LoadAddressCompletion();
    ReloadPopupList();
}

void TfrmMain::SetShowGo(bool show)
{
    m_showGo = show;
    m_spdGo->setVisible(show);
}

void TfrmMain::SetLimitTitleLength(int limit)
{
    m_limitTitleLength = limit;
    forEachTab([](TBrowserTab* tab) { tab->SetTitle(tab->GetTitle()); });
}

void TfrmMain::SetInactiveTabColors(TabColors::TabColorPair colors)
{
    m_pcPage->SetInactiveTabColor(colors.tab);
    m_pcPage->SetInactiveFontColor(colors.font);
}

void TfrmMain::SetOpenNewInForeground(bool on)
{
    m_openNewInForeground = on;
    m_actions->get("actForeground")->setChecked(on);
}

void TfrmMain::SetOpenNewAtEnd(bool on)
{
    m_openNewAtEnd = on;
    // While a group opens, its tabs keep going to the end; the rule returns afterwards.
    if (!m_groupOpening)
        m_placeAtEnd = on;
}

void TfrmMain::SetDisableALTShortcuts(bool on)
{
    m_disableAltShortcuts = on;
}

void TfrmMain::SetNewAction(int action)
{
    m_newAction = qBound(0, action, 2);
}

void TfrmMain::SetSGCloseFirst(bool on)
{
    m_sgCloseFirst = on;
}

void TfrmMain::SetAddressNewWin(bool on)
{
    m_addressNewWin = on;
}

void TfrmMain::SetSBAutoExpand(bool on)
{
    m_sbAutoExpand = on;
}

void TfrmMain::SetMinToTray(bool on)
{
    m_minToTray = on;
    syncTray();
}

NewTabFlags TfrmMain::newTabFlags() const
{
    return {m_favoritesNewWin, m_historyNewWin, m_searchNewWin, m_linksNewWin};
}

void TfrmMain::SetNewTabFlags(const NewTabFlags& flags)
{
    m_favoritesNewWin = flags.favorites;
    m_historyNewWin = flags.history;
    m_searchNewWin = flags.search;
    m_linksNewWin = flags.links;
}
