#include "platform/MessageBus.h"
#include "platform/Registry.h"
#include "settings/ContentSwitchControl.h"
#include "settings/IEOptions.h"
#include "settings/UserAgent.h"
#include "support/FakeEngineServices.h"
#include "support/HiveQueries.h"
#include "support/TestHome.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

using Switch = ContentSwitchControl::Switch;

// A hive of its own and a fake engine for each control.
struct Setup
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};
    FakeEngineServices engine{QString()};

    QString stored(const QString& name)
    {
        TRegistry reg(hive);
        reg.openKey(TIEOptions::Key(), true);
        return reg.valueExists(name) ? reg.readString(name) : QStringLiteral("<missing>");
    }
    void store(const QString& name, const QString& text)
    {
        TRegistry reg(hive);
        reg.openKey(TIEOptions::Key(), true);
        reg.writeString(name, text);
    }
};

} // namespace

class TestContentSwitches : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadReadsTheBrowsersSwitchesWithoutWriting()
    {
        Setup s;
        s.store(TIEOptions::ImagesValue(), QStringLiteral("Yes")); // anything but "yes" is off
        s.store(TIEOptions::SoundsValue(), QStringLiteral("no"));
        ContentSwitchControl control(s.hive, nullptr, &s.engine, nullptr);
        QSignalSpy told(&control, &ContentSwitchControl::othersTold);
        const HiveQueries queries(s.hive);
        control.load();
        QCOMPARE(queries.taken(), 1u); // the four switches in one look-up
        WebContentSwitches expected;
        expected.images = false;
        expected.sounds = false;
        QCOMPARE(control.switches(), expected);
        QCOMPARE(s.engine.appliedSwitches.last(), expected);
        QCOMPARE(told.count(), 0);
        QCOMPARE(s.stored(TIEOptions::ImagesValue()), QStringLiteral("Yes"));
        QCOMPARE(s.stored(TIEOptions::VideosValue()), QStringLiteral("<missing>"));
    }

    void applyWritesAndTellsOnlyOnChange()
    {
        Setup s;
        s.store(TIEOptions::VideosValue(), QStringLiteral("Yes"));
        ContentSwitchControl control(s.hive, nullptr, &s.engine, nullptr);
        QSignalSpy told(&control, &ContentSwitchControl::othersTold);
        QSignalSpy changed(&control, &ContentSwitchControl::switchesChanged);
        control.apply(Switch::Videos, false); // already off: "Yes" is not "yes"
        QCOMPARE(s.stored(TIEOptions::VideosValue()), QStringLiteral("Yes"));
        QCOMPARE(told.count(), 0);
        control.apply(Switch::Videos, true);
        QCOMPARE(s.stored(TIEOptions::VideosValue()), QStringLiteral("yes"));
        QCOMPARE(told.count(), 1);
        control.apply(Switch::Videos, true);
        control.load();
        QCOMPARE(told.count(), 1);
        QCOMPARE(changed.count(), 7); // every apply shows itself, changed or not

        // A toggle turns the switch over, stores the proper text and asks for a reload.
        QSignalSpy refresh(&control, &ContentSwitchControl::refreshAllWanted);
        control.toggle(Switch::Animations);
        QCOMPARE(s.stored(TIEOptions::AnimationsValue()), QStringLiteral("no"));
        QVERIFY(!control.isOn(Switch::Animations));
        QCOMPARE(refresh.count(), 1);
        QCOMPARE(s.stored(TIEOptions::ImagesValue()), QStringLiteral("<missing>"));
    }

    void anotherCopyFollowsASwitch()
    {
        Setup s;
        QTemporaryDir folder;
        MessageBus first(folder.path());
        MessageBus second(folder.path());
        QVERIFY(second.listen());
        ContentSwitchControl changer(s.hive, &first, &s.engine, nullptr);
        FakeEngineServices followerEngine{QString()};
        ContentSwitchControl follower(s.hive, &second, &followerEngine, nullptr);
        QSignalSpy followerRefresh(&follower, &ContentSwitchControl::refreshAllWanted);
        QVERIFY(follower.isOn(Switch::Sounds));

        changer.toggle(Switch::Sounds);
        QTRY_VERIFY(!follower.isOn(Switch::Sounds));
        QVERIFY(!followerEngine.appliedSwitches.last().sounds);
        QCOMPARE(followerRefresh.count(), 0); // only the copy that was toggled reloads
    }

    void userAgentTokenLivesWithTheControl()
    {
        Setup s;
        {
            TRegistry reg(s.hive);
            reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
            reg.openKey(UserAgent::PostPlatformKey(), true);
            reg.writeString(QStringLiteral("Other Product 1.0"), QStringLiteral("x"));
            reg.writeString(QStringLiteral("VarloBrowse 4.0"), QStringLiteral("x"));
            reg.writeString(QStringLiteral("Pelvane 5.0"), QStringLiteral("x"));
        }
        ContentSwitchControl control(s.hive, nullptr, &s.engine, nullptr);
        control.SetUserAgentTag(true);
        QCOMPARE(UserAgent::Tokens(s.hive), (QStringList{"Other Product 1.0", "Pelvane 5.50B3"}));
        QCOMPARE(s.engine.appliedTokens, QList<QStringList>{UserAgent::Tokens(s.hive)});
        control.end();
        QCOMPARE(UserAgent::Tokens(s.hive), QStringList{"Other Product 1.0"});
    }
};

PELVANE_TEST_MAIN(TestContentSwitches)
#include "tst_contentswitches.moc"
