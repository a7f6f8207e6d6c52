#pragma once

#include "platform/web/WebBackend.h"

#include <QWidget>

#include <functional>
#include <memory>

// The browser control: a widget with the control's methods and events, over a backend
// that does the work. Events are plain assignable handlers, as the program's classes bind
// them; an unassigned handler is simply not called.
class RegistryHive;

class TWebBrowser : public QWidget, protected WebBackendEvents
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TWebBrowser)

public:
    // Takes ownership of the backend.
    // The start and search pages are read from `hive` (null: the shipped defaults).
    TWebBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent = nullptr);
    ~TWebBrowser() override;

    WebBackend* backend() const { return m_backend.get(); }

    // Methods of the control.
    void Navigate(const QString& url);
    void GoBack();
    void GoForward();
    void GoHome();   // the start page of the hive ("Start Page")
    void GoSearch(); // the search page of the hive ("Search Page")
    void Refresh();
    void Refresh2(int level); // 3: complete, bypassing the cache
    void Stop();

    // Properties of the control.
    QString LocationURL() const;
    QString LocationName() const;
    bool Busy() const;
    bool HasDocument() const;
    // The top-level frame: the identity that events carry for the page itself.
    WebFrame Application() const;

    // Events. Frame is the frame the navigation belongs to.
    std::function<void(WebFrame frame, const QString& url, bool& cancel)> OnBeforeNavigate2;
    std::function<void(TWebBrowser*& newBrowser, bool& cancel)> OnNewWindow2;
    std::function<void(WebFrame frame, const QString& url)> OnNavigateComplete2;
    std::function<void(WebFrame frame, const QString& url)> OnDocumentComplete;
    std::function<void(const QString& text)> OnTitleChange;
    std::function<void(const QString& text)> OnStatusTextChange;
    std::function<void(int progress, int maximum)> OnProgressChange;
    std::function<void(int command, bool enabled)> OnCommandStateChange;
    std::function<void()> OnDownloadBegin;
    std::function<void()> OnDownloadComplete;
    // The page asked to close its window; whether it closes is the handler's decision.
    std::function<void()> OnWindowClosing;

    // Commands of OnCommandStateChange.
    static constexpr int CSC_NAVIGATEFORWARD = 1;
    static constexpr int CSC_NAVIGATEBACK = 2;
    static constexpr int REFRESH_COMPLETELY = 3;

    // Where GoHome and GoSearch lead, from the hive (with the shipped defaults).
    QString startPage() const;
    QString searchPage() const;

protected:
    void beforeNavigate(WebFrame frame, const QString& url, bool* cancel) override;
    void newWindow(TWebBrowser** target, bool* cancel) override;
    void navigateComplete(WebFrame frame, const QString& url) override;
    void documentComplete(WebFrame frame, const QString& url) override;
    void titleChange(const QString& title) override;
    void statusTextChange(const QString& text) override;
    void progressChange(int progress, int maximum) override;
    void commandStateChange(int command, bool enabled) override;
    void downloadBegin() override;
    void downloadComplete() override;
    void windowClosing() override;
    void viewReplaced(QWidget* view) override;

private:
    std::unique_ptr<WebBackend> m_backend;
    RegistryHive* const m_hive;
};
