#include "integration/ProfileCard.h"
#include "integration/VCardParser.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

namespace {

QByteArray dataFile(const QString& name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProfileCard cardOf(const QByteArray& bytes)
{
    const VCardReadResult read = VCard::read(bytes);
    if (!read.ok())
        qWarning() << read.error;
    return ProfileCard::fromVCard(read);
}

} // namespace

class TestProfileCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Cards as address books write them: each expected attribute, and every other attribute
    // of these cards empty.
    void exportedCards_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected"); // attribute=value, without "vCard."
        QTest::newRow("phone 3.0: folding, escapes, pref e-mail, groups, photo")
            << "phone-3.0.vcf"
            << QStringList({"FirstName=Anna",
                            "MiddleName=Maria",
                            "LastName=Smith",
                            "DisplayName=Anna Maria Smith",
                            "Company=Brenmoor Ltd",
                            "Department=Sales",
                            "JobTitle=Account Manager",
                            "Email=anna@example.org",
                            "Cellular=+44 7700 900123",
                            "Home.Phone=+44 20 7946 0000",
                            "Business.Phone=+44 20 7946 0999",
                            "Home.StreetAddress=12 High Street\nFlat 3",
                            "Home.City=London",
                            "Home.Zipcode=SW1A 1AA",
                            "Home.Country=United Kingdom",
                            "Business.StreetAddress=1 Market Square",
                            "Business.City=Cambridge",
                            "Business.State=Cambs",
                            "Business.Zipcode=CB2 3QJ",
                            "Business.Country=United Kingdom",
                            "Notes=Line one\nLine two, with comma; and semicolon\\ backslash"});
        QTest::newRow("android 2.1: quoted-printable, soft breaks, charsets, first card only")
            << "android-2.1.vcf"
            << QStringList(
                   {"FirstName=J\u00fcrgen", "LastName=\u00d6zt\u00fcrk",
                    "DisplayName=J\u00fcrgen \u00d6zt\u00fcrk", "Cellular=+49 170 1234567",
                    "Home.Phone=030 123456", "Business.Fax=030 999999", "Email=juergen@example.de",
                    "Home.StreetAddress=Stra\u00dfe des 17. Juni 135", "Home.City=Berlin",
                    "Home.Zipcode=10623", "Home.Country=Deutschland", "Notes=Gr\u00fc\u00dfe"});
        QTest::newRow("4.0: quoted type lists, tel: values, gender, quoted colon")
            << "rfc-4.0.vcf"
            << QStringList({"FirstName=Simon", "LastName=Perreault", "DisplayName=Simon Perreault",
                            "Gender=Male", "Company=Viagenie",
                            "Business.Phone=+1-418-656-9254;ext=102", "Cellular=+1-418-262-6501",
                            "Email=simon.perreault@viagenie.ca",
                            "Business.StreetAddress=2875 boul. Laurier, suite D2-630",
                            "Business.City=Quebec", "Business.State=QC", "Business.Zipcode=G1V 2M2",
                            "Business.Country=Canada", "Homepage=http://nomis80.org"});
        QTest::newRow("windows text without charset, LF ends, tab folding")
            << "windows-3.0.vcf"
            << QStringList({"FirstName=Ren\u00e9", "LastName=M\u00fcller",
                            "DisplayName=Ren\u00e9 M\u00fcller",
                            "JobTitle=Gesch\u00e4ftsf\u00fchrer der Firma"});
    }
    void exportedCards()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        const QByteArray bytes = dataFile(file);
        QVERIFY(!bytes.isEmpty());
        const ProfileCard card = cardOf(bytes);
        for (const ProfileCard::Attribute& a : ProfileCard::attributes()) {
            QString want;
            for (const QString& line : expected) {
                if ("vCard." + line.section(QLatin1Char('='), 0, 0) == QLatin1String(a.name))
                    want = line.section(QLatin1Char('='), 1);
            }
            QCOMPARE(card.attribute(QLatin1String(a.name)), want);
        }
    }

    void damagedCards_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a card") << QByteArray("Dear Anna,\r\nthanks.\r\n");
        QTest::newRow("cut short") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\n");
        QTest::newRow("binary") << QByteArray("BEGIN:VCARD\r\n\0\1\2END:VCARD\r\n", 23);
        QTest::newRow("too large") << QByteArray(VCard::MaxBytes + 1, 'A');
        // Read once, not once for every line it grows by.
        QTest::newRow("long folded header")
            << "BEGIN:VCARD\r\nX" + QByteArray("\r\n A=").repeated(400000);
        // Within the size bound, but each parameter or line held takes far more room.
        QTest::newRow("too many parameters")
            << "BEGIN:VCARD\r\nTEL" + QByteArray(";a").repeated(VCard::MaxParameters + 1) +
                   ":1\r\nEND:VCARD\r\n";
        QTest::newRow("too many types in a list")
            << "BEGIN:VCARD\r\nTEL;TYPE=\"" + QByteArray("a,").repeated(VCard::MaxParameters) +
                   "a\":1\r\nEND:VCARD\r\n";
        QTest::newRow("too many lines")
            << "BEGIN:VCARD\r\n" + QByteArray("X:1\r\n").repeated(VCard::MaxProperties + 1) +
                   "END:VCARD\r\n";
    }
    void damagedCards()
    {
        QFETCH(QByteArray, bytes);
        const VCardReadResult read = VCard::read(bytes);
        QVERIFY(!read.ok());
        QVERIFY(read.properties.isEmpty());
    }

    // A card of several megabytes (a large photo) is read, quickly, for what it holds.
    void largeCard()
    {
        QByteArray bytes = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nPHOTO;ENCODING=b:";
        for (int i = 0; i < 80000; ++i)
            bytes += QByteArray(74, 'Q') + "\r\n ";
        bytes += "Q\r\nEMAIL:anna@example.org\r\nEND:VCARD\r\n";
        QElapsedTimer timer;
        timer.start();
        const ProfileCard card = cardOf(bytes);
        qInfo("%.1f MB card read in %lld ms", bytes.size() / 1e6, timer.elapsed());
        QCOMPARE(card.attribute(u"vCard.Email"), QStringLiteral("anna@example.org"));
    }

    // What the program writes comes back whole: escapes, line breaks, long values folded
    // without cutting a character, every line within 75 octets and ending in CR LF.
    void writtenCardReadsBack()
    {
        ProfileCard card;
        int n = 0;
        for (const ProfileCard::Attribute& a : ProfileCard::attributes())
            card.setAttribute(QLatin1String(a.name), QStringLiteral("v%1 ; , \\ \u00e9").arg(++n));
        card.setAttribute(u"vCard.Notes",
                          QStringLiteral("first line\nsecond: ") + QString(60, QChar(0x20AC)));
        const QByteArray bytes = card.toVCard();
        for (const QByteArray& line : bytes.split('\n')) {
            QVERIFY2(line.size() <= 76, line.constData()); // 75 and the CR
            QVERIFY(line.isEmpty() || line.endsWith('\r'));
        }
        const ProfileCard back = cardOf(bytes);
        for (const ProfileCard::Attribute& a : ProfileCard::attributes())
            QCOMPARE(back.attribute(QLatin1String(a.name)), card.attribute(QLatin1String(a.name)));
        QCOMPARE(VCard::read(bytes).version, QStringLiteral("3.0"));
    }

    // What no attribute stands for survives an edit and a write: each row's lines come back
    // as read (unfolded), and the card read back equals the card written.
    void keptProperties_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // Lines of the written card, unfolded; no line may hold a text after "!".
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("phone 3.0: photo, second e-mail, the address book's own lines")
            << dataFile("phone-3.0.vcf")
            << QStringList({"PRODID:-//Apple Inc.//iPhone OS 17.0//EN",
                            "EMAIL;TYPE=INTERNET;TYPE=WORK:anna.smith@example.com",
                            "item1.X-ABADR:gb",
                            "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAMCAgMCAgMD"
                            "AwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsNDhIQDQ4RDgsLEBYQERMUFRUVDA8XGBYUG"
                            "BIUFRT/"});
        QTest::newRow("4.0: the name's suffix, a list")
            << dataFile("rfc-4.0.vcf")
            << QStringList({"N:Perreault;Simon;;;ing. jr,M.Sc."});
        QTest::newRow("2.1: birthday, quoted-printable and base64 undone, a second address")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Smith;Anna;;Dr.;\r\n"
                          "BDAY:1980-02-29\r\n"
                          "ADR;HOME:;;1 High St;York;;YO1;UK\r\n"
                          "ADR;POSTAL;PARCEL:;;PO Box 7;York;;YO2;UK\r\n"
                          "NOTE:first\r\n"
                          "X-NOTE;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Gr=FC=DFe=0D=0A=\r\n"
                          "zwei\r\n"
                          "PHOTO;JPEG;ENCODING=BASE64:/9j/4AAQ\r\n"
                          "X-CUSTOM;X-PARAM=\"a:b\":v;w\r\nEND:VCARD\r\n")
            << QStringList({"N:Smith;Anna;;Dr.;", "BDAY:1980-02-29",
                            "ADR;TYPE=POSTAL;TYPE=PARCEL:;;PO Box 7;York;;YO2;UK",
                            "X-NOTE:Gr\u00fc\u00dfe\\nzwei", "PHOTO;TYPE=JPEG;ENCODING=b:/9j/4AAQ",
                            "X-CUSTOM;X-PARAM=\"a:b\":v;w"});
        QTest::newRow("a parameter named with control characters is left out")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Anna;;;\r\n"
                          "ADR;TYPE=HOME:;;12 High St;London;;SW1;UK\r\n"
                          "item2.ADR;T\x0f\x0fYPE=WORK;X-A=b:;;1 Market Square;Cambridge;;CB1;UK\r\n"
                          "END:VCARD\r\n")
            << QStringList({"item2.ADR;X-A=b:;;1 Market Square;Cambridge;;CB1;UK"});
        // The second phones are kept (the home phone is taken); spelled carelessly, either
        // would come back as a work phone.
        QTest::newRow("a parameter keeps its blanks, one with a double quote is left out")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Anna;;;\r\n"
                          "TEL;TYPE=HOME:111\r\nTEL;TYPE=\" work\";X-A=\"a:b\":222\r\n"
                          "TEL;TYPE=wo\"r\"k:333\r\nEND:VCARD\r\n")
            << QStringList({"TEL;TYPE=\" work\";X-A=\"a:b\":222", "TEL:333"});
        QTest::newRow("a property that would say something else without a parameter is left out")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Anna;;;\r\n"
                          "EMAIL:a@example.com\r\nEMAIL;PREF=\"1\"\"\";PREF=1:b@example.com\r\n"
                          "X-KEPT:yes\r\nEND:VCARD\r\n")
            << QStringList({"X-KEPT:yes", "!b@example.com"});
        QTest::newRow("a chosen empty address or e-mail that cannot be written holds its place")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nb\tad.ADR;TYPE=HOME:;;;;;;\r\n"
                          "ADR;X-A=1:;;PO Box 7;York;;;\r\ne\tm.EMAIL:\r\nEMAIL:b@example.com\r\n"
                          "END:VCARD\r\n")
            << QStringList({"ADR;TYPE=HOME:;;;;;;", "ADR;X-A=1:;;PO Box 7;York;;;",
                            "EMAIL;TYPE=PREF:", "EMAIL:b@example.com"});
        QTest::newRow("the card's frame is not kept")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Other;Someone;;;\r\n"
                          "BEGIN:VCA\x13RD\r\nVERSION:4.0\r\nX-KEPT:yes\r\nEND:VCARD\r\n")
            << QStringList({"X-KEPT:yes", "!VERSION:4.0"});
        // Written as read, it would begin with a blank: a continuation of the line above.
        QTest::newRow("a property whose name is no name is left out")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Anna;;;\r\n"
                          "X-GENDER:Male\r\n. BEGIN:VCARD\r\nX-KEPT:yes\r\nEND:VCARD\r\n")
            << QStringList({"X-GENDER:Male", "X-KEPT:yes"});
        // Written back without the empty home address, the other would be read as home.
        QTest::newRow("an empty address chosen as home stays before the other")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nADR;TYPE=HOME:;;;;;;\r\n"
                          "ADR;TYPE=POSTAL:;;PO Box 7;York;;;\r\nEND:VCARD\r\n")
            << QStringList({"ADR;TYPE=HOME:;;;;;;", "ADR;TYPE=POSTAL:;;PO Box 7;York;;;"});
    }
    void keptProperties()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, kept);
        ProfileCard card = cardOf(bytes);
        card.setAttribute(u"vCard.JobTitle", QStringLiteral("Buyer")); // as My Profile edits it
        const QByteArray written = card.toVCard();
        const QStringList lines =
            QString::fromUtf8(written).remove(QStringLiteral("\r\n ")).split(QStringLiteral("\r\n"));
        for (const QString& line : kept) {
            const bool absent = line.startsWith(QLatin1Char('!'));
            const bool found = absent ? !lines.filter(line.mid(1)).isEmpty() : lines.contains(line);
            QVERIFY2(found != absent,
                     qPrintable(line + QStringLiteral(" in\n") + QString::fromUtf8(written)));
        }
        const ProfileCard back = cardOf(written);
        QVERIFY(back == card);
        QCOMPARE(back.toVCard(), written); // and again: nothing grows or moves
    }

    void attributeNames()
    {
        ProfileCard card;
        card.setAttribute(u"VCARD.BUSINESS.COMPANY", QStringLiteral("Brenmoor"));
        card.setAttribute(u"email", QStringLiteral("not an attribute"));
        QCOMPARE(card.attribute(u"vCard.Company"), QStringLiteral("Brenmoor"));
        QCOMPARE(card.attribute(u"vcard.business.company"), QStringLiteral("Brenmoor"));
        QCOMPARE(card.attribute(u"email"), QString());
        QCOMPARE(ProfileCard::canonicalName(u"vcard.home.zipcode"),
                 QStringLiteral("vCard.Home.Zipcode"));
        card.setAttribute(u"vCard.Company", QStringLiteral("  "));
        QVERIFY(card.isEmpty());
        card.setAttribute(u"vCard.Notes", QStringLiteral(" a\r\nb\x01\rc\0 "));
        QCOMPARE(card.attribute(u"vCard.Notes"), QStringLiteral("a\nb\nc"));
    }

    // The store: missing is an empty profile, damaged says why and is set aside, never
    // overwritten; a saved card is private to the user.
    void store()
    {
        const QString path = TestFiles::home(QStringLiteral("Pelvane/profile.vcf"));
        QCOMPARE(ProfileStore::load(path).status, ProfileStore::Status::Missing);

        TestFiles::writeFile(path, "BEGIN:VCARD\r\nFN:cut");
        const ProfileStore::Loaded damaged = ProfileStore::load(path);
        QCOMPARE(damaged.status, ProfileStore::Status::Damaged);
        QVERIFY(!damaged.error.isEmpty());
        const QString aside = ProfileStore::setAside(path);
        QVERIFY(aside.contains(QLatin1String("profile-damaged-")));
        QCOMPARE(TestFiles::readFile(aside), QByteArray("BEGIN:VCARD\r\nFN:cut"));
        QVERIFY(!QFile::exists(path));

        ProfileCard card;
        card.setAttribute(u"vCard.FirstName", QStringLiteral("Anna"));
        card.setAttribute(u"vCard.LastName", QStringLiteral("Smith"));
        QVERIFY(ProfileStore::save(path, card));
        QCOMPARE(int(QFile::permissions(path) & 0x0FFF), 0x0600); // owner only
        ProfileStore::Loaded loaded = ProfileStore::load(path);
        QCOMPARE(loaded.status, ProfileStore::Status::Ok);
        QVERIFY(loaded.card == card);
        // A display name left empty follows the name's parts; one given stays as given.
        loaded.card.setAttribute(u"vCard.FirstName", QStringLiteral("Ann"));
        QCOMPARE(loaded.card.attribute(u"vCard.DisplayName"), QStringLiteral("Ann Smith"));
        card.setAttribute(u"vCard.DisplayName", QStringLiteral("Anna S."));
        QVERIFY(ProfileStore::save(path, card));
        QVERIFY(ProfileStore::load(path).card == card);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestProfileCard)
#include "tst_profilecard.moc"
