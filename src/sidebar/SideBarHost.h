#pragma once

#include "settings/WindowSettings.h"

#include <QString>

#include <optional>

// What the side bar needs of the main window.
class SideBarHost
{
public:
    // Opens an address where the pane's setting says: a new tab when `newTab`, inverted
    // when `shiftHeld`.
    virtual void OpenAddress(const QString& address, bool newTab, bool shiftHeld) = 0;
    // Opens an address in a new tab whatever the settings say.
    virtual void OpenInNewTab(const QString& address) = 0;
    virtual void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark) = 0;
    virtual void OrganizePageGroup(const QString& fileName) = 0;
    // The page-group menu must be built again before it next opens.
    virtual void SetGroupsChanged() = 0;
    virtual bool SGCloseFirst() const = 0;
    virtual NewTabFlags newTabFlags() const = 0;
    virtual bool SBAutoExpand() const = 0;
    virtual void SetStatusText(const QString& text) = 0;

protected:
    ~SideBarHost() = default;
};

// The side bar's questions to the user; tests answer them by script. The texts are shown as
// they are, never as markup: they carry names of files and pages.
class SideBarQuestions
{
public:
    virtual ~SideBarQuestions() = default;
    // Yes (true) or No.
    virtual bool confirm(const QString& title, const QString& text) = 0;
    // The text entered; nothing when cancelled.
    virtual std::optional<QString> askText(const QString& title, const QString& prompt,
                                           const QString& proposed) = 0;
    virtual void tell(const QString& text) = 0;
};
