#include "platform/web/BrowsingData.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace BrowsingData {

void clearCacheAndCookies(QWebEngineProfile* profile)
{
    if (!profile)
        return;
    profile->clearHttpCache();
    profile->cookieStore()->deleteAllCookies();
    profile->clearAllVisitedLinks();
}

} // namespace BrowsingData
