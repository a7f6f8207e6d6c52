#include "platform/web/WebEngineContext.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/Paths.h"
#include "platform/web/ContentSettings.h"
#include "platform/web/DownloadManager.h"
#include "platform/web/DownloadsWindow.h"
#include "platform/web/EngineFileFetcher.h"
#include "platform/web/OfflineMode.h"
#include "platform/web/PageContentFilter.h"
#include "platform/web/PersonalDictionary.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WidgetWebQuestions.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWidget>

void WebEngineContext::chooseRenderer(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
        return;
    const QByteArray noGpu("--disable-gpu");
    bool gpuOff = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ').contains(noGpu);
    for (int i = 1; i < argc && !gpuOff; ++i)
        gpuOff = noGpu == argv[i];
    // Without a render node, OpenGL can only be a software rasterizer.
    gpuOff = gpuOff || QDir(QStringLiteral("/dev/dri"))
                           .entryList({QStringLiteral("renderD*")}, QDir::System)
                           .isEmpty();
    if (gpuOff)
        qputenv("QT_QUICK_BACKEND", "software");
}

bool WebEngineContext::composesThroughOpenGL()
{
    return qgetenv("QT_QUICK_BACKEND") != "software" &&
           qgetenv("QMLSCENE_DEVICE") != "softwarecontext";
}

WebEngineContext::WebEngineContext(QObject* parent)
    : WebEngineContext(Paths::webProfileFolder(), parent)
{}

WebEngineContext::WebEngineContext(const QString& profileFolder, QObject* parent)
    : QObject(parent)
    , m_questions(std::make_unique<WidgetWebQuestions>())
    , m_icons(std::make_unique<SiteIcons>(
          profileFolder.isEmpty() ? QString()
                                  : QDir(profileFolder).filePath(QStringLiteral("Site Icons"))))
    , m_dictionary(std::make_unique<PersonalDictionary>(profileFolder))
{
    // The engine looks for its spelling dictionaries once, when its first profile is made.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DICTIONARIES_PATH"))
        qputenv("QTWEBENGINE_DICTIONARIES_PATH", QFile::encodeName(Paths::dictionariesFolder()));
    if (profileFolder.isEmpty()) {
        // No folder to call its own: a profile in memory, rather than one shared unsafely.
        m_profile = new QWebEngineProfile(this);
    } else {
        Paths::ensurePrivateFolder(profileFolder);
        // A named profile stores to disk; the storage paths must be set before any page
        // uses it.
        m_profile = new QWebEngineProfile(profileName(), this);
        m_profile->setPersistentStoragePath(profileFolder);
        m_profile->setCachePath(QDir(profileFolder).filePath(QStringLiteral("Cache")));
        m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    }
    m_profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // From Qt 6.8 the engine would keep the user's answers to sites on disk; the program
    // keeps them for the session (and says so when it asks), so every request reaches it.
    m_profile->setPersistentPermissionsPolicy(
        QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
    // A local page (a saved attachment, a page copy) may show itself, but its scripts
    // read no other file and reach no remote address: otherwise it could read the user's
    // files and send them out.
    m_profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    m_profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Working offline: no request for the network leaves the program.
    m_offline = OfflineRequestInterceptor::install(m_profile);
    m_content = new WebContentSettings(m_profile, this);

    m_downloads = new DownloadManager(
        m_profile, [this] { return m_questions.get(); }, this);
    connect(m_downloads, &DownloadManager::downloadStarted, this,
            [this](QWebEngineDownloadRequest* download) {
                // A page saved with Save As is the user's own doing, not a download to watch.
                if (download->isSavePageDownload())
                    return;
                if (!m_downloadsWindow) {
                    m_downloadsWindow = new DownloadsWindow;
                    adoptWindow(m_downloadsWindow);
                }
                m_downloadsWindow->addDownload(download);
                m_downloadsWindow->show();
                m_downloadsWindow->raise();
            });
}

WebEngineContext::~WebEngineContext()
{
    for (const QPointer<QWidget>& window : std::as_const(m_windows))
        delete window;
    m_windows.clear();
    const QList<QtWebEngineBackend*> alive = m_backends;
    m_backends.clear();
    for (QtWebEngineBackend* backend : alive)
        backend->releaseEngine();
    // The downloads still running end with the profile.
    delete m_fetcher;
    delete m_downloads;
    delete m_profile;
}

FileFetcher* WebEngineContext::fileFetcher()
{
    if (!m_fetcher)
        m_fetcher = new EngineFileFetcher(m_profile, *m_downloads, this);
    return m_fetcher;
}

void WebEngineContext::setQuestions(std::unique_ptr<WebQuestions> questions)
{
    if (questions)
        m_questions = std::move(questions);
}

WebBackendFactory WebEngineContext::factory()
{
    return [this]() -> WebBackend* { return createBackend(); };
}

QtWebEngineBackend* WebEngineContext::createBackend()
{
    return new QtWebEngineBackend(this);
}

DevToolsWindow::SizeStore WebEngineContext::devToolsSizes()
{
    if (m_devToolsSizes.read && m_devToolsSizes.keep)
        return m_devToolsSizes;
    const QPointer<WebEngineContext> self(this);
    return {[self] { return self ? self->m_devToolsSize : QSize(); },
            [self](const QSize& size) {
                if (self)
                    self->m_devToolsSize = size;
            }};
}

void WebEngineContext::applyPageFeatures(const PageFeatures& features)
{
    const bool spelling = features.spellCheck && !features.spellLanguage.isEmpty();
    if (spelling)
        m_profile->setSpellCheckLanguages({features.spellLanguage});
    m_profile->setSpellCheckEnabled(spelling);
    // The viewer is the engine's plug-in: without plug-ins a PDF document is a download.
    QWebEngineSettings* settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, features.pdfViewer);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, features.pdfViewer);
}

void WebEngineContext::adoptWindow(QWidget* window)
{
    m_windows.removeAll(nullptr);
    if (window)
        m_windows.append(window);
}

void WebEngineContext::backendCreated(QtWebEngineBackend* backend)
{
    m_backends.append(backend);
}

void WebEngineContext::pageCreated(QWebEnginePage* page)
{
    m_content->adoptPage(page);
    // Requests are counted per browser: the backend stays when its page is replaced.
    if (m_filter) {
        auto* backend = qobject_cast<QtWebEngineBackend*>(page->parent());
        PageContentFilter::install(page, m_filter, static_cast<const WebBackend*>(backend),
                                   m_content->pageInterceptor());
    }
}

void WebEngineContext::pageReleased()
{
#ifdef __GLIBC__
    // The allocator keeps what a dropped page freed for later use, and a discarded tab would
    // still cost most of what it did; the engine lets go of the page's parts within a moment.
    if (!m_trim) {
        m_trim = new QTimer(this);
        m_trim->setSingleShot(true);
        m_trim->setInterval(2000);
        connect(m_trim, &QTimer::timeout, this, [] { ::malloc_trim(0); });
    }
    m_trim->start();
#endif
}

QWidget* WebEngineContext::viewNursery()
{
    if (!m_nursery)
        m_nursery = std::make_unique<QWidget>();
    return m_nursery.get();
}

void WebEngineContext::backendDestroyed(QtWebEngineBackend* backend)
{
    m_backends.removeAll(backend);
    if (m_filter)
        m_filter->browserGone(static_cast<const WebBackend*>(backend));
}

void WebEngineContext::setOfflineState(std::function<bool()> offline)
{
    m_offline->setOffline(std::move(offline));
}
