#pragma once

#include "passwords/PasswordRules.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// Where sign-ins are kept. Every call answers later, on the thread of the store's owner,
// never from inside the call: the desktop's keyring answers over D-Bus and may take its
// time (it may even ask the user to unlock it), and the window must not wait for it.
// An answer does not come once the store is gone.
class PasswordStore : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordStore)

public:
    enum class Status
    {
        Ok,
        Unavailable, // no Secret Service on this desktop (no session bus, nobody answering)
        Failed,      // the service refused (a locked keyring the user did not open, ...)
    };
    struct Result
    {
        Status status = Status::Ok;
        QString error; // the service's own words, for anything but Ok
        QList<PasswordRules::Login> logins;
    };
    using Done = std::function<void(const Result&)>;

    using QObject::QObject;
    ~PasswordStore() override = default;

    // What the user is told when the desktop has no Secret Service.
    static QString unavailableText()
    {
        return QStringLiteral("Passwords cannot be kept on this desktop: it has no keyring "
                              "(Secret Service) to keep them in.");
    }

    // Keeps a sign-in; one of the same origin and user name is replaced.
    virtual void save(const PasswordRules::Login& login, Done done) = 0;
    // The sign-ins kept for an origin, with their passwords, sorted by user name.
    virtual void find(const QString& origin, Done done) = 0;
    virtual void remove(const QString& origin, const QString& username, Done done) = 0;
    // Every sign-in kept, without passwords, sorted by origin and user name.
    virtual void list(Done done) = 0;
};
