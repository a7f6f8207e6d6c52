#include "platform/web/WebEnginePage.h"

#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebQuestions.h"

#include <QAuthenticator>
#include <QTimer>
#include <QWebEngineCertificateError>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace {

// Qt 6.8 replaced the page's feature requests with permission objects, and deprecated the
// old ones; the build treats warnings as errors, so each Qt gets only the API it prefers.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
std::optional<SiteFeature> siteFeature(QWebEnginePermission::PermissionType type)
{
    using Type = QWebEnginePermission::PermissionType;
    switch (type) {
    case Type::Geolocation:
        return SiteFeature::Geolocation;
    case Type::Notifications:
        return SiteFeature::Notifications;
    case Type::MediaAudioCapture:
        return SiteFeature::Microphone;
    case Type::MediaVideoCapture:
        return SiteFeature::Camera;
    case Type::MediaAudioVideoCapture:
        return SiteFeature::CameraAndMicrophone;
    case Type::DesktopVideoCapture:
    case Type::DesktopAudioVideoCapture:
        return SiteFeature::ScreenCapture;
    case Type::MouseLock:
        return SiteFeature::MouseLock;
    default: // clipboard, local fonts and what later engines add: not offered, refused
        return std::nullopt;
    }
}
#else
std::optional<SiteFeature> siteFeature(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Geolocation:
        return SiteFeature::Geolocation;
    case QWebEnginePage::Notifications:
        return SiteFeature::Notifications;
    case QWebEnginePage::MediaAudioCapture:
        return SiteFeature::Microphone;
    case QWebEnginePage::MediaVideoCapture:
        return SiteFeature::Camera;
    case QWebEnginePage::MediaAudioVideoCapture:
        return SiteFeature::CameraAndMicrophone;
    case QWebEnginePage::DesktopVideoCapture:
    case QWebEnginePage::DesktopAudioVideoCapture:
        return SiteFeature::ScreenCapture;
    case QWebEnginePage::MouseLock:
        return SiteFeature::MouseLock;
    }
    return std::nullopt;
}
#endif

} // namespace

WebEnginePage::WebEnginePage(WebEngineContext* context, QtWebEngineBackend* backend)
    : QWebEnginePage(context->profile(), backend)
    , m_context(context)
    , m_backend(backend)
{
    // Another document is another page: its dialogs are counted afresh.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_dialogs = 0;
        m_dialogsStopped = false;
        // The old document's questions go with it: an answer would be for a page that is
        // no longer there.
        m_featureAnswers.clear();
        if (m_context)
            m_context->questions()->dropQuestions(dialogParent());
    });
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                onAuthenticationRequired(url, authenticator, QString());
            });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost) {
                onAuthenticationRequired(url, authenticator, proxyHost);
            });
    connect(this, &QWebEnginePage::certificateError, this, &WebEnginePage::onCertificateError);
    connect(this, &QWebEnginePage::visibleChanged, this, [this](bool visible) {
        if (!visible || m_askWhenShown.isEmpty())
            return;
        const QUrl refused = std::exchange(m_askWhenShown, QUrl());
        if (refused == QWebEnginePage::url()) // not when the page went elsewhere meanwhile
            QTimer::singleShot(0, this, [this] { triggerAction(QWebEnginePage::Reload); });
    });
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::permissionRequested, this,
            [this](QWebEnginePermission permission) {
                askFeature(permission.origin(), siteFeature(permission.permissionType()),
                           [permission](bool allowed) {
                               if (allowed)
                                   permission.grant();
                               else
                                   permission.deny();
                           });
            });
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                askFeature(origin, siteFeature(feature), [this, origin, feature](bool allowed) {
                    setFeaturePermission(origin, feature,
                                         allowed ? PermissionGrantedByUser
                                                 : PermissionDeniedByUser);
                });
            });
#endif
}

QWidget* WebEnginePage::dialogParent() const
{
    return QWebEngineView::forPage(this);
}

bool WebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    return m_backend->onNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* WebEnginePage::createWindow(WebWindowType)
{
    return m_backend->onCreateWindow();
}

QStringList WebEnginePage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                       const QStringList& acceptedMimeTypes)
{
    if (!m_context)
        return {};
    return m_context->questions()->chooseFiles(dialogParent(), mode == FileSelectOpenMultiple,
                                               oldFiles, acceptedMimeTypes);
}

class WebEnginePage::QuestionOpen final
{
public:
    explicit QuestionOpen(WebEnginePage& page)
        : m_page(page)
    {
        ++m_page.m_questionsOpen;
    }
    ~QuestionOpen()
    {
        if (--m_page.m_questionsOpen == 0)
            Q_EMIT m_page.questionsClosed();
    }
    Q_DISABLE_COPY_MOVE(QuestionOpen)

private:
    WebEnginePage& m_page;
};

