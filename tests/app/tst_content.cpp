#include "commands/MainActions.h"
#include "platform/Registry.h"
#include "settings/ContentSwitchControl.h"
#include "settings/IEOptions.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

int refreshes(const MainWindowFixture& w)
{
    int count = 0;
    for (FakeWebBackend* fake : w.engine.made->alive())
        count += fake->count(QStringLiteral("refresh"));
    return count;
}

void store(RegistryHive& hive, const QString& name, const QString& text)
{
    TRegistry reg(hive);
    reg.openKey(TIEOptions::Key(), true);
    reg.writeString(name, text);
}

} // namespace

// The content switches as the main window shows them: the Options menu and the Images
// button. The switches themselves have tests of their own.
class TestContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionsMenuShowsTheStoredSwitches()
    {
        MainWindowFixture w({.before = [](TPVOptions& o) {
            store(o.hive(), TIEOptions::ImagesValue(), QStringLiteral("Yes"));
            store(o.hive(), TIEOptions::SoundsValue(), QStringLiteral("no"));
        }});
        QStringList captions;
        for (QAction* item : w->menu(MenuId::Options)->actions().mid(0, 4))
            captions << item->text();
        QCOMPARE(captions,
                 (QStringList{"&Load Images", "Load &Videos", "Load &Sounds", "Load &Animations"}));
        QVERIFY(!w->action(ActionId::pmOptionsLoadImages)->isChecked());
        QVERIFY(!w->action(ActionId::tbLoadImages)->isChecked());
        QVERIFY(w->action(ActionId::pmOptionsLoadVideos)->isChecked());
        QVERIFY(!w->action(ActionId::pmOptionsLoadSounds)->isChecked());
        QVERIFY(w->action(ActionId::pmOptionsLoadAnimations)->isChecked());
        QVERIFY(!w.engine.appliedSwitches.last().images);
    }

    void menuAndToolbarAgreeAndReloadEveryTab()
    {
        MainWindowFixture w;
        w->NewTab();
        for (FakeWebBackend* fake : w.engine.made->alive())
            fake->completeLoad(QStringLiteral("http://127.0.0.1/p"), QStringLiteral("P"));
        auto* button = w->findChild<QToolButton*>(QStringLiteral("tbLoadImages"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Images"));
        QVERIFY(button->isCheckable() && button->isChecked());

        w->action(ActionId::pmOptionsLoadImages)->trigger();
        QVERIFY(!w->contentSwitches()->switches().images);
        QVERIFY(!w->action(ActionId::pmOptionsLoadImages)->isChecked());
        QVERIFY(!button->isChecked());
        QCOMPARE(refreshes(w), 2);

        button->click();
        QVERIFY(w->contentSwitches()->switches().images);
        QVERIFY(w->action(ActionId::pmOptionsLoadImages)->isChecked());
        QVERIFY(button->isChecked());
        QCOMPARE(refreshes(w), 4);

        // The other three touch only their own switch.
        w->action(ActionId::pmOptionsLoadAnimations)->trigger();
        QVERIFY(button->isChecked());
        WebContentSwitches expected;
        expected.animations = false;
        QCOMPARE(w.engine.appliedSwitches.last(), expected);
    }
};

PELVANE_TEST_MAIN(TestContent)
#include "tst_content.moc"
