#pragma once

#include "browser/BrowserTabHost.h"
#include "settings/SiteZoom.h"

#include <QJsonArray>
#include <QObject>
#include <QPageLayout>
#include <QPointer>

#include <functional>

class EngineServices;
class PopupControl;
class QMenu;
class TPVPageControl;

// The window's tabs: it makes them, places them in the strip, keeps one active, closes them,
// and is the host every tab talks to. Of the tabs' reports it passes on only those of the
// tab in front, through one filter (relay), as its own signals; the window connects them to
// its bars.
class TabSet final : public QObject, public BrowserTabHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabSet)

public:
    // What the tabs need from outside the strip.
    struct Services
    {
        EngineServices& engine;
        RegistryHive& hive;
        PopupControl& popups;
        // A tab's sticky name from the user; nothing when cancelled.
        std::function<std::optional<QString>()> askStickyName;
    };

    // The tabs live in `strip`, which the window places; the set follows its changes of
    // active page.
    TabSet(TPVPageControl& strip, Services services, QObject* parent = nullptr);

    TPVPageControl& strip() const { return m_strip; }

    // --- The tabs -----------------------------------------------------------------------
    TBrowserTab* GetActivePage() const;
    QList<TBrowserTab*> tabs() const; // strip order, hidden tabs included
    // A new tab, made the active one, placed by the rule in force.
    TBrowserTab* NewTab();
    // A new tab placed after the active one, the active tab kept unless new tabs open in
    // the foreground; hidden: a new window not yet classified. May return null.
    TBrowserTab* NewTabBackground(bool hidden) override;
    // Opens an address for any part of the program: a new tab when `newTab` (inverted while
    // Shift is held), an idle blank tab reused.
    void OpenAddress(const QString& address, bool newTab, bool shiftHeld);
    // Makes `tab` the active one (the Tabs menu, a dropped link).
    void activate(TBrowserTab* tab);
    // The Tabs menu's item for a tab (TabListing) was chosen.
    void MakeMeActiveTab(QObject* sender);
    // While held, the strip's change of active page is not handled (tabs made in a row);
    // letting go handles the page then active.
    void holdTabChange(bool held);
    // Runs `open` with new tabs placed at the end, as at start and in page groups.
    void openAtEnd(const std::function<void()>& open);
    // Runs `open` with new tabs opening in the foreground, whatever the setting says.
    void openInFront(const std::function<void()>& open);

    // --- Closing ------------------------------------------------------------------------
    // Close on one of the set's tabs (one tab always remains: the only one is reset).
    void closePage(TBrowserTab* tab);
    // Destroys every tab whose tab is hidden, from the last to the first.
    void CloseHiddenTabs() override;

    // --- Listing ------------------------------------------------------------------------
    // The tab set as the command-line tool prints it, one object per tab in strip order.
    QJsonArray describeTabs() const;
    // The Tabs menu, made anew from the tabs (the hidden ones are swept first).
    void fillTabsMenu(QMenu* menu);

    // --- Settings the set applies -------------------------------------------------------
    void setLimitTitleLength(int length); // captions follow at once
    void setOpenNewInForeground(bool on);
    bool OpenNewInForeground() const override { return m_openNewInForeground; }
    // Where new tabs go: after the active one, or (on) at the end. Page groups and the
    // start place theirs at the end whatever this says.
    void setOpenNewAtEnd(bool on) { m_openNewAtEnd = on; }
    void setWindowShown(bool shown) { m_windowShown = shown; }

    // --- BrowserTabHost -----------------------------------------------------------------
    WebBackend* createWebBackend() override;
    RegistryHive* hive() override;
    QPageLayout* pageLayout() override { return &m_pageLayout; }
    QString pageCopiesFolder() const override;
    bool isActiveTab(const TBrowserTab* tab) const override;
    std::optional<QString> askStickyName() override;
    bool WindowShown() const override { return m_windowShown; }
    bool IsPopupBlocked(const QString& url) override;
    bool popupFiltered(const QString& url, const QString& openerUrl, const void* opener) override;
    void recordPopupAddress(const QString& address) override;
    void ScheduleCloseHiddenTabs() override;
    void PopupsRefused(TBrowserTab* opener) override;
    bool takeUnaskedWindow() override;
    void noteUserInput() override;
    void BringPopupToFront(TBrowserTab* tab) override;
    int pageCount() const override;
    int tabCount() const override;
    int pageIndexOf(const TBrowserTab* tab) const override;
    void selectNextPage(const TBrowserTab* tab, bool forward) override;
    void destroyTab(TBrowserTab* tab) override;

Q_SIGNALS:
    // The active tab changed and the set has handled it (the tab woken, seen, focused).
    void activeTabChanged(TBrowserTab* tab);
    // The set changed in a way the session keeps.
    void changed();
    // A tab's page asked to be added to the Favorites.
    void addToFavoritesRequested(const QString& address, const QString& title);

    // The reports of the tab in front (see TBrowserTab), and the set's own status texts.
    void statusText(const QString& text);
    void progress(int progress, int maximum);
    void progressEnded();
    void busy(bool busy);
    void indicatorsChanged();
    void backForwardChanged();
    void addressShown(const QString& url);
    void addressTyped(const QString& url);

private:
    TBrowserTab* createTab(bool hidden);
    void placeNewTab(TBrowserTab* tab, TBrowserTab* previous);
    void syncAppearance(TBrowserTab* tab);
    void onTabChange();
    // Connects what `tab` reports to the set's signals of the same meaning, passed on only
    // while `tab` is the active one.
    void relay(TBrowserTab* tab);

    TPVPageControl& m_strip;
    Services m_services;
    SiteZoom m_zoom{m_services.hive};
    QPageLayout m_pageLayout; // page setup's, for the set's life
    QPointer<TBrowserTab> m_lastActive;
    int m_limitTitleLength = 0;
    int m_atEndHeld = 0;        // openAtEnd calls running
    bool m_openNewAtEnd = true; // at the end until the start pages are open
    bool m_openNewInForeground = false;
    bool m_windowShown = false;
    bool m_suspendTabChange = false;
};
