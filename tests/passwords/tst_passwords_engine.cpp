#include "passwords/PasswordManager.h"
#include "passwords/PasswordPage.h"
#include "passwords/SecretPasswordStore.h"
#include "platform/RegistryHive.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"

#include "support/EngineTestKit.h"
#include "support/KeyringSession.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QSignalSpy>
#include <QtTest>

using namespace EngineTestKit;
using PasswordRules::Login;
using PasswordRules::Offer;

namespace {

const QByteArray SignIn =
    "<form id='f' method='post' action='/welcome'>"
    "<input name='q' type='search'>"
    "<input name='login' id='login'>"
    "<input name='pass' id='pass' type='password'>"
    "<input type='submit' id='go' value='Sign in'></form>";

// Fields a script adds outside any form, sent by script without a submit or a new page.
const QByteArray Scripted =
    "<div id='box'></div><script>"
    "const box = document.getElementById('box');"
    "for (const [id, type] of [['mail', 'email'], ['secret', 'password']]) {"
    "  const el = document.createElement('input'); el.id = id; el.type = type; box.append(el); }"
    "const b = document.createElement('button'); b.id = 'send'; b.textContent = 'Go';"
    "b.onclick = () => { document.title = 'sent'; }; box.append(b);"
    "</script>";

} // namespace

// The page script on the real engine, with the keyring of the test's own: a sign-in sent by a
// form is offered and kept, filled into the same site's page later, never into a frame of
// another site; fields added by script are seen.
class TestPasswordsEngine final : public QObject
{
    Q_OBJECT

private:
    KeyringSession m_keyring; // before anything reaches a bus
    LocalHttpServer m_server;
    LocalHttpServer m_other;
    std::unique_ptr<WebEngineContext> m_context;
    std::unique_ptr<RegistryHive> m_hive;
    std::unique_ptr<SecretPasswordStore> m_store;
    std::unique_ptr<PasswordManager> m_manager;
    std::unique_ptr<TWebBrowser> m_browser;
    std::unique_ptr<PasswordPage> m_page;
    QStringList m_completed;

    QString origin() const { return PasswordRules::originOf(m_server.url("/").toString()); }

    bool load(const QString& address)
    {
        m_completed.clear();
        m_browser->Navigate(address);
        return waitUntil([&] { return m_completed.contains(address); });
    }
    QVariant evaluate(const QString& script, const QVariantList& arguments = {})
    {
        QVariant result;
        bool done = false;
        m_browser->backend()->runJavaScript(script, arguments, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        waitUntil([&] { return done; });
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_keyring.start(), qPrintable(m_keyring.error()));
        QVERIFY(m_server.listen());
        QVERIFY(m_other.listen());
        m_server.serve("/login", page("Sign in", SignIn));
        m_server.serve("/welcome", page("Welcome", "<p>Hello</p>"));
        m_server.serve("/scripted", page("Scripted", Scripted));
        m_other.serve("/login", page("Other", SignIn));
        m_server.serve("/framed", page("Framed", "<iframe id='fr' src='" +
                                                     m_other.url("/login").toEncoded() +
                                                     "'></iframe>"));
        m_context = std::make_unique<WebEngineContext>();
        m_hive = std::make_unique<RegistryHive>(m_keyring.home() + "/hive.db");
        m_store = std::make_unique<SecretPasswordStore>();
        m_manager = std::make_unique<PasswordManager>(
            PasswordManager::Setup{m_store.get(), m_hive.get(), false});
        m_browser = std::make_unique<TWebBrowser>(m_context->createBackend(), nullptr);
        m_browser->resize(640, 480);
        m_browser->show();
        m_page = std::make_unique<PasswordPage>(m_browser.get(), m_manager.get());
        // As the tab wires it: shown addresses, and a page about to be left.
        m_browser->OnNavigateComplete2 = [this](WebFrame frame, const QString&) {
            if (frame == m_browser->Application())
                m_page->pageShown();
        };
        m_browser->OnDocumentComplete = [this](WebFrame frame, const QString& url) {
            if (frame == m_browser->Application()) {
                m_page->pageShown();
                m_completed << url;
            }
        };
        m_browser->OnBeforeNavigate2 = [this](WebFrame frame, const QString&, bool&) {
            if (frame == m_browser->Application())
                m_page->leaving();
        };
    }
    void cleanupTestCase()
    {
        m_page.reset();
        m_browser.reset();
        m_context.reset();
    }

