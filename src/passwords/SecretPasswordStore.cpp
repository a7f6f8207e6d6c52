#include "passwords/SecretPasswordStore.h"

#include <QMetaObject>
#include <QMutex>
#include <QPointer>
#include <QThreadPool>

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

PasswordStore::Result search(Attributes& attributes, bool withSecrets, GCancellable* cancel)
{
    GError* error = nullptr;
    int flags = SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK;
    if (withSecrets)
        flags |= SECRET_SEARCH_LOAD_SECRETS;
    GList* items = secret_password_searchv_sync(schema(), attributes.table(),
                                                SecretSearchFlags(flags), cancel, &error);
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
                secret_retrievable_retrieve_secret_sync(item, cancel, &secretError);
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

PasswordStore::Result clear(const QString& origin, const QString& username, GCancellable* cancel)
{
    Attributes attributes;
    attributes.add("origin", origin);
    attributes.add("username", username);
    GError* error = nullptr;
    secret_password_clearv_sync(schema(), attributes.table(), cancel, &error);
    if (error)
        return failure(error);
    return {};
}

} // namespace

// What the store and its thread share. The thread may outlive the store (it waits for the
// user at a keyring's unlock prompt), so it never reaches the store once the store is gone.
struct SecretPasswordStore::Shared
{
    Shared()
        : cancel(g_cancellable_new())
    {
        pool.setMaxThreadCount(1); // in the order asked
        pool.setExpiryTimeout(30000);
    }
    ~Shared() { g_object_unref(cancel); }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    QMutex mutex;
    SecretPasswordStore* store = nullptr; // null once the store has gone
    GCancellable* cancel;
    QThreadPool pool;
};

SecretPasswordStore::SecretPasswordStore(QObject* parent)
    : PasswordStore(parent)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->store = this;
}

SecretPasswordStore::~SecretPasswordStore()
{
    {
        const QMutexLocker lock(&m_shared->mutex);
        m_shared->store = nullptr;
    }
    m_shared->pool.clear();
    // The call under way is let finish (a sign-in being saved as the program exits is kept)
    // unless it waits for the user: a locked keyring's unlock prompt may never be answered.
    // It is then withdrawn, and if the service does not let go even so, the thread is left
    // to it (with what it shares) rather than an exit that never ends.
    if (m_shared->pool.waitForDone(FinishTimeoutMs))
        return;
    g_cancellable_cancel(m_shared->cancel);
    if (m_shared->pool.waitForDone(WithdrawTimeoutMs))
        return;
    qWarning("Pelvane: the keyring did not answer; its question is left behind");
    new std::shared_ptr<Shared>(m_shared); // kept for the thread, to the end of the process
}

QString SecretPasswordStore::schemaName()
{
    return QString::fromLatin1(schema()->name);
}

void SecretPasswordStore::run(std::function<Result()> work, Done done)
{
    std::weak_ptr<Shared> weak = m_shared;
    m_shared->pool.start([weak, work = std::move(work), done = std::move(done)]() mutable {
        Result result = work();
        const std::shared_ptr<Shared> shared = weak.lock();
        if (!shared)
            return;
        // Posted under the lock the store's going takes first: the store is alive while
        // the answer is posted, and an answer it has not taken goes with it.
        const QMutexLocker lock(&shared->mutex);
        if (shared->store) {
            QMetaObject::invokeMethod(
                shared->store, [result = std::move(result), done = std::move(done)] {
                    if (done)
                        done(result);
                },
                Qt::QueuedConnection);
        }
    });
}

void SecretPasswordStore::save(const Login& login, Done done)
{
    run(
        [login, cancel = m_shared->cancel] {
            // The field names are attributes too: a sign-in kept before with other field
            // names would otherwise stay beside the new one.
            Result cleared = clear(login.origin, login.username, cancel);
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
                                        label.constData(), password.constData(), cancel, &error);
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
        [origin, cancel = m_shared->cancel] {
            Attributes attributes;
            attributes.add("origin", origin);
            return search(attributes, true, cancel);
        },
        std::move(done));
}

void SecretPasswordStore::remove(const QString& origin, const QString& username, Done done)
{
    run([origin, username, cancel = m_shared->cancel] { return clear(origin, username, cancel); },
        std::move(done));
}

void SecretPasswordStore::list(Done done)
{
    run(
        [cancel = m_shared->cancel] {
            Attributes attributes;
            return search(attributes, false, cancel);
        },
        std::move(done));
}
