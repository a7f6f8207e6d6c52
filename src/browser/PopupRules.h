#pragma once

#include <QString>
#include <QStringList>

// The decisions of pop-up control, apart from any window or tab: whether a new window's
// first address is on the blocked list, what the add command records, and how many windows
// one page may open at once.
//
// The list is kept as the settings store hands it out: "name=value" lines, where only the
// value (an address prefix) takes part in matching.
namespace PopupRules {

// How many windows one page may open at once: windows still waiting (hidden: not yet
// classified, or blocked and not yet swept), and windows opened since the user last pressed
// a key or a mouse button in the page. A page that opens windows in a loop gets this many
// and the rest are refused, so it can neither freeze the program nor use up its memory
// (every window is a tab with an engine of its own); a user who opens links in new windows
// one by one is never held back.
inline constexpr int MaxWindowsAtOnce = 20;

// Whether a page with `waiting` windows waiting, that opened `openedSinceUserInput` windows
// since the user's last key or button press in it, may open one more.
bool mayOpenWindow(int waiting, int openedSinceUserInput);

// How many windows the pages of one main window may open together since the user last
// pressed a key or a mouse button in any of its tabs. Every window is a tab that starts
// with a bound of its own, so a page that opens copies of itself (each opening more)
// would otherwise grow without end; with this bound a chain of them stops as one page
// would.
inline constexpr int MaxWindowsUnasked = 20;

// The value of a "name=value" line (the text after the first "="; empty without one).
QString entryValue(const QString& line);

// Whether one entry blocks an address: both are cut to the shorter length and compared
// exactly, case included. So an entry blocks every address that begins with it and every
// address that is itself a beginning of the entry. An empty entry or an empty address
// blocks nothing (cut to nothing, everything would match).
bool entryBlocks(const QString& entry, const QString& address);

// The position in `lines` of the first entry that blocks `address`, or -1.
int blockingEntry(const QStringList& lines, const QString& address);

// Whether a new window asking first for `address` is blocked; with the switch off
// (`usePopupSorvel` false) none is.
bool isBlocked(bool usePopupSorvel, const QStringList& lines, const QString& address);

// What the add command records for a tab: the window's first address when it has one,
// otherwise the address it shows now, cut before the first "?".
QString addressForList(const QString& popupUrl, const QString& currentAddress);

// The list with `address` appended as "url" + (number of entries + 1). When another entry
// already has that name (a list whose numbers have gaps), the next free number is taken:
// writing the list back would otherwise replace that entry. Names compare without regard
// to case, as the store's value names do.
QStringList appendEntry(const QStringList& lines, const QString& address);

} // namespace PopupRules
