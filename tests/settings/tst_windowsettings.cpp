#include "platform/Registry.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "support/DataRows.h"
#include "support/HiveQueries.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <functional>

namespace {

const QString Current = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");

// A hive of its own for each case.
struct Hive
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};

    // "CurrentVersion" as stored: name=text, in the order the values were first written.
    QStringList stored()
    {
        TRegistry reg(hive);
        QStringList lines;
        if (!reg.openKey(Current, false))
            return lines;
        for (const QString& name : reg.valueNames())
            lines << name + QLatin1Char('=') + reg.readString(name);
        return lines;
    }
};

// The exit's writes of working copies that differ from the defaults in every value, so
// that a value written from the wrong copy shows.
WindowSettings unusual()
{
    WindowSettings s;
    s.disableAltShortcuts = true;
    s.openNewInForeground = true;
    s.addressNewWin = true;
    s.autoCompleteStyle = TPVOptions::StyleIE4;
    s.minToTray = true;
    s.showGo = true;
    s.sbAutoExpand = false;
    s.openNewAtEnd = true;
    s.sorvelBarWidth = 300;
    s.limitTitleLength = 12;
    s.searchBar = QStringLiteral("http://127.0.0.1/bar");
    s.usePopupSorvel = false;
    s.sgCloseFirst = true;
    s.maximized = false;
    s.frame = QRect(1, 2, 300, 400);
    s.fullScreen = true;
    s.viewSorvelBar = true;
    s.viewToolbar = false;
    s.viewAddressBar = false;
    s.viewLinksBar = false;
    s.viewStatusBar = false;
    // Not the exit's to write: the options dialog stores these when it changes them.
    s.newAction = 2;
    s.newTabFlags = {false, false, false, false};
    s.multipleLines = true;
    s.searchFromAddressBar = false;
    s.startupMode = QStringLiteral("Last");
    s.startupSorvelGroup = QStringLiteral("/tmp/g.sgp");
    s.freezeTabsAfter = 5;
    s.unloadTabsAfter = 45;
    s.spellCheck = false;
    s.spellCheckLanguage = QStringLiteral("de-DE");
    s.pdfViewer = false;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(WindowSettings&)>)

class TestWindowSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitWritesInItsOrder_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QStringList>("expected");
        const QStringList head{"DisableALTShortcuts=1", "OpenNewInForeground=1", "AddressNewWin=1",
                               "AutoCompleteStyle=IE4", "MinToTray=1",           "ShowGo=1",
                               "SBAutoExpand=0"};
        const QStringList tail{"OpenNewAtEnd=1",      "SorvelBarWidth=300",
                               "LimitTitleLength=12", "SearchBar=http://127.0.0.1/bar",
                               "FullScreen=1",        "UsePopupSorvel=0",
                               "Between=here",        "ViewSorvelBar=1",
                               "ViewToolbar=0",       "ViewAddressBar=0",
                               "ViewLinksBar=0",      "ViewStatusBar=0",
                               "SGCloseFirst=1"};
        QTest::newRow("placed") << false << QRect(1, 2, 300, 400)
                                << head +
                                       QStringList{"Top=2", "Height=400", "Left=1", "Width=300",
                                                   "Maximized=0"} +
                                       tail;
        QTest::newRow("off the screen's top left")
            << false << QRect(-8, -20, 300, 400)
            << head + QStringList{"Top=0", "Height=400", "Left=0", "Width=300", "Maximized=0"} +
                   tail;
        QTest::newRow("maximized keeps the bounds out")
            << true << QRect(1, 2, 300, 400) << head + QStringList{"Maximized=1"} + tail;
    }

    void exitWritesInItsOrder()
    {
        QFETCH(bool, maximized);
        QFETCH(QRect, frame);
        QFETCH(QStringList, expected);
        Hive h;
        TPVOptions options(h.hive);
        WindowSettings s = unusual();
        s.maximized = maximized;
        s.frame = frame;
        // The band layout goes where `between` runs; a value stands for it here.
        s.write(options, [&h] {
            TRegistry reg(h.hive);
            reg.openKey(Current, true);
            reg.writeString(QStringLiteral("Between"), QStringLiteral("here"));
        });
        QCOMPARE(h.stored(), expected);
    }

    void exitWritesOverOlderValuesInPlace()
    {
        // A hive that already holds the values keeps their places: only the texts change.
        Hive h;
        TPVOptions options(h.hive);
        options.SetSGCloseFirst(false);
        options.SetLimitTitleLength(99);
        unusual().write(options);
        const QStringList stored = h.stored();
        QCOMPARE(stored.value(0), QStringLiteral("SGCloseFirst=1"));
        QCOMPARE(stored.value(1), QStringLiteral("LimitTitleLength=12"));
        QCOMPARE(stored.size(), 24);
    }

    void readBackIsWhatWasWritten()
    {
        Hive h;
        TPVOptions options(h.hive);
        const WindowSettings written = unusual();
        written.write(options);
        // What the exit does not write, the dialog does.
        options.SetNewAction(written.newAction);
        options.SetFavoritesNewWin(false);
        options.SetHistoryNewWin(false);
        options.SetSearchNewWin(false);
        options.SetLinksNewWin(false);
        options.SetMultipleLines(true);
        options.SetSearchFromAddressBar(false);
        options.SetStartupMode(written.startupMode);
        options.SetStartupSorvelGroup(written.startupSorvelGroup);
        options.SetFreezeTabsAfter(written.freezeTabsAfter);
        options.SetUnloadTabsAfter(written.unloadTabsAfter);
        options.SetSpellCheck(written.spellCheck);
        options.SetSpellCheckLanguage(written.spellCheckLanguage);
        options.SetPdfViewer(written.pdfViewer);
        WindowSettings expected = written;
        expected.placementStored = true;
        const TPVOptions reader(h.hive);
        const HiveQueries queries(h.hive);
        QCOMPARE(WindowSettings::read(reader), expected);
        QCOMPARE(queries.taken(), 1u);
    }

    void firstStartReadsDefaultsInOneLookUp()
    {
        Hive h;
        const TPVOptions reader(h.hive);
        const HiveQueries queries(h.hive);
        const WindowSettings s = WindowSettings::read(reader);
        QCOMPARE(queries.taken(), 1u);
        QCOMPARE(s, WindowSettings());
        // A window that holds the settings itself pays for that one look-up, not for another.
        const TPVOptions::Held held(reader);
        const HiveQueries underHeld(h.hive);
        QCOMPARE(WindowSettings::read(reader), s);
        QCOMPARE(underHeld.taken(), 0u);
    }

    void everyRowIsAStoreSettingWithItsDefaultAndRoundTrips()
    {
        // The rows in the enumeration's order, each named once and known to the store.
        QSet<QString> names;
        int position = 0;
        const WindowSettings defaults;
        WindowSettings changed = unusual();
        changed.maximized = true;
        for (const WindowSettings::Row& row : WindowSettings::rows()) {
            const QString name = QString::fromLatin1(row.name);
            QCOMPARE(static_cast<int>(row.id), position++);
            QCOMPARE(&WindowSettings::row(row.id), &row);
            QVERIFY2(!names.contains(name), row.name);
            names << name;

            // A fresh hive reads every copy as the store's default, which is also what a
            // working copy starts with.
            Hive fresh;
            WindowSettings read = unusual();
            row.read(TPVOptions(fresh.hive), read);
            QCOMPARE(name + QLatin1Char('=') + row.shown(read),
                     name + QLatin1Char('=') + row.shown(defaults));
            QVERIFY2(fresh.stored().isEmpty(), row.name);

            // Written alone into a fresh hive, the row stores exactly its own value, under
            // its name, and reads back as written.
            TPVOptions options(fresh.hive);
            row.write(options, changed);
            QCOMPARE(fresh.stored().size(), 1);
            QVERIFY2(fresh.stored().constFirst().startsWith(name + QLatin1Char('=')), row.name);
            WindowSettings back;
            row.read(options, back);
            QCOMPARE(name + QLatin1Char('=') + row.shown(back),
                     name + QLatin1Char('=') + row.shown(changed));
            // The unusual copy differs from the defaults in every row.
            QVERIFY2(row.differs(defaults, changed), row.name);
            QVERIFY2(!row.differs(changed, back), row.name);
        }
        QCOMPARE(names.size(), 38);
    }

    void pushesTellTheOwnersOfWhatChanged_data()
    {
        QTest::addColumn<std::function<void(WindowSettings&)>>("change");
        QTest::addColumn<QStringList>("told");
        using Change = std::function<void(WindowSettings&)>;
        const auto row = [](const char* tag, Change change, QStringList told) {
            QTest::newRow(tag) << change << told;
        };
        row("nothing", [](WindowSettings&) {}, {});
        row("title length to the tab set", [](WindowSettings& s) { s.limitTitleLength = 10; },
            {"TabSet LimitTitleLength"});
        row("placement rules to the tab set",
            [](WindowSettings& s) {
                s.openNewAtEnd = true;
                s.openNewInForeground = true;
            },
            {"TabSet OpenNewInForeground", "TabSet OpenNewAtEnd"});
        row("Alt shortcuts to the commands",
            [](WindowSettings& s) { s.disableAltShortcuts = true; },
            {"Commands DisableALTShortcuts"});
        row("address band, tray, pop-ups and sleeper, in the table's order",
            [](WindowSettings& s) {
                s.unloadTabsAfter = 0;
                s.freezeTabsAfter = 0;
                s.usePopupSorvel = false;
                s.showGo = true;
                s.minToTray = true;
                s.autoCompleteStyle = TPVOptions::StyleNone;
            },
            {"AddressBand AutoCompleteStyle", "Tray MinToTray", "AddressBand ShowGo",
             "Popups UsePopupSorvel", "TabSleeper FreezeTabsAfter",
             "TabSleeper UnloadTabsAfter"});
        row("the engine takes the spelling and the PDF viewer",
            [](WindowSettings& s) {
                s.pdfViewer = false;
                s.spellCheckLanguage = QStringLiteral("de-DE");
            },
            {"Engine SpellCheckLanguage", "Engine PdfViewer"});
        row("copies read where used tell nobody",
            [](WindowSettings& s) {
                s.addressNewWin = true;
                s.sgCloseFirst = true;
                s.newAction = 1;
                s.newTabFlags.links = false;
                s.searchFromAddressBar = false;
                s.sbAutoExpand = false;
                s.searchBar = QStringLiteral("http://127.0.0.1/other");
                s.sorvelBarWidth = 1;
            },
            {});
        row("next start and the window's own state tell nobody",
            [](WindowSettings& s) {
                s.multipleLines = true;
                s.startupMode = QStringLiteral("Last");
                s.frame = QRect(5, 5, 5, 5);
                s.maximized = true;
                s.fullScreen = true;
                s.viewToolbar = false;
            },
            {});
        row("a value set back to what it was is no change",
            [](WindowSettings& s) { s.limitTitleLength = WindowSettings().limitTitleLength; }, {});
    }

    void pushesTellTheOwnersOfWhatChanged()
    {
        QFETCH(std::function<void(WindowSettings&)>, change);
        QFETCH(QStringList, told);
        const WindowSettings old;
        WindowSettings wanted = old;
        change(wanted);
        static const QMap<SettingOwner, QString> owners{
            {SettingOwner::Commands, "Commands"},       {SettingOwner::TabSet, "TabSet"},
            {SettingOwner::AddressBand, "AddressBand"}, {SettingOwner::Tray, "Tray"},
            {SettingOwner::Popups, "Popups"},           {SettingOwner::TabSleeper, "TabSleeper"},
            {SettingOwner::Engine, "Engine"}};
        QStringList got;
        for (const WindowSettings::Push& push : WindowSettings::pushes(old, wanted))
            got << owners.value(push.owner, QStringLiteral("?")) + QLatin1Char(' ') +
                       QLatin1String(WindowSettings::row(push.setting).name);
        QCOMPARE(got, told);
        // Going back tells the same owners again.
        QCOMPARE(WindowSettings::pushes(wanted, old).size(), told.size());
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        addRows<QString, QString, QString>({
            {"empty search page is the shipped one", "SearchBar", "", "shipped"},
            {"negative sleep is never", "FreezeTabsAfter", "-4", "0"},
            {"unloading after two hours unless told", "UnloadTabsAfter", "x", "120"},
            {"unloading switched off", "UnloadTabsAfter", "0", "0"},
            {"negative unloading is never", "UnloadTabsAfter", "-30", "0"},
            {"unloading after a week at most", "UnloadTabsAfter", "999999999", "10080"},
            {"unloading after a minute", "UnloadTabsAfter", "1", "1"},
            {"new action over the top", "NewAction", "9", "2"},
            {"a width stored means a placement", "Width", "500", "placed"},
            {"only a height is no placement", "Height", "500", "not placed"},
        });
    }

    void readingRules()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Hive h;
        {
            TRegistry reg(h.hive);
            reg.openKey(Current, true);
            reg.writeString(name, text);
        }
        const WindowSettings s = WindowSettings::read(TPVOptions(h.hive));
        QString got;
        if (name == QLatin1String("SearchBar"))
            got = s.searchBar == TPVOptions::DefaultSearchBar() ? QStringLiteral("shipped")
                                                                : s.searchBar;
        else if (name == QLatin1String("FreezeTabsAfter"))
            got = QString::number(s.freezeTabsAfter);
        else if (name == QLatin1String("UnloadTabsAfter"))
            got = QString::number(s.unloadTabsAfter);
        else if (name == QLatin1String("NewAction"))
            got = QString::number(s.newAction);
        else
            got = s.placementStored ? QStringLiteral("placed") : QStringLiteral("not placed");
        QCOMPARE(got, expected);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestWindowSettings)
#include "tst_windowsettings.moc"
