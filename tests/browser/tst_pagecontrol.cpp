#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"
#include "browser/strip/TabColors.h"
#include "browser/strip/TabLayout.h"
#include "browser/strip/TabPaint.h"
#include "browser/strip/TabRules.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

using Side = TabLayout::Side;

namespace {

QList<QWidget*> fill(TPVPageControl& pc, const QStringList& captions)
{
    QList<QWidget*> pages;
    for (const QString& caption : captions) {
        auto* page = new QLabel(caption);
        pc.addPage(page, caption);
        pc.setPageHint(page, caption + QStringLiteral(" (full title)"));
        pages.append(page);
    }
    return pages;
}

const QStringList Eight = {"Blank",  "Example Domain", "Support", "News and weather",
                           "Search", "Mail",           "Local",   "Another page"};

void showAt(TPVPageControl& pc, int width)
{
    pc.resize(width, 200);
    pc.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pc));
}

QPoint centre(const TPVPageControl& pc, int tab)
{
    return pc.tabRect(tab).center();
}

// A point on the strip right of the last tab, where there is no tab.
QPoint pastTheTabs(const TPVPageControl& pc)
{
    const QRect last = pc.tabRect(pc.tabCount() - 1);
    return {last.right() + 10, last.center().y()};
}

} // namespace

class TestPageControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---- Pure rules

    void tabAndPageIndexes_data()
    {
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QList<int>>("pageOfTab"); // for tabs 0, 1, ...; then one past the end
        QTest::addColumn<QList<int>>("tabOfPage");
        QTest::newRow("all shown")
            << QList<bool>{true, true, true} << QList<int>{0, 1, 2, -1} << QList<int>{0, 1, 2};
        QTest::newRow("second hidden") << QList<bool>{true, false, true, true}
                                       << QList<int>{0, 2, 3, -1} << QList<int>{0, -1, 1, 2};
        QTest::newRow("first hidden")
            << QList<bool>{false, true, true} << QList<int>{1, 2, -1} << QList<int>{-1, 0, 1};
        QTest::newRow("all hidden")
            << QList<bool>{false, false} << QList<int>{-1} << QList<int>{-1, -1};
        QTest::newRow("none") << QList<bool>{} << QList<int>{-1} << QList<int>{};
    }
    void tabAndPageIndexes()
    {
        QFETCH(QList<bool>, shown);
        QFETCH(QList<int>, pageOfTab);
        QFETCH(QList<int>, tabOfPage);
        for (int t = 0; t < pageOfTab.size(); ++t)
            QCOMPARE(TabRules::pageIndexForTab(shown, t), pageOfTab[t]);
        QCOMPARE(TabRules::pageIndexForTab(shown, -1), -1);
        for (int p = 0; p < tabOfPage.size(); ++p)
            QCOMPARE(TabRules::tabIndexForPage(shown, p), tabOfPage[p]);
        QCOMPARE(TabRules::tabIndexForPage(shown, int(shown.size())), -1);
    }

    void moveRules()
    {
        using TabRules::Move;
        const QList<bool> all(4, true);
        const QList<bool> hidden = {true, false, true, true}; // tab 1 is page 2
        struct Row
        {
            QList<bool> shown;
            int drag;
            int hover;
            std::optional<Move> move;
        };
        const Row rows[] = {
            {all, 0, 2, Move{0, 2}},    {all, 3, 0, Move{3, 0}},
            {all, 1, 1, std::nullopt},  // onto itself
            {all, 1, -1, std::nullopt}, // outside any tab
            {all, -1, 2, std::nullopt}, // no drag was started
            {all, 7, 1, std::nullopt},  // the dragged tab names no page
            {hidden, 0, 2, Move{0, 3}}, // lands where the tab under the mouse was
            {hidden, 2, 1, Move{3, 2}},
        };
        for (const Row& r : rows)
            QCOMPARE(TabRules::moveOnRelease(r.shown, r.drag, r.hover), r.move);

        QVERIFY(TabRules::startsDrag(true, 2, 2));
        QVERIFY(!TabRules::startsDrag(false, 2, 2));
        QVERIFY(!TabRules::startsDrag(true, 2, 1)); // a hidden page before the active one
        QVERIFY(!TabRules::startsDrag(true, 0, -1));

        using C = TabRules::DragCursor;
        QCOMPARE(TabRules::dragCursor(true, 1, 1), C::Arrow);
        QCOMPARE(TabRules::dragCursor(true, 1, 2), C::Drag);
        QCOMPARE(TabRules::dragCursor(true, 1, -1), C::NoDrop);
        QCOMPARE(TabRules::dragCursor(false, 1, 2), C::Arrow);
        QCOMPARE(TabRules::dragCursor(true, -1, 2), C::Arrow);
    }

    void drawingKeepsTextOffTheImageAndInsideTheTab()
    {
        const QRect item(10, 10, 50, 20);
        for (const Side side : {Side::Top, Side::Bottom}) {
            const QRect fill = TabPaint::fillRect(item, side);
            QCOMPARE(fill.left(), item.left());
            QCOMPARE(fill.width(), item.width());
            for (const bool selected : {false, true}) {
                const auto off = TabPaint::offsets(side, selected, true);
                const QPoint image = TabPaint::imagePos(fill, off, QSize(8, 8));
                const QRect text = TabPaint::textRect(fill, off, 8);
                QVERIFY(text.left() > image.x() + 8); // the text never starts on the image
                QVERIFY(fill.adjusted(-2, -2, 2, 2).contains(QRect(image, QSize(8, 8))));
                QVERIFY(text.top() >= fill.top() - 2 && text.bottom() <= fill.bottom() + 2);
            }
        }
        // The hint stands just below the tab, not on it.
        const QRect tab(20, 5, 40, 18);
        QVERIFY(TabPaint::hintPos(tab).y() > tab.bottom());
        QVERIFY(tab.left() <= TabPaint::hintPos(tab).x());
    }

    void captionsTrimmedAndCut()
    {
        QCOMPARE(TabPaint::trimBlanks(QStringLiteral("  Padded \t")), QStringLiteral("Padded"));
        QCOMPARE(TabPaint::trimBlanks(QStringLiteral(" a b ")), QStringLiteral("a b"));
        QCOMPARE(TabPaint::trimBlanks(QStringLiteral("   ")), QString());
        QCOMPARE(TabPaint::trimBlanks(QString()), QString());

        const QFontMetrics fm(QApplication::font());
        const QString title = QStringLiteral("A long page title that does not fit its tab");
        QCOMPARE(TabPaint::elide(title, fm, fm.horizontalAdvance(title)), title);
        const int width = fm.horizontalAdvance(title) / 2;
        const QString cut = TabPaint::elide(title, fm, width);
        QVERIFY(cut.endsWith(QStringLiteral("...")));
        QVERIFY(title.startsWith(cut.chopped(3)));
        QVERIFY(fm.horizontalAdvance(cut) <= width);
        QVERIFY(cut.size() > 5); // as much of the title as fits, not just the dots
        QCOMPARE(TabPaint::elide(title, fm, 1), QString());
    }

    void colours_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<QColor>("expected");
        QPalette p;
        p.setColor(QPalette::HighlightedText, QColor(1, 2, 3));
        p.setColor(QPalette::Shadow, QColor(4, 5, 6));
        p.setColor(QPalette::Button, QColor(7, 8, 9));
        p.setColor(QPalette::WindowText, QColor(10, 11, 12));
        QApplication::setPalette(p);
        QTest::newRow("highlight text") << qint32(0x8000000E) << QColor(1, 2, 3);
        QTest::newRow("inactive caption") << qint32(0x80000003) << QColor(4, 5, 6);
        QTest::newRow("button face") << qint32(0x8000000F) << QColor(7, 8, 9);
        QTest::newRow("window text") << qint32(0x80000008) << QColor(10, 11, 12);
        QTest::newRow("stored as negative text") << qint32(-2147483634) << QColor(1, 2, 3);
        QTest::newRow("plain BBGGRR") << qint32(0x00FF8000) << QColor(0x00, 0x80, 0xFF);
        QTest::newRow("palette-relative") << qint32(0x02112233) << QColor(0x33, 0x22, 0x11);
        QTest::newRow("unknown system index") << qint32(0x800000FF) << QColor();
        QTest::newRow("unknown kind") << qint32(0x1FFFFFFF) << QColor();
    }
    void colours()
    {
        QFETCH(qint32, value);
        QFETCH(QColor, expected);
        QCOMPARE(TabColors::resolveColor(value, QApplication::palette()), expected);
    }

    void colourSchemes()
    {
        using namespace TabColors;
        QCOMPARE(colorValue(QColor(0x12, 0x34, 0x56)), qint32(0x00563412));
        QCOMPARE(resolveColor(colorValue(QColor(200, 100, 50)), {}), QColor(200, 100, 50));
        QCOMPARE(tabColorsForScheme("std", 1, 2), (TabColorPair{clBtnFace, clWindowText}));
        QCOMPARE(tabColorsForScheme("rev", 1, 2),
                 (TabColorPair{clInactiveCaption, clHighlightText}));
        QCOMPARE(tabColorsForScheme("custom", 1, 2), (TabColorPair{1, 2}));
        QCOMPARE(tabColorsForScheme("REV", 1, 2), (TabColorPair{1, 2}));
    }

    void stateImages()
    {
        const QList<QPixmap> images = StateIcons::tabStateImages();
        QCOMPARE(images.size(), 4);
        const QImage red = images[StateIcons::Loading].toImage();
        QCOMPARE(red.size(), QSize(8, 8));
        QCOMPARE(red.pixelColor(0, 0).alpha(), 0); // transparent outside the shape
        QCOMPARE(red.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(red.pixelColor(3, 3), QColor(Qt::red));
        QCOMPARE(images[StateIcons::Finished].toImage().pixelColor(4, 4).green(), 0xC0);
        QCOMPARE(images[StateIcons::Arrived].toImage().pixelColor(4, 4), QColor(Qt::yellow));
        QCOMPARE(images[StateIcons::Locked].toImage().pixelColor(0, 0).alpha(), 0);
        QCOMPARE(images[StateIcons::Locked].toImage().pixelColor(0, 3), QColor(Qt::black));
    }

    // ---- Layout

    void rowsFillLeftToRight()
    {
        QCOMPARE(TabLayout::fillRows({50, 50, 50}, 120), (QList<int>{0, 0, 1}));
        QCOMPARE(TabLayout::fillRows({200, 30}, 120), (QList<int>{0, 1})); // too wide: own row
        QCOMPARE(TabLayout::fillRows({60, 60, 60, 60}, 120), (QList<int>{0, 0, 1, 1}));
        QCOMPARE(TabLayout::fillRows({}, 120), QList<int>{});
    }

    void selectedRowMovesNextToThePages()
    {
        for (const Side side : {Side::Top, Side::Bottom}) {
            TabLayout::Input in;
            in.widths = {60, 60, 60, 60, 60, 60};
            in.stripWidth = 130; // two tabs a row: three rows
            in.rowHeight = 20;
            in.multiLine = true;
            in.side = side;
            in.selected = 4;
            const TabLayout::Geometry g = TabLayout::layout(in);
            QCOMPARE(g.rows, 3);
            QCOMPARE(g.height, 3 * 20 + TabLayout::Raise + 1);
            const int nextToPages = side == Side::Top ? g.height - 1 - 20 : 1;
            QCOMPARE(g.rects[4].top(), nextToPages);
            QCOMPARE(g.rects[5].top(), nextToPages);
            // The other rows keep their order, wrapping round.
            const int step = side == Side::Top ? -20 : 20;
            QCOMPARE(g.rects[0].top(), nextToPages + step);
            QCOMPARE(g.rects[2].top(), nextToPages + 2 * step);
            // Rows are stretched to the full width.
            QCOMPARE(g.rects[1].right(), 130 - TabLayout::SideMargin - 1);
            QCOMPARE(TabLayout::tabAt(g, 4, side, g.rects[3].center()), 3);
        }
    }

    void oneRowScrollsTheSelectedTabIntoView()
    {
        TabLayout::Input in;
        in.widths = QList<int>(10, 50);
        in.stripWidth = 200;
        in.rowHeight = 20;
        in.selected = 8;
        in.ensureVisible = 8;
        TabLayout::Geometry g = TabLayout::layout(in);
        QVERIFY(g.overflow);
        QVERIFY(!g.rects[8].isNull());
        QVERIFY(g.rects[8].right() < g.clipRight);
        QVERIFY(g.rects[0].isNull());
        QVERIFY(g.canScrollBack);
        QCOMPARE(TabLayout::tabAt(g, 8, Side::Bottom, g.rects[8].center()), 8);
        // Scrolled to the end, no earlier tab is kept out while there is room for it.
        in.firstVisible = 9;
        in.ensureVisible = -1;
        g = TabLayout::layout(in);
        QVERIFY(!g.canScrollForward);
        QVERIFY(g.firstVisible < 9);
        // The selected tab's larger rectangle wins over its neighbours' edges.
        in.firstVisible = 0;
        in.selected = 1;
        g = TabLayout::layout(in);
        const QPoint onNeighbour(g.rects[2].left() + 1, g.rects[2].center().y());
        QCOMPARE(TabLayout::tabAt(g, 1, Side::Bottom, onNeighbour), 1);
        QCOMPARE(TabLayout::tabAt(g, -1, Side::Bottom, onNeighbour), 2);
        QCOMPARE(TabLayout::tabAt(g, 1, Side::Bottom, QPoint(g.clipRight + 1, 10)), -1);

        // A tab wider than the room beside the scroll buttons is narrowed to fit, with its
        // enlargement when selected, rather than cut off by the buttons.
        in.widths = {500, 50};
        in.selected = 0;
        g = TabLayout::layout(in);
        QVERIFY(g.overflow);
        QVERIFY(TabLayout::drawnRect(g.rects[0], true, Side::Bottom).right() < g.clipRight);

        // The selected last tab is wholly in view, drawn larger, for every width of room.
        in.widths = QList<int>(6, 73);
        in.selected = 5;
        in.ensureVisible = 5;
        in.firstVisible = 0;
        for (in.stripWidth = 120; in.stripWidth < 460; ++in.stripWidth) {
            g = TabLayout::layout(in);
            QVERIFY(!g.rects[5].isNull());
            QVERIFY2(TabLayout::drawnRect(g.rects[5], true, Side::Bottom).right() < g.clipRight,
                     qPrintable(QString::number(in.stripWidth)));
        }
    }

    void captionsThatGrowKeepTheActiveTabInView()
    {
        TPVPageControl control;
        control.resize(300, 200);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QList<QWidget*> pages;
        for (int i = 0; i < 6; ++i) {
            pages << new QWidget;
            control.addPage(pages.last(), QStringLiteral("Tab"));
        }
        control.setActivePage(pages.last());
        // The pages report their titles: every caption grows long.
        for (QWidget* page : pages)
            control.setPageCaption(page, QStringLiteral("Example Domain of a long title"));
        const QRect tab = control.tabRect(control.tabIndex(pages.last()));
        QVERIFY(tab.isValid());
        QVERIFY(tab.right() < control.tabStrip()->width() - 30); // clear of the scroll buttons
    }

    // ---- The widget

    void hitTestingWithHiddenPages()
    {
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"Zero", "Hidden", "Two", "Three"});
        pc.setTabVisible(pages[1], false);
        showAt(pc, 600);
        QCOMPARE(pc.tabCount(), 3);
        QCOMPARE(pc.tabIndex(pages[1]), -1);
        QCOMPARE(pc.tabIndex(pages[3]), 2);
        QCOMPARE(pc.pageForTabIndex(1), pages[2]);
        QCOMPARE(pc.tabPages(), (QList<QWidget*>{pages[0], pages[2], pages[3]}));
        for (int t = 0; t < 3; ++t)
            QCOMPARE(pc.tabAt(centre(pc, t)), t);
        QCOMPARE(pc.tabAt(pastTheTabs(pc)), -1);

        QSignalSpy changed(&pc, &TPVPageControl::changed);
        QSignalSpy right(&pc, &TPVPageControl::tabRightPressed);
        QWidget* strip = pc.tabStrip();
        QTest::mouseClick(strip, Qt::LeftButton, {}, centre(pc, 1));
        QCOMPARE(pc.activePage(), pages[2]);
        QCOMPARE(pc.activeTabIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QTest::mouseClick(strip, Qt::LeftButton, {}, centre(pc, 1)); // already active
        QCOMPARE(changed.count(), 1);

        QTest::mouseClick(strip, Qt::RightButton, {}, centre(pc, 2));
        QTest::mouseClick(strip, Qt::RightButton, {}, pastTheTabs(pc));
        QCOMPARE(right.count(), 2);
        QCOMPARE(right.at(0).at(0).toInt(), 2);
        QCOMPARE(right.at(1).at(0).toInt(), -1);
        QCOMPARE(pc.activePage(), pages[2]); // the right button selects nothing

        // A hidden active page keeps its page shown but selects no tab.
        pc.setActivePage(pages[1]);
        QCOMPARE(pc.activeTabIndex(), -1);
        QVERIFY(pages[1]->isVisible());
    }

    void nextPageAndRemoval()
    {
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"A", "B", "C", "D"});
        QCOMPARE(pc.activePage(), pages[0]); // the first page added becomes active
        pc.setTabVisible(pages[1], false);
        QSignalSpy changed(&pc, &TPVPageControl::changed);
        pc.selectNextPage(true);
        QCOMPARE(pc.activePage(), pages[2]); // the hidden one is passed over
        pc.selectNextPage(true);
        pc.selectNextPage(true);
        QCOMPARE(pc.activePage(), pages[0]); // round the end
        pc.selectNextPage(false);
        QCOMPARE(pc.activePage(), pages[3]);
        QCOMPARE(changed.count(), 4);

        QSignalSpy current(&pc, &TPVPageControl::currentChanged);
        delete pages[3];
        QCOMPARE(pc.pageCount(), 3);
        QCOMPARE(pc.activePage(), pages[0]); // the next with a tab, wrapping round
        QCOMPARE(current.count(), 1);
        pc.removePage(pages[2]);
        QCOMPARE(pages[2]->parent(), nullptr);
        delete pages[2];
        delete pages[0];
        QCOMPARE(pc.activePage(), nullptr); // only the hidden page is left
        QCOMPARE(pc.pageCount(), 1);
        QCOMPARE(pc.tabCount(), 0);
    }

    // Tabs made in a row while the shown page is held: each becomes active in turn, none but
    // the last is put on the screen, and only once the hold is let go.
    void heldPagesAreNotShownOneByOne()
    {
        TPVPageControl pc;
        const QList<QWidget*> first = fill(pc, {"Start"});
        showAt(pc, 400);
        QVERIFY(first[0]->isVisible());
        QList<QWidget*> shown;
        struct ShowWatch final : QObject
        {
            QList<QWidget*>& shown;
            explicit ShowWatch(QList<QWidget*>& list)
                : shown(list)
            {}
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Show)
                    shown << static_cast<QWidget*>(watched);
                return false;
            }
        } watch(shown);

        pc.holdShownPage(true);
        pc.holdShownPage(true); // holds nest
        QList<QWidget*> made;
        for (const char* caption : {"One", "Two", "Three"}) {
            auto* page = new QLabel(caption);
            page->installEventFilter(&watch);
            pc.addPage(page, caption);
            pc.setActivePage(page);
            made << page;
        }
        QCOMPARE(pc.activePage(), made[2]);
        pc.holdShownPage(false);
        QVERIFY(first[0]->isVisible());
        QVERIFY(shown.isEmpty());
        pc.holdShownPage(false);
        QVERIFY(made[2]->isVisible());
        QVERIFY(!first[0]->isVisible());
        QCOMPARE(shown, QList<QWidget*>{made[2]});
    }

    void draggingMovesTheActiveTab()
    {
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"A", "B", "C", "D"});
        pc.SetAllowTabShifting(true);
        showAt(pc, 600);
        QWidget* strip = pc.tabStrip();
        QSignalSpy moved(&pc, &TPVPageControl::pageMoved);

        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 0));
        QTest::mouseMove(strip, centre(pc, 0));
        QCOMPARE(strip->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(strip, centre(pc, 2));
        QCOMPARE(strip->cursor().shape(), Qt::DragMoveCursor);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 2));
        QCOMPARE(pc.tabPages(), (QList<QWidget*>{pages[1], pages[2], pages[0], pages[3]}));
        QCOMPARE(pc.activePage(), pages[0]);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(1).toInt(), 0);
        QCOMPARE(moved.at(0).at(2).toInt(), 2);
        QCOMPARE(strip->cursor().shape(), Qt::ArrowCursor);

        // Pressing a tab that is not active selects it, and then drags it.
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 3));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 0));
        QCOMPARE(pc.tabPages(), (QList<QWidget*>{pages[3], pages[1], pages[2], pages[0]}));
    }

    void droppingWhereNothingMoves()
    {
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"A", "B", "C", "D"});
        pc.SetAllowTabShifting(true);
        showAt(pc, 600);
        QWidget* strip = pc.tabStrip();
        const QList<QWidget*> order = pc.tabPages();

        // Onto itself.
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 1));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 1));
        QCOMPARE(pc.tabPages(), order);

        // Outside any tab: no move, and the no-entry cursor stays until the mouse moves
        // again without the button.
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 1));
        QTest::mouseMove(strip, pastTheTabs(pc));
        QCOMPARE(strip->cursor().shape(), Qt::ForbiddenCursor);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, pastTheTabs(pc));
        QCOMPARE(pc.tabPages(), order);
        QCOMPARE(strip->cursor().shape(), Qt::ForbiddenCursor);
        QTest::mouseMove(strip, pastTheTabs(pc) + QPoint(1, 0));
        QCOMPARE(strip->cursor().shape(), Qt::ArrowCursor);

        // Without tab shifting nothing moves.
        pc.SetAllowTabShifting(false);
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 1));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 3));
        QCOMPARE(pc.tabPages(), order);

        // Nor with several rows, even when shifting is allowed.
        pc.SetAllowTabShifting(true);
        pc.setMultiLine(true);
        QVERIFY(!pc.tabShiftingActive());
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 1));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 3));
        QCOMPARE(pc.tabPages(), order);
        QCOMPARE(pc.activePage(), pages[1]);
    }

    void noDragUnlessPressedOnTheActivePagesIndex()
    {
        // Pages A, hidden, B, C: B is page 2 but tab 1, so a drag on B does not start.
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"A", "Hidden", "B", "C"});
        pc.setTabVisible(pages[1], false);
        pc.SetAllowTabShifting(true);
        showAt(pc, 600);
        QWidget* strip = pc.tabStrip();

        // A drag that ended on its own tab must not linger and move A later.
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 0));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 0));

        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 1));
        QCOMPARE(pc.activePage(), pages[2]);
        QTest::mouseMove(strip, centre(pc, 2));
        QCOMPARE(strip->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 2));
        QCOMPARE(pc.tabPages(), (QList<QWidget*>{pages[0], pages[2], pages[3]}));
        QCOMPARE(pc.pageIndex(pages[0]), 0);

        // Dragging A (page 0, tab 0) onto C puts it where C was, past the hidden page.
        QTest::mousePress(strip, Qt::LeftButton, {}, centre(pc, 0));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, centre(pc, 2));
        QCOMPARE(pc.tabPages(), (QList<QWidget*>{pages[2], pages[3], pages[0]}));
        QCOMPARE(pc.tabIndex(pages[0]), 2);
    }

    void hintFollowsTheMouse()
    {
        TPVPageControl pc;
        const QList<QWidget*> pages = fill(pc, {"Zero", "One", "Two"});
        pc.setTabPosition(Side::Top);
        showAt(pc, 500);
        QWidget* strip = pc.tabStrip();
        QSignalSpy hints(&pc, &TPVPageControl::hintChanged);

        // The mouse comes from the page (the cursor may still be where an earlier test
        // left it, and moving it to where it is sends nothing).
        QTest::mouseMove(&pc, QPoint(pc.width() / 2, pc.height() - 5));
        QTest::mouseMove(strip, centre(pc, 0)); // right after start-up
        QCOMPARE(pc.hint(), QStringLiteral("Zero (full title)"));
        QTest::mouseMove(strip, centre(pc, 0) + QPoint(2, 0));
        QCOMPARE(hints.count(), 1); // the same tab: nothing new
        QTest::mouseMove(strip, centre(pc, 2));
        QCOMPARE(pc.hint(), QStringLiteral("Two (full title)"));
        // A title that changes under the mouse shows at once.
        pc.setPageHint(pages[2], QStringLiteral("Two, renamed"));
        QCOMPARE(pc.hint(), QStringLiteral("Two, renamed"));

        // The hint window sits just below the tab.
        const QRect r = pc.tabRect(2);
        QHelpEvent help(QEvent::ToolTip, r.center(), strip->mapToGlobal(r.center()));
        QApplication::sendEvent(strip, &help);
        auto* window = strip->findChild<QLabel*>(QStringLiteral("tabHint"));
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->text(), QStringLiteral("Two, renamed"));
        QCOMPARE(window->pos(), strip->mapToGlobal(QPoint(r.left() + 3, r.bottom() + 2)));

        QTest::mouseMove(strip, pastTheTabs(pc));
        QCOMPARE(pc.hint(), QString());
        QVERIFY(!window->isVisible());
        QTest::mouseMove(strip, centre(pc, 1));
        QCOMPARE(pc.hint(), QStringLiteral("One (full title)"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(strip, &leave);
        QCOMPARE(pc.hint(), QString());
        QCOMPARE(hints.count(), 6);

        // No hints, no hint changes.
        pc.setShowHint(false);
        QTest::mouseMove(strip, centre(pc, 0));
        QCOMPARE(pc.hint(), QString());
    }

    void captionDrawnWithoutBlanks()
    {
        TPVPageControl padded;
        TPVPageControl plain;
        for (TPVPageControl* pc : {&padded, &plain}) {
            pc->setImages(StateIcons::tabStateImages());
            fill(*pc, {"First", pc == &padded ? "  Second page \t" : "Second page", "Third"});
            pc->setPageImageIndex(pc->page(1), StateIcons::Arrived);
            showAt(*pc, 500);
        }
        QCOMPARE(padded.tabRect(1), plain.tabRect(1));
        QCOMPARE(padded.tabStrip()->grab().toImage(), plain.tabStrip()->grab().toImage());
        // The comparison does see captions.
        plain.setPageCaption(plain.page(1), QStringLiteral("Second pagf"));
        QVERIFY(padded.tabStrip()->grab().toImage() != plain.tabStrip()->grab().toImage());
    }

    void rowsFollowTheWidth()
    {
        for (const Side side : {Side::Top, Side::Bottom}) {
            TPVPageControl pc;
            fill(pc, Eight);
            pc.setTabPosition(side);
            pc.setMultiLine(true);
            showAt(pc, 1400);
            QCOMPARE(pc.rowCount(), 1);
            QWidget* strip = pc.tabStrip();
            const int oneRow = strip->height();

            pc.resize(320, 200);
            QTRY_VERIFY(pc.rowCount() >= 3);
            QVERIFY(strip->height() > oneRow);
            QCOMPARE(strip->width(), 320);
            // Every tab inside the strip, none on another, each found where it is drawn.
            for (int t = 0; t < pc.tabCount(); ++t) {
                const QRect r = pc.tabRect(t);
                QVERIFY(!r.isNull());
                QVERIFY(strip->rect().contains(r));
                QCOMPARE(pc.tabAt(r.center()), t);
                for (int u = t + 1; u < pc.tabCount(); ++u) {
                    if (t != pc.activeTabIndex() && u != pc.activeTabIndex())
                        QVERIFY(!r.intersects(pc.tabRect(u)));
                }
            }
            // The pages keep the rest of the height.
            QTRY_COMPARE(pc.activePage()->height() + strip->height(), pc.height());

            // Choosing a tab of a far row brings its row next to the pages.
            const int last = pc.tabCount() - 1;
            QTest::mouseClick(strip, Qt::LeftButton, {}, centre(pc, last));
            QCOMPARE(pc.activeTabIndex(), last);
            const QRect chosen = pc.tabRect(last);
            if (side == Side::Top)
                QCOMPARE(chosen.bottom(), strip->height() - 1);
            else
                QCOMPARE(chosen.top(), 0);

            pc.resize(1400, 200);
            QTRY_COMPARE(pc.rowCount(), 1);
            QCOMPARE(strip->height(), oneRow);
        }
    }

    void oneRowScrollsInsteadOfWrapping()
    {
        TPVPageControl pc;
        fill(pc, Eight);
        showAt(pc, 300);
        QCOMPARE(pc.rowCount(), 1);
        pc.setActivePageIndex(7);
        QVERIFY(!pc.tabRect(7).isNull());
        QVERIFY(pc.tabRect(0).isNull()); // scrolled out of view
        QCOMPARE(pc.tabAt(centre(pc, 7)), 7);
        auto buttons = pc.tabStrip()->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 2);
        QVERIFY(buttons[0]->isVisible());
        buttons[0]->click(); // back
        pc.setActivePageIndex(0);
        QVERIFY(!pc.tabRect(0).isNull());
        pc.resize(1400, 200);
        QTRY_VERIFY(!buttons[0]->isVisible());
    }
};

PELVANE_TEST_MAIN(TestPageControl)
#include "tst_pagecontrol.moc"
