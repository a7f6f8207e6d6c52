#pragma once

#include "platform/web/WebQuestions.h"

#include <optional>

// Answers the web engine's questions as a test sets them up, and records every question
// ("download <suggested path>", "credentials <realm>", ...), so a real-engine test runs
// without a human.
class ScriptedWebQuestions final : public WebQuestions
{
public:
    // Answers.
    QString downloadPath; // empty cancels the download
    std::optional<Credentials> credentials;
    bool acceptCertificates = false;
    bool allowFeatures = false;
    QStringList files;
    bool confirmAnswer = false;
    bool stopDialogs = false; // the answer when the user is offered to stop a page's dialogs
    std::optional<QString> promptAnswer;
    QString findAnswer;

    // Questions asked, in order.
    QStringList asked;

    int count(const QString& prefix) const
    {
        int n = 0;
        for (const QString& q : asked)
            n += q.startsWith(prefix) ? 1 : 0;
        return n;
    }

    QString saveDownloadAs(QWidget*, const QString& suggestedPath, const QString&) override
    {
        asked << QStringLiteral("download ") + suggestedPath;
        return downloadPath;
    }
    bool askCredentials(QWidget*, const QUrl& url, const QString& realm, const QString& proxyHost,
                        Credentials* given) override
    {
        asked << QStringLiteral("credentials %1 %2 %3").arg(url.path(), realm, proxyHost);
        if (!credentials)
            return false;
        *given = *credentials;
        return true;
    }
    void acceptCertificateError(QWidget*, const QUrl& url, const QString&, bool,
                                Answer answer) override
    {
        asked << QStringLiteral("certificate ") + url.toString();
        answer(acceptCertificates);
    }
    void allowFeature(QWidget*, const QUrl& origin, SiteFeature feature, Answer answer) override
    {
        asked << QStringLiteral("feature %1 %2").arg(origin.host()).arg(int(feature));
        answer(allowFeatures);
    }
    QStringList chooseFiles(QWidget*, bool multiple, const QStringList&,
                            const QStringList&) override
    {
        asked << QStringLiteral("files %1").arg(multiple ? "many" : "one");
        return files;
    }
    void alert(QWidget*, const QUrl&, const QString& message, bool* stopDialogs) override
    {
        asked << QStringLiteral("alert ") + message + offered(stopDialogs);
    }
    bool confirm(QWidget*, const QUrl&, const QString& message, bool* stopDialogs) override
    {
        asked << QStringLiteral("confirm ") + message + offered(stopDialogs);
        return confirmAnswer;
    }
    bool prompt(QWidget*, const QUrl&, const QString& message, const QString&,
                QString* result, bool* stopDialogs) override
    {
        asked << QStringLiteral("prompt ") + message + offered(stopDialogs);
        if (!promptAnswer)
            return false;
        *result = *promptAnswer;
        return true;
    }
    QString findText(QWidget*, const QString&) override
    {
        asked << QStringLiteral("find");
        return findAnswer;
    }

private:
    // " (stop offered)" when the question came with the offer to stop the page's dialogs.
    QString offered(bool* stop) const
    {
        if (!stop)
            return {};
        *stop = stopDialogs;
        return QStringLiteral(" (stop offered)");
    }
};
