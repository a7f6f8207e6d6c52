#pragma once

#include <QString>

#include <functional>

class MailClients;
class MailLauncher;

// Hands a saved page to the user's mail program as the attachment of a new message. The
// program sends nothing by itself: the user's compose window opens with the file.
class TDocSend final
{
public:
    // `xdgEmail` is the desktop's xdg-email, empty when it is not installed.
    TDocSend(const MailClients& clients, MailLauncher& launcher, QString xdgEmail);

    // Whether the mail program accepted the document, or why not; `done` is called once,
    // later, also when nothing could start.
    using SendDone = std::function<void(bool accepted, const QString& problem)>;
    void Send(const QString& fullFileName, SendDone done);

private:
    const MailClients& m_clients;
    MailLauncher& m_launcher;
    QString m_xdgEmail;
};