bool WebEnginePage::dialogAllowed()
{
    return m_context && !m_dialogsStopped && shownToUser();
}

bool WebEnginePage::shownToUser() const
{
    // A script dialog or a password question must be answered inside the engine's call, and
    // the engine does nothing else, for any page, until it returns. A page the user cannot
    // see (a tab in the background) would hold up everything for a question nobody sees:
    // only the page on the screen may ask.
    const QWidget* view = dialogParent();
    return view && view->isVisible();
}

bool* WebEnginePage::stopOffer()
{
    // A page that shows dialog after dialog (an alert in a loop) would keep the user from
    // everything else: after a few, the user may stop them until the page is left.
    return ++m_dialogs > WebQuestions::DialogsBeforeOffer ? &m_dialogsStopped : nullptr;
}

bool WebEnginePage::hasDocument() const
{
    return m_backend->hasDocument();
}

void WebEnginePage::showStatus(const QString& text)
{
    m_backend->showStatus(text);
}

void WebEnginePage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    const QuestionOpen open(*this);
    if (dialogAllowed())
        m_context->questions()->alert(dialogParent(), securityOrigin, msg, stopOffer());
}

bool WebEnginePage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    const QuestionOpen open(*this);
    return dialogAllowed() &&
           m_context->questions()->confirm(dialogParent(), securityOrigin, msg, stopOffer());
}

bool WebEnginePage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                     const QString& defaultValue, QString* result)
{
    const QuestionOpen open(*this);
    return dialogAllowed() && m_context->questions()->prompt(dialogParent(), securityOrigin, msg,
                                                             defaultValue, result, stopOffer());
}

void WebEnginePage::onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator,
                                             const QString& proxyHost)
{
    const QuestionOpen open(*this);
    WebQuestions::Credentials credentials{authenticator->user(), QString()};
    if (m_context && shownToUser() &&
        m_context->questions()->askCredentials(dialogParent(), url, authenticator->realm(),
                                               proxyHost, &credentials)) {
        authenticator->setUser(credentials.user);
        authenticator->setPassword(credentials.password);
    } else {
        // A page out of sight asks once it is shown: it loads again then.
        if (m_context && !shownToUser())
            m_askWhenShown = url;
        // A null authenticator is the engine's way of saying "cancel".
        *authenticator = QAuthenticator();
    }
}

void WebEnginePage::onCertificateError(QWebEngineCertificateError error)
{
    // Refused unless the user explicitly chooses to go on. The engine waits for the click
    // without being held up: other pages go on meanwhile.
    error.defer();
    if (!m_context) {
        error.rejectCertificate();
        return;
    }
    const QPointer<WebEnginePage> page(this);
    const auto answer = [page, error](bool proceed) mutable {
        if (!page)
            return;
        if (proceed && error.isOverridable())
            error.acceptCertificate();
        else
            error.rejectCertificate();
    };
    m_context->questions()->acceptCertificateError(dialogParent(), error.url(), error.description(),
                                                   error.isOverridable(), answer);
}

void WebEnginePage::askFeature(const QUrl& origin, std::optional<SiteFeature> asked,
                               const WebQuestions::Answer& answer)
{
    if (!asked || !m_context) {
        answer(false);
        return;
    }
    if (const std::optional<bool> known = m_context->permissions().remembered(origin, *asked)) {
        answer(*known);
        return;
    }
    // While the site's question is open, asking again only waits for the same answer: a page
    // that asks in a loop gets one question, not a pile of them.
    const QString key = QString::number(int(*asked)) + QLatin1Char(' ') + origin.toString();
    m_featureAnswers[key].append(answer);
    if (m_featureAnswers[key].size() > 1)
        return;
    // Forgets the waiting requests when the question goes unanswered (its view went away),
    // so that the site may be asked again.
    const QPointer<WebEnginePage> page(this);
    const std::shared_ptr<void> unanswered(nullptr, [page, key](void*) {
        if (page)
            page->m_featureAnswers.remove(key);
    });
    m_context->questions()->allowFeature(
        dialogParent(), origin, *asked,
        [page, unanswered, key, origin, feature = *asked](bool allowed) {
            if (!page || !page->m_context)
                return;
            page->m_context->permissions().remember(origin, feature, allowed);
            const QList<WebQuestions::Answer> waiting = page->m_featureAnswers.take(key);
            for (const WebQuestions::Answer& give : waiting)
                give(allowed);
        });
}
