#pragma once

#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "groups/SorvelGroupCommands.h"
#include "sidebar/SideBarHost.h"

#include <QObject>

// What the side bar asks of the window.
class WindowSideBarHost final : public QObject, public SideBarHost
{
public:
    explicit WindowSideBarHost(TfrmMain& window)
        : QObject(&window)
        , m_window(window)
    {}

    void OpenAddress(const QString& address, bool newTab, bool shiftHeld) override
    {
        m_window.OpenAddress(address, newTab, shiftHeld);
    }
    void OpenInNewTab(const QString& address) override
    {
        if (!address.isEmpty())
            m_window.NewTab()->OpenAsHome(address);
    }
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark) override
    {
        m_window.OpenPageGroup(fileName, replaceTabs, startupMark);
    }
    void OrganizePageGroup(const QString& fileName) override
    {
        m_window.groupCommands()->OrganizeSorvelGroup(fileName);
    }
    void SetGroupsChanged() override { m_window.groupCommands()->SetGroupsChanged(); }
    bool SGCloseFirst() const override { return m_window.SGCloseFirst(); }
    NewTabFlags newTabFlags() const override { return m_window.settings().newTabFlags; }
    bool SBAutoExpand() const override { return m_window.settings().sbAutoExpand; }
    void SetStatusText(const QString& text) override { m_window.SetStatusText(text); }

private:
    TfrmMain& m_window;
};
