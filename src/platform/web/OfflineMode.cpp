#include "platform/web/OfflineMode.h"

#include "platform/Registry.h"

#include <QWebEngineProfile>

namespace OfflineMode {

QString key()
{
    return QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
}

QString valueName()
{
    return QStringLiteral("GlobalUserOffline");
}

bool isOffline(RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        return reg.openKeyReadOnly(key()) && reg.valueExists(valueName()) &&
               reg.readInteger(valueName()) != 0;
    } catch (const RegistryError&) {
        return false;
    }
}

void setOffline(bool offline, RegistryHive& hive)
{
    TRegistry reg(hive);
    if (!reg.openKey(key(), true))
        throw RegistryError::failedToCreateKey(key());
    reg.writeInteger(valueName(), offline ? 1 : 0);
}

bool needsNetwork(const QUrl& url)
{
    static const char* const schemes[] = {"http", "https", "ftp", "ws", "wss"};
    const QString scheme = url.scheme().toLower();
    for (const char* s : schemes) {
        if (scheme == QLatin1String(s))
            return true;
    }
    return false;
}

QString pageTitle()
{
    return QStringLiteral("Working Offline");
}

QString pageHtml(const QString& address)
{
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
               "<body style=\"font-family: sans-serif; margin: 2em\"><h2>%1</h2>"
               "<p>This page is not available while Pelvane works offline:</p>"
               "<p><code>%2</code></p>"
               "<p>To see it, clear \"Work Offline\" in the File menu and refresh the page.</p>"
               "</body></html>")
        .arg(pageTitle(), address.toHtmlEscaped());
}

} // namespace OfflineMode

OfflineRequestInterceptor::OfflineRequestInterceptor(QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent)
{}

OfflineRequestInterceptor* OfflineRequestInterceptor::install(QWebEngineProfile* profile)
{
    auto* interceptor = new OfflineRequestInterceptor(profile);
    profile->setUrlRequestInterceptor(interceptor);
    return interceptor;
}

bool OfflineRequestInterceptor::Refuses(const QUrl& url, bool offline)
{
    return offline && OfflineMode::needsNetwork(url);
}

void OfflineRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!OfflineMode::needsNetwork(info.requestUrl()))
        return;
    if (m_offline && m_offline())
        info.block(true);
}
