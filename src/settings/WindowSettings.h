#pragma once

#include "settings/PVOptions.h"

#include <QList>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <utility>

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

// Who takes a window setting when it changes while the window lives.
enum class SettingOwner
{
    Reader,      // read from the working copy where it is used; nobody is told
    NextStart,   // read at start-up only
    Window,      // the window's own state (placement, bars), read back from it at exit
    Commands,    // the menus' and keyboard's shortcuts
    TabSet,      // tab placement and the tabs' titles
    AddressBand, // the Go button and the completion style
    Tray,        // the tray icon
    Popups,      // pop-up control
    TabSleeper,  // freezing and unloading tabs left in the background
    Engine,      // what the engine offers in every page
};

// When the exit writes a setting.
enum class ExitWrite
{
    Written,     // always
    Unmaximized, // unless the window is maximized; a negative edge is written as 0
    AfterBands,  // always, after the band layout
    NotWritten,  // the options dialog stores it when it changes it
};

// The main window's settings, one row each, in the order the exit writes them: the store's
// value name (whose row in PVOPTIONS_SCALARS gives the type, the default and the rule), how
// the working copy holds it (Own: a member of its name; Part: part of a member; Edge: an
// edge of the window's frame), that member, when the exit writes it and who takes a change.
#define WINDOW_SETTINGS(X)                                                                         \
    X(DisableALTShortcuts, Own, disableAltShortcuts, Written, Commands)                            \
    X(OpenNewInForeground, Own, openNewInForeground, Written, TabSet)                              \
    X(AddressNewWin, Own, addressNewWin, Written, Reader)                                          \
    X(AutoCompleteStyle, Own, autoCompleteStyle, Written, AddressBand)                             \
    X(MinToTray, Own, minToTray, Written, Tray)                                                    \
    X(ShowGo, Own, showGo, Written, AddressBand)                                                   \
    X(SBAutoExpand, Own, sbAutoExpand, Written, Reader)                                            \
    X(Top, Edge, FrameTop, Unmaximized, Window)                                                    \
    X(Height, Edge, FrameHeight, Unmaximized, Window)                                              \
    X(Left, Edge, FrameLeft, Unmaximized, Window)                                                  \
    X(Width, Edge, FrameWidth, Unmaximized, Window)                                                \
    X(Maximized, Own, maximized, Written, Window)                                                  \
    X(OpenNewAtEnd, Own, openNewAtEnd, Written, TabSet)                                            \
    X(SorvelBarWidth, Own, sorvelBarWidth, Written, Reader)                                        \
    X(LimitTitleLength, Own, limitTitleLength, Written, TabSet)                                    \
    X(SearchBar, Own, searchBar, Written, Reader)                                                  \
    X(FullScreen, Own, fullScreen, Written, Window)                                                \
    X(UsePopupSorvel, Own, usePopupSorvel, Written, Popups)                                        \
    X(ViewSorvelBar, Own, viewSorvelBar, AfterBands, Window)                                       \
    X(ViewToolbar, Own, viewToolbar, AfterBands, Window)                                           \
    X(ViewAddressBar, Own, viewAddressBar, AfterBands, Window)                                     \
    X(ViewLinksBar, Own, viewLinksBar, AfterBands, Window)                                         \
    X(ViewStatusBar, Own, viewStatusBar, AfterBands, Window)                                       \
    X(SGCloseFirst, Own, sgCloseFirst, AfterBands, Reader)                                         \
    X(NewAction, Own, newAction, NotWritten, Reader)                                               \
    X(FavoritesNewWin, Part, newTabFlags.favorites, NotWritten, Reader)                            \
    X(HistoryNewWin, Part, newTabFlags.history, NotWritten, Reader)                                \
    X(SearchNewWin, Part, newTabFlags.search, NotWritten, Reader)                                  \
    X(LinksNewWin, Part, newTabFlags.links, NotWritten, Reader)                                    \
    X(MultipleLines, Own, multipleLines, NotWritten, NextStart)                                    \
    X(SearchFromAddressBar, Own, searchFromAddressBar, NotWritten, Reader)                         \
    X(StartupMode, Own, startupMode, NotWritten, NextStart)                                        \
    X(StartupSorvelGroup, Own, startupSorvelGroup, NotWritten, NextStart)                          \
    X(FreezeTabsAfter, Own, freezeTabsAfter, NotWritten, TabSleeper)                              \
    X(UnloadTabsAfter, Own, unloadTabsAfter, NotWritten, TabSleeper)                              \
    X(SpellCheck, Own, spellCheck, NotWritten, Engine)                                             \
    X(SpellCheckLanguage, Own, spellCheckLanguage, NotWritten, Engine)                             \
    X(PdfViewer, Own, pdfViewer, NotWritten, Engine)

