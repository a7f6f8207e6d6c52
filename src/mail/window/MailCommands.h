#pragma once

#include <QObject>

class MailNews;
class MainActions;
class QMenu;
class TabSet;
class TPVStatusBar;

// The Mail menu and its commands: the user's own mail and news programs, a new message, a
// link or the page itself sent by mail. The work is MailNews's; this gives it the active
// page and shows what it says in the status bar.
class MailCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(MailCommands)

public:
    // `mailMenu` gets the installed mail programs after its fixed items.
    MailCommands(TabSet& tabs, const MainActions& actions, QMenu& mailMenu, TPVStatusBar& status,
                 QObject* parent = nullptr);

    MailNews* mail() const { return m_mail; }
    // The active tab's page, saved for a mail, attached to a new message.
    void SendPageByMail();

private:
    TabSet& m_tabs;
    TPVStatusBar& m_status;
    MailNews* m_mail = nullptr;
};
