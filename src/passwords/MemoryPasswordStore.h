#pragma once

#include "passwords/PasswordStore.h"

// Sign-ins kept in memory, for tests: answers as the keyring does (later, never inside the
// call), or as a desktop without a Secret Service when made unavailable.
class MemoryPasswordStore final : public PasswordStore
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoryPasswordStore)

public:
    using PasswordStore::PasswordStore;

    void setUnavailable(bool unavailable) { m_unavailable = unavailable; }
    const QList<PasswordRules::Login>& logins() const { return m_logins; }
    int calls() const { return m_calls; }

    void save(const PasswordRules::Login& login, Done done) override;
    void find(const QString& origin, Done done) override;
    void remove(const QString& origin, const QString& username, Done done) override;
    void list(Done done) override;

private:
    void answer(Result result, Done done);

    QList<PasswordRules::Login> m_logins;
    bool m_unavailable = false;
    int m_calls = 0;
};
