#pragma once

#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVStatusBar.h"
#include "groups/SorvelGroupCommands.h"
#include "settings/WindowSettings.h"
#include "sidebar/SideBarHost.h"

// What the side bar asks of the window: its favourites and history open in the tab set,
// its page groups go to the group commands, its hints to the status bar, and its options are
// the window's working copies as they are now.
class SideBarTabs final : public SideBarHost
{
public:
    SideBarTabs(TabSet& tabs, SorvelGroupCommands& groups, const WindowSettings& settings,
                TPVStatusBar& status)
        : m_tabs(tabs)
        , m_groups(groups)
        , m_settings(settings)
        , m_status(status)
    {}

    void OpenAddress(const QString& address, bool newTab, bool shiftHeld) override
    {
        m_tabs.OpenAddress(address, newTab, shiftHeld);
    }
    void OpenInNewTab(const QString& address) override
    {
        if (!address.isEmpty())
            m_tabs.NewTab()->OpenAsHome(address);
    }
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark) override
    {
        m_groups.OpenPageGroup(fileName, replaceTabs, startupMark);
    }
    void OrganizePageGroup(const QString& fileName) override
    {
        m_groups.OrganizeSorvelGroup(fileName);
    }
    void SetGroupsChanged() override { m_groups.SetGroupsChanged(); }
    bool SGCloseFirst() const override { return m_settings.sgCloseFirst; }
    NewTabFlags newTabFlags() const override { return m_settings.newTabFlags; }
    bool SBAutoExpand() const override { return m_settings.sbAutoExpand; }
    void SetStatusText(const QString& text) override { m_status.setText(text); }

private:
    TabSet& m_tabs;
    SorvelGroupCommands& m_groups;
    const WindowSettings& m_settings;
    TPVStatusBar& m_status;
};
