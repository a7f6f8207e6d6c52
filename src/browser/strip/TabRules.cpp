#include "browser/strip/TabRules.h"

namespace TabRules {

namespace {

// How many shown tabs come before a page index.
int tabIndexBefore(const QList<bool>& tabShown, int page)
{
    int tab = 0;
    for (int i = 0; i < page && i < tabShown.size(); ++i) {
        if (tabShown[i])
            ++tab;
    }
    return tab;
}

} // namespace

int pageIndexForTab(const QList<bool>& tabShown, int tab)
{
    if (tab < 0)
        return -1;
    // A page's tab index never exceeds its page index, so the scan starts at page t.
    int tabIndex = tabIndexBefore(tabShown, tab);
    for (int page = tab; page < tabShown.size(); ++page) {
        if (!tabShown[page])
            continue;
        if (tabIndex == tab)
            return page;
        ++tabIndex;
    }
    return -1;
}

int tabIndexForPage(const QList<bool>& tabShown, int page)
{
    if (page < 0 || page >= tabShown.size() || !tabShown[page])
        return -1;
    return tabIndexBefore(tabShown, page);
}

bool startsDrag(bool shiftingAllowed, int activePageIndex, int pressedTab)
{
    return shiftingAllowed && pressedTab >= 0 && activePageIndex == pressedTab;
}

std::optional<Move> moveOnRelease(const QList<bool>& tabShown, int dragTab, int hoverTab)
{
    if (dragTab < 0 || hoverTab < 0 || hoverTab == dragTab)
        return std::nullopt;
    const int from = pageIndexForTab(tabShown, dragTab);
    const int to = pageIndexForTab(tabShown, hoverTab);
    if (from < 0 || to < 0)
        return std::nullopt;
    return Move{from, to};
}

DragCursor dragCursor(bool leftHeld, int dragTab, int hoverTab)
{
    if (!leftHeld || dragTab < 0)
        return DragCursor::Arrow;
    if (hoverTab < 0)
        return DragCursor::NoDrop;
    return hoverTab == dragTab ? DragCursor::Arrow : DragCursor::Drag;
}

} // namespace TabRules
