#include "settings/PVOptions.h"
#include "support/DataRows.h"
#include "support/HiveQueries.h"
#include "support/TestHome.h"

#include <QCoreApplication>

#include <functional>
#include <memory>

namespace {

const QString Current = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");

// A hive of its own for each test, and a second connection to it standing for another
// running copy of the program.
struct Fixture
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};
    RegistryHive otherCopy{dir.filePath(QStringLiteral("registry.db"))};

    std::unique_ptr<TRegistry> at(const QString& key)
    {
        auto reg = std::make_unique<TRegistry>(otherCopy);
        reg->openKey(key, true);
        return reg;
    }
    QString stored(const QString& name)
    {
        TRegistry reg(otherCopy);
        reg.openKey(Current, false);
        TRegistry::DataType type = TRegistry::DataType::DWord;
        if (!reg.dataType(name, &type) || type != TRegistry::DataType::String)
            return QStringLiteral("<not text>");
        return reg.readString(name);
    }
};

QString asText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
QString asText(int value)
{
    return QString::number(value);
}
QString asText(const QString& value)
{
    return value;
}

// Reads a setting by its value name, to drive the table tests.
QString readByName(const TPVOptions& options, const QString& name)
{
#define PVOPTIONS_READ(Type, Name, Default, Rule)                                                  \
    if (name == QLatin1String(#Name))                                                              \
        return asText(options.Get##Name());
    PVOPTIONS_SCALARS(PVOPTIONS_READ)
#undef PVOPTIONS_READ
    qFatal("unknown setting %s", qPrintable(name));
    return {};
}

} // namespace

class TestPVOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunGivesDefaultsAndCreatesOnlyTheProgramKey()
    {
        Fixture f;
        QVERIFY(!TRegistry(f.hive).keyExists(QStringLiteral("\\Software\\Brenmoor")));
        const TPVOptions options(f.hive);
        TRegistry reg(f.hive);
        QVERIFY(reg.keyExists(QStringLiteral("\\Software\\Brenmoor\\Pelvane")));

        // Each default as name=value, so that a failure names the setting.
        for (const QString setting :
             {"SorvelBarWidth=234", "LimitTitleLength=35", "InactiveTabColor=-2147483634",
              "InactiveFontColor=-2147483645", "StartupMode=Home", "TabColorScheme=rev",
              "AutoCompleteStyle=2", "ShiftPost=.net", "CtrlShiftPost=.org", "Width=638",
              "Height=478", "FavoritesHeight=400", "UsePopupSorvel=true", "TabsDown=true",
              "AskDefaultBrowser=true", "AddressNewWin=false", "AllowMultiInstance=false",
              "StartupSorvelGroup="}) {
            const QString name = setting.section(QLatin1Char('='), 0, 0);
            QCOMPARE(name + QLatin1Char('=') + readByName(options, name), setting);
        }
        QVERIFY(options.GetLastOpenSites().isEmpty());
        const QString searchBar = options.GetSearchBar();
        QVERIFY2(searchBar.startsWith(QLatin1String("file:///")), qPrintable(searchBar));
        QVERIFY(QFileInfo::exists(QUrl(searchBar).toLocalFile()));

        // Reading never creates anything; the first write makes "CurrentVersion".
        QVERIFY(!reg.keyExists(Current));
        TPVOptions writer(f.hive);
        writer.SetMaximized(true);
        QVERIFY(reg.keyExists(Current));
        QCOMPARE(f.stored(QStringLiteral("Maximized")), QStringLiteral("1"));
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        addRows<QString, QString, QString>({
            {"integer not a number", "LimitTitleLength", "abc", "35"},
            {"integer with junk", "LimitTitleLength", "12abc", "35"},
            {"integer too large", "LimitTitleLength", "4294967296", "35"},
            {"integer empty", "Left", "", "10"},
            {"negative integer", "Top", "-5", "-5"},
            {"colour as signed text", "InactiveTabColor", "-2147483634", "-2147483634"},
            {"new action too large", "NewAction", "7", "2"},
            {"new action negative", "NewAction", "-3", "0"},
            {"new action valid", "NewAction", "1", "1"},
            {"new action unreadable", "NewAction", "x", "0"},
            {"style lower case", "AutoCompleteStyle", "ie5", "0"},
            {"style IE4", "AutoCompleteStyle", "IE4", "1"},
            {"style none", "AutoCompleteStyle", "none", "0"},
            {"style empty", "AutoCompleteStyle", "", "0"},
            {"flag zero", "UsePopupSorvel", "0", "false"},
            {"flag any non-zero", "AddressNewWin", "-1", "true"},
            {"flag two", "AddressNewWin", "2", "true"},
            {"flag word, default true", "UsePopupSorvel", "yes", "true"},
            {"flag word, default false", "AddressNewWin", "true", "false"},
            {"empty text stays empty", "StartupMode", "", ""},
            {"unknown startup mode kept", "StartupMode", "xyz", "xyz"},
            {"negative width read as is", "SorvelBarWidth", "-10", "-10"},
        });
    }

    void readingRules()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        Fixture f;
        f.at(Current)->writeString(name, stored);
        const TPVOptions options(f.hive);
        QCOMPARE(readByName(options, name), read);
    }

    void writingRules()
    {
        Fixture f;
        TPVOptions options(f.hive);
        const std::pair<std::function<void()>, std::pair<const char*, const char*>> cases[] = {
            {[&] { options.SetNewAction(7); }, {"NewAction", "2"}},
            {[&] { options.SetNewAction(-3); }, {"NewAction", "0"}},
            {[&] { options.SetSorvelBarWidth(-1); }, {"SorvelBarWidth", "234"}},
            {[&] { options.SetSorvelBarWidth(0); }, {"SorvelBarWidth", "0"}},
            {[&] { options.SetAutoCompleteStyle(1); }, {"AutoCompleteStyle", "IE4"}},
            {[&] { options.SetAutoCompleteStyle(2); }, {"AutoCompleteStyle", "IE5"}},
            {[&] { options.SetAutoCompleteStyle(0); }, {"AutoCompleteStyle", "none"}},
            {[&] { options.SetAutoCompleteStyle(9); }, {"AutoCompleteStyle", "none"}},
            {[&] { options.SetInactiveTabColor(static_cast<int>(0x8000000Eu)); },
             {"InactiveTabColor", "-2147483634"}},
            {[&] { options.SetUsePopupSorvel(false); }, {"UsePopupSorvel", "0"}},
            {[&] { options.SetUsePopupSorvel(true); }, {"UsePopupSorvel", "1"}},
            {[&] { options.SetCommandLine(QString()); }, {"CommandLine", ""}},
        };
        for (const auto& [write, expected] : cases) {
            write();
            QCOMPARE(f.stored(QLatin1String(expected.first)), QLatin1String(expected.second));
        }
        QCOMPARE(options.GetInactiveTabColor(), static_cast<int>(0x8000000Eu));
        // A stored empty text is read back as empty, not as the default.
        options.SetCtrlPre(QString());
        QCOMPARE(options.GetCtrlPre(), QString());
    }

    void wrongRegistryTypeReadsAsTheDefaultAndIsNoted()
    {
        Fixture f;
        const auto reg = f.at(Current);
        reg->writeInteger(QStringLiteral("StartupMode"), 1);
        reg->writeInteger(QStringLiteral("UsePopupSorvel"), 0);
        reg->writeInteger(QStringLiteral("LimitTitleLength"), 0x23);
        const auto list = f.at(Current + QStringLiteral("\\PopupSorvel"));
        list->writeString(QStringLiteral("url1"), QStringLiteral("http://ads."));
        list->writeInteger(QStringLiteral("url2"), 2);
        const TPVOptions options(f.hive);
        QCOMPARE(options.GetStartupMode(), QStringLiteral("Home"));
        QVERIFY(options.GetUsePopupSorvel());
        QCOMPARE(options.GetLimitTitleLength(), 35);
        QCOMPARE(options.GetPopupSorvelList(), QStringList{"url1=http://ads."});
        options.GetStartupMode(); // noted once, however often it is read
        QCOMPARE(f.hive.takeIgnoredValues(),
                 (QStringList{Current + "\\StartupMode", Current + "\\UsePopupSorvel",
                              Current + "\\LimitTitleLength", Current + "\\PopupSorvel\\url2"}));
        QVERIFY(f.hive.takeIgnoredValues().isEmpty());
    }

    void listsKeepTheOrderTheyWereWrittenIn()
    {
        Fixture f;
        TPVOptions options(f.hive);
        options.SetSearchEngines({"Gamma=http://g/", "Alpha=http://a/", "Beta=http://b/"});
        QCOMPARE(options.GetSearchEngines(),
                 (QStringList{"Gamma=http://g/", "Alpha=http://a/", "Beta=http://b/"}));
        // Moved up and down in the organize dialog: the next read has the new order, even
        // for names that were there before.
        options.SetSearchEngines({"Beta=http://b/", "Gamma=http://g2/", "Alpha=http://a/"});
        QCOMPARE(options.GetSearchEngines(),
                 (QStringList{"Beta=http://b/", "Gamma=http://g2/", "Alpha=http://a/"}));

        // Same title twice: the second value wins, the list is one shorter.
        options.SetSearchBarList({"Web=http://one/", "News=http://n/", "web=http://two/"});
        QCOMPARE(options.GetSearchBarList(), (QStringList{"Web=http://two/", "News=http://n/"}));

        // Lines split at their first "="; lines without one are left out.
        options.SetPopupSorvelList({"url1=http://x/?a=b", "no separator", "url2=", "=dflt"});
        const HiveQueries queries(f.hive);
        QCOMPARE(options.GetPopupSorvelList(), (QStringList{"url1=http://x/?a=b", "=dflt"}));
        QCOMPARE(queries.taken(), 1u); // a list is one look-up, however long

        options.SetPopupSorvelList({});
        QVERIFY(options.GetPopupSorvelList().isEmpty());
        QVERIFY(!TRegistry(f.hive).keyExists(Current + QStringLiteral("\\PopupSorvel")));
    }

    void namesHoldingEqualsDoNotReplaceOtherLines()
    {
        // Values written by hand (or by an import) whose names hold "=": each value gives
        // its own line; a later name equal to an earlier line's first part replaces nothing.
        Fixture f;
        const auto reg = f.at(Current + QStringLiteral("\\Search Engines"));
        reg->writeString(QStringLiteral("A=B"), QStringLiteral("first"));
        reg->writeString(QStringLiteral("A"), QStringLiteral("second"));
        reg->writeString(QStringLiteral("Blank"), QString());
        const TPVOptions options(f.hive);
        QCOMPARE(options.GetSearchEngines(), (QStringList{"A=B=first", "A=second"}));
    }

    void lastOpenSitesSkipEmptyAddresses()
    {
        QCOMPARE(TPVOptions::BuildLastOpenSites({"http://a/", "", "http://c/"}),
                 (QStringList{"url3=http://c/", "url1=http://a/"}));
        QCOMPARE(TPVOptions::BuildLastOpenSites({}), QStringList());
        QCOMPARE(TPVOptions::BuildLastOpenSites({QString()}), QStringList());

        Fixture f;
        TPVOptions options(f.hive);
        options.SetLastOpenSites(TPVOptions::BuildLastOpenSites({"http://a/", "", "http://c/"}));
        QCOMPARE(f.at(Current + QStringLiteral("\\Last Open Sites"))->valueNames(),
                 (QStringList{"url3", "url1"}));
        QCOMPARE(options.GetLastOpenSites(), (QStringList{"url3=http://c/", "url1=http://a/"}));
    }

    void anotherCopyDeletingTheKeyIsSeen()
    {
        Fixture f;
        TPVOptions options(f.hive);
        options.SetCtrlPre(QStringLiteral("mine"));
        QCOMPARE(options.GetCtrlPre(), QStringLiteral("mine"));

        // The other copy imports settings: the key goes and comes back with new values.
        TRegistry other(f.otherCopy);
        QVERIFY(other.deleteKey(Current));
        QCOMPARE(options.GetCtrlPre(), QStringLiteral("http://www."));
        f.at(Current)->writeString(QStringLiteral("CtrlPre"), QStringLiteral("theirs"));
        QCOMPARE(options.GetCtrlPre(), QStringLiteral("theirs"));

        // A write after the key was deleted makes it again.
        QVERIFY(other.deleteKey(Current));
        options.SetCtrlPost(QStringLiteral(".de"));
        QCOMPARE(f.stored(QStringLiteral("CtrlPost")), QStringLiteral(".de"));
        QCOMPARE(options.GetCtrlPre(), QStringLiteral("http://www."));
    }
};

PELVANE_TEST_GUILESS_MAIN(TestPVOptions)
#include "tst_pvoptions.moc"
