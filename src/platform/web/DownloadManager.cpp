#include "platform/web/DownloadManager.h"

#include "platform/FileNames.h"
#include "platform/web/WebEnginePage.h"
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
    m_clock.start();
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

DownloadManager::Verdict DownloadManager::verdict(const PageAsking& page, bool shown, qint64 now)
{
    if (page.open)
        return Verdict::Asking;
    if (now < page.quietUntil)
        return Verdict::Quiet;
    if (!shown)
        return Verdict::NotShown;
    if (page.cancelled >= 0 && now - page.cancelled < AgainWithin)
        return Verdict::AskedAgain;
    return Verdict::Ask;
}

void DownloadManager::addClaim(const QObject* owner, Claim claim)
{
    m_claims.append({owner, std::move(claim)});
}

void DownloadManager::onDownloadRequested(QWebEngineDownloadRequest* request)
{
    m_claims.removeIf([](const auto& claim) { return claim.first.isNull(); });
    for (const auto& claim : std::as_const(m_claims)) {
        if (claim.second(request))
            return;
    }
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
    auto* page = qobject_cast<WebEnginePage*>(request->page());
    if (!page) { // none of the browsers' pages (the source view): nothing to hold to account
        askWhere(request, questions);
        return;
    }
    if (!m_pages.contains(page))
        connect(page, &QObject::destroyed, this, [this, page] { m_pages.remove(page); });
    PageAsking& asking = m_pages[page];
    const qint64 now = m_clock.elapsed();
    // A page opened for a link that turned out to be a file was asked for by the user, even
    // when it opened behind the current tab.
    switch (verdict(asking, page->shownToUser() || !page->hasDocument(), now)) {
    case Verdict::Ask:
        break;
    case Verdict::NotShown:
        // Nobody can answer a question for a page out of sight, and a modal one would hold
        // up every page: the file goes to the download folder under a name of its own, and
        // the downloads window shows it. Further requests of the page wait out a quiet time.
        asking.quietUntil = now + QuietFor;
        saveUnasked(request);
        return;
    case Verdict::AskedAgain:
        asking.quietUntil = now + QuietFor;
        [[fallthrough]];
    case Verdict::Quiet:
        page->showStatus(QStringLiteral("Downloads from this page are cancelled for a while: it "
                                        "asked again right after you cancelled one."));
        [[fallthrough]];
    case Verdict::Asking:
        request->cancel();
        return;
    }
    asking.open = true;
    const QPointer<WebEnginePage> alive(page);
    const bool saved = askWhere(request, questions);
    if (!alive)
        return;
    // Looked up again: the question ran an event loop, and other pages came and went.
    PageAsking& after = m_pages[page];
    after.open = false;
    after.cancelled = saved ? -1 : m_clock.elapsed();
}

bool DownloadManager::askWhere(QWebEngineDownloadRequest* request, WebQuestions* questions)
{
    QWidget* parent = request->page() ? QWebEngineView::forPage(request->page()) : nullptr;
    const QString suggested = QDir(suggestedFolder()).filePath(request->downloadFileName());
    const QString path = questions->saveDownloadAs(parent, suggested, request->mimeType());
    if (path.isEmpty()) {
        request->cancel();
        return false;
    }
    const QFileInfo target(path);
    m_lastFolder = target.absolutePath();
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    request->accept();
    track(request);
    return true;
}

QString DownloadManager::freeName(const QString& folder, const QString& fileName)
{
    const QFileInfo name(fileName);
    const QString suffix = name.suffix().isEmpty() ? QString() : "." + name.suffix();
    QSet<QString> taken = FileNames::namesIn(folder);
    return FileNames::uniqueName(name.completeBaseName(), suffix, taken);
}

void DownloadManager::saveUnasked(QWebEngineDownloadRequest* request)
{
    const QString folder = suggestedFolder();
    request->setDownloadDirectory(folder);
    request->setDownloadFileName(freeName(folder, request->downloadFileName()));
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
