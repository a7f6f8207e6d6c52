#pragma once

#include <QRect>
#include <QString>

#include <functional>

class TPVOptions;

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

// The main window's working copies of its settings: read once at creation, changed while
// the window lives (menus, the options dialog) and written back at exit. The options dialog
// edits a copy; the window applies the difference.
struct WindowSettings
{
    bool disableAltShortcuts = false;
    bool openNewInForeground = false;
    bool addressNewWin = false;
    int autoCompleteStyle = 2; // TPVOptions::StyleIE5
    bool minToTray = false;
    bool showGo = false;
    bool sbAutoExpand = true;
    bool openNewAtEnd = false;
    int sorvelBarWidth = 234;
    int limitTitleLength = 35;
    QString searchBar;
    bool usePopupSorvel = true;
    bool sgCloseFirst = false;
    int newAction = 0; // 0 blank, 1 the current address, 2 home
    NewTabFlags newTabFlags;
    bool multipleLines = false;
    bool searchFromAddressBar = true; // words typed in the address box are searched for
    QString startupMode;
    QString startupSorvelGroup;

    // The window's placement and bars, as the window last had them.
    bool maximized = false;
    QRect frame{10, 10, 638, 478};
    bool placementStored = false; // false on a first start: the window picks its own size
    bool fullScreen = false;
    bool viewSorvelBar = false;
    bool viewToolbar = true;
    bool viewAddressBar = true;
    bool viewLinksBar = true;
    bool viewStatusBar = true;

    friend bool operator==(const WindowSettings&, const WindowSettings&) = default;

    // Where a window without a stored placement opens: about 80% of the screen's free
    // area, centred.
    static QRect firstPlacement(const QRect& available);

    // Every working copy from the store (unreadable values give their defaults, as the
    // store's reads do).
    static WindowSettings read(const TPVOptions& options);
    // The exit's writes, in their order: the working copies, the placement (unless
    // maximized), the bars' visibility. `between` runs after "UsePopupSorvel" and before
    // the bars, where the band layout is saved.
    void write(TPVOptions& options, const std::function<void()>& between = {}) const;
};
