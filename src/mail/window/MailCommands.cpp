#include "mail/window/MailCommands.h"

#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "mail/MailNews.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

MailCommands::MailCommands(TabSet& tabs, const MainActions& actions, QMenu& mailMenu,
                           TPVStatusBar& status, QObject* parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_status(status)
    , m_mail(new MailNews(MailNews::thisDesktop(), this))
{
    connect(m_mail, &MailNews::statusText, &m_status, &TPVStatusBar::setText);

    const auto on = [this, &actions](ActionId id, auto slot) {
        connect(actions.get(id), &QAction::triggered, this, slot);
    };
    for (ActionId id : {ActionId::actReadMail, ActionId::mnuGoMail})
        on(id, [this] { m_mail->ReadMail(); });
    for (ActionId id : {ActionId::pmMailReadNews, ActionId::mnuGoNews})
        on(id, [this] { m_mail->ReadNews(); });
    on(ActionId::pmMailNewMessage, [this] { m_mail->NewMessage(); });
    for (ActionId id : {ActionId::pmMailSendLink, ActionId::mnuFileSendLink}) {
        on(id, [this] {
            const TBrowserTab* tab = m_tabs.GetActivePage();
            m_mail->SendLink(tab ? tab->GetTitle() : QString(),
                             tab ? tab->GetAddress() : QString());
        });
    }
    for (ActionId id : {ActionId::pmMailSendFile, ActionId::mnuFileSendPage})
        on(id, [this] { SendPageByMail(); });

    // The installed mail programs follow the fixed part, listed the first time the menu
    // opens and not looked up again while we run.
    QMenu* menu = &mailMenu;
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { m_mail->ListMailClients(menu); });
}

void MailCommands::SendPageByMail()
{
    TBrowserTab* tab = m_tabs.GetActivePage();
    if (!tab)
        return;
    tab->SaveForMail([self = QPointer<MailCommands>(this)](const TSaveResult& saved) {
        if (!self)
            return;
        if (!saved.ok()) {
            self->m_status.setText(
                QStringLiteral("The page could not be saved for the mail: %1").arg(saved.error));
            return;
        }
        self->m_mail->SendPage(saved.fileName);
    });
}
