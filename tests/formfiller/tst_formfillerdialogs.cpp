#include "support/Pictures.h"
#include "formfiller/dialogs/FormFiller.h"
#include "formfiller/dialogs/FormFillerDialogs.h"
#include "formfiller/dialogs/MyProfile.h"
#include "platform/RegistryHive.h"
#include "settings/PVOptions.h"
#include "support/HiveFiles.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

QString field(TfrmMyProfile& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QLatin1String(name))->text();
}

} // namespace

class TestFormFillerDialogs : public QObject
{
    Q_OBJECT

private:
    QString m_path = TestFiles::home(QStringLiteral("Pelvane/profile.vcf"));

private Q_SLOTS:
    void init() { QFile::remove(m_path); }

    // The notice: "Create Profile" opens the lower part and is spent, "Proceed..." asks for
    // My Profile, and the check box writes "AskProfile" false however the notice closes.
    void notice()
    {
        RegistryHive hive(TestFiles::home(QStringLiteral("registry.db")));
        TPVOptions options(hive);
        for (const bool ticked : {false, true}) {
            options.SetAskProfile(true);
            TfrmFormFiller notice(options);
            notice.findChild<QCheckBox*>("CheckBox1")->setChecked(ticked);
            auto* create = notice.findChild<QPushButton*>("cmdCreateProfile");
            notice.show();
            const int before = notice.height();
            picture(notice, QStringLiteral("formfiller-notice"));
            create->click();
            QVERIFY(notice.findChild<QGroupBox*>("GroupBox1")->isVisible());
            QVERIFY(!create->isEnabled());
            QTRY_VERIFY(notice.height() > before);
            picture(notice, QStringLiteral("formfiller-notice-create"));
            if (ticked)
                notice.reject(); // Esc or the title bar's close
            else
                notice.findChild<QPushButton*>("Button1")->click();
            QCOMPARE(notice.proceed(), !ticked);
            QCOMPARE(options.GetAskProfile(), !ticked);
        }
        // A hive that cannot keep the answer: the notice closes all the same and says why.
        RegistryHive refusing(TestFiles::home(QStringLiteral("refusing.db")));
        TPVOptions unkept(refusing);
        QVERIFY(HiveFiles::refuseValues(refusing.path(), QStringLiteral("%")));
        TfrmFormFiller notice(unkept);
        notice.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
        notice.show();
        notice.reject();
        QVERIFY(!notice.isVisible());
        QVERIFY(notice.error().contains(QLatin1String("AskProfile")));
    }

