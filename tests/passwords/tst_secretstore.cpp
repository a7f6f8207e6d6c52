#include "passwords/NeverList.h"
#include "passwords/SecretPasswordStore.h"
#include "platform/RegistryHive.h"

#include "support/KeyringSession.h"
#include "support/TestHome.h"

#include <QProcess>
#include <QStringList>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using PasswordRules::Login;
using Status = PasswordStore::Status;

namespace {

// Runs one call of the store and waits for its answer.
template <typename Call>
PasswordStore::Result answer(Call call)
{
    PasswordStore::Result result;
    bool answered = false;
    call([&](const PasswordStore::Result& r) {
        result = r;
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 20000))
        qWarning("the store did not answer");
    return result;
}

} // namespace

// The keyring store against a real Secret Service (GNOME Keyring on a bus of the test's own).
class TestSecretStore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_keyring.start(), qPrintable(m_keyring.error()));
    }

    void saveFindRemove()
    {
        SecretPasswordStore store;
        const Login ann{"https://mail.example", "ann", "user", "pass", QString::fromUtf8("s\u00e9cret 1")};
        const Login bob{"https://mail.example", "bob", "login", "pw", "hunter2"};
        const Login other{"http://mail.example", "ann", "user", "pass", "plain"};
        for (const Login& login : {ann, bob, other}) {
            const auto saved = answer([&](auto done) { store.save(login, done); });
            QVERIFY2(saved.status == Status::Ok, qPrintable(saved.error));
        }

        auto found = answer([&](auto done) { store.find("https://mail.example", done); });
        QVERIFY2(found.status == Status::Ok, qPrintable(found.error));
        QCOMPARE(found.logins, (QList<Login>{ann, bob}));

        // The http site's password is its own, and no other site sees any of them.
        found = answer([&](auto done) { store.find("http://mail.example", done); });
        QCOMPARE(found.logins, QList<Login>{other});
        found = answer([&](auto done) { store.find("https://mail.example:8443", done); });
        QVERIFY(found.logins.isEmpty());
        found = answer([&](auto done) { store.find("https://evil.example", done); });
        QVERIFY(found.logins.isEmpty());

        // A new password for a known user replaces the item (field names too), keeping one.
        const Login changed{"https://mail.example", "ann", "email", "password", "new one"};
        QCOMPARE(answer([&](auto done) { store.save(changed, done); }).status, Status::Ok);
        found = answer([&](auto done) { store.find("https://mail.example", done); });
        QCOMPARE(found.logins, (QList<Login>{changed, bob}));

        // The list names every sign-in without its password.
        const auto listed = answer([&](auto done) { store.list(done); });
        QCOMPARE(listed.status, Status::Ok);
        QCOMPARE(listed.logins.size(), 3);
        for (const Login& login : listed.logins)
            QVERIFY(login.password.isEmpty());
        QCOMPARE(listed.logins[0].origin, QStringLiteral("http://mail.example"));

        QCOMPARE(answer([&](auto done) { store.remove("https://mail.example", "bob", done); }).status,
                 Status::Ok);
        found = answer([&](auto done) { store.find("https://mail.example", done); });
        QCOMPARE(found.logins, QList<Login>{changed});

        // Other programs see the items under our schema (and the secret is the password).
        QProcess tool;
        tool.start("secret-tool", {"lookup", "origin", "https://mail.example", "username", "ann"});
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.readAllStandardOutput(), QByteArray("new one"));
    }

    void storeGoesWhileAsked()
    {
        // Answers do not come to a store that is gone, and its going does not hang.
        bool answered = false;
        {
            SecretPasswordStore store;
            store.list([&](const PasswordStore::Result&) { answered = true; });
        }
        QCoreApplication::processEvents();
        QVERIFY(!answered);
    }

    void neverList()
    {
        RegistryHive hive(m_keyring.home() + "/hive.db");
        QVERIFY(!NeverList::contains(hive, "https://a.example"));
        NeverList::add(hive, "https://a.example");
        NeverList::add(hive, "http://b.example:8080");
        QVERIFY(NeverList::contains(hive, "https://a.example"));
        QVERIFY(!NeverList::contains(hive, "http://a.example"));
        QVERIFY(!NeverList::contains(hive, ""));
        QCOMPARE(NeverList::origins(hive),
                 (QStringList{"https://a.example", "http://b.example:8080"}));
        NeverList::remove(hive, "https://a.example");
        QCOMPARE(NeverList::origins(hive), QStringList{"http://b.example:8080"});
    }

    // A sign-in asked of a locked keyring waits for the user's answer to the desktop's unlock
    // prompt. A store that goes meanwhile (the program exits) withdraws the question instead
    // of waiting for an answer nobody may give. Last: the keyring stays locked.
    void aStoreGoesWhileTheKeyringAsksToUnlock()
    {
        SecretPasswordStore saving;
        QCOMPARE(answer([&](auto done) {
                     saving.save({"https://locked.example", "ann", "u", "p", "secret"}, done);
                 }).status,
                 Status::Ok);
        QVERIFY(dbusSend({"/org/freedesktop/secrets", "org.freedesktop.Secret.Service.Lock",
                          "array:objpath:/org/freedesktop/secrets/collection/login"}));
        auto store = std::make_unique<SecretPasswordStore>();
        bool answered = false;
        store->find("https://locked.example", [&](const PasswordStore::Result&) { answered = true; });
        // The keyring has asked its prompter (on the test's display) and waits for the user.
        QVERIFY(QTest::qWaitFor([] { return promptShown(); }, 20000));
        QVERIFY(!answered);
        // An exit that waited for the answer would never end: the test ends it after a while.
        std::atomic<bool> gone = false;
        std::thread watchdog([&gone] {
            for (int i = 0; i < 200 && !gone; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!gone)
                qFatal("the store waited for the unlock prompt's answer as it went");
        });
        store.reset();
        gone = true;
        watchdog.join();
        QCoreApplication::processEvents();
        QVERIFY(!answered);
        // The question was withdrawn: the prompt goes too.
        QVERIFY(QTest::qWaitFor([] { return !promptShown(); }, 20000));
    }

private:
    static bool dbusSend(const QStringList& call)
    {
        QProcess send;
        send.start("dbus-send", QStringList{"--session", "--print-reply",
                                            "--dest=org.freedesktop.secrets"} + call);
        return send.waitForFinished(10000) && send.exitCode() == 0;
    }
    // Whether the keyring's prompter is on the bus, showing its question.
    static bool promptShown()
    {
        return KeyringSession::hasOwner(QStringLiteral("org.gnome.keyring.SystemPrompter"));
    }

    KeyringSession m_keyring;
};

PELVANE_TEST_GUILESS_MAIN(TestSecretStore)
#include "tst_secretstore.moc"