// The settings of the window by name, in the table's order.
enum class WindowSetting
{
#define WINDOW_SETTINGS_ID(Name, Copy, Member, Exit, Owner) Name,
    WINDOW_SETTINGS(WINDOW_SETTINGS_ID)
#undef WINDOW_SETTINGS_ID
};

// A member of its own is declared with the store's type and default; parts and edges live in
// the members declared by hand below.
#define WINDOW_SETTINGS_MEMBER_Own(Name, Member)                                                   \
    decltype(std::declval<const TPVOptions&>().Get##Name()) Member = TPVOptions::Defaults::Name();
#define WINDOW_SETTINGS_MEMBER_Part(Name, Member)
#define WINDOW_SETTINGS_MEMBER_Edge(Name, Member)

// The main window's working copies of its settings: read once at creation, changed while
// the window lives (menus, the options dialog) and written back at exit. The options dialog
// edits a copy; the window applies the difference (pushes).
struct WindowSettings
{
#define WINDOW_SETTINGS_DECLARE(Name, Copy, Member, Exit, Owner)                                   \
    WINDOW_SETTINGS_MEMBER_##Copy(Name, Member)
    WINDOW_SETTINGS(WINDOW_SETTINGS_DECLARE)
#undef WINDOW_SETTINGS_DECLARE

    NewTabFlags newTabFlags{
        TPVOptions::Defaults::FavoritesNewWin(), TPVOptions::Defaults::HistoryNewWin(),
        TPVOptions::Defaults::SearchNewWin(), TPVOptions::Defaults::LinksNewWin()};
    // The window's placement as the window last had it.
    QRect frame{TPVOptions::Defaults::Left(), TPVOptions::Defaults::Top(),
                TPVOptions::Defaults::Width(), TPVOptions::Defaults::Height()};
    bool placementStored = false; // false on a first start: the window picks its own size

    friend bool operator==(const WindowSettings&, const WindowSettings&) = default;

    // One row of the table, made into functions.
    struct Row
    {
        WindowSetting id;
        const char* name; // the store's value name
        SettingOwner owner;
        ExitWrite exit;
        void (*read)(const TPVOptions&, WindowSettings&);
        void (*write)(TPVOptions&, const WindowSettings&);
        bool (*differs)(const WindowSettings&, const WindowSettings&);
        QString (*shown)(const WindowSettings&); // the working copy's value, for messages
    };
    static const QList<Row>& rows();
    static const Row& row(WindowSetting id);

    // An owner told of a changed setting.
    struct Push
    {
        SettingOwner owner;
        WindowSetting setting;
        friend bool operator==(const Push&, const Push&) = default;
    };
    // Who is told what when `wanted` replaces `old`: the changed settings that have an owner
    // to tell (not those read where used, at the next start or from the window), in the
    // table's order.
    static QList<Push> pushes(const WindowSettings& old, const WindowSettings& wanted);

    // Where a window without a stored placement opens: about 80% of the screen's free
    // area, centred.
    static QRect firstPlacement(const QRect& available);

    // The longest wait before an unused tab is unloaded, in minutes: a week. A stored value
    // above it (edited by hand) reads as this much.
    static constexpr int MaxUnloadTabsAfter = 7 * 24 * 60;

    // Every working copy from the store (unreadable values give their defaults, as the
    // store's reads do).
    static WindowSettings read(const TPVOptions& options);
    // The exit's writes, in their order: the working copies, the placement (unless
    // maximized), the bars' visibility. `between` runs after "UsePopupSorvel" and before
    // the bars, where the band layout is saved.
    void write(TPVOptions& options, const std::function<void()>& between = {}) const;
};
