#include "passwords/PasswordPage.h"

#include "passwords/PasswordManager.h"
#include "passwords/PasswordScripts.h"
#include "platform/web/WebBrowser.h"

using PasswordRules::Login;

PasswordPage::PasswordPage(TWebBrowser* browser, PasswordManager* manager, QObject* parent)
    : QObject(parent)
    , m_browser(browser)
    , m_manager(manager)
{
    Q_ASSERT(m_browser && m_manager);
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        // Until the page showed a password field it is asked only while it is in view.
        if (m_armed || (m_browser && m_browser->isVisible()))
            look();
    });
    // A sign-in kept or removed (here or in another tab) changes the accounts of the site.
    connect(m_manager, &PasswordManager::changed, this, &PasswordPage::fetchAccounts);
}

void PasswordPage::pageShown()
{
    if (!m_browser)
        return;
    const QString origin = PasswordRules::originOf(m_browser->LocationURL());
    if (origin != m_origin) {
        m_poll.stop();
        m_origin = origin;
        m_accounts.clear();
        m_accountsKnown = false;
        m_hasForm = false;
        m_filled = false;
        Q_EMIT accountsChanged();
        fetchAccounts();
    }
    // An address is shown twice a load (committed, then loaded): a page armed at the first
    // is asked straight away at the second. Another address is another document.
    if (m_browser->LocationURL() != m_armedAddress)
        m_armed = false;
    look();
}

void PasswordPage::fetchAccounts()
{
    const QString origin = m_origin;
    m_manager->loginsFor(origin, this, [this, origin](const QList<Login>& logins) {
        if (origin != m_origin)
            return; // the page moved on meanwhile
        m_accounts = logins;
        m_accountsKnown = true;
        Q_EMIT accountsChanged();
        fillIfOne();
    });
}

void PasswordPage::leaving()
{
    // A page that was never armed noted nothing.
    if (m_armed)
        look();
}

void PasswordPage::look()
{
    // A page frozen or unloaded to save memory is not woken for it (a script would bring an
    // unloaded one back): it is asked again once it is shown.
    if (!m_browser || m_browser->backend()->lifecycle() != PageLifecycle::Active)
        return;
    if (m_armed) {
        lookArmed();
        return;
    }
    // The program's world is made in a page only once it has a password field.
    const QPointer<PasswordPage> self(this);
    m_browser->backend()->runPageJavaScript(
        PasswordScripts::passwordFieldSeen(), [self](const QVariant& seen) {
            if (!self || !seen.isValid())
                return; // the script failed, or the page is going with its browser
            if (seen.toBool()) {
                self->m_armed = true;
                self->m_armedAddress = self->m_browser ? self->m_browser->LocationURL() : QString();
                self->lookArmed();
            } else {
                self->noFieldSeen();
            }
        });
}

void PasswordPage::noFieldSeen()
{
    m_filled = false;
    if (m_hasForm) {
        m_hasForm = false;
        Q_EMIT accountsChanged();
    }
    // A script may add a sign-in form later.
    m_poll.setInterval(PollMs);
    if (!m_poll.isActive())
        m_poll.start();
}

void PasswordPage::lookArmed()
{
    const QPointer<PasswordPage> self(this);
    const QString pageUrl = m_browser->LocationURL();
    m_browser->backend()->runJavaScript(PasswordScripts::look(), {},
                                        [self, pageUrl](const QVariant& result) {
                                            if (self)
                                                self->looked(result, pageUrl);
                                        });
}

void PasswordPage::looked(const QVariant& result, const QString& pageUrl)
{
    // No answer: the script failed, or the page is going with its browser, which is then
    // half destroyed and must not be asked anything.
    if (!result.isValid())
        return;
    const QVariantMap map = result.toMap();
    // The sign-ins belong to the page the script ran in, which is the one asked about: a
    // page that went meanwhile took its noted sign-ins with it.
    for (const PasswordRules::Form& form :
         PasswordRules::formsFromScript(map.value(QStringLiteral("submitted")))) {
        const Login login = PasswordRules::loginOf(form, pageUrl);
        if (!login.origin.isEmpty())
            m_manager->submitted(login, this);
    }
    if (!m_browser || PasswordRules::originOf(m_browser->LocationURL()) != m_origin)
        return;
    bool hasForm = false;
    for (const PasswordRules::Form& form :
         PasswordRules::formsFromScript(map.value(QStringLiteral("forms")))) {
        if (PasswordRules::originOf(form.documentUrl) == m_origin)
            hasForm = true;
    }
    m_filled = map.value(QStringLiteral("filled")).toBool();
    const QVariantMap focus = map.value(QStringLiteral("focus")).toMap();
    const int seq = focus.value(QStringLiteral("seq")).toInt();
    const QString seen =
        focus.value(QStringLiteral("page")).toString().left(32) + QLatin1Char('/') + QString::number(seq);
    if (seq > 0 && seen != m_focusSeen) {
        m_focusSeen = seen;
        if (hasForm && m_accounts.size() > 1) {
            const qreal zoom = m_browser->backend()->zoomFactor();
            const auto at = [&](const char* name) {
                return qRound(qBound(-1.0e6, focus.value(QLatin1String(name)).toDouble(), 1.0e6) * zoom);
            };
            Q_EMIT accountsWanted(QRect(at("x"), at("y"), at("width"), at("height")));
        }
    }
    if (hasForm != m_hasForm) {
        m_hasForm = hasForm;
        Q_EMIT accountsChanged();
    }
    m_poll.setInterval(m_accounts.size() > 1 ? FocusPollMs : PollMs);
    if (hasForm && !m_poll.isActive())
        m_poll.start();
    else if (!hasForm)
        m_poll.stop();
    fillIfOne();
}

void PasswordPage::fillIfOne()
{
    if (m_accountsKnown && m_accounts.size() == 1 && m_hasForm && !m_filled) {
        m_filled = true; // once per page, whatever the user types afterwards
        fill(m_accounts.first());
    }
}

void PasswordPage::fill(const Login& login)
{
    if (!m_browser ||
        !PasswordRules::mayFill(login.origin, m_browser->LocationURL(), m_browser->LocationURL()))
        return;
    const QPointer<PasswordPage> self(this);
    // The values go in as data; the script fills only documents of the login's origin.
    m_browser->backend()->runJavaScript(
        PasswordScripts::fill(),
        {login.origin, login.usernameField, login.passwordField, login.username, login.password},
        [self](const QVariant& result) {
            if (self)
                Q_EMIT self->filled(result.toInt());
        });
}
