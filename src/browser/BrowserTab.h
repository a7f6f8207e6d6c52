#pragma once

#include "browser/SorvelBrowser.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class BrowserTabHost;
class QFrame;

// One page of the main window's tab strip: owns a browser, turns its events into the tab's
// caption, hint and state icon and into reports (signals) for the window's bars, and offers one
// operation per browser command. It also carries the per-tab settings (sticky name, lock,
// home address, exemption from Close All).
//
// The tab knows the main window and the strip only through BrowserTabHost. What the strip
// draws for the tab (Caption, Hint, ImageIndex, TabVisible) are properties of the tab; any
// change of them emits appearanceChanged().
class TBrowserTab final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBrowserTab)

public:
    // The state icons (indexes into the strip's tab images).
    enum StateIcon
    {
        iconNone = -1,
        iconStarted = 0,  // red: a navigation cycle started
        iconFinished = 1, // green: finished while the tab was in the background
        iconArrived = 2,  // yellow: the first document arrived, still loading
        iconLocked = 3,   // padlock
    };

    // The strip adds the tab and makes it active; hidden: a new window's tab, kept out of
    // sight until its first address is classified. The tab loads "about:blank" unless it is
    // told where to go before control returns to the event loop (a hidden tab at once: the
    // engine gives it its page).
    TBrowserTab(BrowserTabHost* host, bool hidden, QWidget* parent = nullptr);
    ~TBrowserTab() override;

    // The caption for a page title under a title-length limit (0: none). Titles over 50
    // characters are cut to 50 unless a limit is set and exceeded; "about:blank" is "Blank".
    static QString CaptionFromTitle(const QString& title, int limitTitleLength);

    TSorvelBrowser* Browser() const { return m_browser; }
    QFrame* Frame() const { return m_frame; }

    // --- What the strip shows ------------------------------------------------------------
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QString Hint() const { return m_hint; } // the full page title
    void setHint(const QString& hint);
    int ImageIndex() const { return m_imageIndex; }
    bool TabVisible() const { return m_tabVisible; }
    void setTabVisible(bool visible);

    // --- Fields --------------------------------------------------------------------------
    QString HomeUrl() const { return m_homeUrl; }
    void setHomeUrl(const QString& url) { m_homeUrl = url; }
    QString StickyName() const { return m_stickyName; }
    QString PopupUrl() const { return m_popupUrl; }
    bool Locked() const { return m_locked; }
    bool LockWhenLoaded() const { return m_lockWhenLoaded; }
    void setLockWhenLoaded(bool on) { m_lockWhenLoaded = on; }
    bool CanGoBack() const { return m_canGoBack; }
    bool CanGoForward() const { return m_canGoForward; }
    bool PendingPopup() const { return m_pendingPopup; }
    bool PopupBlocked() const { return m_popupBlocked; }
    bool Secure() const { return m_secure; }
    bool InsecureSeen() const { return m_insecureSeen; }
    bool Viewed() const { return m_viewed; }
    bool HideFromCloseAll() const { return m_hideFromCloseAll; }
    void setHideFromCloseAll(bool on);
    // Busy from the moment a load is asked, before the engine takes it up.
    bool Busy() const { return m_busy || m_loadAsked; }
    WebFrame CycleFrame() const { return m_cycleFrame; } // 0 while no cycle runs
    bool FocusOnLoad() const { return m_focusOnLoad; }
    void setFocusOnLoad(bool on) { m_focusOnLoad = on; }
    bool StartupMark() const { return m_startupMark; }

    // --- Waiting tabs --------------------------------------------------------------------
    // The tab shows `address` and `caption` in the strip, the menus and the listing, but
    // loads nothing until Wake (the window wakes a tab when it is first shown). Any
    // navigation of the tab ends the wait too.
    // `scroll`: where the page was scrolled to, put back once it has loaded.
    void Wait(const QString& address, const QString& caption, QPointF scroll = {});
    bool Waiting() const { return m_waiting; }
    void Wake();
    // Where the page is scrolled to (a waiting tab: where it will be), when the engine says.
    QPointF ScrollPosition() const;

    // --- Operations ----------------------------------------------------------------------
    void OpenAsHome(const QString& url);
    void NavigateTo(const QString& url);
    void NavigateBlank();
    // A new tab whose address is chosen later than usual (the window's first tab, whose
    // start pages wait for the window to be drawn): its blank page is held back until
    // released, and loads then only if no address came in the meantime.
    void holdBlankPage() { m_blankHeld = true; }
    void releaseBlankPage();
    void GoTabHome();
    void GoHome();
    void GoSearch();
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh(); // complete when Ctrl is held down
    void Refresh(bool completely);
    QString GetAddress() const;
    QString GetTitle() const;
    void SetTitle(const QString& title);
    // The longest caption in characters (0: no limit), as the tab set's setting has it; the
    // caption follows at once.
    void setTitleLimit(int limitTitleLength);
    void SetStickyName(const QString& name);
    void PromptStickyName();
    void SetLocked(bool locked);
    void SetViewed(bool viewed);
    void SetStateIcon(int state);
    void SetStartupMark(bool mark) { m_startupMark = mark; }
    bool IsActive() const;
    void FocusBrowser();
    void CloseTab();
    // Back to a blank tab, as closing the only tab leaves it: unlocked, without sticky name
    // or home address, kept in Close All no more, and nothing left of a lock waiting for a
    // load or of the window it was opened as. Close All keeps the home address.
    void resetToBlank(bool keepHomeAddress = false);
    void FollowNextLink();
    // Puts the address this tab's window was opened with (or, lacking one, the address it
    // shows) on the pop-up list, without its query, and closes the tab. The caller reloads
    // the window's copy of the list. A failed write leaves list and tab as they were.
    void AddToPopupList();
    // New windows of this tab's page still hidden: not yet classified or waiting to be
    // swept, plus those being made right now.
    int WaitingPopups() const;
    // New windows this tab's page opened since the user last pressed a key or a mouse
    // button in the tab.
    int PopupsSinceUserInput() const { return m_popupsSinceInput; }
    // The user pressed a key or a mouse button in this tab (its page included): the page
    // may open windows again.
    // `typed`: a key, which in a page most likely goes into a form.
    void NoteUserInput(bool typed = false);
    // When the tab was last shown or used (ms of a steady clock), and whether its page has
    // been typed into since it loaded: what freezing and discarding weigh (TabSleeper).
    qint64 LastUsedMs() const { return m_lastUsedMs; }
    void noteUsed();
    bool TypedSinceLoad() const { return m_typedSinceLoad; }

    // The browser commands of the same names.
    void SelectAll();
    void Copy();
    void Cut();
    void Paste();
    void PageSetup();
    void SaveAs();
    void Print();
    void ShowProperties();
    void Find();
    void ViewSource();
    void InternetOptions();
    void AddToFavorites();
    int GetFontSize() const; // 2 without browser
    void SetFontSize(int size);
    // The page in a new temporary ".htm" file; without browser `done` gets an empty name.
    void SaveToTempFile(TSorvelBrowser::SaveDone done);
    // The page saved for a mail (TSorvelBrowser::SaveForMail); likewise without browser.
    void SaveForMail(TSorvelBrowser::SaveDone done);
    // (TranslateAccel is absent for the reason given in TSorvelBrowser.)

