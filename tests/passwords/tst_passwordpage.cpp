#include "passwords/MemoryPasswordStore.h"
#include "passwords/NeverList.h"
#include "passwords/PasswordBar.h"
#include "passwords/PasswordManager.h"
#include "passwords/PasswordPage.h"
#include "passwords/PasswordScripts.h"
#include "platform/RegistryHive.h"
#include "platform/web/WebBrowser.h"

#include "support/FakeWebBackend.h"
#include "support/TestHome.h"

#include <QPushButton>
#include <QtTest>

using PasswordRules::Login;
using PasswordRules::Offer;

namespace {

QVariant field(const QString& name, const QString& type, const QString& value = {},
               const QString& id = {}, const QString& autocomplete = {})
{
    return QVariantList{name, id, type, autocomplete, value};
}
QVariant form(const QString& url, const QVariantList& fields)
{
    return QVariantMap{{"url", url}, {"fields", fields}};
}

// One browser on the fake engine with the passwords' side of it, the manager over an
// in-memory keyring, and the tab's bar as the window glue wires it.
struct Page
{
    explicit Page(const QString& hivePath, bool offTheRecord = false)
        : hive(hivePath)
        , fake(new FakeWebBackend)
        , browser(fake, nullptr)
        , manager({&store, &hive, offTheRecord})
        , page(&browser, &manager)
    {
        fake->setScriptHandler([this](const QString& script, const QVariantList& args) {
            if (script == PasswordScripts::passwordFieldSeen())
                return QVariant(fieldSeen);
            if (script == PasswordScripts::fill()) {
                fills << args;
                return QVariant(2);
            }
            if (script != PasswordScripts::look())
                return QVariant();
            QVariantMap result{{"forms", forms}, {"submitted", submitted}, {"filled", filled}};
            submitted.clear(); // taken
            return QVariant(result);
        });
        QObject::connect(&manager, &PasswordManager::offer, &bar,
                         [this](QObject*, const Login& login, Offer offer) { bar.ask(login, offer); });
        QObject::connect(&manager, &PasswordManager::tell, &bar,
                         [this](QObject*, const QString& text) { bar.say(text); ++told; });
        QObject::connect(&bar, &PasswordBar::keep, &manager, &PasswordManager::keep);
        QObject::connect(&bar, &PasswordBar::never, &manager, &PasswordManager::never);
    }
    void show(const QString& url)
    {
        fake->completeLoad(url, "Sign in");
        page.pageShown();
    }

    RegistryHive hive;
    MemoryPasswordStore store;
    FakeWebBackend* fake;
    TWebBrowser browser;
    PasswordManager manager;
    PasswordPage page;
    PasswordBar bar;
    QVariantList forms;
    QVariantList submitted;
    bool filled = false;
    bool fieldSeen = true; // what the page's own world says of its password fields
    QList<QVariantList> fills;
    int told = 0;
};

const QString Site = QStringLiteral("https://mail.example/login");

} // namespace