    // My Profile: shows the card, writes what is edited, imports a card over the fields
    // the card has.
    void myProfile()
    {
        ProfileCard card;
        card.setAttribute(u"vCard.FirstName", QStringLiteral("Anna"));
        card.setAttribute(u"vCard.Company", QStringLiteral("Brenmoor"));
        QVERIFY(ProfileStore::save(m_path, card));

        const QString exported = QFINDTESTDATA("../integration/data/android-2.1.vcf");
        TfrmMyProfile dialog(m_path, nullptr, [&] { return exported; });
        QCOMPARE(field(dialog, "vCard.FirstName"), QStringLiteral("Anna"));
        dialog.findChild<QPushButton*>("cmdImport")->click();
        QCOMPARE(field(dialog, "vCard.FirstName"), QStringLiteral("J\u00fcrgen"));
        QCOMPARE(field(dialog, "vCard.DisplayName"), QString()); // its FN is the name's parts
        QCOMPARE(field(dialog, "vCard.Company"), QStringLiteral("Brenmoor")); // not in the card
        picture(dialog, QStringLiteral("myprofile-personal"));
        dialog.findChild<QTabWidget*>()->setCurrentIndex(1);
        picture(dialog, QStringLiteral("myprofile-business"));
        dialog.findChild<QLineEdit*>("vCard.JobTitle")->setText(QStringLiteral("Buyer"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const ProfileCard saved = ProfileStore::load(m_path).card;
        QCOMPARE(saved.attribute(u"vCard.JobTitle"), QStringLiteral("Buyer"));
        QCOMPARE(saved.attribute(u"vCard.Home.City"), QStringLiteral("Berlin"));

        QVERIFY(
            !dialog.importFrom(TestFiles::writeFile(TestFiles::home("letter.vcf"), "Dear Anna")));
        QVERIFY(dialog.message().contains(QLatin1String("could not be read")));
    }

    // What the dialog has no field for is written back as it was read: the photo, the
    // birthday, a second address, the name's prefix.
    void myProfileKeepsTheRest()
    {
        TestFiles::writeFile(m_path, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Anna;;Dr.;\r\n"
                                     "FN:Anna Smith\r\nBDAY:1980-02-29\r\n"
                                     "ADR;TYPE=HOME:;;1 High St;York;;YO1;UK\r\n"
                                     "ADR;TYPE=POSTAL:;;PO Box 7;York;;YO2;UK\r\n"
                                     "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\r\n"
                                     "END:VCARD\r\n");
        TfrmMyProfile dialog(m_path);
        dialog.findChild<QLineEdit*>("vCard.FirstName")->setText(QStringLiteral("Ann"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QByteArray saved = TestFiles::readFile(m_path);
        for (const char* line : {"\r\nN:Smith;Ann;;Dr.;\r\n", "\r\nBDAY:1980-02-29\r\n",
                                 "\r\nADR;TYPE=HOME:;;1 High St;York;;YO1;UK\r\n",
                                 "\r\nADR;TYPE=POSTAL:;;PO Box 7;York;;YO2;UK\r\n",
                                 "\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\r\n"})
            QVERIFY2(saved.contains(line), saved.constData());
    }

    // A damaged card: the dialog opens empty and says so; OK keeps the damaged file aside.
    void damagedCard()
    {
        TestFiles::writeFile(m_path, "BEGIN:VCARD\r\nFN:cut short");
        TfrmMyProfile dialog(m_path);
        QVERIFY(dialog.message().contains(QLatin1String("could not be read")));
        QCOMPARE(field(dialog, "vCard.FirstName"), QString());
        picture(dialog, QStringLiteral("myprofile-damaged"));
        dialog.findChild<QLineEdit*>("vCard.FirstName")->setText(QStringLiteral("Anna"));
        dialog.accept();
        QCOMPARE(ProfileStore::load(m_path).card.attribute(u"vCard.FirstName"),
                 QStringLiteral("Anna"));
        const QStringList aside =
            QDir(QFileInfo(m_path).path()).entryList({"profile-damaged-*.vcf"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(TestFiles::readFile(QFileInfo(m_path).dir().filePath(aside.first())),
                 QByteArray("BEGIN:VCARD\r\nFN:cut short"));
    }

    void consentBox()
    {
        std::unique_ptr<QMessageBox> box(FormFillerDialogs::consentBox(
            "http://127.0.0.1:8080", {"First name", "E-mail address", "Street address (business)"},
            nullptr));
        picture(*box, QStringLiteral("formfiller-consent"));
        QCOMPARE(FormFillerDialogs::consentOf(*box), FormFillerQuestions::Consent::Deny);
        box->findChild<QPushButton*>("cmdAllowAlways")->click();
        QCOMPARE(FormFillerDialogs::consentOf(*box), FormFillerQuestions::Consent::AllowAlways);
        // A page without a site can only be allowed once.
        box.reset(FormFillerDialogs::consentBox(QString(), {"First name"}, nullptr));
        picture(*box, QStringLiteral("formfiller-consent-page"));
        QVERIFY(!box->findChild<QPushButton*>("cmdAllowAlways"));
    }
};

PELVANE_TEST_MAIN(TestFormFillerDialogs)
#include "tst_formfillerdialogs.moc"
