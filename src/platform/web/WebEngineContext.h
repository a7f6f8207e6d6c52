#pragma once

#include "platform/SiteIcons.h"
#include "platform/web/DevToolsWindow.h"
#include "platform/web/PageFeatures.h"
#include "platform/web/DownloadsWindow.h"
#include "platform/web/PageVisitSink.h"
#include "platform/web/SitePermissions.h"
#include "platform/web/WebBackend.h"
#include "platform/web/WebQuestions.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class ContentFilter;
class PersonalDictionary;
class DownloadManager;
class FileFetcher;
class WebContentSettings;
class QWebEngineProfile;
class QWidget;
class OfflineRequestInterceptor;
class QtWebEngineBackend;
class QTimer;
class QWebEnginePage;

// What every browser of this process shares: one named, persistent web profile (cookies,
// cache and local storage survive a restart), where visits are reported, the downloads,
// the user's answers to sites, and the object that asks the user questions. The main window
// creates and owns it; its factory makes the backends of every browser.
//
// The profile must outlive its pages: when the context goes, it first takes the engine
// away from every backend still alive (they then show nothing and do nothing).
class WebEngineContext final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineContext)

public:
    // The profile in Paths::webProfileFolder(), questions asked with dialogs, visits
    // reported nowhere until a sink is set.
    explicit WebEngineContext(QObject* parent = nullptr);
    // The same with the profile in `profileFolder` (a running copy's own, see
    // WebProfileSlot); an empty folder makes a profile that keeps nothing on disk.
    explicit WebEngineContext(const QString& profileFolder, QObject* parent = nullptr);
    ~WebEngineContext() override;

    // The profile's name, also the name of its storage.
    static QString profileName() { return QStringLiteral("Pelvane"); }
    // Chooses how the windows that show pages are drawn; called before the application object
    // is made. When the engine runs without the graphics processor ("--disable-gpu" among its
    // flags or the program's arguments) or the system has no graphics processor to render
    // with (no render node in /dev/dri), pages are drawn in software anyway, and composing
    // the window through OpenGL would run on a software rasterizer at every repaint of a bar
    // or the tab strip: the window is then drawn in software too. A renderer the user chose
    // (QT_QUICK_BACKEND) is kept.
    static void chooseRenderer(int argc, char** argv);
    // Whether pages' views are composed into their window through OpenGL (the renderer
    // chosen is not the software one).
    static bool composesThroughOpenGL();

    QWebEngineProfile* profile() const { return m_profile; }
    // Where every browser of the context reports completed top-level navigations.
    void setVisitSink(PageVisitSink sink) { m_visits = std::move(sink); }
    const PageVisitSink& visitSink() const { return m_visits; }
    WebQuestions* questions() const { return m_questions.get(); }
    // Tests answer the questions themselves.
    void setQuestions(std::unique_ptr<WebQuestions> questions);
    SitePermissions& permissions() { return m_permissions; }
    // The pictures of the sites the pages have shown.
    SiteIcons& siteIcons() { return *m_icons; }
    DownloadManager* downloads() const { return m_downloads; }
    // The content switches and user-agent tokens every page of the profile obeys.
    WebContentSettings* contentSettings() const { return m_content; }
    // The program's own downloads (filter lists), on this profile; made at the first call.
    FileFetcher* fileFetcher();
    // Made when the first download starts.
    DownloadsWindow* downloadsWindow() const { return m_downloadsWindow; }

    // Makes backends for this context. The context must outlive the factory's use.
    WebBackendFactory factory();
    QtWebEngineBackend* createBackend();
    QList<QtWebEngineBackend*> backends() const { return m_backends; }

    // How to know whether the program works offline (read for every request); until it is
    // set the profile is online.
    void setOfflineState(std::function<bool()> offline);
    // Content blocking for every page made from now on (set it before the first browser);
    // null: nothing is blocked.
    void setContentFilter(std::shared_ptr<ContentFilter> filter) { m_filter = std::move(filter); }

    // A window that shows a page of the profile (source view, full screen): closed with
    // the context, before the profile goes.
    void adoptWindow(QWidget* window);

    // Where the developer tools' window keeps its size; for the session until it is set.
    void setDevToolsSizes(DevToolsWindow::SizeStore sizes) { m_devToolsSizes = std::move(sizes); }
    DevToolsWindow::SizeStore devToolsSizes();
    void applyPageFeatures(const PageFeatures& features);
    // The words the user added to the spelling check, kept with the profile (for this run
    // alone when the profile keeps nothing).
    PersonalDictionary& dictionary() { return *m_dictionary; }

private:
    friend class QtWebEngineBackend;
    void backendCreated(QtWebEngineBackend* backend);
    void backendDestroyed(QtWebEngineBackend* backend);
    // A backend made a page: at its start, and again after discarding one.
    void pageCreated(QWebEnginePage* page);
    // A backend dropped its page: the memory freed is given back to the system soon (once
    // for several pages dropped together).
    void pageReleased();
    // A hidden parent for views until their browser takes them: a web view made without a
    // parent costs about a mebibyte more for as long as it lives.
    QWidget* viewNursery();

    std::unique_ptr<QWidget> m_nursery;
    OfflineRequestInterceptor* m_offline = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    PageVisitSink m_visits;
    std::unique_ptr<WebQuestions> m_questions;
    SitePermissions m_permissions;
    std::unique_ptr<SiteIcons> m_icons;
    std::unique_ptr<PersonalDictionary> m_dictionary;
    DownloadManager* m_downloads = nullptr;
    FileFetcher* m_fetcher = nullptr;
    WebContentSettings* m_content = nullptr;
    QPointer<DownloadsWindow> m_downloadsWindow;
    QList<QtWebEngineBackend*> m_backends;
    QList<QPointer<QWidget>> m_windows;
    QTimer* m_trim = nullptr;
    DevToolsWindow::SizeStore m_devToolsSizes;
    QSize m_devToolsSize; // the session's, without a store
    std::shared_ptr<ContentFilter> m_filter;
};