class TestPasswordPage final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { ++m_round; }

    // What a page's sent forms lead to: the bar's question and the user name it holds.
    void detection_data()
    {
        QTest::addColumn<QVariantList>("sent");
        QTest::addColumn<QString>("question"); // empty: no bar
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("usernameField");
        const QVariantList login{field("q", "search", "mail"), field("user", "text", "ann"),
                                 field("pass", "password", "pw1"), field("go", "submit")};
        QTest::newRow("sign-in form")
            << QVariantList{form(Site, login)} << "Save password for mail.example?" << "ann" << "user";
        QTest::newRow("several forms, one with a password")
            << QVariantList{form(Site, {field("q", "text", "x")}), form(Site, login)}
            << "Save password for mail.example?" << "ann" << "user";
        QTest::newRow("fields added by script, no form element, id only")
            << QVariantList{form(Site, {field("", "email", "ann@mail.example", "who"),
                                        field("", "password", "pw1", "secret")})}
            << "Save password for mail.example?" << "ann@mail.example" << "who";
        QTest::newRow("user name by autocomplete after the password")
            << QVariantList{form(Site, {field("code", "text", "1234"), field("p", "password", "pw1"),
                                        field("u", "text", "ann", {}, "username")})}
            << "Save password for mail.example?" << "ann" << "u";
        QTest::newRow("known user, new password")
            << QVariantList{form(Site, {field("user", "text", "bob"), field("pass", "password", "new")})}
            << "Update the saved password of bob for mail.example?" << "bob" << "user";
        QTest::newRow("known user, same password")
            << QVariantList{form(Site, {field("user", "text", "bob"), field("pass", "password", "old")})}
            << "" << "" << "";
        QTest::newRow("frame of another origin")
            << QVariantList{form("https://ads.example/f", login)} << "" << "" << "";
        QTest::newRow("empty password")
            << QVariantList{form(Site, {field("user", "text", "ann"), field("pass", "password", "")})}
            << "" << "" << "";
        QTest::newRow("no password field")
            << QVariantList{form(Site, {field("user", "text", "ann")})} << "" << "" << "";
    }
    void detection()
    {
        QFETCH(QVariantList, sent);
        QFETCH(QString, question);
        QFETCH(QString, username);
        QFETCH(QString, usernameField);
        Page page(hivePath());
        page.store.save({"https://mail.example", "bob", "user", "pass", "old"}, {});
        page.show(Site);
        page.submitted = sent;
        page.page.leaving();
        if (question.isEmpty()) {
            // Both answers (the page's, then the keyring's) have come when the keyring has
            // been asked or the script answered nothing to ask it about.
            QTRY_VERIFY(page.fake->count("runJavaScript") >= 2 && page.submitted.isEmpty());
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            QVERIFY(page.bar.isHidden());
            return;
        }
        QTRY_VERIFY(!page.bar.isHidden());
        QCOMPARE(page.bar.text(), question);
        QCOMPARE(page.bar.login().username, username);
        QCOMPARE(page.bar.login().usernameField, usernameField);
        QCOMPARE(page.bar.login().origin, QStringLiteral("https://mail.example"));
    }

    void saveAndNever()
    {
        Page page(hivePath());
        page.show(Site);
        page.submitted = {form(Site, {field("user", "text", "ann"), field("pass", "password", "pw1")})};
        page.page.leaving();
        QTRY_VERIFY(!page.bar.isHidden());
        page.bar.keepButton()->click();
        QTRY_COMPARE(page.store.logins(),
                     (QList<Login>{{"https://mail.example", "ann", "user", "pass", "pw1"}}));
        QVERIFY(page.bar.isHidden());

        // Nothing secret is in the program's own files.
        QFile hiveFile(page.hive.path());
        QVERIFY(hiveFile.open(QIODevice::ReadOnly));
        QVERIFY(!hiveFile.readAll().contains("pw1"));

        // Never for this site: not asked again for it, still asked for another.
        page.submitted = {form(Site, {field("user", "text", "carol"), field("pass", "password", "x")})};
        page.page.leaving();
        QTRY_VERIFY(!page.bar.isHidden());
        page.bar.neverButton()->click();
        QVERIFY(NeverList::contains(page.hive, "https://mail.example"));
        const int asked = page.store.calls();
        page.submitted = {form(Site, {field("user", "text", "dave"), field("pass", "password", "y")})};
        page.page.leaving();
        QTRY_VERIFY(page.submitted.isEmpty()); // the page was asked and answered
        QCoreApplication::processEvents();
        QCOMPARE(page.store.calls(), asked); // the keyring not even asked
        QVERIFY(page.bar.isHidden());
    }

    void privateWindowAsksNothing()
    {
        Page page(hivePath(), true);
        page.show(Site);
        page.submitted = {form(Site, {field("user", "text", "ann"), field("pass", "password", "pw1")})};
        page.page.leaving();
        QTRY_VERIFY(page.submitted.isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(page.bar.isHidden());
        QVERIFY(page.store.logins().isEmpty());
    }

    void noKeyringToldOnce()
    {
        Page page(hivePath());
        page.store.setUnavailable(true);
        page.show(Site);
        page.submitted = {form(Site, {field("user", "text", "ann"), field("pass", "password", "pw1")})};
        page.page.leaving();
        QTRY_COMPARE(page.told, 1);
        QCOMPARE(page.bar.text(), PasswordManager::unavailableText());
        QVERIFY(page.bar.keepButton()->isHidden());
        page.bar.hide();
        page.submitted = {form(Site, {field("user", "text", "bob"), field("pass", "password", "pw2")})};
        const int asked = page.store.calls();
        page.page.leaving();
        QTRY_VERIFY(page.store.calls() > asked);
        QCoreApplication::processEvents();
        QCOMPARE(page.told, 1);
        QVERIFY(page.bar.isHidden());
    }

    void managerGoesBeforeTheKeyringAnswers()
    {
        // The keyring is the program's and outlives the window's parts that asked it.
        MemoryPasswordStore store;
        RegistryHive hive(hivePath());
        auto manager = std::make_unique<PasswordManager>(PasswordManager::Setup{&store, &hive});
        QObject asker;
        QSignalSpy offers(manager.get(), &PasswordManager::offer);
        manager->submitted({"https://a.example", "ann", "u", "p", "pw"}, &asker);
        manager->keep({"https://a.example", "ann", "u", "p", "pw"});
        manager->loginsFor("https://a.example", &asker, [](const QList<Login>&) { QFAIL("answered"); });
        QCOMPARE(store.calls(), 3);
        manager.reset();
        QTRY_COMPARE(store.logins().size(), 1); // kept all the same; nobody told
        QCoreApplication::processEvents();
        QVERIFY(offers.isEmpty());
    }

    // Filling: one account after the page loads, as data; several wait for the user's
    // choice; never another origin's.
    void fill_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("users"); // kept for https://mail.example
        QTest::addColumn<bool>("filledAtOnce");
        QTest::addColumn<int>("accounts");
        QTest::newRow("one account") << Site << QStringList{"ann"} << true << 1;
        QTest::newRow("several accounts") << Site << QStringList{"ann", "bob"} << false << 2;
        QTest::newRow("http page for an https password") << "http://mail.example/login" << QStringList{"ann"} << false << 0;
        QTest::newRow("another site") << "https://evil.example/login" << QStringList{"ann"} << false << 0;
        QTest::newRow("another port") << "https://mail.example:8443/" << QStringList{"ann"} << false << 0;
    }
    void fill()
    {
        QFETCH(QString, url);
        QFETCH(QStringList, users);
        QFETCH(bool, filledAtOnce);
        QFETCH(int, accounts);
        Page page(hivePath());
        for (const QString& user : users)
            page.store.save({"https://mail.example", user, "user", "pass", user + "'s \"pw\"</script>"}, {});
        page.forms = {form(url, {field("user", "text"), field("pass", "password")})};
        QSignalSpy changed(&page.page, &PasswordPage::accountsChanged);
        page.show(url);
        QTRY_VERIFY(page.fake->count("runJavaScript") >= 1);
        // The keyring's answer is the last to come.
        QTRY_VERIFY(page.store.calls() >= users.size() + 1);
        QTRY_COMPARE(page.page.accounts().size(), accounts);
        QVERIFY(page.page.hasForm());
        if (filledAtOnce) {
            QTRY_COMPARE(page.fills.size(), 1);
            QCOMPARE(page.fills[0], (QVariantList{"https://mail.example", "user", "pass", "ann",
                                                  "ann's \"pw\"</script>"}));
            // The script's text holds none of it.
            for (const FakeWebBackend::Call& call : page.fake->calls("runJavaScript"))
                QVERIFY(!call.args[0].toString().contains("ann's"));
            // Loaded again, the page says it was filled: not filled twice.
            page.filled = true;
            page.page.pageShown();
            QTRY_VERIFY(page.fake->count("runJavaScript") >= 3);
            QCoreApplication::processEvents();
            QCOMPARE(page.fills.size(), 1);
            return;
        }
        QCoreApplication::processEvents();
        QVERIFY(page.fills.isEmpty());
        if (accounts > 1) {
            page.page.fill(page.page.accounts()[1]);
            QTRY_COMPARE(page.fills.size(), 1);
            QCOMPARE(page.fills[0][3], QVariant("bob"));
        } else {
            // Asked by hand for a login of another origin, nothing is filled either.
            page.page.fill({"https://mail.example", "ann", "user", "pass", "x"});
            QCoreApplication::processEvents();
            QVERIFY(page.fills.isEmpty());
        }
    }

    // The program's script world is made in a page only once it has a password field: a
    // page without one is asked in its own world (at its show, then while in view), and
    // armed once a script added a sign-in form. A page unloaded to save memory is asked
    // nothing, which would bring it back.
    void aPageIsArmedOnlyOnceItHasAPasswordField()
    {
        Page page(hivePath());
        page.browser.show();
        page.fieldSeen = false;
        page.show(Site);
        QTRY_VERIFY(page.fake->count("runPageJavaScript") >= 2);
        page.page.leaving(); // nothing to take: the page noted nothing
        QCoreApplication::processEvents();
        QCOMPARE(page.fake->count("runJavaScript"), 0);

        page.fieldSeen = true;
        page.forms = {form(Site, {field("user", "text"), field("pass", "password")})};
        QTRY_VERIFY(page.page.hasForm());
        QCOMPARE(page.fake->calls("runJavaScript").value(0).args.value(0).toString(),
                 PasswordScripts::look());

        page.fake->setLifecycle(PageLifecycle::Discarded);
        const int asked = int(page.fake->calls().size());
        // A page shown after this one was unloaded, asked again by its own poll: this one's,
        // started earlier with the same pace, has come by then.
        Page later(hivePath() + QStringLiteral(".later"));
        later.forms = page.forms;
        later.show(Site);
        QTRY_VERIFY(later.fake->count("runJavaScript") >= 2);
        QCOMPARE(int(page.fake->calls().size()), asked);
    }

private:
    QString hivePath() const { return m_home.filePath(QStringLiteral("hive%1.db").arg(m_round)); }

    QTemporaryDir m_home;
    int m_round = 0;
};

PELVANE_TEST_MAIN(TestPasswordPage)
#include "tst_passwordpage.moc"
