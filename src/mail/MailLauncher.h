#pragma once

#include "platform/DesktopEntry.h"

#include <QObject>
#include <QStringList>

#include <functional>

// Starts the mail and news programs (as every desktop program is started: DesktopLaunch)
// and runs the commands that hand them a message.
class MailLauncher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailLauncher)

public:
    // `terminal` runs the programs whose entries ask for a terminal; empty: there is none.
    // Programs it started go on without it: a mail program open with a new message must not
    // close because the window did.
    explicit MailLauncher(QString terminal, QObject* parent = nullptr);

    // Starts `command` for `app` and lets it run on its own, in the terminal when its
    // entry asks for one. The problem, for the status bar, when it cannot start; empty when
    // it started.
    QString start(const DesktopApplication& app, QStringList command) const;

    // Runs `command` and says whether it accepted its work: it ended with success, or it
    // was still running after the grace period (a mail program that stays open with the
    // new message). `done` is called once, later, with the problem when not accepted; never
    // once the launcher is gone.
    using Done = std::function<void(bool accepted, const QString& problem)>;
    void run(const QString& name, const QStringList& command, const QString& workingFolder,
             Done done);
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }

private:
    QString m_terminal;
    int m_graceMs = 5000;
};
