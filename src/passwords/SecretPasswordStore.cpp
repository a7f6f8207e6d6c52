#include "passwords/SecretPasswordStore.h"

#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <list>

// GLib's headers use Qt's keywords as names of their own.
#undef signals
#undef slots
#undef emit
#include <libsecret/secret.h>

using PasswordRules::Login;

namespace {

const SecretSchema* schema()
{
    static const SecretSchema value = {
        "org.brenmoor.Pelvane.Password",
        SECRET_SCHEMA_NONE,
        {
            {"origin", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"username", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"username_field", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"password_field", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &value;
}

// Attributes for libsecret: the table points into `held`, which must outlive it.
class Attributes final
{
public:
    Attributes()
        : m_table(g_hash_table_new(g_str_hash, g_str_equal))
    {
    }
    ~Attributes() { g_hash_table_unref(m_table); }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;

    void add(const char* name, const QString& value)
    {
        m_held.push_back(value.toUtf8());
        g_hash_table_insert(m_table, const_cast<char*>(name), m_held.back().data());
    }
    GHashTable* table() const { return m_table; }

private:
    GHashTable* m_table;
    std::list<QByteArray> m_held; // stable addresses
};

QString attribute(GHashTable* table, const char* name)
{
    const auto* value = static_cast<const char*>(g_hash_table_lookup(table, name));
    return value ? QString::fromUtf8(value) : QString();
}

// A failed call's result, and the error freed.
PasswordStore::Result failure(GError* error)
{
    PasswordStore::Result result;
    result.error = QString::fromUtf8(error->message);
    // The service's own refusals (a locked keyring, a cancelled prompt) are failures of one
    // call; anything from the bus itself means there is nobody to keep passwords.
    const bool refused = error->domain == SECRET_ERROR ||
                         g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    result.status = refused ? PasswordStore::Status::Failed : PasswordStore::Status::Unavailable;
    g_error_free(error);
    return result;
}

PasswordStore::Result search(Attributes& attributes, bool withSecrets)
{
    GError* error = nullptr;
    int flags = SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK;
    if (withSecrets)
        flags |= SECRET_SEARCH_LOAD_SECRETS;
    GList* items = secret_password_searchv_sync(schema(), attributes.table(),
                                                SecretSearchFlags(flags), nullptr, &error);
    if (error)
        return failure(error);
    PasswordStore::Result result;
    for (GList* node = items; node; node = node->next) {
        auto* item = static_cast<SecretRetrievable*>(node->data);
        GHashTable* found = secret_retrievable_get_attributes(item);
        Login login;
        login.origin = attribute(found, "origin");
        login.username = attribute(found, "username");
        login.usernameField = attribute(found, "username_field");
        login.passwordField = attribute(found, "password_field");
        g_hash_table_unref(found);
        if (withSecrets) {
            GError* secretError = nullptr;
            SecretValue* secret =
                secret_retrievable_retrieve_secret_sync(item, nullptr, &secretError);
            if (secretError) {
                g_list_free_full(items, g_object_unref);
                return failure(secretError);
            }
            if (secret) {
                gsize length = 0;
                const gchar* bytes = secret_value_get(secret, &length);
                login.password = QString::fromUtf8(bytes, qsizetype(length));
                secret_value_unref(secret);
            }
        }
        result.logins << login;
    }
    g_list_free_full(items, g_object_unref);
    std::sort(result.logins.begin(), result.logins.end(), [](const Login& a, const Login& b) {
        return std::tie(a.origin, a.username) < std::tie(b.origin, b.username);
    });
    return result;
}

PasswordStore::Result clear(const QString& origin, const QString& username)
{
    Attributes attributes;
    attributes.add("origin", origin);
    attributes.add("username", username);
    GError* error = nullptr;
    secret_password_clearv_sync(schema(), attributes.table(), nullptr, &error);
    if (error)
        return failure(error);
    return {};
}

} // namespace

SecretPasswordStore::SecretPasswordStore(QObject* parent)
    : PasswordStore(parent)
{
    m_pool.setMaxThreadCount(1); // in the order asked
    m_pool.setExpiryTimeout(30000);
}

SecretPasswordStore::~SecretPasswordStore()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QString SecretPasswordStore::schemaName()
{
    return QString::fromLatin1(schema()->name);
}

void SecretPasswordStore::run(std::function<Result()> work, Done done)
{
    m_pool.start([this, work = std::move(work), done = std::move(done)]() mutable {
        Result result = work();
        // The store waits for this thread before it goes, so `this` is alive here; the
        // answer is dropped when the store is gone by the time it would be delivered.
        QMetaObject::invokeMethod(
            this, [result = std::move(result), done = std::move(done)] {
                if (done)
                    done(result);
            },
            Qt::QueuedConnection);
    });
}

void SecretPasswordStore::save(const Login& login, Done done)
{
    run(
        [login] {
            // The field names are attributes too: a sign-in kept before with other field
            // names would otherwise stay beside the new one.
            Result cleared = clear(login.origin, login.username);
            if (cleared.status != Status::Ok)
                return cleared;
            Attributes attributes;
            attributes.add("origin", login.origin);
            attributes.add("username", login.username);
            attributes.add("username_field", login.usernameField);
            attributes.add("password_field", login.passwordField);
            const QByteArray label =
                (login.username.isEmpty() ? login.origin
                                          : login.username + QStringLiteral(" on ") + login.origin)
                    .toUtf8();
            QByteArray password = login.password.toUtf8();
            GError* error = nullptr;
            secret_password_storev_sync(schema(), attributes.table(), SECRET_COLLECTION_DEFAULT,
                                        label.constData(), password.constData(), nullptr, &error);
            password.fill('\0');
            if (error)
                return failure(error);
            return Result{};
        },
        std::move(done));
}

void SecretPasswordStore::find(const QString& origin, Done done)
{
    run(
        [origin] {
            Attributes attributes;
            attributes.add("origin", origin);
            return search(attributes, true);
        },
        std::move(done));
}

void SecretPasswordStore::remove(const QString& origin, const QString& username, Done done)
{
    run([origin, username] { return clear(origin, username); }, std::move(done));
}

void SecretPasswordStore::list(Done done)
{
    run(
        [] {
            Attributes attributes;
            return search(attributes, false);
        },
        std::move(done));
}
