#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

class QWebEngineProfile;
class RegistryHive;

// Working offline. The switch is the system's own, kept in the hive of the user as the
// DWORD "GlobalUserOffline" under "Software\Microsoft\Windows\CurrentVersion\Internet
// Settings", so every running copy (and anything else that reads it) shares one state.
// The engine reads it through OfflineRequestInterceptor: while it is on, no request for
// the network leaves the program.
namespace OfflineMode {

QString key();       // "\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
QString valueName(); // "GlobalUserOffline"

// A missing or unreadable value is "online".
bool isOffline(RegistryHive& hive);
// Throws RegistryError when the value cannot be stored.
void setOffline(bool offline, RegistryHive& hive);

// Whether an address needs the network: http, https, ftp, ws and wss.
bool needsNetwork(const QUrl& url);

// What a page shows in place of an address it could not fetch while offline.
QString pageHtml(const QString& address);
QString pageTitle();

} // namespace OfflineMode

// Refuses every request that needs the network while the program works offline. Install it
// on the web profile (install()); the engine then fails those loads, and the page reports
// the failure.
class OfflineRequestInterceptor final : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfflineRequestInterceptor)

public:
    // Online until told how to know: setOffline() gives the function that tells the current
    // state (the program reads the shared switch for each request, so a switch made by
    // another copy counts at once).
    explicit OfflineRequestInterceptor(QObject* parent = nullptr);
    void setOffline(std::function<bool()> offline) { m_offline = std::move(offline); }

    // Puts an interceptor owned by `profile` on it.
    static OfflineRequestInterceptor* install(QWebEngineProfile* profile);

    // The decision for one request.
    static bool Refuses(const QUrl& url, bool offline);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::function<bool()> m_offline;
};
