#pragma once

#include "platform/web/EngineServices.h"

class WebEngineContext;

// The engine services of the real engine: one context, its profile and its history file.
class WebEngineServices final : public EngineServices
{
public:
    // `context` outlives this object.
    WebEngineServices(WebEngineContext& context, QString historyFile);

    WebBackend* createBackend() override;
    void applyContentSwitches(const WebContentSwitches& switches) override;
    void applyUserAgentTokens(const QStringList& tokens) override;
    void applyPageFeatures(const PageFeatures& features) override;
    void clearCacheAndCookies() override;
    QString historyFile() const override { return m_historyFile; }
    int runningDownloads() const override;
    QIcon siteIcon(const QString& address) const override;
    bool offTheRecord() const override;
    FileFetcher* fileFetcher() override;
    QString pageCopiesFolder() const override { return m_pageCopies; }
    void setPageCopiesFolder(const QString& folder) { m_pageCopies = folder; }

private:
    WebEngineContext& m_context;
    const QString m_historyFile;
    QString m_pageCopies;
};
