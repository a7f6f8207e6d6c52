// Where the window sits, on a window and bars of their own: the stored placement at start,
// full screen and back, and the placement written at exit.
#include "app/WindowPlacement.h"
#include "settings/WindowSettings.h"
#include "support/BarsFixture.h"
#include "support/TestHome.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

namespace {

using Band = BarsControl::Band;

struct Placement
{
    explicit Placement(const WindowSettings& wanted = {})
        : settings(wanted)
    {}

    WindowSettings settings;
    BarsFixture bars;
    QWidget* status = new QWidget(&bars.window);
    WindowPlacement placement{{bars.window, settings, bars.actions, bars.control, *status}};
    QWidget& window() { return bars.window; }
    QAction* item(ActionId id) const { return bars.actions[id]; }
};

} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartOpensLargeAndCentredStoredPlacementIsKept()
    {
        QCOMPARE(WindowSettings::firstPlacement(QRect(0, 0, 1000, 500)), QRect(100, 50, 800, 400));
        Placement first;
        first.placement.applyStored();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(first.window().size(), WindowSettings::firstPlacement(screen).size());

        WindowSettings wanted;
        wanted.placementStored = true;
        wanted.frame = QRect(30, 40, 300, 200);
        Placement stored(wanted);
        stored.placement.applyStored();
        QCOMPARE(stored.window().size(), QSize(300, 200));
        QCOMPARE(stored.window().pos(), QPoint(30, 40));

        // A placement from a larger screen comes back within reach on this one.
        wanted.frame = QRect(screen.right() + 5000, screen.bottom() + 5000, 100000, 100000);
        Placement away(wanted);
        away.placement.applyStored();
        QVERIFY(screen.contains(QRect(away.window().pos(), away.window().size())));

        wanted.maximized = true;
        Placement maximized(wanted);
        maximized.placement.applyStored();
        QVERIFY(maximized.window().windowState() & Qt::WindowMaximized);
    }

    void fullScreenRoundTrip()
    {
        Placement p;
        p.window().show();
        p.window().setWindowState(Qt::WindowMaximized);
        QAction* toolbarItem = p.item(ActionId::actViewToolbar);
        QAction* menuBarItem = p.item(ActionId::actViewMenuBar);
        // The toolbar hidden from the View menu.
        for (ActionId id : {ActionId::actViewAddressBar, ActionId::actViewLinksBar})
            p.item(id)->setChecked(true);
        toolbarItem->setChecked(false);
        p.bars.control.ApplyBarVisibility();
        QVERIFY(!p.bars.control.isBandVisible(Band::Tool));
        p.placement.setFullScreen(true);
        QVERIFY(p.placement.fullScreen());
        QVERIFY(p.window().windowState() & Qt::WindowFullScreen);
        QVERIFY(!p.status->isVisibleTo(&p.window()));
        QVERIFY(p.bars.control.isBandVisible(Band::Tool)); // forced on
        QVERIFY(!toolbarItem->isVisible());
        QVERIFY(menuBarItem->isVisible());
        QVERIFY(p.item(ActionId::actFullScreen)->isChecked());

        // The placement written meanwhile is the one from before.
        WindowSettings now;
        p.placement.save(now);
        QVERIFY(now.fullScreen && now.maximized);

        p.placement.setFullScreen(false);
        QVERIFY(!p.placement.fullScreen());
        QCOMPARE(p.window().windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen),
                 Qt::WindowStates(Qt::WindowMaximized));
        QVERIFY(p.status->isVisibleTo(&p.window()));
        QVERIFY(!p.bars.control.isBandVisible(Band::Tool));
        QVERIFY(p.bars.control.isBandVisible(Band::Menu));
        QVERIFY(toolbarItem->isVisible());
        QVERIFY(!menuBarItem->isVisible());
        QVERIFY(!p.item(ActionId::actFullScreen)->isChecked());
        p.placement.save(now);
        QVERIFY(!now.fullScreen && now.maximized);

        // A normal window gets its place and size back; a hidden status bar stays hidden.
        p.window().setWindowState(Qt::WindowNoState);
        p.window().move(40, 50);
        p.window().resize(640, 480);
        p.status->hide();
        p.placement.setFullScreen(true);
        p.placement.setFullScreen(true); // again: only the check mark
        QVERIFY(p.item(ActionId::actFullScreen)->isChecked());
        p.placement.setFullScreen(false);
        QVERIFY(!(p.window().windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)));
        QCOMPARE(p.window().pos(), QPoint(40, 50));
        QCOMPARE(p.window().size(), QSize(640, 480));
        QVERIFY(!p.status->isVisibleTo(&p.window()));
        p.placement.save(now);
        QCOMPARE(now.frame, QRect(40, 50, 640, 480));
    }
};

PELVANE_TEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
