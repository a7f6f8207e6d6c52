#include "bars/BandLayout.h"
#include "bars/BandPanel.h"
#include "bars/BarsControl.h"
#include "bars/ChevronMenus.h"
#include "bars/CoolBar.h"
#include "bars/MainToolbar.h"
#include "bars/MenuBand.h"
#include "bars/ToolbarFile.h"
#include "bars/dialogs/CustomizeToolbar.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "support/BarsFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

namespace {

using Saved = QList<SavedBand>;
SavedBand band(const QString& name, std::optional<qint64> width, std::optional<qint64> brk)
{
    return SavedBand{true, name, width, brk};
}

using Bars = BarsFixture;

QStringList captionsOf(const QMenu* menu)
{
    QStringList captions;
    const auto items = menu->actions();
    for (const QAction* item : items)
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

} // namespace

class TestBars final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadingRule_data()
    {
        QTest::addColumn<Saved>("saved");
        QTest::addColumn<BandLayout>("expected");
        const BandLayout design = BandLayouts::design();
        QTest::newRow("first run") << Saved{} << design;
        QTest::newRow("complete set") << Saved{band("Links", 300, 1), band("Address", 500, 0),
                                               band("Menu", 800, 1), band("Tool", 200, 0)}
                                      << BandLayout{{"Links", 300, true}, {"Address", 500, false},
                                                    {"Menu", 800, true}, {"Tool", 200, false}};
        QTest::newRow("only Band0 = Links")
            << Saved{band("Links", 120, 1)}
            << BandLayout{{"Links", 120, true}, design[0], design[1], design[2]};
        QTest::newRow("unusable widths and breaks fall back")
            << Saved{band("Menu", -5, std::nullopt), band("Tool", 0, 1),
                     band("Address", 99999999, 0), band("Links", std::nullopt, 1)}
            << BandLayout{{"Menu", 0, false}, {"Tool", 0, true}, {"Address", 0, false},
                          {"Links", 0, true}};
        QTest::newRow("repeated, unknown and missing entries")
            << Saved{band("Links", 50, 0), band("Sidebar", 50, 0), SavedBand{},
                     band("Links", 60, 1)}
            << BandLayout{design[0], design[1], design[2], {"Links", 60, true}};
        QTest::newRow("a gap before a name") << Saved{SavedBand{}, SavedBand{}, band("Menu", 40, 1)}
                                             << BandLayout{design[1], design[2],
                                                           {"Menu", 40, true}, design[3]};
    }
    void loadingRule()
    {
        QFETCH(Saved, saved);
        QFETCH(BandLayout, expected);
        QCOMPARE(BandLayouts::applySaved(BandLayouts::design(), saved), expected);
    }

    void bandLayoutGoesThroughTheHive()
    {
        RegistryHive hive(TestFiles::home(QStringLiteral("bands.db")));
        TRegistry reg(hive);
        reg.setRootKey(TRegistry::HKEY_CURRENT_USER);
        QVERIFY(reg.openKey(BandLayouts::bandsKey() + QStringLiteral("\\Band9"), true));
        reg.writeString(QStringLiteral("Name"), QStringLiteral("Stale"));
        reg.closeKey();
        const BandLayout saved{{"Links", 300, true}, {"Menu", 640, true}, {"Tool", 640, true},
                               {"Address", 200, true}};
        BandLayouts::SaveBandLayout(hive, saved);
        QVERIFY(!reg.keyExists(BandLayouts::bandsKey() + QStringLiteral("\\Band9")));
        QVERIFY(reg.openKeyReadOnly(BandLayouts::bandsKey() + QStringLiteral("\\Band0")));
        TRegistry::DataType type{};
        QVERIFY(reg.dataType(QStringLiteral("Width"), &type));
        QCOMPARE(type, TRegistry::DataType::DWord);
        QCOMPARE(reg.readInteger(QStringLiteral("Break")), 1);
        // A width written as text is a damaged value: the design width comes back.
        reg.writeString(QStringLiteral("Width"), QStringLiteral("300"));
        reg.closeKey();
        BandLayout expected = saved;
        expected[0].width = 0;
        QCOMPARE(BandLayouts::LoadBandLayout(hive, BandLayouts::design()), expected);
    }

    void chevronRules()
    {
        // 19 buttons, each 10 wide; the main area ends after the 17th.
        QList<ChevronMenus::Button> buttons;
        for (int i = 0; i < 19; ++i)
            buttons << ChevronMenus::Button{i == 13, true, (i + 1) * 10};
        QCOMPARE(ChevronMenus::toolbarItems(buttons, 170), (QList<int>{17, 18}));
        // A cut-off separator opening the list is left out; a hidden button is never listed.
        buttons[17].visible = false;
        QCOMPARE(ChevronMenus::toolbarItems(buttons, 130), (QList<int>{14, 15, 16, 18}));
        QVERIFY(!Chevron::needed(170, 170));
        QVERIFY(Chevron::needed(171, 170));
        QStringList listed;
        for (const MenuDescription& menu : MenuLayout::menuBar()) {
            const bool helpCut = menu.id == MenuId::Help;
            if (ChevronMenus::listsMenu(menu.id, helpCut ? 101 : 90, 100))
                listed << QString::fromUtf8(menu.caption);
        }
        QCOMPARE(listed, (QStringList{"&Tools", "Tab&s", "&Help"}));
    }

