#pragma once

#include "passwords/PasswordStore.h"

#include <memory>

// Sign-ins kept by the desktop's Secret Service (GNOME Keyring, KWallet, KeePassXC)
// through libsecret, one item per sign-in with the origin, the user name and the form's
// field names as attributes and the password as the secret. libsecret's calls wait for
// the service over D-Bus, so they run one after the other on a thread of the store's own,
// and their answers come back to the store's thread.
class SecretPasswordStore final : public PasswordStore
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecretPasswordStore)

public:
    explicit SecretPasswordStore(QObject* parent = nullptr);
    // Lets the call running now finish, withdraws it if it waits for the user (the others are
    // dropped unanswered).
    ~SecretPasswordStore() override;

    // The name of the items' schema, as other programs see it (secret-tool, Seahorse).
    static QString schemaName();

    void save(const PasswordRules::Login& login, Done done) override;
    void find(const QString& origin, Done done) override;
    void remove(const QString& origin, const QString& username, Done done) override;
    void list(Done done) override;

private:
    void run(std::function<Result()> work, Done done);

    // How long the store's going waits for a call to finish, then for it to be withdrawn.
    static constexpr int FinishTimeoutMs = 2000;
    static constexpr int WithdrawTimeoutMs = 1000;

    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
