#pragma once

#include "platform/web/ContentFilter.h"

#include <QPointer>
#include <QWebEngineUrlRequestInterceptor>

#include <memory>

class QWebEnginePage;

// Content blocking on one page: its requests go through the filter (a refused one never
// leaves the program), and as each top-level load starts the page gets the filter's
// hiding style sheet for that site, injected as the document is created. Owned by the
// page. A page holds one interceptor: the one it had before (the content switches') is
// asked first, and what it refuses stays refused.
class PageContentFilter final : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageContentFilter)

public:
    // `source` names the page's browser in the requests (see WebRequest::source); `before`
    // is the page's interceptor so far (not owned; null: none).
    static PageContentFilter* install(QWebEnginePage* page, std::shared_ptr<ContentFilter> filter,
                                      const void* source,
                                      QWebEngineUrlRequestInterceptor* before = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

    // The script that puts `styleSheet` into a document: the sheet goes in as JSON data.
    static QString hidingScript(const QString& styleSheet);
    // The name of the page's hiding script.
    static QString scriptName() { return QStringLiteral("pelvane-element-hiding"); }

private:
    PageContentFilter(QWebEnginePage* page, std::shared_ptr<ContentFilter> filter,
                      const void* source, QWebEngineUrlRequestInterceptor* before);
    void prepareHiding(const QUrl& url);

    QWebEnginePage* m_page;
    std::shared_ptr<ContentFilter> m_filter;
    const void* m_source;
    QPointer<QWebEngineUrlRequestInterceptor> m_before;
};
