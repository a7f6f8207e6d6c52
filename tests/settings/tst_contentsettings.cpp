#include "platform/MessageBus.h"
#include "settings/IEOptions.h"
#include "settings/UserAgent.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <optional>

namespace {

// A hive of its own for each test.
struct Fixture
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};

    void storeSwitch(const QString& name, const QString& text)
    {
        TRegistry reg(hive);
        reg.openKey(TIEOptions::Key(), true);
        reg.writeString(name, text);
    }
    QString storedSwitch(const QString& name)
    {
        TRegistry reg(hive);
        reg.openKey(TIEOptions::Key(), false);
        return reg.valueExists(name) ? reg.readString(name) : QStringLiteral("<missing>");
    }
    void addToken(const QString& name, const QString& data = QStringLiteral("x"))
    {
        TRegistry reg(hive);
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        reg.openKey(UserAgent::PostPlatformKey(), true);
        reg.writeString(name, data);
    }
    QString tokenData(const QString& name)
    {
        TRegistry reg(hive);
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        reg.openKey(UserAgent::PostPlatformKey(), false);
        return reg.readString(name);
    }
};

} // namespace

class TestContentSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readRule_data()
    {
        QTest::addColumn<std::optional<QString>>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("missing") << std::optional<QString>() << true;
        QTest::newRow("yes") << std::optional<QString>(QStringLiteral("yes")) << true;
        QTest::newRow("Yes") << std::optional<QString>(QStringLiteral("Yes")) << false;
        QTest::newRow("YES") << std::optional<QString>(QStringLiteral("YES")) << false;
        QTest::newRow("no") << std::optional<QString>(QStringLiteral("no")) << false;
        QTest::newRow("empty") << std::optional<QString>(QString()) << false;
        QTest::newRow("yes with blank") << std::optional<QString>(QStringLiteral("yes ")) << false;
        QTest::newRow("1") << std::optional<QString>(QStringLiteral("1")) << false;
    }
    void readRule()
    {
        QFETCH(std::optional<QString>, text);
        QFETCH(bool, on);
        QCOMPARE(TIEOptions::SwitchFromText(text), on);
    }

    void switchesReadAndWriteTheBrowsersValues()
    {
        Fixture f;
        {
            const TIEOptions fresh(f.hive);
            QVERIFY(fresh.GetLoadImages() && fresh.GetLoadVideos() && fresh.GetLoadSounds() &&
                    fresh.GetLoadAnimations());
        }
        f.storeSwitch(QStringLiteral("Display Inline Images"), QStringLiteral("Yes"));
        f.storeSwitch(QStringLiteral("Display Inline Videos"), QStringLiteral("no"));
        f.storeSwitch(QStringLiteral("Play_Background_Sounds"), QStringLiteral("yes"));
        {
            TRegistry reg(f.hive);
            reg.openKey(TIEOptions::Key(), true);
            reg.writeInteger(QStringLiteral("Play_Animations"), 1); // not the text "yes"
        }
        TIEOptions ie(f.hive);
        QVERIFY(!ie.GetLoadImages());
        QVERIFY(!ie.GetLoadVideos());
        QVERIFY(ie.GetLoadSounds());
        QVERIFY(!ie.GetLoadAnimations());

        ie.SetLoadImages(true);
        ie.SetLoadSounds(false);
        ie.SetLoadAnimations(true);
        QCOMPARE(f.storedSwitch(QStringLiteral("Display Inline Images")), QStringLiteral("yes"));
        QCOMPARE(f.storedSwitch(QStringLiteral("Play_Background_Sounds")), QStringLiteral("no"));
        QCOMPARE(f.storedSwitch(QStringLiteral("Play_Animations")), QStringLiteral("yes"));
        QVERIFY(ie.GetLoadImages());
        QVERIFY(!ie.GetLoadSounds());
    }

    void broadcastReachesTheOtherCopies()
    {
        QTemporaryDir folder;
        // Two listening buses of one process would share one socket: the sender only sends.
        MessageBus sender(folder.path());
        MessageBus other(folder.path());
        QVERIFY(other.listen());
        QString area;
        other.setHandler(TIEOptions::SettingChangeMessage(), [&area](const QJsonValue& payload) {
            area = payload.toString();
            return QJsonValue(true);
        });
        TIEOptions::BroadcastSettingChange(&sender);
        QTRY_COMPARE(area, QStringLiteral("Software\\Microsoft\\Internet Explorer"));
        TIEOptions::BroadcastSettingChange(nullptr); // nobody to tell: nothing happens
    }

    void tagReplacesOldTokensAndKeepsForeignOnes()
    {
        Fixture f;
        f.addToken(QStringLiteral("Other Product 2.0"));
        f.addToken(QStringLiteral("VarloBrowse 4.0"));
        f.addToken(QStringLiteral("Pelvane 5.0"));
        f.addToken(QStringLiteral("pelvane lower")); // not this program's spelling
        f.addToken(QStringLiteral("Pelvane 5.50B3"), QStringLiteral("stale"));

        UserAgent::SetTag(true, f.hive);
        QCOMPARE(UserAgent::Tokens(f.hive),
                 (QStringList{"Other Product 2.0", "pelvane lower", "Pelvane 5.50B3"}));
        QCOMPARE(f.tokenData(QStringLiteral("Pelvane 5.50B3")), QStringLiteral("IEAK"));

        UserAgent::SetTag(false, f.hive);
        QCOMPARE(UserAgent::Tokens(f.hive), (QStringList{"Other Product 2.0", "pelvane lower"}));
    }

    void tagOnAnEmptyHiveMakesTheKey()
    {
        Fixture f;
        QVERIFY(UserAgent::Tokens(f.hive).isEmpty());
        UserAgent::SetTag(false, f.hive);
        QVERIFY(UserAgent::Tokens(f.hive).isEmpty());
        UserAgent::SetTag(true, f.hive);
        QCOMPARE(UserAgent::Tokens(f.hive), QStringList{UserAgent::Token()});
    }

    void tokenOwnership_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("own");
        QTest::newRow("current") << QStringLiteral("Pelvane 5.50B3") << true;
        QTest::newRow("older") << QStringLiteral("Pelvane") << true;
        QTest::newRow("ancestor") << QStringLiteral("VarloBrowse 3") << true;
        QTest::newRow("lower case") << QStringLiteral("varlobrowse 3") << false;
        QTest::newRow("inside") << QStringLiteral("Not Pelvane") << false;
        QTest::newRow("foreign") << QStringLiteral("SV1") << false;
    }
    void tokenOwnership()
    {
        QFETCH(QString, name);
        QFETCH(bool, own);
        QCOMPARE(UserAgent::IsProgramToken(name), own);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestContentSettings)
#include "tst_contentsettings.moc"
