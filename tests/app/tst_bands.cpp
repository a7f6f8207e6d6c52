#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/ToolbarFile.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QMenu>

namespace {

using Fixture = MainWindowFixture;
using Band = BarsControl::Band;

QString toolbarFile()
{
    return ToolbarFile::fileIn(Paths::programFolder());
}

} // namespace

class TestBands final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QFile::remove(toolbarFile()); }

    void bandLayoutSurvivesARestart()
    {
        RegistryHive hive(TestFiles::home(QStringLiteral("bands.db")));
        BandLayout before;
        {
            Fixture w(Fixture::Setup{.hive = &hive});
            w.show();
            CoolBar* bar = w->bars()->coolBar();
            QCOMPARE(bar->rowCount(), 3);
            // The links band in a row of its own.
            bar->setBandLayout({{"Menu", 0, false}, {"Tool", 0, true}, {"Address", 0, true},
                                {"Links", 0, true}});
            QCOMPARE(bar->rowCount(), 4);
            before = bar->bandLayout();
        }
        Fixture again(Fixture::Setup{.hive = &hive});
        again.show();
        QTRY_COMPARE(again->bars()->coolBar()->bandLayout(), before);
        QCOMPARE(again->bars()->coolBar()->rowCount(), 4);
    }

    void toolbarLayoutSurvivesARestart()
    {
        ToolbarArrangement wanted = ToolbarFile::design(19);
        wanted.move(7, 0);      // Home first
        wanted[15].shown = false; // Print hidden
        {
            Fixture w;
            w->toolbar()->setArrangement(wanted);
        }
        QCOMPARE(TestFiles::readFile(toolbarFile()).count("\r\n"), 20);
        Fixture again;
        QCOMPARE(again->toolbar()->arrangement(), wanted);
    }

    void barsMenuAndViewItemsAgree()
    {
        Fixture w;
        w.show();
        BarsControl* bars = w->bars();
        QMenu* pm = bars->customizeMenu();
        QAction* pmToolbar = nullptr;
        QAction* pmMenuBar = nullptr;
        for (QAction* a : pm->actions()) {
            if (a->objectName() == QLatin1String("pmCustomizeToolbar"))
                pmToolbar = a;
            if (a->objectName() == QLatin1String("pmCustomizeMenuBar"))
                pmMenuBar = a;
        }
        QVERIFY(pmToolbar && pmMenuBar);
        QCOMPARE(pm->actions().last()->text(), QStringLiteral("&Clear Addresses"));
        bars->updateCustomizeMenu();
        QVERIFY(pmToolbar->isChecked() && pmToolbar->isVisible());
        QVERIFY(!pmMenuBar->isVisible());
        pmToolbar->trigger();
        QVERIFY(!bars->isBandVisible(Band::Tool));
        QVERIFY(!w->action(ActionId::actViewToolbar)->isChecked());
        // The View menu's item goes through ApplyBarVisibility.
        w->action(ActionId::actViewLinksBar)->trigger();
        QVERIFY(!bars->isBandVisible(Band::Links));
        w->action(ActionId::actViewToolbar)->trigger();
        QVERIFY(bars->isBandVisible(Band::Tool));

        // Full screen: the toolbar is forced on and the menu band may be hidden.
        w->action(ActionId::actViewToolbar)->trigger();
        w->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(bars->isBandVisible(Band::Tool));
        bars->updateCustomizeMenu();
        QVERIFY(pmMenuBar->isVisible() && !pmToolbar->isVisible());
        pmMenuBar->trigger();
        QVERIFY(!bars->isBandVisible(Band::Menu));
        QVERIFY(!w->action(ActionId::actViewMenuBar)->isChecked());
        w->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(bars->isBandVisible(Band::Menu));
        QVERIFY(!bars->isBandVisible(Band::Tool));
        QVERIFY(!bars->isBandVisible(Band::Links));
    }
};

PELVANE_TEST_MAIN(TestBands)
#include "tst_bands.moc"