    void narrowBandsShowTheirChevrons()
    {
        Bars bars;
        bars.bar()->resize(2000, 200);
        bars.window.show();
        BandPanel* tool = bars.control.panel(BarsControl::Band::Tool);
        BandPanel* menu = bars.control.panel(BarsControl::Band::Menu);
        QVERIFY(!tool->chevronShown());
        QVERIFY(!menu->chevronShown());
        QVERIFY(!bars.control.panel(BarsControl::Band::Links)->chevronShown());

        // The last two buttons cut off.
        const int sourceEnd = bars.toolbar->button(16)->geometry().right() + 1;
        const int chevron = tool->chevron()->sizeHint().width();
        bars.bar()->resize(tool->x() + sourceEnd + chevron + 2, 200);
        QVERIFY(tool->chevronShown());
        QMenu* extender = bars.control.toolbarChevronMenu();
        QMetaObject::invokeMethod(extender, "aboutToShow");
        QCOMPARE(captionsOf(extender), (QStringList{"Load Images", "Fullscreen", "-",
                                                    "&Customize..."}));
        QVERIFY(extender->actions().at(0)->isCheckable());

        // Only Help cut off the menu band.
        const int helpStart = bars.menuBand->button(MenuId::Help)->geometry().left();
        bars.bar()->resize(menu->x() + helpStart + menu->chevron()->sizeHint().width(), 200);
        QVERIFY(menu->chevronShown());
        QMetaObject::invokeMethod(bars.control.menuChevronMenu(), "aboutToShow");
        QCOMPARE(captionsOf(bars.control.menuChevronMenu()),
                 (QStringList{"&Tools", "Tab&s", "&Help"}));

        // The links bar: its last button against the whole panel, its menu behind the chevron.
        auto* links = new QWidget;
        QMenu linksMenu;
        for (int i = 0; i < 3; ++i)
            (new QToolButton(links))->setGeometry(i * 50, 0, 50, 20);
        bars.control.setLinksWidget(links, &linksMenu);
        BandPanel* linksPanel = bars.control.panel(BarsControl::Band::Links);
        bars.bar()->maximizeBand(bars.bar()->bandIndex(QStringLiteral("Links")));
        QVERIFY(linksPanel->width() >= 150 && !linksPanel->chevronShown());
        bars.bar()->minimizeBand(bars.bar()->bandIndex(QStringLiteral("Links")));
        QVERIFY(linksPanel->chevronShown());
        QCOMPARE(linksPanel->chevron()->menu(), &linksMenu);
    }

    void bandsMoveByTheirGrips()
    {
        Bars bars;
        bars.bar()->resize(1000, 200);
        bars.window.show();
        CoolBar* bar = bars.bar();
        const int links = bar->bandIndex(QStringLiteral("Links"));
        const QPoint grip = bar->bandRect(links).topLeft() + QPoint(3, 5);
        const int below = bar->height() + 5;
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QTest::mouseMove(bar, QPoint(grip.x(), below));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(grip.x(), below));
        QCOMPARE(bar->rowCount(), 4);
        QCOMPARE(bar->bandLayout().last().name, QStringLiteral("Links"));
        QVERIFY(bar->bandLayout().last().breakBefore);
        QCOMPARE(bar->bandRect(bar->bandIndex(QStringLiteral("Links"))).width(), 1000);

