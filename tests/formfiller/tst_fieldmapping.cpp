#include "formfiller/FieldMapping.h"
#include "formfiller/InputTypes.h"
#include "integration/ProfileCard.h"
#include "platform/ProfileFile.h"
#include "support/DataRows.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QtTest>

Q_DECLARE_METATYPE(ProfileKind)

namespace {

FieldMap mapOf(const QByteArray& ini)
{
    return FieldMap(ProfileFile::fromBytes(ini));
}

QString shippedFile()
{
    return QFINDTESTDATA("../../resources/formfiller.ini");
}

} // namespace

class TestFieldMapping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("autocomplete");
        QTest::addColumn<ProfileKind>("kind");
        QTest::addColumn<QString>("attribute");
        const auto P = ProfileKind::Personal;
        const auto B = ProfileKind::Business;
        const QByteArray general = "[General]\r\nemail=vCard.Email\r\n";
        const QByteArray both =
            "[General]\r\nEMAIL=vCard.Email\r\n[Personal]\r\nemail=vCard.Notes\r\n"
            "city=vCard.Home.City\r\n[Business]\r\nemail=vCard.Office\r\n"
            "city=vCard.Business.City\r\n";
        addRows<QByteArray, QString, QString, ProfileKind, QString>({
            {"no entry: the field's own name", QByteArray(), "email", "", P, "email"},
            {"General, personal", general, "email", "", P, "vCard.Email"},
            {"General, business", general, "email", "", B, "vCard.Email"},
            {"General wins over Personal", both, "Email", "", P, "vCard.Email"},
            {"General wins over Business", both, "Email", "", B, "vCard.Email"},
            {"Personal for personal", both, "CITY", "", P, "vCard.Home.City"},
            {"Business for business", both, "city", "", B, "vCard.Business.City"},
            {"Personal ignored by business", "[Personal]\r\ntown=vCard.Home.City\r\n", "town", "",
             B, "town"},
            {"Business ignored by personal", "[Business]\r\ntown=vCard.Business.City\r\n", "town",
             "", P, "town"},
            {"empty General entry falls through",
             "[General]\r\nzip=\r\n[Personal]\r\nzip=vCard.Home.Zipcode\r\n", "zip", "", P,
             "vCard.Home.Zipcode"},
            {"entry wins over autocomplete", general, "email", "given-name", P, "vCard.Email"},
            {"autocomplete without entry", general, "f1", "given-name", P, "vCard.FirstName"},
            {"unknown autocomplete: own name", general, "cc", "cc-number", P, "cc"},
            {"odd names stay names", general, "a\"b\\c</script>\nd", "", P, "a\"b\\c</script>\nd"},
        });
    }
    void lookup()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, name);
        QFETCH(QString, autocomplete);
        QFETCH(ProfileKind, kind);
        QFETCH(QString, attribute);
        QCOMPARE(mapOf(ini).attributeFor({name, autocomplete}, kind), attribute);
    }

    void autocomplete_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<ProfileKind>("kind");
        QTest::addColumn<QString>("attribute");
        const auto P = ProfileKind::Personal;
        const auto B = ProfileKind::Business;
        addRows<QString, ProfileKind, QString>({
            {"section and shipping", "section-a shipping postal-code", P, "vCard.Home.Zipcode"},
            {"business address", "street-address", B, "vCard.Business.StreetAddress"},
            {"home hint in business", "home tel", B, "vCard.Home.Phone"},
            {"work hint in personal", "work tel", P, "vCard.Business.Phone"},
            {"mobile", "mobile tel", B, "vCard.Cellular"},
            {"fax", "fax tel", B, "vCard.Business.Fax"},
            {"upper case", "Country-Name", P, "vCard.Home.Country"},
            {"off", "off", P, ""},
            {"country code is not a name", "country", P, ""},
            {"home page", "url", P, "vCard.Homepage"},
            {"business page", "url", B, "vCard.Business.URL"},
            {"home page in business", "home url", B, "vCard.Homepage"},
        });
    }
    void autocomplete()
    {
        QFETCH(QString, value);
        QFETCH(ProfileKind, kind);
        QFETCH(QString, attribute);
        QCOMPARE(FieldMap::attributeForAutocomplete(value, kind), attribute);
    }

    // Which fields a fill types into, and which values each takes: a value of the wrong kind
    // would make the page refuse its form.
    void inputTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("takes");
        addRows<QString, QString, bool, bool>({
            {"text takes any text", "text", "Anna <b>", true, true},
            {"search takes any text", "search", "two words", true, true},
            {"email: an address", "email", "anna.s+box@mail.example.org", true, true},
            {"email: a name", "email", "Anna Smith", true, false},
            {"email: no domain", "email", "anna@", true, false},
            {"email: two at signs", "email", "a@b@example.org", true, false},
            {"email: a blank", "email", "anna @example.org", true, false},
            {"tel: a number", "tel", "+44 (20) 7946-0958", true, true},
            {"tel: dots and slash", "tel", "030/123.45", true, true},
            {"tel: words", "tel", "call me", true, false},
            {"tel: no digit", "tel", "()-", true, false},
            {"url: a web address", "url", "https://anna.example.org/about", true, true},
            {"url: ftp", "url", "ftp://files.example.org/", true, true},
            {"url: no scheme", "url", "www.example.org", true, false},
            {"url: no host", "url", "http://", true, false},
            {"url: a script", "url", "javascript:alert(1)", true, false},
            {"number: whole", "number", "-12", true, true},
            {"number: fraction", "number", "3.5", true, true},
            {"number: exponent", "number", "1e3", true, true},
            {"number: a postal code with a blank", "number", "SW1A 1AA", true, false},
            {"number: a comma", "number", "3,5", true, false},
            {"number: a trailing point", "number", "3.", true, false},
            {"password is never filled", "password", "secret", false, false},
            {"date is not filled", "date", "2026-12-07", false, false},
            {"hidden is not filled", "hidden", "x", false, false},
            {"a type in capitals is not filled", "EMAIL", "anna@example.org", false, false},
            {"TEXT in capitals is not filled", "TEXT", "Anna", false, false},
        });
    }
    void inputTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(bool, filled);
        QFETCH(bool, takes);
        QCOMPARE(InputTypes::isFilled(type), filled);
        QCOMPARE(InputTypes::takes(type, value), takes);
    }

    // The shipped file: every value is an attribute the profile knows, and the names real
    // forms use map as a person expects.
    void shippedFile()
    {
        const ProfileFile file = ProfileFile::load(::shippedFile());
        QCOMPARE(file.status(), ProfileFile::Status::Ok);
        for (const QString& section : file.sectionNames()) {
            for (const auto& [key, value] : file.entries(section))
                QVERIFY2(!ProfileCard::canonicalName(value).isEmpty(),
                         qPrintable(key + "=" + value));
        }
        const FieldMap map(file);
        const struct
        {
            const char* field;
            ProfileKind kind;
            const char* attribute;
        } rows[] = {
            {"first_name", ProfileKind::Personal, "vCard.FirstName"},
            {"Surname", ProfileKind::Business, "vCard.LastName"},
            {"e-mail", ProfileKind::Business, "vCard.Email"},
            {"postcode", ProfileKind::Personal, "vCard.Home.Zipcode"},
            {"town", ProfileKind::Business, "vCard.Business.City"},
            {"organisation", ProfileKind::Personal, "vCard.Company"},
            {"tel", ProfileKind::Business, "vCard.Business.Phone"},
        };
        for (const auto& row : rows)
            QCOMPARE(map.attributeFor({QLatin1String(row.field), {}}, row.kind),
                     QLatin1String(row.attribute));
    }

    // The user's own file in the program folder is read instead of the shipped one.
    void ownFileFirst()
    {
        const QString own = TestFiles::home(QStringLiteral("own"));
        const QString shared = QFileInfo(::shippedFile()).absolutePath();
        QCOMPARE(FieldMap::load(own, shared).attributeFor({"fname", {}}, ProfileKind::Personal),
                 QStringLiteral("vCard.FirstName"));
        TestFiles::writeFile(own + "/formfiller.ini", "[General]\r\nfname=vCard.Notes\r\n");
        QCOMPARE(FieldMap::load(own, shared).attributeFor({"fname", {}}, ProfileKind::Personal),
                 QStringLiteral("vCard.Notes"));
    }
};

PELVANE_TEST_GUILESS_MAIN(TestFieldMapping)
#include "tst_fieldmapping.moc"
