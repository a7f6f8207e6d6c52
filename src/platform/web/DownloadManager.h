#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class WebQuestions;

// Takes the profile's downloads: asks where each goes, starts it and keeps the list the
// downloads window shows. Saved pages (Save As) already know their file and start at once.
class DownloadManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadManager)

public:
    using QuestionsSource = std::function<WebQuestions*()>;

    DownloadManager(QWebEngineProfile* profile, QuestionsSource questions,
                    QObject* parent = nullptr);

    // The downloads of this session that still exist, oldest first.
    QList<QWebEngineDownloadRequest*> downloads() const;
    // Where the next download is offered to go: the folder of the last one, at first the
    // user's download folder.
    QString suggestedFolder() const;

Q_SIGNALS:
    void downloadStarted(QWebEngineDownloadRequest* download);
    void downloadFinished(QWebEngineDownloadRequest* download);

private:
    void onDownloadRequested(QWebEngineDownloadRequest* request);
    void track(QWebEngineDownloadRequest* request);

    QuestionsSource m_questions;
    QString m_lastFolder;
    QList<QPointer<QWebEngineDownloadRequest>> m_downloads;
};