Q_SIGNALS:
    void appearanceChanged();
    // What a session keeps of the tab changed: its address, caption, hint or visibility,
    // its lock or its Close All exemption. Not the loading picture, which changes at every
    // load.
    void stateChanged();

    // What the tab reports of its page for the window's bars. It reports whether it is in
    // front or not: the tab set passes on only the active tab's reports.
    void statusTextChanged(const QString& text);
    void progressChanged(int progress, int maximum);
    void progressEnded(); // the load reported its progress as complete
    void busyChanged(bool busy);
    void indicatorsChanged(); // the secure icon and the busy animation
    void backForwardChanged(); // CanGoBack or CanGoForward may have changed
    void addressShown(const QString& url);
    void addressTyped(const QString& url); // a top-level load begins: the typed list's

private:
    void assignHandlers();
    void noPageToSave(TSorvelBrowser::SaveDone done);
    void clearHandlers();
    void setImageIndex(int index);

    // The browser's events.
    void onBeforeNavigate2(WebFrame frame, const QString& url, bool& cancel);
    // Whether the tab lets the engine go to `url` (`cancel` set when not).
    void decideNavigation(WebFrame frame, const QString& url, bool& cancel);
    void onNewWindow2(TWebBrowser*& newBrowser, bool& cancel);
    void onNavigateComplete2(WebFrame frame, const QString& url);
    void onDocumentComplete(WebFrame frame, const QString& url);
    void onTitleChange(const QString& text);
    void onStatusTextChange(const QString& text);
    void onProgressChange(int progress, int maximum);
    void onCommandStateChange(int command, bool enabled);
    void onDownloadBegin();
    void onDownloadComplete();
    void onWindowClosing();

    // The first real address of a tab made for a new window decides whether it is shown.
    // Returns whether the navigation goes on as any other (false: it was the tab's own
    // blank start page, or the window was blocked and the navigation cancelled).
    bool ClassifyPendingPopup(const QString& url, bool& cancel);
    // Decides the pending window by `address`: a blocked one stays hidden until the
    // sweep. Returns whether it may be shown (false too when the tab went meanwhile).
    // `ownAddress`: the window's own first address (content blocking may refuse it too),
    // not its opener's that a written window goes by.
    bool PopupAllowed(const QString& address, bool ownAddress = true);
    // A window let through by its opener's address goes to `url` of its own: false, and the
    // tab hidden for the sweep, when the pop-up list blocks that address.
    bool OwnAddressAllowed(const QString& url);
    void ShowPopup();
    // A pending window's blank page got content (a title, or anything its opener wrote):
    // decided by its opener's address, and shown once a copy of it has loaded.
    void ClassifyWrittenPopup();
    void WrittenCopyLoaded();
    // Asks a pending window's blank page whether it was written into, again while it waits.
    void LookForWrittenContent();
    // Whether a navigation would take the tab away from the page it shows (a locked tab
    // opens such a navigation in a new tab).
    bool leavesPage(WebFrame frame, const QString& url) const;
    // A locked tab keeps its page: the navigation opens in a new tab instead.
    void RedirectFromLockedTab(const QString& url, bool& cancel);
    bool isTopFrame(WebFrame frame) const;
    // Whether this page may have one more new window now, within its own bound and the
    // window's (which it then takes from); tells the host once per page when its own
    // bound refuses.
    bool mayOpenWindow();
    void destroyBrowser();
    // The tab is told where to go: its pending blank page and its wait are over.
    void navigationChosen();
    // The program asks the engine to go to `url`.
    void loadAsked(const QString& url);
    void restoreScroll();

    BrowserTabHost* const m_host;
    QFrame* m_frame = nullptr;
    TSorvelBrowser* m_browser = nullptr;

    QString m_caption;
    QString m_hint;
    int m_imageIndex = iconNone;
    int m_titleLimit = 0; // the tab set's LimitTitleLength
    bool m_tabVisible = true;

    QString m_homeUrl;
    QString m_stickyName;
    QString m_popupUrl;
    QString m_openerUrl;         // of the page that opened this tab's window, when one did
    const void* m_openerSource = nullptr; // its browser as the blocker names it; only compared
    bool m_openedByPage = false; // a page's script opened this tab's window: it may close it
    WebFrame m_cycleFrame = 0;
    bool m_locked = false;
    bool m_lockWhenLoaded = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    bool m_pendingPopup = false;
    bool m_popupBlocked = false; // judged and refused; never while still pending
    bool m_secure = false;
    bool m_insecureSeen = false;
    bool m_viewed = false;
    bool m_hideFromCloseAll = false;
    bool m_busy = false;
    // A load asked of the engine that it has not yet begun (a group's tabs, the tab shown at
    // start-up): the tab is busy, and on its way to m_goingTo until the page is there.
    bool m_loadAsked = false;
    bool m_focusOnLoad = false;
    bool m_startupMark = false;
    bool m_blankPending = false; // "about:blank" follows unless another address comes first
    bool m_blankHeld = false;    // ...but not before releaseBlankPage()
    bool m_waiting = false;
    bool m_typedSinceLoad = false;
    qint64 m_lastUsedMs = 0;
    QString m_waitingAddress; // while waiting; afterwards, until its page has arrived
    QString m_goingTo;        // a load asked by the program, until its page has arrived
    QPointF m_scroll;         // to put back when the page has loaded

    // The windows this tab's page opened that may still be hidden, and those being made.
    QList<QPointer<TBrowserTab>> m_popups;
    int m_popupsBeingMade = 0;
    int m_popupsSinceInput = 0;
    bool m_popupToFront = false;       // asked for while new tabs opened in the foreground
    bool m_popupsRefusedTold = false;  // for the page shown now
    bool m_lookingForContent = false;  // a pending window's page is being asked
    bool m_writtenCopyPending = false; // a written window's page is loading again
    // A window let through by its opener's address: its first address of its own is still
    // to be held against the pop-up list (a window that says "Loading..." and then goes).
    bool m_checkOwnAddress = false;
};
