#include "platform/web/EngineFileFetcher.h"

#include "platform/web/DownloadManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("The download was larger than %1 MiB and was stopped.")
        .arg(maxBytes / (1024 * 1024));
}

} // namespace

EngineFileFetcher::EngineFileFetcher(QWebEngineProfile* profile, DownloadManager& downloads,
                                     QObject* parent)
    : FileFetcher(parent)
    , m_profile(profile)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        finish(QStringLiteral("The server did not send the list within %1 seconds.")
                   .arg(m_timeoutMs / 1000));
    });
    downloads.addClaim(this, [this](QWebEngineDownloadRequest* request) { return claim(request); });
}

EngineFileFetcher::~EngineFileFetcher()
{
    if (m_download)
        m_download->cancel();
}

void EngineFileFetcher::fetch(const QUrl& address, const QString& file, qint64 maxBytes)
{
    if (isBusy()) {
        Q_EMIT fetched(address, QStringLiteral("Another list is being downloaded."));
        return;
    }
    if (!m_page)
        m_page = new QWebEnginePage(m_profile, this);
    m_address = address;
    m_file = file;
    m_maxBytes = maxBytes;
    m_timer->start(m_timeoutMs);
    m_page->download(address, QFileInfo(file).fileName());
}

bool EngineFileFetcher::claim(QWebEngineDownloadRequest* request)
{
    if (!m_page || request->page() != m_page)
        return false;
    if (m_address.isEmpty() || m_download) {
        // Late: a fetch that timed out.
        request->cancel();
        return true;
    }
    if (request->totalBytes() > m_maxBytes) {
        request->cancel();
        finish(tooLarge(m_maxBytes));
        return true;
    }
    const QFileInfo target(m_file);
    QFile::remove(m_file);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    m_download = request;
    watch(request);
    request->accept();
    return true;
}

void EngineFileFetcher::watch(QWebEngineDownloadRequest* request)
{
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, request] {
        if (request == m_download && request->receivedBytes() > m_maxBytes)
            finish(tooLarge(m_maxBytes));
    });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [this, request](QWebEngineDownloadRequest::DownloadState state) {
                if (request != m_download)
                    return;
                switch (state) {
                case QWebEngineDownloadRequest::DownloadCompleted: {
                    const QString written =
                        QDir(request->downloadDirectory()).filePath(request->downloadFileName());
                    // The engine picks another name when the one asked for is taken.
                    if (written != m_file) {
                        QFile::remove(m_file);
                        QFile::rename(written, m_file);
                    }
                    finish(QString());
                    break;
                }
                case QWebEngineDownloadRequest::DownloadInterrupted:
                    finish(QStringLiteral("The download failed: %1")
                               .arg(request->interruptReasonString()));
                    break;
                case QWebEngineDownloadRequest::DownloadCancelled:
                    finish(QStringLiteral("The download was cancelled."));
                    break;
                default:
                    break;
                }
            });
}

void EngineFileFetcher::finish(const QString& error)
{
    if (m_address.isEmpty())
        return;
    m_timer->stop();
    if (m_download) {
        QWebEngineDownloadRequest* download = m_download;
        m_download = nullptr;
        if (!download->isFinished())
            download->cancel();
    }
    const QUrl address = m_address;
    m_address.clear();
    Q_EMIT fetched(address, error);
}
