#include "passwords/PasswordRules.h"

#include "support/TestHome.h"

#include <QtTest>

using namespace PasswordRules;

namespace {

Field text(const QString& name, const QString& value = {}, const QString& autocomplete = {})
{
    return Field{name, {}, QStringLiteral("text"), autocomplete, value};
}
Field typed(const QString& type, const QString& name, const QString& value = {})
{
    return Field{name, {}, type, {}, value};
}
Field password(const QString& name, const QString& value = {})
{
    return typed(QStringLiteral("password"), name, value);
}

} // namespace

class TestPasswordRules final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void origins_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("origin");
        QTest::newRow("https") << "https://Example.COM/login?x=1#a" << "https://example.com";
        QTest::newRow("own port left out") << "https://example.com:443/" << "https://example.com";
        QTest::newRow("http own port") << "http://example.com:80/a" << "http://example.com";
        QTest::newRow("other port kept") << "http://127.0.0.1:8080/a" << "http://127.0.0.1:8080";
        QTest::newRow("user info left out") << "https://bob@example.com/" << "https://example.com";
        QTest::newRow("file") << "file:///home/a.html" << "";
        QTest::newRow("about") << "about:blank" << "";
        QTest::newRow("data") << "data:text/html,<form>" << "";
        QTest::newRow("ftp") << "ftp://example.com/" << "";
        QTest::newRow("nothing") << "" << "";
    }
    void origins()
    {
        QFETCH(QString, url);
        QFETCH(QString, origin);
        QCOMPARE(originOf(url), origin);
    }

    void fillRules_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("fill");
        const QString site = QStringLiteral("https://bank.example");
        QTest::newRow("same origin") << site << "https://bank.example/login" << "https://bank.example/login" << true;
        QTest::newRow("same-origin frame") << site << "https://bank.example/" << "https://bank.example/frame" << true;
        QTest::newRow("http page, https password") << site << "http://bank.example/login" << "http://bank.example/login" << false;
        QTest::newRow("https page, http password") << "http://bank.example" << "https://bank.example/" << "https://bank.example/" << false;
        QTest::newRow("another host") << site << "https://evil.example/" << "https://evil.example/" << false;
        QTest::newRow("a sub-domain") << site << "https://www.bank.example/" << "https://www.bank.example/" << false;
        QTest::newRow("a parent domain") << "https://www.bank.example" << "https://bank.example/" << "https://bank.example/" << false;
        QTest::newRow("another port") << site << "https://bank.example:8443/" << "https://bank.example:8443/" << false;
        QTest::newRow("frame of another origin") << site << "https://bank.example/" << "https://ads.example/f" << false;
        QTest::newRow("page of another origin, frame of ours") << site << "https://evil.example/" << "https://bank.example/f" << false;
        QTest::newRow("blank frame") << site << "https://bank.example/" << "about:blank" << false;
        QTest::newRow("host as prefix") << site << "https://bank.example.evil.example/" << "https://bank.example.evil.example/" << false;
        QTest::newRow("nothing saved") << "" << "about:blank" << "about:blank" << false;
    }
    void fillRules()
    {
        QFETCH(QString, saved);
        QFETCH(QString, page);
        QFETCH(QString, form);
        QFETCH(bool, fill);
        QCOMPARE(mayFill(saved, page, form), fill);
    }

    void userField_data()
    {
        QTest::addColumn<QList<Field>>("fields");
        QTest::addColumn<int>("password");
        QTest::addColumn<int>("user");
        QTest::newRow("field before the password")
            << QList<Field>{text("q"), text("login"), password("pw")} << 2 << 1;
        QTest::newRow("nearest before when no hint")
            << QList<Field>{text("a"), text("b"), password("pw")} << 2 << 1;
        QTest::newRow("hint wins over nearest")
            << QList<Field>{text("email"), text("captcha"), password("pw")} << 2 << 0;
        QTest::newRow("id hint") << QList<Field>{Field{"f1", "userName", "text", {}, {}},
                                                 text("f2"), password("pw")}
                                 << 2 << 0;
        QTest::newRow("autocomplete username anywhere")
            << QList<Field>{text("search"), password("pw"), text("who", {}, "username")} << 1 << 2;
        QTest::newRow("autocomplete email")
            << QList<Field>{text("x"), typed("email", "y"), password("pw")} << 2 << 1;
        QTest::newRow("email type counts")
            << QList<Field>{typed("email", "e"), password("pw")} << 1 << 0;
        QTest::newRow("checkbox and hidden skipped")
            << QList<Field>{text("name"), typed("hidden", "token"), typed("checkbox", "remember"),
                            password("pw")}
            << 3 << 0;
        QTest::newRow("nothing before")
            << QList<Field>{password("pw"), text("after")} << 0 << -1;
        QTest::newRow("no password") << QList<Field>{text("a")} << -1 << -1;
    }
    void userField()
    {
        QFETCH(QList<Field>, fields);
        QFETCH(int, password);
        QFETCH(int, user);
        QCOMPARE(passwordFieldOf(fields), password);
        QCOMPARE(userFieldOf(fields, password), user);
    }

    void passwordField_data()
    {
        QTest::addColumn<QList<Field>>("fields");
        QTest::addColumn<int>("index");
        QTest::newRow("new and repeated")
            << QList<Field>{text("u"), password("a", "n1"), password("b", "n1")} << 2;
        QTest::newRow("old, new, new")
            << QList<Field>{password("old", "o"), password("new", "n"), password("again", "n")} << 1;
        QTest::newRow("three different: the last")
            << QList<Field>{password("a", "1"), password("b", "2"), password("c", "3")} << 2;
    }
    void passwordField()
    {
        QFETCH(QList<Field>, fields);
        QFETCH(int, index);
        QCOMPARE(passwordFieldOf(fields), index);
    }

    void offers_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("formUrl");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("pass");
        QTest::addColumn<int>("offer");
        const QString page = QStringLiteral("https://mail.example/login");
        QTest::newRow("new site") << page << page << "ann" << "secret" << int(Offer::Save);
        QTest::newRow("known, same password") << page << page << "bob" << "hunter2" << int(Offer::Nothing);
        QTest::newRow("known, new password") << page << page << "bob" << "hunter3" << int(Offer::Update);
        QTest::newRow("user name trimmed") << page << page << " bob " << "hunter3" << int(Offer::Update);
        QTest::newRow("another user") << page << page << "carol" << "hunter2" << int(Offer::Save);
        QTest::newRow("empty password") << page << page << "bob" << "" << int(Offer::Nothing);
        QTest::newRow("no user name") << page << page << "" << "pin" << int(Offer::Save);
        QTest::newRow("frame of another origin") << page << "https://ads.example/" << "ann" << "s" << int(Offer::Nothing);
        QTest::newRow("local file") << "file:///a.html" << "file:///a.html" << "ann" << "s" << int(Offer::Nothing);
    }
    void offers()
    {
        QFETCH(QString, page);
        QFETCH(QString, formUrl);
        QFETCH(QString, user);
        QFETCH(QString, pass);
        QFETCH(int, offer);
        const QList<Login> kept{
            Login{"https://mail.example", "bob", "user", "pw", "hunter2"},
            Login{"https://other.example", "carol", "user", "pw", "x"},
        };
        const Form form{formUrl, {text("user", user), password("pw", pass)}};
        QCOMPARE(int(offerFor(loginOf(form, page), kept)), offer);
    }

    void scriptResults()
    {
        const auto field = [](const QString& name, const QString& type, const QString& value) {
            return QVariant(QVariantList{name, QString(), type, QString(), value});
        };
        const QVariantMap good{{"url", "https://a.example/"},
                               {"fields", QVariantList{field("u", "TEXT", "ann"),
                                                       field("p", "password", "pw")}}};
        const QVariantMap noPassword{{"url", "https://a.example/"},
                                     {"fields", QVariantList{field("u", "text", "ann")}}};
        const QVariantMap malformed{{"url", "https://a.example/"},
                                    {"fields", QVariantList{QVariantList{"p", "password"}}}};
        const QVariantMap tooLong{
            {"url", "https://a.example/"},
            {"fields", QVariantList{field("p", "password", QString(MaxValue + 1, 'x'))}}};
        QVariantList many;
        for (int i = 0; i < MaxForms + 5; ++i)
            many << good;
        const QList<Form> forms =
            formsFromScript(QVariantList{good, noPassword, malformed, tooLong, QString("junk")});
        QCOMPARE(forms.size(), 1);
        QCOMPARE(forms[0].fields[0].type, QStringLiteral("text"));
        QCOMPARE(forms[0].fields[1].value, QStringLiteral("pw"));
        QCOMPARE(formsFromScript(many).size(), MaxForms);
        QVERIFY(formsFromScript(QVariant()).isEmpty());
    }
};

PELVANE_TEST_GUILESS_MAIN(TestPasswordRules)
#include "tst_passwordrules.moc"
