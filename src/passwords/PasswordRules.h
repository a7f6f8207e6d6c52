#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The decisions about kept passwords, as functions from what a page and the keyring say to
// what the program does. Nothing here touches a page, a widget or the keyring.
namespace PasswordRules {

// The origin a password belongs to: "scheme://host" with ":port" when the port is not the
// scheme's own, for http and https addresses only (host in lower case). Empty for anything
// else (a local file, about:, data:), where nothing is kept.
QString originOf(const QString& url);

// Whether a password kept for `savedOrigin` may be put into a form of the document at
// `formUrl`, shown in a page at `pageUrl`: the same scheme, host and port all three, so
// never another site, never a frame of another site inside this one, and never a plain
// http page for a password an https page gave (the scheme is part of the origin).
bool mayFill(const QString& savedOrigin, const QString& pageUrl, const QString& formUrl);

// One field of a form, as the page script reports it.
struct Field
{
    QString name;
    QString id;
    QString type;         // the input's type in lower case ("text" when it has none)
    QString autocomplete; // the attribute, lower case
    QString value;
    friend bool operator==(const Field&, const Field&) = default;
};

// One form with at least one password field, as it was when submitted (or, for filling,
// as it is now). The fields are in document order.
struct Form
{
    QString documentUrl; // of the document holding the form (a frame's own address)
    QList<Field> fields;
};

// The field that holds the password the form is about: of one password field that one;
// of two the second (a new password and its repetition, or an old one and a new one); of
// three or more the one whose value is repeated by the next (old, new, new), else the last.
// -1 without a password field.
int passwordFieldOf(const QList<Field>& fields);

// The field holding the user name for the password field at `passwordIndex`: a field with
// autocomplete "username" (or "email") comes first; then the nearest text-like field
// before the password whose name or id speaks of a user, a login, an e-mail or an account;
// then the nearest text-like field before it. -1 when there is none.
int userFieldOf(const QList<Field>& fields, int passwordIndex);

// What is kept of one sign-in (the password only when it was asked for).
struct Login
{
    QString origin;
    QString username;
    QString usernameField;
    QString passwordField;
    QString password;
    friend bool operator==(const Login&, const Login&) = default;
};

// The sign-in a submitted form holds, for the page at `pageUrl`; an empty origin when the
// form gives nothing to keep (no password, an empty one, a page without origin, a form of
// a document of another origin than the page).
Login loginOf(const Form& form, const QString& pageUrl);

enum class Offer
{
    Nothing, // already kept as it is, or nothing to keep
    Save,    // a new user name (or the first sign-in) for the site
    Update,  // a known user name with another password
};
// What to offer for a submitted sign-in, against the logins kept for its origin.
Offer offerFor(const Login& submitted, const QList<Login>& kept);

// The forms a page script reported, within bounds (at most MaxForms forms of MaxFields
// fields, values up to MaxValue characters); anything malformed or over a bound is left out.
constexpr int MaxForms = 20;
constexpr int MaxFields = 50;
constexpr int MaxValue = 1024;
QList<Form> formsFromScript(const QVariant& result);

} // namespace PasswordRules
