#include "app/WindowMail.h"

#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "commands/MainActions.h"
#include "mail/MailNews.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

WindowMail::WindowMail(TfrmMain& window)
    : QObject(&window)
    , m_window(window)
    , m_mail(new MailNews(MailNews::thisDesktop(), this))
{
    connect(m_mail, &MailNews::statusText, &m_window, &TfrmMain::SetStatusText);

    const auto on = [this](ActionId id, auto slot) {
        connect(m_window.action(id), &QAction::triggered, this, slot);
    };
    for (ActionId id : {ActionId::actReadMail, ActionId::mnuGoMail})
        on(id, [this] { m_mail->ReadMail(); });
    for (ActionId id : {ActionId::pmMailReadNews, ActionId::mnuGoNews})
        on(id, [this] { m_mail->ReadNews(); });
    on(ActionId::pmMailNewMessage, [this] { m_mail->NewMessage(); });
    for (ActionId id : {ActionId::pmMailSendLink, ActionId::mnuFileSendLink}) {
        on(id, [this] {
            const TBrowserTab* tab = m_window.GetActivePage();
            m_mail->SendLink(tab ? tab->GetTitle() : QString(),
                             tab ? tab->GetAddress() : QString());
        });
    }
    for (ActionId id : {ActionId::pmMailSendFile, ActionId::mnuFileSendPage})
        on(id, [this] { SendPageByMail(); });

    // The installed mail programs follow the fixed part, listed the first time the menu
    // opens and not looked up again while we run.
    QMenu* pmMail = m_window.menu(MenuId::Mail);
    connect(pmMail, &QMenu::aboutToShow, this, [this, pmMail] { m_mail->ListMailClients(pmMail); });
}

void WindowMail::SendPageByMail()
{
    TBrowserTab* tab = m_window.GetActivePage();
    if (!tab)
        return;
    tab->SaveForMail([self = QPointer<WindowMail>(this)](const TSaveResult& saved) {
        if (!self)
            return;
        if (!saved.ok()) {
            self->m_window.SetStatusText(
                QStringLiteral("The page could not be saved for the mail: %1").arg(saved.error));
            return;
        }
        self->m_mail->SendPage(saved.fileName);
    });
}
