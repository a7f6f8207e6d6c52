#include "browser/TabClosing.h"
#include "groups/window/GroupTabs.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "support/ScriptedGroupQuestions.h"
#include "support/ScriptedWindowQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QMenu>

namespace {

QString writeGroup(const QString& name, const QByteArray& text)
{
    return TestFiles::writeFile(TestFiles::home(name), text);
}

// The page-group commands on a tab set of their own, their questions answered by a script.
struct Groups
{
    Groups()
    {
        TPVOptions(set.hive).SetConfirmCloseAll(false);
    }

    QStringList opened() const
    {
        QStringList result;
        for (const TBrowserTab* tab : set.tabs.tabs())
            result << TabSetFixture::lastNavigation(tab);
        return result;
    }

    TabSetFixture set;
    WindowSettings settings;
    TPVOptions options{set.hive};
    ScriptedWindowQuestions windowQuestions;
    ScriptedGroupQuestions questions;
    TabClosing closing{set.tabs, options, windowQuestions, [this] { return tabs.opening(); }};
    GroupTabs tabs{set.tabs, closing, settings};
    QMenu menu;
    SorvelGroupCommands commands{tabs, &questions, &menu, nullptr};
};

} // namespace

class TestGroupTabs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aGroupOpensItsEntriesAsTabs()
    {
        const QString file =
            writeGroup(QStringLiteral("g.sgp"),
                       "[Other]\r\nx=1\r\n[SorvelGroup]\r\nNews=*http://127.0.0.1/news\r\n"
                       "blank2=http://127.0.0.1/two\r\nblanket=http://127.0.0.1/three\r\n"
                       "blank4=javascript:alert(1)\r\n");
        Groups g;
        g.set->activate(g.set->tabs().first());
        g.commands.OpenPageGroup(file, false, false);
        // The blank first tab stays; a script entry gets no tab.
        const auto tabs = g.set->tabs();
        QCOMPARE(tabs.size(), 4);
        QCOMPARE(tabs.at(1)->StickyName(), QStringLiteral("News"));
        QVERIFY(tabs.at(1)->LockWhenLoaded());
        QCOMPARE(g.opened().at(1), QStringLiteral("http://127.0.0.1/news"));
        QCOMPARE(tabs.at(1)->HomeUrl(), QStringLiteral("http://127.0.0.1/news"));
        QVERIFY(tabs.at(2)->StickyName().isEmpty());
        QCOMPARE(tabs.at(3)->StickyName(), QStringLiteral("blanket")); // not a made name
        QVERIFY(!g.tabs.opening());

        // Replacing the tabs: the first entry goes to the remaining tab, its "*" honoured.
        g.commands.OpenPageGroup(file, true, false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(g.set->tabs().size(), 3);
        QCOMPARE(g.opened().first(), QStringLiteral("http://127.0.0.1/news"));
        QVERIFY(g.set->tabs().first()->LockWhenLoaded());
        QCOMPARE(g.set->tabs().first()->StickyName(), QStringLiteral("News"));
    }

    void aGroupsTabsGoToTheEndWhateverTheRule()
    {
        const QString file = writeGroup(QStringLiteral("end.sgp"),
                                        "[SorvelGroup]\r\nblank1=http://127.0.0.1/one\r\n"
                                        "blank2=http://127.0.0.1/two\r\n");
        Groups g;
        g.set.withTabs(2); // after the active first tab, new tabs would go second
        g.commands.OpenPageGroup(file, false, false);
        QCOMPARE(g.opened().mid(3),
                 (QStringList{"http://127.0.0.1/one", "http://127.0.0.1/two"}));
    }

    void anUnreadableGroupOpensNothingAndSaysWhy()
    {
        const QString file =
            writeGroup(QStringLiteral("bad.sgp"), QByteArray("\x00\x01\x02garbage", 10));
        Groups g;
        g.commands.OpenPageGroup(file, true, false);
        QCOMPARE(g.set->tabs().size(), 1);
        QCOMPARE(g.questions.told.size(), 1);
        QVERIFY(g.questions.told.first().contains(file));
    }

    void savingAGroupDropsWindowsNeverShown()
    {
        Groups g;
        g.set->GetActivePage()->SetStickyName(QStringLiteral("Mine"));
        g.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/a"), QString());
        TBrowserTab* popup = g.set->NewTabBackground(true);
        TabSetFixture::fakeOf(popup)->setLocationUrl(QStringLiteral("http://127.0.0.1/popup"));
        g.questions.saveAs =
            QDir(qEnvironmentVariable("PELVANE_HOME")).filePath(QStringLiteral("saved.sgp"));
        g.commands.SaveAsSorvelGroup();
        QCOMPARE(g.set->tabs().size(), 1);
        QFile saved(g.questions.saveAs);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("[SorvelGroup]\r\nMine=http://127.0.0.1/a\r\n"));
    }

    void sgCloseFirstIsTheWindowsWorkingCopy()
    {
        Groups g;
        QVERIFY(!g.tabs.SGCloseFirst());
        g.settings.sgCloseFirst = true;
        QVERIFY(g.tabs.SGCloseFirst());
    }
};

PELVANE_TEST_MAIN(TestGroupTabs)
#include "tst_grouptabs.moc"
