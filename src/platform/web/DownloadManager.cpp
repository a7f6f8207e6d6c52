#include "platform/web/DownloadManager.h"

#include "platform/web/WebQuestions.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

DownloadManager::DownloadManager(QWebEngineProfile* profile, QuestionsSource questions,
                                 QObject* parent)
    : QObject(parent)
    , m_questions(std::move(questions))
{
    connect(profile, &QWebEngineProfile::downloadRequested, this,
            &DownloadManager::onDownloadRequested);
}

QList<QWebEngineDownloadRequest*> DownloadManager::downloads() const
{
    QList<QWebEngineDownloadRequest*> live;
    for (const auto& download : m_downloads) {
        if (download)
            live.append(download);
    }
    return live;
}

QString DownloadManager::suggestedFolder() const
{
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() : downloads;
}

void DownloadManager::onDownloadRequested(QWebEngineDownloadRequest* request)
{
    if (request->isSavePageDownload()) {
        request->accept();
        track(request);
        return;
    }
    WebQuestions* questions = m_questions ? m_questions() : nullptr;
    if (!questions) {
        request->cancel();
        return;
    }
    QWidget* parent = request->page() ? QWebEngineView::forPage(request->page()) : nullptr;
    const QString suggested = QDir(suggestedFolder()).filePath(request->downloadFileName());
    const QString path = questions->saveDownloadAs(parent, suggested, request->mimeType());
    if (path.isEmpty()) {
        request->cancel();
        return;
    }
    const QFileInfo target(path);
    m_lastFolder = target.absolutePath();
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    request->accept();
    track(request);
}

void DownloadManager::track(QWebEngineDownloadRequest* request)
{
    m_downloads.removeAll(nullptr);
    m_downloads.append(request);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, request] {
        if (request->isFinished())
            Q_EMIT downloadFinished(request);
    });
    Q_EMIT downloadStarted(request);
}
