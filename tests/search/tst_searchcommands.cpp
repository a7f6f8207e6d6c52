#include "address/AddressBand.h"
#include "commands/MainActions.h"
#include "platform/Paths.h"
#include "search/SearchBrowser.h"
#include "search/SearchNavigation.h"
#include "search/SearchPane.h"
#include "search/window/SearchCommands.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "sidebar/SideBar.h"
#include "support/FakeDesktop.h"
#include "support/FakeSideBarHost.h"
#include "support/ScriptedWindowQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMenu>

namespace {

const QString Engine = QStringLiteral("http://127.0.0.1:9/find?q=%s&from=box");

// Searching on a tab set, a side bar and an address band of their own, with the window's
// settings as a test sets them and its questions answered by a script.
struct Search
{
    Search()
    {
        engines.addAction(actions[ActionId::mnuOrganizeSearchEngines]);
        engines.addSeparator();
    }
    void make(bool ie4Mode = false)
    {
        commands = std::make_unique<SearchCommands>(
            SearchCommands::Parts{set.window, set.tabs, sideBar, address, actions, engines,
                                  questions, settings, set.hive, set.engine, ie4Mode});
    }
    FakeWebBackend* paneFake() const
    {
        return dynamic_cast<FakeWebBackend*>(commands->pane()->browser()->backend());
    }

    TabSetFixture set;
    WindowSettings settings;
    MainActions actions{nullptr};
    QMenu engines;
    FakeSideBarHost sideBarHost;
    SideBar sideBar{sideBarHost,
                    set.hive,
                    {set.engine.historyFile(), Paths::groupsFolder()},
                    nullptr,
                    &set.window};
    AddressBand address{set.hive, set.engine.historyFile(), &set.window};
    ScriptedWindowQuestions questions;
    std::unique_ptr<SearchCommands> commands;
};

} // namespace

class TestSearchCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Words go to the first engine, encoded, and are no typed address; addresses, and
    // schemes that the engine or a program of the desktop opens, go as typed.
    void typedText()
    {
        FakeDesktop desktop;
        desktop.client(QStringLiteral("torrents"), QStringLiteral("x-scheme-handler/magnet"));
        // Also one the user chose as the default for its scheme, whose entry does not list it.
        desktop.entry(QStringLiteral("chat.desktop"),
                      QStringLiteral("Name=Chat\nExec=%1 %u\n").arg(desktop.program("chat")));
        TestFiles::writeFile(desktop.mimeAppsList(),
                             "[Default Applications]\nx-scheme-handler/irc=chat.desktop\n");
        Search s;
        TPVOptions(s.set.hive)
            .SetSearchEngines({"Local=" + Engine, "Other=http://127.0.0.1:9/other?q=%s"});
        s.make();
        const std::pair<QString, QString> rows[] = {
            {"what is 2+2", "http://127.0.0.1:9/find?q=what%20is%202%2B2&from=box"},
            {"localhost:8080", "localhost:8080"},
            {"magnet:?xt=urn:btih:c12f", "magnet:?xt=urn:btih:c12f"},
            {"irc:libera", "irc:libera"},
            {"define:word", "http://127.0.0.1:9/find?q=define%3Aword&from=box"},
            {"http://127.0.0.1/page", "http://127.0.0.1/page"},
        };
        for (const auto& [typed, opened] : rows) {
            s.address.setAddressTyped(true);
            QCOMPARE(s.commands->addressForTyped(typed), opened);
            QCOMPARE(s.address.AddressTyped(), typed == opened);
        }
        // Searching from the address box switched off, or no engine to search with: as typed.
        s.settings.searchFromAddressBar = false;
        QCOMPARE(s.commands->addressForTyped("two words"), "two words");
        s.settings.searchFromAddressBar = true;
        TPVOptions(s.set.hive).SetSearchEngines({});
        QCOMPARE(s.commands->addressForTyped("two words"), "two words");
        QVERIFY(s.address.AddressTyped());
    }

    // The Search menu is read at every drop-down; an engine opens without its query mark, as
    // "FavoritesNewWin" says; Organize reads the menu again when the dialog is accepted.
    void engineMenu()
    {
        Search s;
        s.settings.newTabFlags.favorites = false;
        s.make();
        TPVOptions(s.set.hive).SetSearchEngines({});
        Q_EMIT s.engines.aboutToShow();
        QCOMPARE(s.engines.actions().size(), 2); // Organize and the separator
        TPVOptions(s.set.hive).SetSearchEngines({"Local=" + Engine});
        Q_EMIT s.engines.aboutToShow();
        QCOMPARE(s.engines.actions().size(), 3);
        QCOMPARE(s.engines.actions().last()->text(), "Local");
        s.set.activeFake()->completeLoad(QStringLiteral("about:blank"), {});
        s.engines.actions().last()->trigger();
        QCOMPARE(s.set->tabs().size(), 1);
        QCOMPARE(TabSetFixture::lastNavigation(s.set->GetActivePage()),
                 "http://127.0.0.1:9/find?q=&from=box");

        TPVOptions(s.set.hive).SetSearchEngines({"Local=" + Engine, "More=" + Engine});
        s.actions[ActionId::mnuOrganizeSearchEngines]->trigger(); // cancelled
        QCOMPARE(s.questions.asked.size(), 1);
        QCOMPARE(s.engines.actions().size(), 3);
        s.questions.onDialog = [](QDialog& dialog) { dialog.accept(); };
        s.actions[ActionId::mnuOrganizeSearchEngines]->trigger();
        QCOMPARE(s.questions.asked, QStringList(2, s.questions.asked.first()));
        QCOMPARE(s.engines.actions().size(), 4);
    }

    // A first run starts with engines of its own, so that the address box can search.
    void aFirstRunHasEngines()
    {
        Search s;
        s.make();
        Q_EMIT s.engines.aboutToShow();
        QVERIFY(s.engines.actions().size() > 2);
        QVERIFY(s.commands->addressForTyped("two words") != "two words");
    }

    // Go Search shows the pane and loads its home once; "Set Current as Home" goes to the
    // window's settings; a result for the tabs opens in a new tab ("SearchNewWin"), a window
    // the pane's page asks for opens in front.
    void paneOpensInTheTabs()
    {
        Search s;
        s.settings.searchBar = "http://127.0.0.1:9/bar";
        s.settings.newTabFlags.search = true;
        s.make();
        s.set.window.resize(800, 500);
        s.set.window.show();
        s.commands->GoSearch();
        QCOMPARE(s.sideBar.currentPane(), SideBar::Pane::Search);
        FakeWebBackend* pane = s.paneFake();
        QCOMPARE(pane->navigations(), (QStringList{"about:blank", "http://127.0.0.1:9/bar"}));
        s.sideBar.showPane(SideBar::Pane::Favorites);
        s.commands->GoSearch();
        QCOMPARE(pane->navigations().size(), 2);

        pane->completeLoad("http://127.0.0.1:9/other", "Other");
        s.commands->pane()->setCurrentAsHome();
        QCOMPARE(s.settings.searchBar, "http://127.0.0.1:9/other");
        QCOMPARE(s.commands->SearchHome(), "http://127.0.0.1:9/other");

        s.set.activeFake()->completeLoad("http://127.0.0.1:9/reading", "Reading");
        pane->setScriptHandler([](const QString& script, const QVariantList&) -> QVariant {
            if (script == SearchNavigation::paneLinksScript())
                return true;
            return QVariantMap{
                {"hasElements", true}, {"activeTag", "A"}, {"activeTarget", "_main"}};
        });
        QVERIFY(pane->beforeNavigate("http://127.0.0.1:9/result"));
        QCOMPARE(s.set->tabs().size(), 2);
        QCOMPARE(TabSetFixture::lastNavigation(s.set->tabs().at(1)), "http://127.0.0.1:9/result");

        s.set->activate(s.set->tabs().first());
        QVERIFY(!s.set->OpenNewInForeground());
        const FakeWebBackend::NewWindow opened = pane->openWindow("http://127.0.0.1:9/popup");
        QVERIFY(!opened.cancel && opened.browser);
        QCOMPARE(s.set->tabs().size(), 3);
        QTRY_COMPARE(s.set->GetActivePage(), s.set->tabs().at(1)); // in front

    }

    // The pane's questions go to the window's: Open asks for a location among the typed
    // addresses, a favourite's name is asked, and what the pane says is told.
    void paneQuestions()
    {
        Search s;
        s.make();
        QVERIFY(!s.commands->AskLocation()); // cancelled
        QCOMPARE(s.questions.asked.last(), "dialog frmOpen");
        s.questions.onDialog = [](QDialog& dialog) { dialog.accept(); };
        QCOMPARE(s.commands->AskFavoriteName("Proposed").value_or(QString()), "Proposed");
        QCOMPARE(s.questions.asked.last(), "dialog dlgSearchBarFavorite");
        s.commands->Tell("Nothing found");
        QCOMPARE(s.questions.told, QStringList{"Nothing found"});
    }

    // In the older engine's mode the side bar has no search page: Go Search does nothing.
    void noPaneInTheOlderMode()
    {
        Search s;
        s.make(true);
        s.commands->GoSearch();
        QVERIFY(!s.sideBar.isVisibleTo(&s.set.window));
        QVERIFY(!s.sideBar.SearchLoaded());
    }
};

PELVANE_TEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
