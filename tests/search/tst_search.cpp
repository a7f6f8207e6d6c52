#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/web/UserAddress.h"
#include "search/SearchBrowser.h"
#include "search/SearchEngines.h"
#include "search/SearchNavigation.h"
#include "search/SearchPane.h"
#include "search/SearchPaneHost.h"
#include "search/TypedText.h"
#include "search/dialogs/SearchEngine.h"
#include "settings/PVOptions.h"
#include "support/DataRows.h"
#include "support/FakeWebBackend.h"
#include "support/TestHome.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

using SearchEngines::Entry;

// The state the fake page reports for the rule's script; the links script just succeeds.
void reportState(FakeWebBackend& fake, std::optional<QVariantMap> state)
{
    fake.setScriptHandler([state](const QString& script, const QVariantList&) -> QVariant {
        if (script == SearchNavigation::paneLinksScript())
            return true;
        return state ? QVariant(*state) : QVariant();
    });
}

QVariantMap linkState(const QString& base, const QString& tag, const QString& target)
{
    return {
        {"hasElements", true}, {"baseTarget", base}, {"activeTag", tag}, {"activeTarget", target}};
}

class FakeSearchHost final : public SearchPaneHost
{
public:
    QStringList calls;
    QString home = QStringLiteral("http://127.0.0.1/home");
    std::optional<QString> location;
    std::optional<QString> favoriteName;
    bool organizeAnswer = false;

    void OpenSearchResult(const QString& address) override { calls << "open " + address; }
    void SearchNewWindow(TWebBrowser*& newBrowser, bool& cancel) override
    {
        calls << QStringLiteral("window");
        newBrowser = nullptr;
        cancel = true;
    }
    QString SearchHome() const override { return home; }
    void SetSearchHome(const QString& address) override { home = address; }
    std::optional<QString> AskLocation() override { return location; }
    bool OrganizeSearchFavorites() override { return organizeAnswer; }
    std::optional<QString> AskFavoriteName(const QString& proposed) override
    {
        calls << "name? " + proposed;
        return favoriteName;
    }
    void Tell(const QString& message) override { calls << "tell " + message; }
};