    void sentFormOfferedAndKept()
    {
        QSignalSpy offers(m_manager.get(), &PasswordManager::offer);
        const QString login = m_server.url("/login").toString();
        QVERIFY(load(login));
        QVERIFY(waitUntil([&] { return m_page->hasForm(); }));
        evaluate("document.getElementById('login').value = 'ann';"
                 "document.getElementById('pass').value = 'pw \"1\"';"
                 "document.getElementById('go').click(); return true;");
        QVERIFY(waitUntil([&] { return m_completed.contains(m_server.url("/welcome").toString()); }));
        QVERIFY(waitUntil([&] { return !offers.isEmpty(); }));
        QCOMPARE(offers.size(), 1); // the click and the submit are one sign-in
        const Login sent = offers[0][1].value<Login>();
        QCOMPARE(int(offers[0][2].value<Offer>()), int(Offer::Save));
        QCOMPARE(sent, (Login{origin(), "ann", "login", "pass", "pw \"1\""}));

        m_manager->keep(sent);
        QSignalSpy changed(m_manager.get(), &PasswordManager::changed);
        QVERIFY(changed.wait(20000));
    }

    void filledOnTheNextVisit()
    {
        QSignalSpy filled(m_page.get(), &PasswordPage::filled);
        QVERIFY(load(m_server.url("/welcome").toString())); // another page first
        QVERIFY(load(m_server.url("/login").toString()));
        // (The fill may come while the load is still being waited for.)
        QVERIFY(waitUntil([&] { return !filled.isEmpty(); }, 20000));
        QCOMPARE(filled[0][0].toInt(), 2);
        QCOMPARE(evaluate("return [document.getElementById('login').value,"
                          " document.getElementById('pass').value];"),
                 QVariant(QVariantList{"ann", "pw \"1\""}));
    }

    void neverIntoAFrameOfAnotherSite()
    {
        // The other site's form sits in a frame of our page: it is not looked into or filled.
        QSignalSpy filled(m_page.get(), &PasswordPage::filled);
        QVERIFY(load(m_server.url("/framed").toString()));
        QVERIFY(waitUntil([&] { return m_page->accounts().size() == 1; }));
        m_page->fill(m_page->accounts().first());
        QVERIFY(waitUntil([&] { return !filled.isEmpty(); }, 20000));
        QCOMPARE(filled[0][0].toInt(), 0);
        QVERIFY(!m_page->hasForm());
    }

    void fieldsAddedByScript()
    {
        QSignalSpy offers(m_manager.get(), &PasswordManager::offer);
        QSignalSpy filled(m_page.get(), &PasswordPage::filled);
        QVERIFY(load(m_server.url("/scripted").toString()));
        // The site's one account goes into the fields a script made (its only password
        // field), before the user types another.
        QVERIFY(waitUntil([&] { return !filled.isEmpty(); }, 20000));
        QCOMPARE(filled[0][0].toInt(), 1);
        evaluate("document.getElementById('mail').value = 'bob@example.org';"
                 "document.getElementById('secret').value = 'pw2';"
                 "document.getElementById('send').click(); return true;");
        // No new page: the page is asked again while it has a sign-in form.
        QVERIFY(waitUntil([&] { return !offers.isEmpty(); }, 20000));
        const Login sent = offers[0][1].value<Login>();
        QCOMPARE(sent, (Login{origin(), "bob@example.org", "mail", "secret", "pw2"}));
    }

    void accountsOfferedWhereTheUserGoesIn()
    {
        QSignalSpy changed(m_manager.get(), &PasswordManager::changed);
        m_manager->keep({origin(), "carol", "login", "pass", "pw3"});
        QVERIFY(waitUntil([&] { return !changed.isEmpty(); }, 20000));
        QSignalSpy wanted(m_page.get(), &PasswordPage::accountsWanted);
        QSignalSpy filled(m_page.get(), &PasswordPage::filled);
        QVERIFY(load(m_server.url("/login").toString()));
        QVERIFY(waitUntil([&] { return m_page->accounts().size() == 2 && m_page->hasForm(); }));
        // The page has the keyboard (no window manager gives it under Xvfb).
        m_browser->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_browser.get()));
        m_browser->backend()->focusPage();
        evaluate("document.getElementById('pass').focus(); return 1;");
        QVERIFY(waitUntil([&] { return !wanted.isEmpty(); }, 10000));
        const QRect field = wanted[0][0].toRect();
        QVERIFY2(field.width() > 20 && field.height() > 5 && field.top() > 0,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(field.x()).arg(field.y())
                                .arg(field.width()).arg(field.height())));
        QVERIFY(filled.isEmpty()); // several accounts: nothing filled unasked
    }
};

PELVANE_TEST_MAIN(TestPasswordsEngine)
#include "tst_passwords_engine.moc"
