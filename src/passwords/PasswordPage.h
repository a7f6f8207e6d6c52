#pragma once

#include "passwords/PasswordRules.h"

#include <QObject>
#include <QRect>
#include <QPointer>
#include <QTimer>

class PasswordManager;
class TWebBrowser;

// The passwords' side of one browser: it arms each page it is shown, takes the sign-ins the
// page noted, and fills a kept one in. The owner calls pageShown when the browser shows an
// address (committed or loaded) and leaving when the browser is about to go to another
// page (the page's noted sign-ins are taken before it goes).
//
// With one account kept for the page's origin it is filled once the page has a form for it;
// with several, accounts() lists them and fill() puts the one the user picks in.
// While the page has a form for a password it is asked again now and then: a page that
// sends its sign-in by script (and stays) is noticed too. A page is armed only once it has
// a password field (a page without one is asked again while in view, in case a script
// adds a form): arming makes the program's script world in the page, which costs every
// page's renderer memory of its own.
class PasswordPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordPage)

public:
    PasswordPage(TWebBrowser* browser, PasswordManager* manager, QObject* parent = nullptr);

    static constexpr int PollMs = 1500;
    // With several accounts the page is asked more often, so that their list comes soon
    // after the user went into the form.
    static constexpr int FocusPollMs = 400;

    void pageShown();
    void leaving();

    // The accounts kept for the page shown (with their passwords), once known.
    const QList<PasswordRules::Login>& accounts() const { return m_accounts; }
    // Whether the page shown has a form for a password.
    bool hasForm() const { return m_hasForm; }
    // Fills `login` into the page when the page is still of its origin.
    void fill(const PasswordRules::Login& login);

Q_SIGNALS:
    // The accounts for the page changed (another page, or another answer of the keyring).
    void accountsChanged();
    // A fill was done, with the number of fields set.
    void filled(int fields);
    // The user went into a field of a sign-in form with several accounts kept for the site:
    // the list of accounts is offered below `field` (in the view's pixels).
    void accountsWanted(const QRect& field);

private:
    void look();
    void lookArmed();
    void noFieldSeen();
    void fetchAccounts();
    void looked(const QVariant& result, const QString& pageUrl);
    void fillIfOne();

    QPointer<TWebBrowser> m_browser;
    PasswordManager* const m_manager;
    QString m_origin; // of the page whose accounts are known
    QList<PasswordRules::Login> m_accounts;
    bool m_accountsKnown = false;
    bool m_hasForm = false;
    bool m_filled = false; // the page says it was filled already
    bool m_armed = false;  // the document was looked at in the program's world
    QString m_armedAddress; // ...at this address
    QString m_focusSeen;   // the last focus a page reported (its document and count)
    QTimer m_poll;
};
