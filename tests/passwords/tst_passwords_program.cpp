#include "support/Pictures.h"
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "commands/MainActions.h"
#include "passwords/PasswordBar.h"
#include "passwords/PasswordPage.h"
#include "passwords/SecretPasswordStore.h"
#include "passwords/dialogs/SavedPasswords.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"

#include "support/EngineTestKit.h"
#include "support/KeyringSession.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace EngineTestKit;

namespace {

QVariant evaluate(TBrowserTab* tab, const QString& script)
{
    QVariant result;
    bool done = false;
    tab->Browser()->backend()->runJavaScript(script, {}, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    waitUntil([&] { return done; });
    return result;
}

} // namespace

// The main window on the real engine with the keyring of the test's own: a sign-in on a local
// page is offered on the tab's bar, kept in the keyring, filled on the next visit and listed
// in Tools > Saved Passwords.
class TestPasswordsProgram final : public QObject
{
    Q_OBJECT

private:
    KeyringSession m_keyring; // before anything reaches a bus
    LocalHttpServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_keyring.start(), qPrintable(m_keyring.error()));
        QVERIFY(m_server.listen());
        m_server.serve("/login", page("Sign in",
                                      "<h1>Sign in</h1><form method='post' action='/welcome'>"
                                      "<p>User <input name='user' id='user'></p>"
                                      "<p>Password <input name='pw' id='pw' type='password'></p>"
                                      "<input type='submit' id='go' value='Sign in'></form>"));
        m_server.serve("/welcome", page("Welcome", "<h1>Welcome</h1>"));
    }

    void signInKeptAndFilled()
    {
        WebEngineContext engine;
        WebEngineServices services(engine, QString());
        SecretPasswordStore store;
        const QString login = m_server.url("/login").toString();
        MainWindowFixture window({.argument = login, .engine = &services, .passwords = &store});
        window->resize(800, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        TBrowserTab* tab = window->GetActivePage();
        QVERIFY(waitUntil([&] { return tab->GetAddress() == login && !tab->Busy(); }));
        auto* bar = tab->Frame()->findChild<PasswordBar*>();
        QVERIFY(bar);
        QVERIFY(bar->isHidden());
        // The page is armed once its password field has been seen, a moment after the load.
        auto* passwords = tab->findChild<PasswordPage*>();
        QVERIFY(passwords);
        QVERIFY(waitUntil([&] { return passwords->hasForm(); }));

        // The user signs in (a click on the form's button).
        evaluate(tab, "document.getElementById('user').value = 'ann';"
                      "document.getElementById('pw').value = 'open sesame';"
                      "document.getElementById('go').click(); return 1;");
        QVERIFY(waitUntil([&] { return bar->isVisible(); }));
        QCOMPARE(bar->text(), QStringLiteral("Save password for 127.0.0.1:%1?").arg(m_server.port()));
        QVERIFY(waitUntil([&] { return tab->GetAddress().endsWith("/welcome") && !tab->Busy(); }));
        picture(*window.get(), "program-password-bar");
        bar->keepButton()->click();

        // Kept in the keyring, not in the program's files.
        bool kept = false;
        QVERIFY(waitUntil([&] {
            store.find(PasswordRules::originOf(login), [&](const PasswordStore::Result& r) {
                kept = r.logins.size() == 1 && r.logins[0].password == "open sesame";
            });
            QTest::qWait(50);
            return kept;
        }));
        QFile hive(window.hive.path());
        QVERIFY(hive.open(QIODevice::ReadOnly));
        QVERIFY(!hive.readAll().contains("open sesame"));

        // The next visit finds the fields filled.
        tab->NavigateTo(login);
        QVERIFY(waitUntil([&] {
            return evaluate(tab, "return document.getElementById('pw') ?"
                                 " document.getElementById('pw').value : '';") == "open sesame";
        }));
        QCOMPARE(evaluate(tab, "return document.getElementById('user').value;"), QVariant("ann"));

        // Tools > Saved Passwords lists it.
        window->actions()->get(ActionId::actSavedPasswords)->trigger();
        TfrmSavedPasswords* dialog = nullptr;
        QVERIFY(waitUntil([&] {
            dialog = window->findChild<TfrmSavedPasswords*>();
            return dialog && dialog->list()->topLevelItemCount() == 1;
        }));
        QCOMPARE(dialog->list()->topLevelItem(0)->text(1), QStringLiteral("ann"));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        picture(*dialog, "program-saved-passwords");
        dialog->close();
    }
};

PELVANE_TEST_MAIN(TestPasswordsProgram)
#include "tst_passwords_program.moc"
