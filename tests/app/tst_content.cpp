#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "platform/MessageBus.h"
#include "platform/web/WebBrowser.h"
#include "settings/IEOptions.h"
#include "settings/UserAgent.h"
#include "support/FakeWebBackend.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

namespace {

// A main window on fake engines that records what it hands the engine.
struct Window
{
    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    QList<WebContentSwitches> switchesSent;
    QList<QStringList> tokensSent;
    std::unique_ptr<TfrmMain> window;

    explicit Window(MessageBus* bus = nullptr)
    {
        MainWindowOptions options;
        options.backends = FakeWebBackend::factory(made);
        options.bus = bus;
        options.applyContentSwitches = [this](const WebContentSwitches& s) { switchesSent << s; };
        options.applyUserAgentTokens = [this](const QStringList& t) { tokensSent << t; };
        window = std::make_unique<TfrmMain>(options);
    }
    TfrmMain* operator->() const { return window.get(); }
    QAction* action(const char* name) const { return window->actions()->get(name); }
    bool checked(const char* name) const { return action(name)->isChecked(); }
    int refreshes() const
    {
        int count = 0;
        for (FakeWebBackend* fake : made->alive())
            count += fake->count(QStringLiteral("refresh"));
        return count;
    }
};

QString stored(const QString& name)
{
    TRegistry reg;
    reg.openKey(TIEOptions::Key(), true);
    return reg.valueExists(name) ? reg.readString(name) : QStringLiteral("<missing>");
}

void store(const QString& name, const QString& text)
{
    TRegistry reg;
    reg.openKey(TIEOptions::Key(), true);
    reg.writeString(name, text);
}

} // namespace

class TestContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        TRegistry reg;
        reg.deleteKey(QStringLiteral("\\Software\\Microsoft"));
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        reg.deleteKey(QStringLiteral("\\Software\\Microsoft"));
    }

    void optionsMenuShowsTheStoredSwitches()
    {
        store(TIEOptions::ImagesValue(), QStringLiteral("Yes")); // anything but "yes" is off
        store(TIEOptions::SoundsValue(), QStringLiteral("no"));
        Window w;
        auto* menu = w->findChild<QMenu*>(QStringLiteral("mnuOptions"));
        QVERIFY(menu);
        QStringList captions;
        for (QAction* item : menu->actions().mid(0, 4))
            captions << item->text();
        QCOMPARE(captions,
                 (QStringList{"&Load Images", "Load &Videos", "Load &Sounds", "Load &Animations"}));
        QVERIFY(!w.checked("pmOptionsLoadImages"));
        QVERIFY(!w.checked("tbLoadImages"));
        QVERIFY(w.checked("pmOptionsLoadVideos"));
        QVERIFY(!w.checked("pmOptionsLoadSounds"));
        QVERIFY(w.checked("pmOptionsLoadAnimations"));
        WebContentSwitches expected;
        expected.images = false;
        expected.sounds = false;
        QCOMPARE(w->ContentSwitches(), expected);
        QVERIFY(!w.switchesSent.isEmpty());
        QCOMPARE(w.switchesSent.last(), expected);
        // Reading wrote nothing.
        QCOMPARE(stored(TIEOptions::ImagesValue()), QStringLiteral("Yes"));
        QCOMPARE(stored(TIEOptions::VideosValue()), QStringLiteral("<missing>"));

        // Toggling the unchecked item turns it on and stores the proper text.
        w.action("pmOptionsLoadImages")->trigger();
        QCOMPARE(stored(TIEOptions::ImagesValue()), QStringLiteral("yes"));
        QVERIFY(w.checked("pmOptionsLoadImages"));
    }

    void menuAndToolbarAgreeAndReloadEveryTab()
    {
        Window w;
        w->NewTab();
        for (FakeWebBackend* fake : w.made->alive())
            fake->completeLoad(QStringLiteral("http://127.0.0.1/p"), QStringLiteral("P"));
        auto* button = w->findChild<QToolButton*>(QStringLiteral("tbLoadImages"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Images"));
        QVERIFY(button->isCheckable() && button->isChecked());

        w.action("pmOptionsLoadImages")->trigger();
        QVERIFY(!w->ContentSwitches().images);
        QVERIFY(!w.checked("pmOptionsLoadImages"));
        QVERIFY(!button->isChecked());
        QCOMPARE(stored(TIEOptions::ImagesValue()), QStringLiteral("no"));
        QCOMPARE(w.refreshes(), 2);
        QVERIFY(!w.switchesSent.last().images);

        button->click();
        QVERIFY(w->ContentSwitches().images);
        QVERIFY(w.checked("pmOptionsLoadImages"));
        QVERIFY(button->isChecked());
        QCOMPARE(stored(TIEOptions::ImagesValue()), QStringLiteral("yes"));
        QCOMPARE(w.refreshes(), 4);

        // The other three touch only their own switch.
        w.action("pmOptionsLoadAnimations")->trigger();
        QCOMPARE(stored(TIEOptions::AnimationsValue()), QStringLiteral("no"));
        QCOMPARE(stored(TIEOptions::VideosValue()), QStringLiteral("<missing>"));
        QVERIFY(button->isChecked());
        WebContentSwitches expected;
        expected.animations = false;
        QCOMPARE(w.switchesSent.last(), expected);
    }

    void applyWritesAndTellsOnlyOnChange()
    {
        QTemporaryDir folder;
        MessageBus own(folder.path()); // sends only: one listening bus per process
        MessageBus other(folder.path());
        QVERIFY(other.listen());
        int told = 0;
        other.setHandler(TIEOptions::SettingChangeMessage(), [&told](const QJsonValue&) {
            ++told;
            return QJsonValue(true);
        });
        store(TIEOptions::VideosValue(), QStringLiteral("Yes"));
        Window w(&own);
        QTest::qWait(100);
        QCOMPARE(told, 0); // reading at creation changes nothing

        w->ApplyLoadVideos(false); // already off: "Yes" is not "yes"
        QCOMPARE(stored(TIEOptions::VideosValue()), QStringLiteral("Yes"));
        w->ApplyLoadVideos(true);
        QCOMPARE(stored(TIEOptions::VideosValue()), QStringLiteral("yes"));
        QTRY_COMPARE(told, 1);
        w->ApplyLoadVideos(true);
        w->LoadContentSwitches();
        QTest::qWait(100);
        QCOMPARE(told, 1);
        QCOMPARE(stored(TIEOptions::VideosValue()), QStringLiteral("yes"));
    }

    void anotherCopyFollowsASwitch()
    {
        QTemporaryDir folder;
        MessageBus first(folder.path());
        MessageBus second(folder.path());
        QVERIFY(second.listen());
        Window changer(&first);
        Window follower(&second);
        QVERIFY(follower->ContentSwitches().sounds);

        changer.action("pmOptionsLoadSounds")->trigger();
        QTRY_VERIFY(!follower->ContentSwitches().sounds);
        QVERIFY(!follower.checked("pmOptionsLoadSounds"));
        QVERIFY(!follower.switchesSent.last().sounds);
        QCOMPARE(follower.refreshes(), 0); // only the copy that was told reloads
    }

    void userAgentTokenLivesWithTheWindow()
    {
        {
            TRegistry reg;
            reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
            reg.openKey(UserAgent::PostPlatformKey(), true);
            reg.writeString(QStringLiteral("Other Product 1.0"), QStringLiteral("x"));
            reg.writeString(QStringLiteral("VarloBrowse 4.0"), QStringLiteral("x"));
            reg.writeString(QStringLiteral("Pelvane 5.0"), QStringLiteral("x"));
        }
        {
            Window w;
            QCOMPARE(UserAgent::Tokens(), (QStringList{"Other Product 1.0", "Pelvane 5.50B3"}));
            QCOMPARE(w.tokensSent, QList<QStringList>{UserAgent::Tokens()});
        }
        QCOMPARE(UserAgent::Tokens(), QStringList{"Other Product 1.0"});
    }
};

PELVANE_TEST_MAIN(TestContent)
#include "tst_content.moc"
