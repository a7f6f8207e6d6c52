#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

// What a site may ask to use.
enum class SiteFeature
{
    Geolocation,
    Notifications,
    Camera,
    Microphone,
    CameraAndMicrophone,
    ScreenCapture,
    MouseLock,
};

// Every question the web engine puts to the user goes through here, so that the program
// asks with dialogs (WidgetWebQuestions) and tests answer without a human. `parent` is the
// view the question is about (may be null). Each answer defaults to the safe choice when
// the user closes the dialog.
class WebQuestions
{
public:
    virtual ~WebQuestions() = default;

    // Where to save a download; an empty answer cancels it.
    virtual QString saveDownloadAs(QWidget* parent, const QString& suggestedPath,
                                   const QString& mimeType) = 0;

    struct Credentials
    {
        QString user;
        QString password;
    };
    // A server (or, with `proxyHost` set, a proxy) asks for a user name and password.
    // False cancels the request.
    virtual bool askCredentials(QWidget* parent, const QUrl& url, const QString& realm,
                                const QString& proxyHost, Credentials* credentials) = 0;

    // An answer that comes when the user gives it, after the question has returned; never
    // when the question goes unanswered (its page or tab went away first).
    using Answer = std::function<void(bool)>;

    // The site's certificate is not valid. True goes on to the site anyway; `overridable`
    // false means the engine will refuse whatever the answer, and the user is only told.
    virtual void acceptCertificateError(QWidget* parent, const QUrl& url,
                                        const QString& description, bool overridable,
                                        Answer answer) = 0;

    // The site at `origin` asks to use a feature; true allows it (for this session). The
    // engine need not wait for the answer: other pages go on meanwhile.
    virtual void allowFeature(QWidget* parent, const QUrl& origin, SiteFeature feature,
                              Answer answer) = 0;

    // A page's file input wants files; an empty list cancels.
    virtual QStringList chooseFiles(QWidget* parent, bool multiple, const QStringList& oldFiles,
                                    const QStringList& acceptedMimeTypes) = 0;

    // Script dialogs of a page. The message is the page's text, shown as plain text (a page
    // must not be able to draw a dialog of the program's own inside it). When
    // `stopDialogs` is not null the page has shown several dialogs already: the user is
    // offered to stop its dialogs, and *stopDialogs says whether they took the offer.
    virtual void alert(QWidget* parent, const QUrl& origin, const QString& message,
                       bool* stopDialogs) = 0;
    virtual bool confirm(QWidget* parent, const QUrl& origin, const QString& message,
                         bool* stopDialogs) = 0;
    virtual bool prompt(QWidget* parent, const QUrl& origin, const QString& message,
                        const QString& defaultValue, QString* result, bool* stopDialogs) = 0;
    // After this many dialogs from one page the user is offered to stop them.
    static constexpr int DialogsBeforeOffer = 3;

    // The page under `parent` goes on to another document: the questions about it that did
    // not wait for their answer (features, certificates) are dropped unanswered.
    virtual void dropQuestions(QWidget* parent) { Q_UNUSED(parent) }

    // The text to find on the page; an empty answer finds nothing.
    virtual QString findText(QWidget* parent, const QString& previous) = 0;

    // The user's words for a feature, for questions and remembered choices.
    static QString featureName(SiteFeature feature);
};
