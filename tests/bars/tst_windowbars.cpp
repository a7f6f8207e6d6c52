// The window's bands on a main window of their own: the menu band, the toolbar with its
// saved layout and the rebar around an address band, without the rest of the program.
#include "address/AddressBand.h"
#include "bars/BarsControl.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/ToolbarFile.h"
#include "bars/dialogs/CustomizeToolbar.h"
#include "bars/window/WindowBars.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "settings/WindowSettings.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

using Band = BarsControl::Band;

// The bars as the window makes them: the first step, the address band, then the bands.
struct Bars
{
    explicit Bars(const WindowSettings& wanted = {})
        : settings(wanted)
    {
        bars.placeBands(*address);
    }

    TabSetFixture set;
    QMainWindow window;
    MainActions actions{&window};
    MenuBuilder menus{actions, &window};
    WindowSettings settings;
    TPVStatusBar* status = new TPVStatusBar(&window);
    WindowBars bars{{window, menus, actions, settings, set.tabs, *status, [] { return false; }}};
    // The rebar takes the band in, so the window owns it.
    AddressBand* address = new AddressBand(set.hive, set.engine.historyFile(), &window);
};

// Answers the next Customize Toolbar dialog with one of its buttons.
void answerCustomize(QPushButton* (TfrmCustomizeToolbar::*button)() const)
{
    QTimer::singleShot(0, [button] {
        auto* dialog = qobject_cast<TfrmCustomizeToolbar*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        (dialog->*button)()->click();
    });
}

} // namespace

class TestWindowBars final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QFile::remove(WindowBars::toolbarFile()); }

    void theBandsShowAsTheWorkingCopiesSay()
    {
        WindowSettings wanted;
        wanted.viewToolbar = false;
        wanted.viewLinksBar = false;
        wanted.viewStatusBar = false;
        wanted.openNewInForeground = true;
        Bars b(wanted);
        QCOMPARE(b.window.menuWidget(), b.bars.controls()->coolBar());
        QVERIFY(!b.actions[ActionId::actViewMenuBar]->isVisible()); // full screen only
        b.bars.showAsSet();
        QVERIFY(!b.actions[ActionId::actViewToolbar]->isChecked());
        QVERIFY(b.actions[ActionId::actViewAddressBar]->isChecked());
        QVERIFY(b.actions[ActionId::actForeground]->isChecked());
        QVERIFY(!b.bars.controls()->isBandVisible(Band::Tool));
        QVERIFY(!b.actions[ActionId::actViewLinksBar]->isChecked());
        QVERIFY(b.bars.controls()->isBandVisible(Band::Address));
        QVERIFY(!b.status->isVisibleTo(&b.window));
    }

    void aHostileToolbarFileNeverStopsTheBars()
    {
        const QString file = WindowBars::toolbarFile();
        TestFiles::writeFile(file, "[Toolbar]\r\n18=1\r\n18=0\r\nzz=1\r\n99=1\r\n\x01\x02");
        Bars b;
        const ToolbarArrangement read = b.bars.toolbar()->arrangement();
        QCOMPARE(read.size(), 19);
        QCOMPARE(read.first(), (ToolbarSlot{18, true}));
        b.bars.saveToolbarLayout();
        const QByteArray clean = TestFiles::readFile(file);
        QVERIFY2(clean.startsWith("[Toolbar]\r\n18=1\r\n0=1\r\n"), clean.constData());
        QCOMPARE(clean.count("\r\n"), 20);
        // The next bars read what was written.
        Bars again;
        QCOMPARE(again.bars.toolbar()->arrangement(), read);
    }

    void customizeSavesWhateverTheAnswer()
    {
        const QString file = WindowBars::toolbarFile();
        Bars b;
        ToolbarArrangement changed = ToolbarFile::design(19);
        changed.move(0, 18);
        b.bars.toolbar()->setArrangement(changed);
        // Cancel leaves the toolbar, but the file is written from it.
        answerCustomize(&TfrmCustomizeToolbar::cancelButton);
        b.actions[ActionId::actCustomizeToolbar]->trigger();
        QCOMPARE(b.bars.toolbar()->arrangement(), changed);
        QCOMPARE(ToolbarFile::LoadToolbarLayout(file, ToolbarFile::design(19), false), changed);
        // Reset: tag order, every button shown, and that is saved.
        answerCustomize(&TfrmCustomizeToolbar::resetButton);
        b.actions[ActionId::actCustomizeToolbar]->trigger();
        QCOMPARE(b.bars.toolbar()->arrangement(), ToolbarFile::design(19));
        QCOMPARE(ToolbarFile::LoadToolbarLayout(file, changed, false), ToolbarFile::design(19));
    }

    void doubleClickOnTheAddressLabelFoldsTheBand()
    {
        Bars b;
        b.bars.showAsSet();
        b.window.resize(800, 600);
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        CoolBar* bar = b.bars.controls()->coolBar();
        const int address = bar->bandIndex(QStringLiteral("Address"));
        QVERIFY(bar->bandRect(address).width() >= 100);
        QTest::mouseDClick(b.address->label(), Qt::LeftButton);
        QVERIFY(bar->bandRect(address).width() < 100);
        QTest::mouseDClick(b.address->label(), Qt::LeftButton);
        QCOMPARE(bar->bandRect(address).right(), bar->bandRect(bar->bandIndex("Links")).left() - 1);
        QVERIFY(bar->bandRect(bar->bandIndex("Links")).width() < 100);
    }
};

PELVANE_TEST_MAIN(TestWindowBars)
#include "tst_windowbars.moc"
