#include "platform/web/WebEngineServices.h"

#include "platform/web/BrowsingData.h"
#include "platform/web/ContentSettings.h"
#include "platform/web/DownloadManager.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebEngineContext.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

WebEngineServices::WebEngineServices(WebEngineContext& context, QString historyFile)
    : m_context(context)
    , m_historyFile(std::move(historyFile))
{}

WebBackend* WebEngineServices::createBackend()
{
    return m_context.createBackend();
}

void WebEngineServices::applyContentSwitches(const WebContentSwitches& switches)
{
    m_context.contentSettings()->setSwitches(switches);
}

void WebEngineServices::applyPageFeatures(const PageFeatures& features)
{
    m_context.applyPageFeatures(features);
}

void WebEngineServices::applyUserAgentTokens(const QStringList& tokens)
{
    m_context.contentSettings()->setUserAgentTokens(tokens);
}

void WebEngineServices::clearCacheAndCookies()
{
    BrowsingData::clearCacheAndCookies(m_context.profile());
}

int WebEngineServices::runningDownloads() const
{
    int running = 0;
    for (const QWebEngineDownloadRequest* download : m_context.downloads()->downloads())
        running += download->isFinished() ? 0 : 1;
    return running;
}

QIcon WebEngineServices::siteIcon(const QString& address) const
{
    return m_context.siteIcons().iconFor(address);
}

bool WebEngineServices::offTheRecord() const
{
    return m_context.profile() && m_context.profile()->isOffTheRecord();
}

FileFetcher* WebEngineServices::fileFetcher()
{
    return m_context.fileFetcher();
}
