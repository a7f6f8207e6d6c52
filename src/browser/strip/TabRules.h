#pragma once

#include <QList>

#include <optional>

// Index mapping between pages and tabs, and the rules of moving a tab by dragging. A page
// whose tab is hidden has no tab index; tab indexes count the shown tabs only.
namespace TabRules {

// The page of tab index t: the first page, from page index t upward, whose tab index is t.
// -1 when there is none.
int pageIndexForTab(const QList<bool>& tabShown, int tab);
// The tab index of a page; -1 when its tab is hidden or the page does not exist.
int tabIndexForPage(const QList<bool>& tabShown, int page);

// Whether a left press starts a move: only on the tab that is the active page, and only
// when the active page's page index equals the pressed tab's index.
bool startsDrag(bool shiftingAllowed, int activePageIndex, int pressedTab);

struct Move
{
    int from = -1; // page index
    int to = -1;   // page index
    friend bool operator==(const Move&, const Move&) = default;
};

// What a release does: the dragged tab's page takes the place of the page under the
// mouse. Nothing when the release is outside any tab, on the dragged tab itself, or when
// either tab names no page.
std::optional<Move> moveOnRelease(const QList<bool>& tabShown, int dragTab, int hoverTab);

enum class DragCursor
{
    Arrow,  // over the dragged tab, or no drag under way
    Drag,   // over another tab: releasing moves the tab there
    NoDrop, // outside any tab
};

DragCursor dragCursor(bool leftHeld, int dragTab, int hoverTab);

} // namespace TabRules
