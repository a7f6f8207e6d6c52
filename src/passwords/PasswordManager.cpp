#include "passwords/PasswordManager.h"

#include "passwords/NeverList.h"
#include "platform/Registry.h"

using PasswordRules::Login;

PasswordManager::PasswordManager(Setup setup, QObject* parent)
    : QObject(parent)
    , m_setup(setup)
{
    Q_ASSERT(m_setup.store && m_setup.hive);
}

QString PasswordManager::unavailableText()
{
    return PasswordStore::unavailableText();
}

bool PasswordManager::unusable(const PasswordStore::Result& result, QObject* asker)
{
    if (result.status == PasswordStore::Status::Ok)
        return false;
    if (result.status == PasswordStore::Status::Unavailable) {
        m_unavailable = true;
        if (!m_unavailableTold) {
            m_unavailableTold = true;
            Q_EMIT tell(asker, unavailableText());
        }
    } else {
        Q_EMIT tell(asker, QStringLiteral("The keyring refused: %1").arg(result.error));
    }
    return true;
}

void PasswordManager::submitted(const Login& login, QObject* asker)
{
    if (m_setup.offTheRecord || login.origin.isEmpty() || login.password.isEmpty())
        return;
    if (NeverList::contains(*m_setup.hive, login.origin))
        return;
    // The store may outlive the manager and the page that asked.
    const QPointer<PasswordManager> self(this);
    const QPointer<QObject> who(asker);
    m_setup.store->find(login.origin, [self, login, who](const PasswordStore::Result& result) {
        if (!self || !who || self->unusable(result, who))
            return;
        const auto offer = PasswordRules::offerFor(login, result.logins);
        if (offer != PasswordRules::Offer::Nothing)
            Q_EMIT self->offer(who, login, offer);
    });
}

void PasswordManager::keep(const Login& login)
{
    const QPointer<PasswordManager> self(this);
    m_setup.store->save(login, [self](const PasswordStore::Result& result) {
        if (self && !self->unusable(result, nullptr))
            Q_EMIT self->changed();
    });
}

void PasswordManager::never(const QString& origin)
{
    try {
        NeverList::add(*m_setup.hive, origin);
    } catch (const RegistryError& error) {
        Q_EMIT tell(nullptr, error.message());
    }
}

void PasswordManager::loginsFor(const QString& origin, QObject* receiver,
                                std::function<void(const QList<Login>&)> done)
{
    // Once the keyring is known to be missing it is not asked at every page.
    if (origin.isEmpty() || m_unavailable)
        return;
    const QPointer<PasswordManager> self(this);
    const QPointer<QObject> who(receiver);
    m_setup.store->find(origin, [self, who, done](const PasswordStore::Result& result) {
        if (!self || !who)
            return;
        if (result.status == PasswordStore::Status::Unavailable)
            self->m_unavailable = true; // said when a sign-in is to be kept, not at every page
        if (result.status == PasswordStore::Status::Ok)
            done(result.logins);
    });
}
