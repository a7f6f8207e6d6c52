#pragma once

#include "platform/web/WebBackend.h"

#include <QString>

#include <optional>

class QPageLayout;
class RegistryHive;
class TBrowserTab;

// What a browser tab needs of the tab set it belongs to: its engine, the strip around it and
// pop-up control. TabSet implements it; tests implement it with a recording fake. What the
// tab reports of its page for the window's bars goes out as the tab's signals instead. All
// calls come on the user-interface thread.
class BrowserTabHost
{
public:
    // --- What the tab asks ---------------------------------------------------------------
    // The engine for a new tab's browser; null leaves the tab without a browser.
    virtual WebBackend* createWebBackend() = 0;
    // The settings the browsers read (start and search page); may be null.
    virtual RegistryHive* hive() = 0;
    // The page layout that page setup edits and printing uses, kept for the window's life
    // (null: each browser keeps its own).
    virtual QPageLayout* pageLayout() = 0;
    // Where copies of the tabs' pages handed to other programs go; empty: the program's own
    // folder for them.
    virtual QString pageCopiesFolder() const { return {}; }
    // Whether `tab` is the strip's active page.
    virtual bool isActiveTab(const TBrowserTab* tab) const = 0;
    // The sticky name the user enters for a tab; nothing when cancelled.
    virtual std::optional<QString> askStickyName() = 0;
    // The main window is shown: focusing a page makes sense.
    virtual bool WindowShown() const = 0;

    // --- Tabs ----------------------------------------------------------------------------
    // A new tab placed after the active one, the active tab kept unless the window's
    // placement rule says otherwise; hidden: the tab joins the strip without a visible tab
    // (a new window not yet classified). May return null.
    virtual TBrowserTab* NewTabBackground(bool hidden) = 0;
    // Whether a new window's first address is on the pop-up list (may tell the user).
    virtual bool IsPopupBlocked(const QString& url) = 0;
    // Whether content blocking refuses a new window at `url` that the page at `openerUrl`
    // opened (a rule written for pop-ups); `opener` names the opener's browser to the
    // blocker, which counts the refusal on its page. Asked before the pop-up list.
    virtual bool popupFiltered(const QString& url, const QString& openerUrl, const void* opener)
    {
        Q_UNUSED(url);
        Q_UNUSED(openerUrl);
        Q_UNUSED(opener);
        return false;
    }
    // The add command of a tab: `address` goes on the pop-up list (empty: nothing to add).
    virtual void recordPopupAddress(const QString& address) = 0;
    // A blocked new window's tab is waiting: destroy the hidden tabs shortly.
    virtual void ScheduleCloseHiddenTabs() = 0;
    // `opener`'s page asked for more new windows than may wait at once, and the rest are
    // refused. Called once per page of the opener.
    virtual void PopupsRefused(TBrowserTab* opener) { Q_UNUSED(opener); }
    // A page is about to open one more window: whether the window's budget of windows that
    // pages open without the user asking has room for it (then it is taken). When it has
    // not, the user is told once until the next input.
    virtual bool takeUnaskedWindow() { return true; }
    // The user pressed a key or a mouse button in a tab (its page included).
    virtual void noteUserInput() {}
    // Whether new tabs open in the foreground (a new window's tab asked for meanwhile comes
    // to the front once it is let through).
    virtual bool OpenNewInForeground() const { return false; }
    // A new window's tab, asked for while new tabs opened in the foreground, was let
    // through: make it the active tab. It may be in the middle of one of its own handlers.
    virtual void BringPopupToFront(TBrowserTab* tab) { Q_UNUSED(tab); }

    // --- The strip -----------------------------------------------------------------------
    virtual int pageCount() const = 0;
    virtual int pageIndexOf(const TBrowserTab* tab) const = 0;
    // Makes the page after (forward) or before `tab` active, wrapping round as the strip does.
    virtual void selectNextPage(const TBrowserTab* tab, bool forward) = 0;
    // Takes `tab` out of the strip and destroys it once control is back in the event loop
    // (the tab may be in the middle of one of its own handlers).
    virtual void destroyTab(TBrowserTab* tab) = 0;
    // How many tabs the strip shows (windows still waiting hidden are pages, not tabs).
    virtual int tabCount() const = 0;
    // Closes the windows still waiting hidden, at once.
    virtual void CloseHiddenTabs() = 0;

protected:
    ~BrowserTabHost() = default;
};
