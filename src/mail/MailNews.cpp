#include "mail/MailNews.h"

#include "mail/MailLauncher.h"
#include "mail/MailRules.h"
#include "platform/DesktopLaunch.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>

const QString MailNews::NoMailProgram =
    QStringLiteral("No mail program is set up on this desktop.");
const QString MailNews::NoNewsProgram =
    QStringLiteral("No news program is set up on this desktop.");

MailNews::Setup MailNews::thisDesktop()
{
    return {DefaultPrograms::Places::current(),
            QStandardPaths::findExecutable(QStringLiteral("xdg-email")),
            DesktopLaunch::terminalProgram()};
}

MailNews::MailNews(Setup setup, QObject* parent)
    : QObject(parent)
    , m_clients(std::move(setup.desktop))
    , m_launcher(new MailLauncher(std::move(setup.terminal), this))
    , m_xdgEmail(std::move(setup.xdgEmail))
{}

void MailNews::ReadMail()
{
    startDefault(MailKind::Mail, QString());
}

void MailNews::ReadNews()
{
    startDefault(MailKind::News, QString());
}

void MailNews::NewMessage()
{
    startDefault(MailKind::Mail, QStringLiteral("mailto:"));
}

void MailNews::SendLink(const QString& title, const QString& url)
{
    startDefault(MailKind::Mail, MailRules::sendLinkAddress(title, url));
}

void MailNews::SendPage(const QString& savedFile, TDocSend::SendDone done)
{
    TDocSend sender(m_clients, *m_launcher, m_xdgEmail);
    sender.Send(savedFile, [self = QPointer<MailNews>(this),
                            done = std::move(done)](bool accepted, const QString& problem) {
        if (self && !accepted)
            self->report(problem);
        if (done)
            done(accepted, problem);
    });
}

void MailNews::ListMailClients(QMenu* menu)
{
    if (m_mailClientsListed || !menu)
        return;
    m_mailClientsListed = true;
    const QList<DesktopApplication> programs = m_clients.installed(MailKind::Mail);
    for (const DesktopApplication& program : programs) {
        QString caption = program.name;
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item = menu->addAction(caption);
        item->setStatusTip(program.exec); // the command, as the item's hint
        if (!program.icon.isEmpty())
            item->setIcon(QIcon::fromTheme(program.icon));
        connect(item, &QAction::triggered, this, [this, program] { RunMe(program); });
    }
}

void MailNews::RunMe(const DesktopApplication& program)
{
    report(m_launcher->start(program, DesktopEntry::BuildAddressCommand(program, QString())));
}

void MailNews::startDefault(MailKind kind, const QString& address)
{
    const auto program = m_clients.defaultProgram(kind);
    if (!program) {
        report(kind == MailKind::Mail ? NoMailProgram : NoNewsProgram);
        return;
    }
    report(m_launcher->start(*program, DesktopEntry::BuildAddressCommand(*program, address)));
}

void MailNews::report(const QString& problem)
{
    if (!problem.isEmpty())
        Q_EMIT statusText(problem);
}
