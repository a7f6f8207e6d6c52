#include "passwords/MemoryPasswordStore.h"

#include <QMetaObject>

#include <algorithm>

using PasswordRules::Login;

namespace {

void sortLogins(QList<Login>& logins)
{
    std::sort(logins.begin(), logins.end(), [](const Login& a, const Login& b) {
        return std::tie(a.origin, a.username) < std::tie(b.origin, b.username);
    });
}

} // namespace

void MemoryPasswordStore::answer(Result result, Done done)
{
    ++m_calls;
    if (m_unavailable)
        result = Result{Status::Unavailable, QStringLiteral("no Secret Service"), {}};
    QMetaObject::invokeMethod(
        this, [result, done = std::move(done)] { if (done) done(result); }, Qt::QueuedConnection);
}

void MemoryPasswordStore::save(const Login& login, Done done)
{
    if (!m_unavailable) {
        m_logins.removeIf([&](const Login& kept) {
            return kept.origin == login.origin && kept.username == login.username;
        });
        m_logins << login;
        sortLogins(m_logins);
    }
    answer({}, std::move(done));
}

void MemoryPasswordStore::find(const QString& origin, Done done)
{
    Result result;
    for (const Login& login : std::as_const(m_logins)) {
        if (login.origin == origin)
            result.logins << login;
    }
    answer(result, std::move(done));
}

void MemoryPasswordStore::remove(const QString& origin, const QString& username, Done done)
{
    if (!m_unavailable) {
        m_logins.removeIf([&](const Login& kept) {
            return kept.origin == origin && kept.username == username;
        });
    }
    answer({}, std::move(done));
}

void MemoryPasswordStore::list(Done done)
{
    Result result;
    result.logins = m_logins;
    for (Login& login : result.logins)
        login.password.clear();
    answer(result, std::move(done));
}
