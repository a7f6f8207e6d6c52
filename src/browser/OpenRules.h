#pragma once

#include <QString>

namespace OpenRules {

// Where OpenAddress sends an address.
enum class OpenTarget
{
    ActiveTab,     // the active tab navigates; its home address stays
    ReuseBlankTab, // the active tab, idle on "about:blank", opens it as its home
    NewTab,        // a new tab opens it as its home
};

// Holding Shift inverts the caller's wish for a new tab. A new tab is avoided when the
// active tab shows exactly "about:blank" and is not loading. Without an active tab there
// is nothing to navigate, so a new tab opens.
OpenTarget ChooseOpenTarget(bool newTabWish, bool shiftHeld, bool hasActiveTab,
                            const QString& activeAddress, bool activeBusy);

} // namespace OpenRules
