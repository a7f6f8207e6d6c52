#pragma once

#include "platform/web/EngineServices.h"
#include "support/FakeWebBackend.h"

#include <memory>

// The engine as the main window sees it, with fake browsers: every call recorded.
class FakeEngineServices final : public EngineServices
{
public:
    explicit FakeEngineServices(QString historyFile)
        : m_historyFile(std::move(historyFile))
    {}

    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    // Set up every new fake before the browser gets it.
    std::function<void(FakeWebBackend&)> setup;
    int clearedCaches = 0;
    int running = 0; // downloads still running
    QList<WebContentSwitches> appliedSwitches;
    QList<QStringList> appliedTokens;
    QList<PageFeatures> appliedFeatures;

    WebBackend* createBackend() override { return FakeWebBackend::factory(made, setup)(); }
    void applyContentSwitches(const WebContentSwitches& switches) override
    {
        appliedSwitches << switches;
    }
    void applyUserAgentTokens(const QStringList& tokens) override { appliedTokens << tokens; }
    void applyPageFeatures(const PageFeatures& features) override { appliedFeatures << features; }
    void clearCacheAndCookies() override { ++clearedCaches; }
    QString historyFile() const override { return m_historyFile; }
    int runningDownloads() const override { return running; }
    FileFetcher* fileFetcher() override { return fetcher; }

    FileFetcher* fetcher = nullptr; // none by default: no lists are downloaded

private:
    const QString m_historyFile;
};
