#pragma once

#include "platform/web/FileFetcher.h"

#include <QPointer>

class DownloadManager;
class QTimer;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;

// Fetches through the profile's own network: a hidden page of the profile downloads the
// address, and the download manager leaves that download to it (no question, not in the
// downloads list). A fetch that takes longer than timeout() is cancelled.
class EngineFileFetcher final : public FileFetcher
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EngineFileFetcher)

public:
    static constexpr int DefaultTimeoutMs = 60 * 1000;

    // The profile and the manager must outlive the fetcher.
    EngineFileFetcher(QWebEngineProfile* profile, DownloadManager& downloads,
                      QObject* parent = nullptr);
    ~EngineFileFetcher() override;

    void fetch(const QUrl& address, const QString& file, qint64 maxBytes) override;
    bool isBusy() const override { return !m_address.isEmpty(); }
    void setTimeout(int ms) { m_timeoutMs = ms; }

private:
    bool claim(QWebEngineDownloadRequest* request);
    void watch(QWebEngineDownloadRequest* request);
    void finish(const QString& error);

    QWebEngineProfile* m_profile;
    QWebEnginePage* m_page = nullptr; // made at the first fetch
    QTimer* m_timer = nullptr;
    int m_timeoutMs = DefaultTimeoutMs;
    QUrl m_address; // empty when none runs
    QString m_file;
    qint64 m_maxBytes = 0;
    QPointer<QWebEngineDownloadRequest> m_download;
};
