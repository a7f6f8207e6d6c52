#include "platform/web/PageContentFilter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>

namespace {

WebResource kindOf(QWebEngineUrlRequestInfo::ResourceType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
        return WebResource::Document;
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
        return WebResource::Subdocument;
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
        return WebResource::Stylesheet;
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeSharedWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeServiceWorker:
        return WebResource::Script;
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return WebResource::Image;
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
        return WebResource::Font;
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
        return WebResource::Media;
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
        return WebResource::XmlHttpRequest;
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
        return WebResource::Object;
    case QWebEngineUrlRequestInfo::ResourceTypePing:
    case QWebEngineUrlRequestInfo::ResourceTypeCspReport:
        return WebResource::Ping;
    case QWebEngineUrlRequestInfo::ResourceTypeWebSocket:
        return WebResource::WebSocket;
    default:
        return WebResource::Other;
    }
}

bool filtered(const QUrl& url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ws") || scheme == QLatin1String("wss");
}

} // namespace

PageContentFilter::PageContentFilter(QWebEnginePage* page, std::shared_ptr<ContentFilter> filter,
                                     const void* source, QWebEngineUrlRequestInterceptor* before)
    : QWebEngineUrlRequestInterceptor(page)
    , m_page(page)
    , m_filter(std::move(filter))
    , m_source(source)
    , m_before(before)
{
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                    prepareHiding(info.url());
            });
}

PageContentFilter* PageContentFilter::install(QWebEnginePage* page,
                                              std::shared_ptr<ContentFilter> filter,
                                              const void* source,
                                              QWebEngineUrlRequestInterceptor* before)
{
    if (!page || !filter)
        return nullptr;
    auto* installed = new PageContentFilter(page, std::move(filter), source, before);
    page->setUrlRequestInterceptor(installed);
    return installed;
}

void PageContentFilter::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (m_before)
        m_before->interceptRequest(info);
    if (!filtered(info.requestUrl()))
        return;
    WebRequest request;
    request.url = info.requestUrl();
    request.kind = kindOf(info.resourceType());
    request.firstParty = request.kind == WebResource::Document ? request.url : info.firstPartyUrl();
    request.source = m_source;
    if (m_filter->blocks(request))
        info.block(true);
}

QString PageContentFilter::hidingScript(const QString& styleSheet)
{
    const QByteArray data =
        QJsonDocument(QJsonArray{styleSheet}).toJson(QJsonDocument::Compact);
    // At document creation there may be no head yet: the sheet goes on the root element,
    // which every document has by then, and is found again if the page replaces it.
    return QStringLiteral(
               "(function (data) {\n"
               "  var style = document.createElement('style');\n"
               "  style.setAttribute('data-pelvane', 'hiding');\n"
               "  style.textContent = data[0];\n"
               "  var place = function () {\n"
               "    var root = document.head || document.documentElement;\n"
               "    if (root && !style.isConnected) root.appendChild(style);\n"
               "  };\n"
               "  place();\n"
               "  if (!style.isConnected) {\n"
               "    var watch = new MutationObserver(function () {\n"
               "      place();\n"
               "      if (style.isConnected) watch.disconnect();\n"
               "    });\n"
               "    watch.observe(document, {childList: true, subtree: true});\n"
               "  }\n"
               "  document.addEventListener('DOMContentLoaded', place);\n"
               "})(%1);\n")
        .arg(QString::fromUtf8(data));
}

void PageContentFilter::prepareHiding(const QUrl& url)
{
    QWebEngineScriptCollection& scripts = m_page->scripts();
    const QList<QWebEngineScript> old = scripts.find(scriptName());
    for (const QWebEngineScript& script : old)
        scripts.remove(script);
    const QString sheet = m_filter->hidingStyleSheet(url);
    if (sheet.isEmpty())
        return;
    QWebEngineScript script;
    script.setName(scriptName());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(hidingScript(sheet));
    scripts.insert(script);
}
