#pragma once

#include "passwords/PasswordRules.h"
#include "passwords/PasswordStore.h"

#include <QObject>
#include <QPointer>

class RegistryHive;

// What the program does with the sign-ins pages send and with the ones it keeps: whether
// to offer to keep one (not in a private window, not for a site on the never list, not
// when it is kept already), keeping it, and finding the ones for a page. One for the
// program, shared by every tab; the pages' side is PasswordPage.
class PasswordManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordManager)

public:
    struct Setup
    {
        PasswordStore* store = nullptr; // required
        RegistryHive* hive = nullptr;   // the never list; required
        // The engine's profile keeps nothing (a private window): nothing is offered.
        bool offTheRecord = false;
    };

    explicit PasswordManager(Setup setup, QObject* parent = nullptr);

    PasswordStore* store() const { return m_setup.store; }
    RegistryHive* hive() const { return m_setup.hive; }

    // A page sent a sign-in. `asker` is told (offer) when there is something to offer;
    // the question goes to the object that asked only (a tab's bar).
    void submitted(const PasswordRules::Login& login, QObject* asker);
    // The user's answers to an offer.
    void keep(const PasswordRules::Login& login);
    void never(const QString& origin);
    // Sign-ins were removed elsewhere (the list of saved passwords): pages ask again.
    void noteRemoved() { Q_EMIT changed(); }

    // The sign-ins kept for an origin (nothing for a private window's page either, which
    // is filled as any other: the user kept them in the keyring themselves).
    void loginsFor(const QString& origin, QObject* receiver,
                   std::function<void(const QList<PasswordRules::Login>&)> done);

    // The text said once when the desktop has no Secret Service.
    static QString unavailableText();

Q_SIGNALS:
    // Offer to keep (Save) or change (Update) `login`, asked by `asker`.
    void offer(QObject* asker, const PasswordRules::Login& login, PasswordRules::Offer offer);
    // Something to tell the user on the bar of `asker` (the keyring is missing, said once
    // for the program's life; a keyring that refused a call).
    void tell(QObject* asker, const QString& text);
    // A sign-in was kept or removed: lists of accounts may be out of date.
    void changed();

private:
    // Whether a result says the keyring cannot be used; tells `asker` once.
    bool unusable(const PasswordStore::Result& result, QObject* asker);

    Setup m_setup;
    bool m_unavailableTold = false;
    bool m_unavailable = false;
};