        // Back beside the address band, then its grip drawn left widens it.
        const int address = bar->bandIndex(QStringLiteral("Address"));
        const QPoint linksGrip =
            bar->bandRect(bar->bandIndex(QStringLiteral("Links"))).topLeft() + QPoint(3, 5);
        const QPoint target(700, bar->bandRect(address).center().y());
        QTest::mousePress(bar, Qt::LeftButton, {}, linksGrip);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
        QCOMPARE(bar->rowCount(), 3);
        QCOMPARE(bar->rowOf(bar->bandIndex(QStringLiteral("Links"))), bar->rowOf(address));
        const QRect before = bar->bandRect(bar->bandIndex(QStringLiteral("Links")));
        QTest::mousePress(bar, Qt::LeftButton, {}, before.topLeft() + QPoint(3, 5));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, before.topLeft() + QPoint(-97, 5));
        const QRect after = bar->bandRect(bar->bandIndex(QStringLiteral("Links")));
        QCOMPARE(after.left(), before.left() - 100);
        QCOMPARE(after.right(), 999);

        // Hidden and shown again, a band keeps its place.
        bars.control.setBandVisible(BarsControl::Band::Links, false);
        QCOMPARE(bar->rowCount(), 3);
        bars.control.setBandVisible(BarsControl::Band::Links, true);
        QCOMPARE(bar->bandRect(bar->bandIndex(QStringLiteral("Links"))), after);
    }

    void toolbarFileRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<QList<int>>("hidden");
        QList<int> design;
        for (int tag = 0; tag < 19; ++tag)
            design << tag;
        QList<int> homeFirst{7};
        for (int tag : design) {
            if (tag != 7)
                homeFirst << tag;
        }
        QTest::newRow("home first, print hidden")
            << ToolbarFile::toBytes([&] {
                   ToolbarArrangement a;
                   for (int tag : homeFirst)
                       a << ToolbarSlot{tag, tag != 15};
                   return a;
               }())
            << homeFirst << QList<int>{15};
        QTest::newRow("older file, fewer lines")
            << QByteArray("[Toolbar]\r\n2=1\r\n3=0\r\n") << (QList<int>{2, 3} + (design.mid(0, 2) + design.mid(4)))
            << QList<int>{3};
        QTest::newRow("not numbers, unknown tags, repeated keys")
            << QByteArray("[Toolbar]\nx=1\n5=yes\n-1=1\n19=1\n400=0\n6=0\n6=1\n 4 = 0 \n[Other]\n1=0\n")
            << (QList<int>{6, 4} + design.mid(0, 4) + design.mid(5, 1) + design.mid(7))
            << QList<int>{6, 4};
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\xff[Toolbar]\x00", 12) << design
                                        << QList<int>{};
    }
    void toolbarFileRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, order);
        QFETCH(QList<int>, hidden);
        const QString path =
            TestFiles::writeFile(TestFiles::home(QStringLiteral("toolbar.dat")), file);
        const ToolbarArrangement read =
            ToolbarFile::LoadToolbarLayout(path, ToolbarFile::design(19), false);
        QList<int> tags;
        QList<int> hiddenTags;
        for (const ToolbarSlot& slot : read) {
            tags << slot.tag;
            if (!slot.shown)
                hiddenTags << slot.tag;
        }
        QCOMPARE(tags, order);
        QCOMPARE(hiddenTags, hidden);
        // Whatever was read, the next save writes one clean line per button.
        QVERIFY(ToolbarFile::SaveToolbarLayout(path, read));
        const QByteArray written = TestFiles::readFile(path);
        QCOMPARE(written.count("\r\n"), 20);
        QCOMPARE(ToolbarFile::LoadToolbarLayout(path, ToolbarFile::design(19), false), read);
        QCOMPARE(ToolbarFile::LoadToolbarLayout(path, read, true), ToolbarFile::design(19));
    }

    void toolbarTakesAnArrangement()
    {
        Bars bars;
        ToolbarArrangement wanted = ToolbarFile::design(19);
        std::swap(wanted[0], wanted[7]);
        wanted[3].shown = false;
        bars.toolbar->setArrangement(wanted);
        QCOMPARE(bars.toolbar->arrangement(), wanted);
        QCOMPARE(MainToolbar::tagOf(bars.toolbar->actions().first()), 7);
        QVERIFY(!bars.toolbar->entry(wanted[3].tag)->isVisible());
        // Every button has a picture, also where the desktop has no icon theme.
        for (const ToolbarButton& button : ToolbarLayout::buttons()) {
            if (button.style != ToolbarButton::Style::Separator)
                QVERIFY2(!MainToolbar::iconFor(button).pixmap(QSize(48, 48)).isNull(), button.name);
        }
        // A missing file changes nothing, Reset included.
        const QString missing = TestFiles::home(QStringLiteral("none/toolbar.dat"));
        QCOMPARE(ToolbarFile::LoadToolbarLayout(missing, wanted, true), wanted);
    }

    void customizeDialogMovesRows()
    {
        Bars bars;
        bars.toolbar->entry(15)->setVisible(false);
        TfrmCustomizeToolbar dialog(bars.toolbar->buttonRows(), nullptr);
        QTreeWidget* list = dialog.list();
        QCOMPARE(list->topLevelItemCount(), 19);
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Separator"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("-"));
        QCOMPARE(list->topLevelItem(15)->text(0), QStringLiteral("Print"));
        QCOMPARE(list->topLevelItem(15)->text(1), QStringLiteral("Prints the current document"));
        QCOMPARE(list->topLevelItem(15)->checkState(0), Qt::Unchecked);

        list->setCurrentItem(list->topLevelItem(0));
        dialog.upButton()->click(); // the first stays first
        dialog.downButton()->click();
        dialog.downButton()->click();
        QCOMPARE(list->currentItem(), list->topLevelItem(2));
        list->setCurrentItem(list->topLevelItem(18));
        dialog.downButton()->click(); // the last stays last
        dialog.okButton()->click();
        QCOMPARE(dialog.answer(), TfrmCustomizeToolbar::Answer::Ok);
        const ToolbarArrangement result = dialog.arrangement();
        QCOMPARE(result.at(2), (ToolbarSlot{0, true}));
        QCOMPARE(result.at(0).tag, 1);
        QCOMPARE(result.at(15), (ToolbarSlot{15, false}));
    }
};

PELVANE_TEST_MAIN(TestBars)
#include "tst_bars.moc"
