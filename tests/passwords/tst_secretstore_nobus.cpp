#include "passwords/SecretPasswordStore.h"

#include "support/KeyringSession.h"
#include "support/TestHome.h"

#include <QtTest>

// A desktop without a Secret Service (no session bus at all): every call says so, in a
// process of its own, since a session bus once reached is kept for the process's life.
class TestSecretStoreNoBus final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unavailable()
    {
        QTemporaryDir folder;
        KeyringSession::useNoBus(folder.path());
        SecretPasswordStore store;
        QList<PasswordStore::Result> results;
        const auto done = [&](const PasswordStore::Result& r) { results << r; };
        store.save({"https://a.example", "ann", "u", "p", "pw"}, done);
        store.find("https://a.example", done);
        store.list(done);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, 20000);
        for (const PasswordStore::Result& result : results) {
            QCOMPARE(int(result.status), int(PasswordStore::Status::Unavailable));
            QVERIFY(!result.error.isEmpty());
            QVERIFY(result.logins.isEmpty());
        }
    }
};

PELVANE_TEST_GUILESS_MAIN(TestSecretStoreNoBus)
#include "tst_secretstore_nobus.moc"
