#pragma once

#include "platform/web/DownloadsWindow.h"
#include "platform/web/SitePermissions.h"
#include "platform/web/WebBackend.h"
#include "platform/web/WebQuestions.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class DownloadManager;
class WebContentSettings;
class HistoryStore;
class QWebEngineProfile;
class QtWebEngineBackend;

// What every browser of this process shares: one named, persistent web profile (cookies,
// cache and local storage survive a restart), the history store, the downloads, the
// user's answers to sites, and the object that asks the user questions. The main window
// creates and owns it; its factory makes the backends of every browser.
//
// The profile must outlive its pages: when the context goes, it first takes the engine
// away from every backend still alive (they then show nothing and do nothing).
class WebEngineContext final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineContext)

public:
    // The profile in Paths::webProfileFolder(), the history in HistoryStore::defaultFile(),
    // questions asked with dialogs.
    explicit WebEngineContext(QObject* parent = nullptr);
    // The same with the profile in `profileFolder` (a running copy's own, see
    // WebProfileSlot); an empty folder makes a profile that keeps nothing on disk.
    explicit WebEngineContext(const QString& profileFolder, QObject* parent = nullptr);
    WebEngineContext(const QString& profileFolder, const QString& historyFile,
                     QObject* parent = nullptr);
    ~WebEngineContext() override;

    // The profile's name, also the name of its storage.
    static QString profileName() { return QStringLiteral("Pelvane"); }

    QWebEngineProfile* profile() const { return m_profile; }
    HistoryStore* history() const { return m_history; }
    WebQuestions* questions() const { return m_questions.get(); }
    // Tests answer the questions themselves.
    void setQuestions(std::unique_ptr<WebQuestions> questions);
    SitePermissions& permissions() { return m_permissions; }
    DownloadManager* downloads() const { return m_downloads; }
    // The content switches and user-agent tokens every page of the profile obeys.
    WebContentSettings* contentSettings() const { return m_content; }
    // Made when the first download starts.
    DownloadsWindow* downloadsWindow() const { return m_downloadsWindow; }

    // Makes backends for this context. The context must outlive the factory's use.
    WebBackendFactory factory();
    QtWebEngineBackend* createBackend();
    QList<QtWebEngineBackend*> backends() const { return m_backends; }

    // A window that shows a page of the profile (source view, full screen): closed with
    // the context, before the profile goes.
    void adoptWindow(QWidget* window);

private:
    friend class QtWebEngineBackend;
    void backendCreated(QtWebEngineBackend* backend);
    void backendDestroyed(QtWebEngineBackend* backend);

    QWebEngineProfile* m_profile = nullptr;
    HistoryStore* m_history = nullptr;
    std::unique_ptr<WebQuestions> m_questions;
    SitePermissions m_permissions;
    DownloadManager* m_downloads = nullptr;
    WebContentSettings* m_content = nullptr;
    QPointer<DownloadsWindow> m_downloadsWindow;
    QList<QtWebEngineBackend*> m_backends;
    QList<QPointer<QWidget>> m_windows;
};
