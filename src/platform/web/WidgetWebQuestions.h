#pragma once

#include "platform/web/WebQuestions.h"

// Asks the user with the toolkit's dialogs.
class WidgetWebQuestions final : public WebQuestions
{
public:
    WidgetWebQuestions() = default;
    Q_DISABLE_COPY_MOVE(WidgetWebQuestions)

    QString saveDownloadAs(QWidget* parent, const QString& suggestedPath,
                           const QString& mimeType) override;
    bool askCredentials(QWidget* parent, const QUrl& url, const QString& realm,
                        const QString& proxyHost, Credentials* credentials) override;
    void acceptCertificateError(QWidget* parent, const QUrl& url, const QString& description,
                                bool overridable, Answer answer) override;
    void allowFeature(QWidget* parent, const QUrl& origin, SiteFeature feature,
                      Answer answer) override;
    QStringList chooseFiles(QWidget* parent, bool multiple, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void alert(QWidget* parent, const QUrl& origin, const QString& message,
               bool* stopDialogs) override;
    bool confirm(QWidget* parent, const QUrl& origin, const QString& message,
                 bool* stopDialogs) override;
    bool prompt(QWidget* parent, const QUrl& origin, const QString& message,
                const QString& defaultValue, QString* result, bool* stopDialogs) override;
    void dropQuestions(QWidget* parent) override;
    QString findText(QWidget* parent, const QString& previous) override;
};
