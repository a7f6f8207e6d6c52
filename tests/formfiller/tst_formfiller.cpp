#include "formfiller/FormFiller.h"
#include "integration/ProfileCard.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryHive.h"
#include "platform/web/WebBrowser.h"
#include "settings/PVOptions.h"
#include "support/FakeWebBackend.h"
#include "support/ScriptedFormFillerQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QSignalSpy>
#include <QtTest>

using Consent = FormFillerQuestions::Consent;
using Answers = TFormFiller::Answers;
Q_DECLARE_METATYPE(Answers)
Q_DECLARE_METATYPE(QList<FormField>)

namespace {

const QString OddName = QStringLiteral("q\"b\\s</script>'x");

// A page on the fake engine whose collect script answers `fields` (name, autocomplete and
// type; text fields without a type given), and whose fill script answers how many answers
// it was given.
struct FakePage
{
    explicit FakePage(RegistryHive& hive, QList<QVariantList> fields)
        : backend(new FakeWebBackend)
        , browser(backend, &hive)
    {
        backend->completeLoad(QStringLiteral("http://127.0.0.1:8080/form"), QStringLiteral("Form"));
        backend->setScriptHandler([fields](const QString&, const QVariantList& args) {
            if (args.size() == 2) {
                QVariantList list;
                for (QVariantList f : fields) {
                    if (f.size() == 2)
                        f << QStringLiteral("text");
                    list << QVariant(f);
                }
                return QVariant(list);
            }
            return QVariant(int(args.value(0).toList().size()));
        });
    }
    QList<FakeWebBackend::Call> scripts() const
    {
        return backend->calls(QStringLiteral("runJavaScript"));
    }

    FakeWebBackend* backend;
    TWebBrowser browser;
};

} // namespace

