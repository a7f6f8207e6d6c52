#pragma once

#include <QWidget>

class QVBoxLayout;
class QWebEngineDownloadRequest;

// The downloads of the session: each with its progress, a Cancel button while it runs and
// an Open Folder button.
class DownloadsWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadsWindow)

public:
    explicit DownloadsWindow(QWidget* parent = nullptr);

    void addDownload(QWebEngineDownloadRequest* download);

    // "12.5 KB of 40.0 KB", "Finished", "Cancelled", ...
    static QString stateText(int state, qint64 received, qint64 total, const QString& reason);

private:
    QVBoxLayout* m_rows;
};
