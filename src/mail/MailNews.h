#pragma once

#include "mail/DocSend.h"
#include "mail/MailClients.h"

#include <QObject>

class MailLauncher;
class QMenu;

// The Mail menu's commands: the user's own mail and news programs as the desktop
// registers them, a new message, a message carrying a link, a page sent as an attachment.
// What cannot be done is said through `statusText`, once per command.
class MailNews final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailNews)

public:
    struct Setup
    {
        DefaultPrograms::Places desktop;
        QString xdgEmail; // the desktop's xdg-email; empty: not installed
        QString terminal; // runs programs that want a terminal; empty: none
    };
    // The desktop of this session.
    static Setup thisDesktop();

    static const QString NoMailProgram;
    static const QString NoNewsProgram;

    explicit MailNews(Setup setup, QObject* parent = nullptr);

    // Start the default mail (news) program.
    void ReadMail();
    void ReadNews();
    // A new, empty message in the default mail program.
    void NewMessage();
    // A new message about a page: subject "title (address)", body the address.
    void SendLink(const QString& title, const QString& url);
    // A new message with the saved page attached; `done` (optional) hears whether the mail
    // program took it.
    void SendPage(const QString& savedFile, TDocSend::SendDone done = {});

    // Appends one item per installed mail program to `menu`, the first time only: a program
    // installed later appears after a restart.
    void ListMailClients(QMenu* menu);
    bool MailClientsListed() const { return m_mailClientsListed; }
    // What an item of that list runs.
    void RunMe(const DesktopApplication& program);

    MailLauncher* launcher() const { return m_launcher; }

Q_SIGNALS:
    void statusText(const QString& text);

private:
    void startDefault(MailKind kind, const QString& address);
    void report(const QString& problem);

    MailClients m_clients;
    MailLauncher* m_launcher;
    QString m_xdgEmail;
    bool m_mailClientsListed = false;
};