struct PaneBench
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath("registry.db")};
    FakeSearchHost host;
    FakeWebBackend* fake = new FakeWebBackend;
    SearchPane pane{host, hive, fake, QStringLiteral("file:///share/pages/searchbar.html")};

    QStringList favoriteCaptions() const
    {
        QStringList captions;
        const QList<QAction*> items = pane.favoritesMenu()->actions();
        for (qsizetype i = 3; i < items.size(); ++i)
            captions << items.at(i)->text();
        return captions;
    }
};

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("search");
        QTest::newRow("web address") << "http://example.com/a b" << false;
        QTest::newRow("host with a dot") << "example.com" << false;
        QTest::newRow("a.b") << "a.b" << false;
        QTest::newRow("localhost") << "localhost" << false;
        QTest::newRow("localhost:8080") << "localhost:8080" << false;
        QTest::newRow("port and path") << "intranet:8000/wiki" << false;
        QTest::newRow("host and path") << "intranet/wiki" << false;
        QTest::newRow("known host") << "buildbox" << false;
        QTest::newRow("file:///x") << "file:///x" << false;
        QTest::newRow("about:blank") << "about:blank" << false;
        QTest::newRow("bookmarklet") << "javascript:alert(1)" << false;
        QTest::newRow("path") << "/tmp/page.html" << false;
        QTest::newRow("IPv6") << "[::1]:8080/x" << false;
        QTest::newRow("intranet") << "intranet" << true;
        QTest::newRow("two words") << "two words" << true;
        QTest::newRow("what is 2+2") << "what is 2+2" << true;
        QTest::newRow("2+2") << "2+2" << true;
        QTest::newRow("question with a colon") << "define: word" << true;
        QTest::newRow("scheme nothing opens") << "define:word" << true;
        QTest::newRow("scheme of the desktop") << "magnet:?xt=urn:btih:c12f" << false;
        QTest::newRow("scheme in capitals") << "MAILTO:ann@example.com" << false;
        QTest::newRow("line break") << "one\ntwo" << true;
    }
    void typedText()
    {
        QFETCH(QString, text);
        QFETCH(bool, search);
        const QSet<QString> known = TypedText::hostNames(
            "# hosts\n127.0.0.1\tlocalhost\n10.0.0.7 buildbox BuildBox.lan # office\n");
        const auto opens = [](const QString& scheme) {
            return UserAddress::engineScheme(scheme) || scheme == QLatin1String("magnet");
        };
        QCOMPARE(TypedText::classify(text, known, opens) == TypedText::Kind::Search, search);
    }

    void queryAddress_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        addRows<QString, QString, QString>({
            {"blanks", "http://s/?q=%s", "two words", "http://s/?q=two%20words"},
            {"query breakers", "http://s/?q=%s&x=1", "a&b=c#d%e+f",
             "http://s/?q=a%26b%3Dc%23d%25e%2Bf&x=1"},
            {"line break", "http://s/?q=%s", "a\r\nb", "http://s/?q=a%0D%0Ab"},
            {"utf-8", "http://s/%s", "f\u00FCr", "http://s/f%C3%BCr"},
            {"two marks", "http://s/?a=%s&b=%s", "x y", "http://s/?a=x%20y&b=x%20y"},
            {"no mark: nowhere to go", "http://s/", "x", ""},
        });
    }
    void queryAddress()
    {
        QFETCH(QString, engine);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SearchEngines::queryAddress(engine, text), expected);
    }

    void longQueryIsEncodedWhole()
    {
        const QString text = QString(10000, QLatin1Char('x')) + QStringLiteral(" \n<>");
        const QString address = SearchEngines::queryAddress("http://s/?q=%s", text);
        QVERIFY(address.endsWith(QString(10000, QLatin1Char('x')) + "%20%0A%3C%3E"));
        QVERIFY(!address.contains(QLatin1Char(' ')) && !address.contains(QLatin1Char('\n')));
        QCOMPARE(SearchEngines::pageAddress("http://s/?q=%s&lang=en"), "http://s/?q=&lang=en");
    }

    void listsKeepOrderAndCutTitlesAtEquals()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath("registry.db"));
        const QList<Entry> written{{"C", "http://c/%s"}, {"A", "http://a/"}, {"B", "http://b/"}};
        SearchEngines::write(hive, SearchEngines::List::Engines, written);
        QCOMPARE(SearchEngines::read(hive, SearchEngines::List::Engines), written);
        SearchEngines::write(hive, SearchEngines::List::SearchBar,
                             {{"x", "http://1/"}, {"a=b", "http://2/"}, {"X", "http://3/"}});
        // Equal titles collapse (the later address at the earlier place); "=" cuts a title.
        QCOMPARE(SearchEngines::read(hive, SearchEngines::List::SearchBar),
                 (QList<Entry>{{"x", "http://3/"}, {"a", "b=http://2/"}}));
    }

    void defaultsOnlyOnTheFirstRun()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath("registry.db"));
        QVERIFY(SearchEngines::seedDefaults(hive));
        const QList<Entry> engines = SearchEngines::read(hive, SearchEngines::List::Engines);
        QCOMPARE(engines, SearchEngines::defaultEngines());
        for (const Entry& engine : engines)
            QVERIFY(engine.address.contains(SearchEngines::QueryMark));
        // A user who emptied the list keeps it empty.
        SearchEngines::write(hive, SearchEngines::List::Engines, {});
        QVERIFY(!SearchEngines::seedDefaults(hive));
        QVERIFY(SearchEngines::read(hive, SearchEngines::List::Engines).isEmpty());
        // A hive deployed with a few settings but no list has never had one.
        QTemporaryDir settingsOnly;
        RegistryHive fewSettings(settingsOnly.filePath("registry.db"));
        TPVOptions(fewSettings).SetAskDefaultBrowser(false);
        QVERIFY(SearchEngines::seedDefaults(fewSettings));
        QCOMPARE(SearchEngines::read(fewSettings, SearchEngines::List::Engines),
                 SearchEngines::defaultEngines());
        SearchEngines::write(fewSettings, SearchEngines::List::Engines, {});
        QVERIFY(!SearchEngines::seedDefaults(fewSettings));
        // A deployed list is never replaced either.
        QTemporaryDir other;
        RegistryHive deployed(other.filePath("registry.db"));
        SearchEngines::write(deployed, SearchEngines::List::Engines, {{"Local", "http://l/%s"}});
        QVERIFY(!SearchEngines::seedDefaults(deployed));
        QCOMPARE(SearchEngines::read(deployed, SearchEngines::List::Engines).size(), 1);
    }

    void navigationRule_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("allow");
        QTest::addColumn<bool>("diverted");
        addRows<QString, QString, QString, bool, bool>({
            {"plain link", "", "A", "", false, false},
            {"_main", "", "A", "_main", false, true},
            {"_MAIN stays", "", "A", "_MAIN", false, false},
            {"base _main", "_main", "A", "", false, true},
            {"base _MAIN", "_MAIN", "A", "", false, false},
            {"base _main, own target", "_main", "A", "results", false, false},
            {"own _main over base", "_self", "A", "_main", false, true},
            {"allowed", "_main", "A", "_main", true, false},
            {"not a link", "_main", "INPUT", "", false, false},
            {"small a", "", "a", "_main", false, false},
        });
    }
    void navigationRule()
    {
        QFETCH(QString, base);
        QFETCH(QString, tag);
        QFETCH(QString, target);
        QFETCH(bool, allow);
        QFETCH(bool, diverted);
        auto* fake = new FakeWebBackend;
        SearchBrowser browser(fake, nullptr);
        QStringList divertedTo;
        browser.OnDivert = [&](const QString& url) { divertedTo << url; };
        fake->setHasDocument(true);
        reportState(*fake, linkState(base, tag, target));
        browser.setAllowNextSearchNavigation(allow);
        QCOMPARE(fake->beforeNavigate("http://127.0.0.1/r"), diverted);
        QCOMPARE(divertedTo, diverted ? QStringList{"http://127.0.0.1/r"} : QStringList{});
        QVERIFY(!browser.AllowNextSearchNavigation());
    }

    void navigationRuleLacksNothingToProceed()
    {
        auto* fake = new FakeWebBackend;
        SearchBrowser browser(fake, nullptr);
        int diverted = 0;
        browser.OnDivert = [&](const QString&) { ++diverted; };
        reportState(*fake, linkState("", "A", "_main"));
        QVERIFY(!fake->beforeNavigate("http://127.0.0.1/a")); // no document yet
        fake->setHasDocument(true);
        reportState(*fake, std::nullopt); // the page's script failed
        QVERIFY(!fake->beforeNavigate("http://127.0.0.1/b"));
        reportState(*fake, QVariantMap{{"hasElements", false}});
        QVERIFY(!fake->beforeNavigate("http://127.0.0.1/c"));
        reportState(*fake, linkState("", "A", "_main"));
        QVERIFY(fake->frameLoad("http://127.0.0.1/frame") != 0); // frames proceed
        for (NavigationKind kind : {NavigationKind::Form, NavigationKind::Redirect,
                                    NavigationKind::Reload, NavigationKind::History}) {
            fake->setNavigationKind(kind);
            QVERIFY(!fake->beforeNavigate("http://127.0.0.1/d"));
        }
        QCOMPARE(diverted, 0);
    }

    void lateAnswerHoldsTheNavigationBack()
    {
        auto* fake = new FakeWebBackend;
        SearchBrowser browser(fake, nullptr);
        QStringList diverted;
        browser.OnDivert = [&](const QString& url) { diverted << url; };
        fake->setHasDocument(true);
        fake->holdAnswers(true);
        reportState(*fake, linkState("", "A", "_MAIN"));
        QVERIFY(fake->beforeNavigate("http://127.0.0.1/stay")); // held back meanwhile
        fake->releaseAnswers();
        // Followed again as the pane's own, which the rule lets through.
        QCOMPARE(fake->navigations(), QStringList{"http://127.0.0.1/stay"});
        QVERIFY(!fake->beforeNavigate("http://127.0.0.1/stay"));

        reportState(*fake, linkState("_main", "A", ""));
        QVERIFY(fake->beforeNavigate("http://127.0.0.1/old"));
        QVERIFY(fake->beforeNavigate("http://127.0.0.1/new"));
        fake->releaseAnswers();
        QCOMPARE(diverted, QStringList{"http://127.0.0.1/new"}); // the later one counts
    }

    void paneCommands()
    {
        PaneBench b;
        b.pane.prepare();
        b.pane.prepare(); // once only
        QCOMPARE(b.fake->navigations(), (QStringList{"about:blank", b.host.home}));
        QVERIFY(b.fake->received("setHtml"));
        QVERIFY(b.fake->calls("setHtml").first().args.value(0).toString().contains(
            "Loading Search Engine..."));
        QVERIFY(b.pane.browser()->AllowNextSearchNavigation());

        b.fake->completeLoad("http://127.0.0.1/results", "Results");
        b.pane.setCurrentAsHome();
        QCOMPARE(b.host.home, "http://127.0.0.1/results");
        b.fake->clearCalls();
        b.pane.chooseSearch();
        QCOMPARE(b.fake->navigations(), QStringList{"file:///share/pages/searchbar.html"});
        QVERIFY(b.fake->received("setHtml"));
        b.host.location = QStringLiteral(" http://127.0.0.1/typed ");
        b.fake->clearCalls();
        b.pane.openLocation();
        QCOMPARE(b.fake->navigations(), QStringList{"http://127.0.0.1/typed"});
        b.fake->clearCalls();
        b.pane.newSearch();
        QCOMPARE(b.fake->navigations(), QStringList{"http://127.0.0.1/results"});
        QVERIFY(!b.fake->received("setHtml")); // New goes without the loading page
    }

    void searchFavorites()
    {
        PaneBench b;
        QVERIFY(b.favoriteCaptions().isEmpty());
        b.fake->completeLoad("http://127.0.0.1/results", "Results");
        b.host.favoriteName = std::nullopt; // Cancel adds nothing
        b.pane.addToSearchFavs();
        QCOMPARE(b.host.calls, QStringList{"name? Results"});
        QVERIFY(b.favoriteCaptions().isEmpty());
        b.host.favoriteName = QStringLiteral("Results");
        b.pane.addToSearchFavs();
        SearchEngines::write(b.hive, SearchEngines::List::SearchBar,
                             SearchEngines::read(b.hive, SearchEngines::List::SearchBar) +
                                 QList<Entry>{{"Other", "http://127.0.0.1/other"}});
        b.fake->completeLoad("http://127.0.0.1/results2", "Results 2");
        b.host.favoriteName = QStringLiteral("RESULTS"); // the same title: replaced in place
        b.pane.addToSearchFavs();
        QCOMPARE(SearchEngines::read(b.hive, SearchEngines::List::SearchBar),
                 (QList<Entry>{{"Results", "http://127.0.0.1/results2"},
                               {"Other", "http://127.0.0.1/other"}}));
        QCOMPARE(b.favoriteCaptions(), (QStringList{"Results", "Other"}));

        // Organize rebuilds only on OK.
        SearchEngines::write(b.hive, SearchEngines::List::SearchBar, {});
        b.pane.organizeSearchFavs();
        QCOMPARE(b.favoriteCaptions().size(), 2);
        b.host.organizeAnswer = true;
        b.pane.organizeSearchFavs();
        QVERIFY(b.favoriteCaptions().isEmpty());

        // A favorite is navigated to without the pane's own pass: the rule decides.
        b.fake->clearCalls();
        b.pane.openFavorite("http://127.0.0.1/fav");
        QCOMPARE(b.fake->navigations(), QStringList{"http://127.0.0.1/fav"});
        QVERIFY(!b.pane.browser()->AllowNextSearchNavigation());
    }

    void organizeDialog()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath("registry.db"));
        SearchEngines::write(hive, SearchEngines::List::Engines,
                             {{"A", "http://a/?q=%s"}, {"B", "http://b/"}, {"C", "http://c/"}});
        TfrmSearchEngine dialog(hive, TfrmSearchEngine::EnginesMode);
        QStringList told;
        dialog.setTell([&](QWidget*, const QString& message) { told << message; });
        QCOMPARE(dialog.windowTitle(), "Organize Search Engines");
        QVERIFY(!dialog.updateButton()->isEnabled() && !dialog.deleteButton()->isEnabled());
        QVERIFY(!dialog.editing());

        auto select = [&](int row) {
            dialog.list()->clearSelection();
            dialog.list()->topLevelItem(row)->setSelected(true);
        };
        select(0);
        QVERIFY(dialog.updateButton()->isEnabled() && dialog.upButton()->isEnabled());
        dialog.moveSelected(-1); // the first row cannot go up
        select(2);
        dialog.moveSelected(1); // nor the last down
        dialog.moveSelected(-1);
        QCOMPARE(dialog.list()->selectedItems().value(0)->text(0), "C");

        // Enter while a row is edited commits the row, never the dialog.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.insertClicked();
        QVERIFY(dialog.editing() && !dialog.insertButton()->isEnabled());
        QCOMPARE(dialog.commitButton()->text(), "Insert");
        dialog.titleEdit()->setText("D");
        QTest::keyClick(dialog.titleEdit(), Qt::Key_Return); // no location: nothing happens
        QVERIFY(dialog.editing() && dialog.isVisible());
        dialog.locationEdit()->setText("not an address");
        dialog.commitClicked();
        QVERIFY(dialog.editing());
        QCOMPARE(told.size(), 1);
        dialog.locationEdit()->setText("https://d.example/find?q=%s");
        if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS")) {
            dialog.grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/dialog.png");
        }
        QTest::keyClick(dialog.locationEdit(), Qt::Key_Enter);
        QVERIFY(!dialog.editing() && dialog.isVisible());
        QCOMPARE(dialog.list()->topLevelItemCount(), 4);

        select(1);
        dialog.updateClicked();
        QCOMPARE(dialog.commitButton()->text(), "Update");
        QCOMPARE(dialog.locationEdit()->text(), "http://c/");
        dialog.titleEdit()->setText("a"); // the same title as A: collapses when written
        dialog.commitClicked();
        select(0);
        dialog.list()->topLevelItem(2)->setSelected(true);
        dialog.updateClicked(); // two rows selected: no update
        QVERIFY(!dialog.editing());
        dialog.deleteClicked(); // the first selected row
        QCOMPARE(dialog.entries(), (QList<Entry>{{"a", "http://c/"},
                                                 {"B", "http://b/"},
                                                 {"D", "https://d.example/find?q=%s"}}));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(SearchEngines::read(hive, SearchEngines::List::Engines), dialog.entries());

        // Emptied and OK: no list left; Cancel writes nothing.
        TfrmSearchEngine favorites(hive, TfrmSearchEngine::SearchBarMode);
        QCOMPARE(favorites.windowTitle(), "Organize Search Bar");
        favorites.accept();
        QVERIFY(!TRegistry(hive).keyExists(TPVOptions::CurrentVersionKey() + "\\Search Bar"));
        TfrmSearchEngine cancelled(hive, TfrmSearchEngine::EnginesMode);
        cancelled.list()->topLevelItem(0)->setSelected(true);
        cancelled.deleteClicked();
        cancelled.reject();
        QCOMPARE(SearchEngines::read(hive, SearchEngines::List::Engines).size(), 3);
    }
};

PELVANE_TEST_MAIN(TestSearch)
#include "tst_search.moc"
