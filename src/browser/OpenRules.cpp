#include "browser/OpenRules.h"

namespace OpenRules {

OpenTarget ChooseOpenTarget(bool newTabWish, bool shiftHeld, bool hasActiveTab,
                            const QString& activeAddress, bool activeBusy)
{
    if (!hasActiveTab)
        return OpenTarget::NewTab;
    if (newTabWish == shiftHeld)
        return OpenTarget::ActiveTab;
    if (activeAddress == QLatin1String("about:blank") && !activeBusy)
        return OpenTarget::ReuseBlankTab;
    return OpenTarget::NewTab;
}

} // namespace OpenRules
