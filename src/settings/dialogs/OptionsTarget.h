#pragma once

#include "browser/strip/TabColors.h"

#include <QtGlobal>

// Where favorites, history entries, search results and links bar links open: true for a
// new tab.
struct NewTabFlags
{
    bool favorites = true;
    bool history = true;
    bool search = true;
    bool links = true;
    friend bool operator==(const NewTabFlags&, const NewTabFlags&) = default;
};

// The running main window as the options dialog sees it. Some settings live in the window
// as working copies that are written back only when it closes; the dialog shows those
// rather than the stored values, and OK hands every change that takes effect at once
// through here.
class OptionsTarget
{
public:
    virtual ~OptionsTarget() = default;

    // The system browser is version 4: its history completion is not offered.
    virtual bool IE4Mode() const = 0;
    // Whether the desktop has a tray to minimize to, and whether the tray icon is in use.
    virtual bool TrayAvailable() const = 0;
    virtual bool MinToTray() const = 0;
    virtual bool SBAutoExpand() const = 0;
    virtual bool OpenNewInForeground() const = 0;
    virtual bool SGCloseFirst() const = 0;
    virtual bool OpenNewAtEnd() const = 0;
    virtual bool AddressNewWin() const = 0;

    virtual void SetDisableALTShortcuts(bool on) = 0;
    virtual void SetNewAction(int action) = 0;
    // Answers the style in force afterwards, which may differ from the one asked for.
    virtual int SetAutoCompleteStyle(int style) = 0;
    virtual void SetInactiveTabColors(TabColors::TabColorPair colors) = 0;
    virtual void SetSGCloseFirst(bool on) = 0;
    virtual void SetOpenNewAtEnd(bool on) = 0;
    virtual void SetAddressNewWin(bool on) = 0;
    virtual void SetSBAutoExpand(bool on) = 0;
    virtual void SetMinToTray(bool on) = 0;
    virtual void SetNewTabFlags(const NewTabFlags& flags) = 0;
    virtual void SetShowGo(bool show) = 0;
    virtual void SetUsePopupSorvel(bool on) = 0;
    virtual void SetOpenNewInForeground(bool on) = 0;
    // Re-captions every tab.
    virtual void SetLimitTitleLength(int limit) = 0;

protected:
    OptionsTarget() = default;
    Q_DISABLE_COPY_MOVE(OptionsTarget)
};
