#pragma once

class QWebEngineProfile;

// Forgetting what the web profile keeps between runs.
namespace BrowsingData {

// Empties the disk cache and deletes every cookie of the profile.
void clearCacheAndCookies(QWebEngineProfile* profile);

} // namespace BrowsingData
