#include "formfiller/FormFiller.h"
#include "formfiller/FormScripts.h"
#include "integration/ProfileCard.h"
#include "platform/RegistryHive.h"
#include "settings/PVOptions.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/ScriptedFormFillerQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QSignalSpy>
#include <QtTest>

using namespace EngineTestKit;

// The form filler on the real engine: which elements the walk takes, the frames it reaches,
// and what the page holds afterwards.
class TestFormFillerEngine : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    LocalHttpServer m_otherOrigin;
    std::unique_ptr<WebEngineContext> m_context;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        QVERIFY(m_otherOrigin.listen());
        m_otherOrigin.serve("/inner", page("Other", "<input type='text' name='zip' id='zip'>"));
        m_server.serve("/inner",
                       page("Inner", "<input type='text' name='zip' id='zip' autocomplete='" +
                                         QByteArray(3000, 'x') + "'>"));
        m_server.serve(
            "/form",
            page("Form",
                 "<form>"
                 "<input type='text' name='fname' id='t1'>"
                 "<input name='email' id='t2'>"
                 "<input type='TEXT' name='fname' id='upper' value='upper'>"
                 "<input type='password' name='fname' id='pw'>"
                 "<textarea name='fname' id='ta'></textarea>"
                 "<select name='fname' id='sel'><option value=''>-</option>"
                 "<option value='Anna'>Anna</option></select>"
                 "<input type='text' name='city' id='c1'><input type='text' name='CITY' id='c2'>"
                 "<input type='text' name='city' id='c3'>"
                 "<input type='text' name='fax' id='fax' value='typed'>"
                 "<input type='text' name='q&quot;b\\s&lt;/script&gt;&#39;x' id='odd'>"
                 "<input type='text' name='x1' autocomplete='family-name' id='ac'>"
                 "<input type='email' name='email' id='e1'>"
                 "<input type='tel' name='phone' autocomplete='tel' id='tel'>"
                 "<input type='number' name='fname' id='num'>"
                 "<input type='date' name='fname' id='date'>"
                 "</form><iframe src='/inner'></iframe><iframe src='" +
                     m_otherOrigin.url("/inner").toEncoded() + "'></iframe>"));
        m_context = std::make_unique<WebEngineContext>();

        ProfileCard card;
        card.setAttribute(u"vCard.FirstName", QStringLiteral("Anna"));
        card.setAttribute(u"vCard.LastName", QStringLiteral("Smith"));
        card.setAttribute(u"vCard.Email", QStringLiteral("anna@example.org"));
        card.setAttribute(u"vCard.Home.City", QStringLiteral("London"));
        card.setAttribute(u"vCard.Home.Phone", QStringLiteral("+44 20 7946 0958"));
        card.setAttribute(u"vCard.Home.Zipcode", QStringLiteral("SW1A 1AA"));
        card.setAttribute(u"vCard.Notes", QStringLiteral("</script>\"\\ ${x}"));
        QVERIFY(ProfileStore::save(TestFiles::home(QStringLiteral("Pelvane/profile.vcf")), card));
        TestFiles::writeFile(TestFiles::home(QStringLiteral("Pelvane/formfiller.ini")),
                             "[General]\r\nfname=vCard.FirstName\r\nemail=vCard.Email\r\n"
                             "q\"b\\s</script>'x=vCard.Notes\r\n"
                             "[Personal]\r\ncity=vCard.Home.City\r\nzip=vCard.Home.Zipcode\r\n");
    }

    void cleanupTestCase() { m_context.reset(); }

    void fillsFieldsOfPageAndSameOriginFrame()
    {
        Browser b(m_context.get());
        const QString address = m_server.url("/form").toString();
        QVERIFY(load(b, address));
        // The frames load on their own; the walk needs both documents there.
        QVERIFY(waitUntil([&] {
            return evaluate(b, "const f = document.querySelectorAll('iframe');"
                               "return f.length == 2 && !!f[0].contentDocument && "
                               "!!f[0].contentDocument.getElementById('zip');")
                .toBool();
        }));

        // The walk: the fields a fill types into by document order, the same-origin frame's
        // too, never the other origin's (its zip would make a second "zip").
        const QVariantList fields = evaluate(b, FormScripts::collectFields(),
                                             {FormScripts::MaxNameLength, FormScripts::MaxFields})
                                        .toList();
        QStringList names;
        for (const QVariant& f : fields)
            names << f.toList().value(0).toString();
        QCOMPARE(names, (QStringList{"fname", "email", "city", "CITY", "city", "fax",
                                     "q\"b\\s</script>'x", "x1", "email", "phone", "fname",
                                     "zip"}));
        QCOMPARE(fields.at(11).toList().value(1).toString().size(), FormScripts::MaxNameLength);
        QCOMPARE(fields.at(1).toList().value(2).toString(), "text");
        QCOMPARE(fields.at(8).toList().value(2).toString(), "email");

        RegistryHive hive(TestFiles::home(QStringLiteral("registry.db")));
        TPVOptions(hive).SetAskProfile(false);
        ScriptedFormFillerQuestions questions;
        TFormFiller filler({&hive, &questions,
                            TestFiles::home(QStringLiteral("Pelvane/profile.vcf")),
                            TestFiles::home(QStringLiteral("Pelvane")), QString()});
        QSignalSpy done(&filler, &TFormFiller::finished);
        filler.Fill(ProfileKind::Personal, b.widget.get());
        QVERIFY(done.wait(LoadTimeout));
        QCOMPARE(done.first().first().toInt(), 10);
        QCOMPARE(questions.asked.size(), 1);

        const QStringList values =
            evaluate(b, "const v = (d, id) => id + '=' + d.getElementById(id).value;"
                        "const inner = document.querySelector('iframe').contentDocument;"
                        "return ['t1','t2','upper','pw','ta','sel','c1','c2','c3','fax','odd','ac',"
                        "'e1','tel','num','date']"
                        ".map((id) => v(document, id)).concat([v(inner, 'zip')]);")
                .toStringList();
        QCOMPARE(values, (QStringList{"t1=Anna", "t2=anna@example.org", "upper=upper", "pw=", "ta=",
                                      "sel=", "c1=London", "c2=London", "c3=London", "fax=typed",
                                      "odd=</script>\"\\ ${x}", "ac=Smith",
                                      "e1=anna@example.org", "tel=+44 20 7946 0958", "num=",
                                      "date=", "zip=SW1A 1AA"}));
    }
};

PELVANE_TEST_MAIN(TestFormFillerEngine)
#include "tst_formfiller_engine.moc"
