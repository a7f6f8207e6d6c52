#include "passwords/PasswordRules.h"

#include <QRegularExpression>
#include <QUrl>

namespace PasswordRules {

namespace {

bool isTextLike(const Field& field)
{
    return field.type == QLatin1String("text") || field.type == QLatin1String("email") ||
           field.type == QLatin1String("tel");
}

bool speaksOfUser(const Field& field)
{
    static const QRegularExpression hint(
        QStringLiteral("user|login|logon|e-?mail|account|ident|nick|member"),
        QRegularExpression::CaseInsensitiveOption);
    return hint.match(field.name).hasMatch() || hint.match(field.id).hasMatch();
}

// A field's name as the form knows it (the name, or the id of a field without one).
QString fieldKey(const Field& field)
{
    return field.name.isEmpty() ? field.id : field.name;
}

} // namespace

QString originOf(const QString& url)
{
    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return {};
    const QString host = address.host().toLower();
    if (host.isEmpty())
        return {};
    QString origin = scheme + QStringLiteral("://") + host;
    const int port = address.port();
    const int ownPort = scheme == QLatin1String("https") ? 443 : 80;
    if (port != -1 && port != ownPort)
        origin += QLatin1Char(':') + QString::number(port);
    return origin;
}

bool mayFill(const QString& savedOrigin, const QString& pageUrl, const QString& formUrl)
{
    if (savedOrigin.isEmpty())
        return false;
    return originOf(pageUrl) == savedOrigin && originOf(formUrl) == savedOrigin;
}

int passwordFieldOf(const QList<Field>& fields)
{
    QList<int> passwords;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].type == QLatin1String("password"))
            passwords << i;
    }
    if (passwords.isEmpty())
        return -1;
    if (passwords.size() == 1)
        return passwords[0];
    if (passwords.size() == 2)
        return passwords[1];
    for (int i = 0; i + 1 < passwords.size(); ++i) {
        const QString& value = fields[passwords[i]].value;
        if (!value.isEmpty() && value == fields[passwords[i + 1]].value)
            return passwords[i];
    }
    return passwords.last();
}

int userFieldOf(const QList<Field>& fields, int passwordIndex)
{
    if (passwordIndex < 0 || passwordIndex >= fields.size())
        return -1;
    for (int i = 0; i < fields.size(); ++i) {
        const QString& hint = fields[i].autocomplete;
        if (i != passwordIndex && fields[i].type != QLatin1String("password") &&
            (hint.contains(QLatin1String("username")) || hint == QLatin1String("email")))
            return i;
    }
    for (int i = passwordIndex - 1; i >= 0; --i) {
        if (isTextLike(fields[i]) && speaksOfUser(fields[i]))
            return i;
    }
    for (int i = passwordIndex - 1; i >= 0; --i) {
        if (isTextLike(fields[i]))
            return i;
    }
    return -1;
}

Login loginOf(const Form& form, const QString& pageUrl)
{
    const QString origin = originOf(pageUrl);
    if (origin.isEmpty() || originOf(form.documentUrl) != origin)
        return {};
    const int password = passwordFieldOf(form.fields);
    if (password < 0 || form.fields[password].value.isEmpty())
        return {};
    Login login;
    login.origin = origin;
    login.passwordField = fieldKey(form.fields[password]);
    login.password = form.fields[password].value;
    const int user = userFieldOf(form.fields, password);
    if (user >= 0) {
        login.username = form.fields[user].value.trimmed();
        login.usernameField = fieldKey(form.fields[user]);
    }
    return login;
}

Offer offerFor(const Login& submitted, const QList<Login>& kept)
{
    if (submitted.origin.isEmpty() || submitted.password.isEmpty())
        return Offer::Nothing;
    for (const Login& login : kept) {
        if (login.origin != submitted.origin || login.username != submitted.username)
            continue;
        return login.password == submitted.password ? Offer::Nothing : Offer::Update;
    }
    return Offer::Save;
}

QList<Form> formsFromScript(const QVariant& result)
{
    QList<Form> forms;
    const QVariantList list = result.toList();
    for (const QVariant& item : list) {
        if (forms.size() >= MaxForms)
            break;
        const QVariantMap map = item.toMap();
        const QVariantList fields = map.value(QStringLiteral("fields")).toList();
        const QString url = map.value(QStringLiteral("url")).toString();
        if (fields.isEmpty() || fields.size() > MaxFields || url.size() > 4 * MaxValue)
            continue;
        Form form;
        form.documentUrl = url;
        bool ok = true;
        for (const QVariant& f : fields) {
            const QVariantList parts = f.toList();
            if (parts.size() != 5) {
                ok = false;
                break;
            }
            Field field{parts[0].toString(), parts[1].toString(), parts[2].toString().toLower(),
                        parts[3].toString().toLower(), parts[4].toString()};
            if (field.name.size() > MaxValue || field.id.size() > MaxValue ||
                field.type.size() > 32 || field.autocomplete.size() > MaxValue ||
                field.value.size() > MaxValue) {
                ok = false;
                break;
            }
            form.fields << field;
        }
        if (ok && passwordFieldOf(form.fields) >= 0)
            forms << form;
    }
    return forms;
}

} // namespace PasswordRules