class TestFormFiller : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegistryHive> m_hive;
    ScriptedFormFillerQuestions m_questions;
    QString m_profile = TestFiles::home(QStringLiteral("Pelvane/profile.vcf"));

    TFormFiller::Setup setup()
    {
        return {m_hive.get(), &m_questions, m_profile, TestFiles::home(QStringLiteral("Pelvane")),
                QFileInfo(QFINDTESTDATA("../../resources/formfiller.ini")).absolutePath()};
    }
    // Runs one fill to its end and answers how many fields it set.
    int fill(FakePage& page, ProfileKind mode = ProfileKind::Personal)
    {
        TFormFiller filler(setup());
        QSignalSpy done(&filler, &TFormFiller::finished);
        filler.Fill(mode, &page.browser);
        if (done.isEmpty() && !done.wait(2000))
            return -1;
        return done.first().first().toInt();
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(TestFiles::home(QStringLiteral("registry.db")));
        m_hive = std::make_unique<RegistryHive>(TestFiles::home(QStringLiteral("registry.db")));
        TPVOptions(*m_hive).SetAskProfile(false);
        m_questions = ScriptedFormFillerQuestions();
        ProfileCard card;
        card.setAttribute(u"vCard.FirstName", QStringLiteral("Anna"));
        card.setAttribute(u"vCard.Email", QStringLiteral("anna@example.org"));
        card.setAttribute(u"vCard.Business.City", QStringLiteral("Cambridge"));
        card.setAttribute(u"vCard.Notes", QStringLiteral("</script>\"\n\\"));
        QVERIFY(ProfileStore::save(m_profile, card));
        TestFiles::writeFile(TestFiles::home(QStringLiteral("Pelvane/formfiller.ini")),
                             "[General]\r\nfname=vCard.FirstName\r\nemail=vCard.Email\r\n" +
                                 OddName.toUtf8() +
                                 "=vCard.Notes\r\n"
                                 "[Business]\r\ncity=vCard.Business.City\r\n");
    }

    // Which field gets what: empty attributes leave their field alone, a name asked twice is
    // answered once (the page gives both fields the first answer), each attribute is listed
    // once for the consent. A field whose type takes no value of the kind it was given keeps
    // what it has; a field of another type with the same name is answered for itself.
    void plan_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<FormField>>("fields");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("attributes");
        QTest::newRow("personal")
            << 1 << QList<FormField>{{"fname"}, {"city"}, {"EMAIL"}, {"email"}, {"fax"}}
            << Answers{{"fname", "text", "Anna"}, {"EMAIL", "text", "anna@example.org"}}
            << QStringList{"vCard.FirstName", "vCard.Email"};
        QTest::newRow("business")
            << 0 << QList<FormField>{{"city"}, {"vCard.FirstName"}, {"phone"}}
            << Answers{{"city", "text", "Cambridge"}, {"vCard.FirstName", "text", "Anna"}}
            << QStringList{"vCard.Business.City", "vCard.FirstName"};
        QTest::newRow("typed fields")
            << 1
            << QList<FormField>{{"email", {}, "email"},
                                {"who", "email", "email"},
                                {"phone", "tel", "tel"},
                                {"site", "url", "url"},
                                {"q", "given-name", "search"},
                                {"zip", {}, "number"}}
            << Answers{{"email", "email", "anna@example.org"},
                       {"who", "email", "anna@example.org"},
                       {"phone", "tel", "+44 20 7946 0958"},
                       {"site", "url", "https://anna.example.org/"},
                       {"q", "search", "Anna"},
                       {"zip", "number", "12345"}}
            << QStringList{"vCard.Email", "vCard.Home.Phone", "vCard.Homepage", "vCard.FirstName",
                           "vCard.Home.Zipcode"};
        QTest::newRow("values of the wrong kind")
            << 1
            << QList<FormField>{{"fname", {}, "email"},
                                {"fname", {}, "number"},
                                {"fname", "given-name", "tel"},
                                {"fname", {}, "text"},
                                {"page", {}, "url"},
                                {"bzip", {}, "number"}}
            << Answers{{"fname", "text", "Anna"}} << QStringList{"vCard.FirstName"};
    }
    void plan()
    {
        QFETCH(int, mode);
        QFETCH(QList<FormField>, fields);
        QFETCH(Answers, answers);
        QFETCH(QStringList, attributes);
        ProfileCard card = ProfileStore::load(m_profile).card;
        card.setAttribute(u"vCard.Home.Phone", QStringLiteral("+44 20 7946 0958"));
        card.setAttribute(u"vCard.Homepage", QStringLiteral("https://anna.example.org/"));
        card.setAttribute(u"vCard.Business.URL", QStringLiteral("anna.example.com"));
        card.setAttribute(u"vCard.Home.Zipcode", QStringLiteral("12345"));
        card.setAttribute(u"vCard.Business.Zipcode", QStringLiteral("CB2 1TN"));
        const FieldMap map(ProfileFile::fromBytes(
            TestFiles::readFile(TestFiles::home(QStringLiteral("Pelvane/formfiller.ini"))) +
            "[Personal]\r\npage=vCard.Business.URL\r\nzip=vCard.Home.Zipcode\r\n"
            "bzip=vCard.Business.Zipcode\r\n"));
        const auto planned = TFormFiller::plan(fields, map, ProfileKind(mode), card);
        QCOMPARE(planned.answers, answers);
        QCOMPARE(planned.attributes, attributes);
    }

    // The values reach the page as data: the odd name and the note are in the fill's
    // arguments, never in a script's text.
    void valuesTravelAsData()
    {
        FakePage page(*m_hive, {{"fname", ""}, {OddName, ""}, {"x", "given-name"}});
        QCOMPARE(fill(page), 3);
        const auto scripts = page.scripts();
        QCOMPARE(scripts.size(), 2);
        const QVariantList pairs = scripts.at(1).args.at(1).toList().at(0).toList();
        QCOMPARE(pairs.at(1).toList(),
                 (QVariantList{OddName, "text", QStringLiteral("</script>\"\n\\")}));
        QCOMPARE(pairs.at(2).toList(), (QVariantList{"x", "text", "Anna"}));
        for (const auto& call : scripts)
            QVERIFY(!call.args.at(0).toString().contains(QLatin1String("</script>")));
    }

    // Asked once per site when "Allow always" is chosen; "Allow" asks the next time again;
    // "Don't allow" sets nothing. A page with nothing to share asks nothing.
    void consent()
    {
        FakePage page(*m_hive, {{"fname", ""}, {"email", ""}});
        m_questions.consent = Consent::Deny;
        QCOMPARE(fill(page), 0);
        QCOMPARE(page.scripts().size(), 1); // no fill script
        m_questions.consent = Consent::Allow;
        QCOMPARE(fill(page), 2);
        m_questions.consent = Consent::AllowAlways;
        QCOMPARE(fill(page), 2);
        QCOMPARE(fill(page), 2);
        const QString asked = "consent http://127.0.0.1:8080: First name|E-mail address";
        QCOMPARE(m_questions.asked, (QStringList{asked, asked, asked}));

        FakePage other(*m_hive, {{"unknown", ""}});
        QCOMPARE(fill(other), 0);
        QCOMPARE(m_questions.asked.size(), 3);
    }

    // The notice comes before every fill until its check box is ticked; "Proceed" opens My
    // Profile before the fill goes on.
    void profileNotice()
    {
        TPVOptions(*m_hive).SetAskProfile(true);
        FakePage page(*m_hive, {{"fname", ""}});
        m_questions.consent = Consent::AllowAlways;
        m_questions.createProfile = true;
        QCOMPARE(fill(page), 1);
        m_questions.createProfile = false;
        m_questions.dontShowAgain = true;
        QCOMPARE(fill(page), 1);
        QCOMPARE(fill(page), 1);
        QCOMPARE(m_questions.asked,
                 (QStringList{"notice", "profile", "consent http://127.0.0.1:8080: First name",
                              "notice"}));
        QVERIFY(!TPVOptions(*m_hive).GetAskProfile());
    }

    // A formfiller.ini that cannot be read is told of, and the fields are matched without
    // it. Nothing is set when the card is damaged (the user is told) or when the tab goes
    // while the user is asked.
    void damagedFiles()
    {
        FakePage page(*m_hive, {{"fname", ""}, {"x", "given-name"}});
        TestFiles::writeFile(TestFiles::home(QStringLiteral("Pelvane/formfiller.ini")),
                             QByteArray(2 << 20, '['));
        QCOMPARE(fill(page), 1); // x by its autocomplete value
        QCOMPARE(m_questions.told.size(), 1);
        QVERIFY(m_questions.told.first().contains(QLatin1String("too large")));
        TestFiles::writeFile(m_profile, "BEGIN:VCARD\r\nFN:cut");
        QCOMPARE(fill(page), 0);
        QCOMPARE(m_questions.told.size(), 2);
        QCOMPARE(page.scripts().size(), 3); // no fill script the second time
    }
    void tabClosedWhileAsked()
    {
        auto* gone = new FakePage(*m_hive, {{"fname", ""}});
        m_questions.whileAsking = [&gone] { delete std::exchange(gone, nullptr); };
        TFormFiller filler(setup());
        QSignalSpy done(&filler, &TFormFiller::finished);
        filler.Fill(ProfileKind::Personal, &gone->browser);
        QVERIFY(done.wait(2000));
        QCOMPARE(done.first().first().toInt(), 0);
        QVERIFY(!gone);
    }

    // A consent is remembered for scheme, host and port. A page without a host (a local
    // file) is no site: asked about each time, and filled only if it is still there.
    void sites()
    {
        QCOMPARE(TFormFiller::siteOf("https://Shop.Example.COM:8443/x?y"),
                 QStringLiteral("https://shop.example.com:8443"));
        FakePage page(*m_hive, {{"fname", ""}});
        QVERIFY(page.backend->completeLoad("file:///home/a/form.html", "Form"));
        m_questions.consent = Consent::AllowAlways;
        QCOMPARE(fill(page), 1);
        QCOMPARE(fill(page), 1);
        m_questions.whileAsking = [&page] {
            page.backend->completeLoad("file:///home/a/other.html", "Other");
        };
        QCOMPARE(fill(page), 0);
        QCOMPARE(m_questions.asked, QStringList(3, "consent : First name"));
    }
};

PELVANE_TEST_MAIN(TestFormFiller)
#include "tst_formfiller.moc"
