#pragma once

#include <QObject>

class MailNews;
class TfrmMain;

// The Mail menu and its commands: the user's own mail and news programs, a new message, a
// link or the page itself sent by mail. The work is MailNews's; this gives it the active
// page and shows what it says in the status bar.
class WindowMail final : public QObject
{
public:
    explicit WindowMail(TfrmMain& window);

    MailNews* mail() const { return m_mail; }
    // The active tab's page, saved for a mail, attached to a new message.
    void SendPageByMail();

private:
    TfrmMain& m_window;
    MailNews* m_mail = nullptr;
};
