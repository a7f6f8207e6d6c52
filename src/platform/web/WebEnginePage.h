#pragma once

#include "platform/web/WebQuestions.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWebEnginePage>

#include <optional>

class QtWebEngineBackend;
class WebEngineContext;

// The engine's page for one backend: hands navigation and new-window requests to the
// backend, and the questions a page puts (passwords, certificates, permissions, files,
// script dialogs) to the context's WebQuestions.
class WebEnginePage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEnginePage)

public:
    WebEnginePage(WebEngineContext* context, QtWebEngineBackend* backend);

    // A question of this page is open: the page is inside one of the engine's calls and
    // must not be destroyed before it returns.
    bool questionOpen() const { return m_questionsOpen > 0; }

    // Whether the page is on the screen (the current tab of a shown window): only then may
    // it put a question that the engine waits for.
    bool shownToUser() const;
    // Whether the page shows a document; a page just opened for a link has none yet.
    bool hasDocument() const;
    // Tells the user something about the page, on its browser's status line.
    void showStatus(const QString& text);

Q_SIGNALS:
    // The last open question of the page was answered.
    void questionsClosed();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    // Marks a question open for as long as it lives.
    class QuestionOpen;
    // Script dialogs are answered at once (alert: nothing, confirm: no, prompt: cancelled)
    // when the page may not ask.
    bool dialogAllowed();
    bool* stopOffer();
    QWidget* dialogParent() const;
    // Asks inside the call (the engine takes the answer from `authenticator` when it returns);
    // a page not on the screen is not asked, shows the server's refusal, and loads again
    // (asking then) when it is first shown.
    void onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator,
                                  const QString& proxyHost);
    void onCertificateError(QWebEngineCertificateError error);
    // Asks once per site and feature, without waiting for the user; `answer` gets the
    // user's choice when it comes. Unknown features are refused.
    void askFeature(const QUrl& origin, std::optional<SiteFeature> asked,
                    const WebQuestions::Answer& answer);

    QPointer<WebEngineContext> m_context;
    QtWebEngineBackend* m_backend; // owns this page
    int m_dialogs = 0;             // script dialogs of the current document
    int m_questionsOpen = 0;
    // The requests waiting for the answer to a site's open feature question, by feature and
    // site.
    QHash<QString, QList<WebQuestions::Answer>> m_featureAnswers;
    bool m_dialogsStopped = false; // ... which the user has stopped
    QUrl m_askWhenShown;           // refused a password question out of sight
};
