#include "platform/web/DownloadsWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>

namespace {

class DownloadRow final : public QFrame
{
public:
    explicit DownloadRow(QWebEngineDownloadRequest* download, QWidget* parent)
        : QFrame(parent)
        , m_download(download)
        , m_name(new QLabel(download->downloadFileName()))
        , m_progress(new QProgressBar)
        , m_state(new QLabel)
        , m_cancel(new QPushButton(QStringLiteral("&Cancel")))
        , m_open(new QPushButton(QStringLiteral("Open &Folder")))
    {
        setFrameShape(QFrame::StyledPanel);
        m_name->setTextFormat(Qt::PlainText);
        m_state->setTextFormat(Qt::PlainText);
        auto* text = new QVBoxLayout;
        text->addWidget(m_name);
        text->addWidget(m_progress);
        text->addWidget(m_state);
        auto* layout = new QHBoxLayout(this);
        layout->addLayout(text, 1);
        layout->addWidget(m_cancel);
        layout->addWidget(m_open);

        connect(m_cancel, &QPushButton::clicked, this, [this] {
            if (m_download)
                m_download->cancel();
        });
        connect(m_open, &QPushButton::clicked, this, [this] {
            if (m_download)
                QDesktopServices::openUrl(QUrl::fromLocalFile(m_download->downloadDirectory()));
        });
        connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
                [this] { update(); });
        connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this,
                [this] { update(); });
        connect(download, &QWebEngineDownloadRequest::stateChanged, this, [this] { update(); });
        update();
    }

private:
    void update()
    {
        if (!m_download)
            return;
        const qint64 total = m_download->totalBytes();
        const qint64 received = m_download->receivedBytes();
        if (total > 0) {
            m_progress->setRange(0, 1000);
            m_progress->setValue(int(received * 1000 / total));
        } else {
            m_progress->setRange(0, m_download->isFinished() ? 1 : 0); // busy while unknown
            m_progress->setValue(m_download->isFinished() ? 1 : 0);
        }
        // Only an interrupted download has a reason to give (and asking others crashes the
        // engine in some versions).
        const QWebEngineDownloadRequest::DownloadState state = m_download->state();
        const QString reason = state == QWebEngineDownloadRequest::DownloadInterrupted
                                   ? m_download->interruptReasonString()
                                   : QString();
        m_state->setText(DownloadsWindow::stateText(state, received, total, reason));
        m_cancel->setEnabled(!m_download->isFinished());
    }

    QPointer<QWebEngineDownloadRequest> m_download;
    QLabel* m_name;
    QProgressBar* m_progress;
    QLabel* m_state;
    QPushButton* m_cancel;
    QPushButton* m_open;
};

} // namespace

DownloadsWindow::DownloadsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Downloads"));
    auto* content = new QWidget;
    m_rows = new QVBoxLayout(content);
    m_rows->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    auto* close = new QPushButton(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(520, 320);
}

void DownloadsWindow::addDownload(QWebEngineDownloadRequest* download)
{
    // Newest on top.
    m_rows->insertWidget(0, new DownloadRow(download, this));
}

QString DownloadsWindow::stateText(int state, qint64 received, qint64 total, const QString& reason)
{
    const QLocale locale;
    switch (state) {
    case QWebEngineDownloadRequest::DownloadRequested:
        return QStringLiteral("Waiting");
    case QWebEngineDownloadRequest::DownloadInProgress:
        if (total > 0)
            return QStringLiteral("%1 of %2")
                .arg(locale.formattedDataSize(received), locale.formattedDataSize(total));
        return locale.formattedDataSize(received);
    case QWebEngineDownloadRequest::DownloadCompleted:
        return QStringLiteral("Finished (%1)").arg(locale.formattedDataSize(received));
    case QWebEngineDownloadRequest::DownloadCancelled:
        return QStringLiteral("Cancelled");
    case QWebEngineDownloadRequest::DownloadInterrupted:
        return reason.isEmpty() ? QStringLiteral("Failed")
                                : QStringLiteral("Failed: %1").arg(reason);
    }
    return {};
}
