#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "search/SearchBrowser.h"
#include "search/SearchNavigation.h"
#include "search/SearchPane.h"
#include "sidebar/SideBar.h"
#include "support/FakeDesktop.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString Engine = QStringLiteral("http://127.0.0.1:9/find?q=%s&from=box");

FakeWebBackend* paneFake(const MainWindowFixture& window)
{
    return dynamic_cast<FakeWebBackend*>(window->searchPane()->browser()->backend());
}

// Types `text` into the address box and presses Enter.
void enter(MainWindowFixture& window, const QString& text)
{
    window->addressBand()->box()->setEditText(text);
    window->addressBand()->AddressEntered(Qt::NoModifier);
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Words go to the first engine, encoded; addresses go as typed; the option turns it off.
    void searchFromTheAddressBox()
    {
        MainWindowFixture window({.before = [](TPVOptions& o) {
            o.SetSearchEngines({"Local=" + Engine, "Other=http://127.0.0.1:9/other?q=%s"});
        }});
        enter(window, "what is 2+2");
        QCOMPARE(window.lastNavigation(window->GetActivePage()),
                 "http://127.0.0.1:9/find?q=what%20is%202%2B2&from=box");
        window.activeFake()->startLoad("http://127.0.0.1:9/find?q=what%20is%202%2B2&from=box");
        QVERIFY(window->addressBand()->box()->items().isEmpty()); // not a typed address
        enter(window, "localhost:8080");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "localhost:8080");
        // A scheme goes as typed only where the engine or a program of the desktop opens it.
        FakeDesktop desktop;
        desktop.client(QStringLiteral("torrents"), QStringLiteral("x-scheme-handler/magnet"));
        enter(window, "magnet:?xt=urn:btih:c12f");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "magnet:?xt=urn:btih:c12f");
        // Also one the user chose as the default for its scheme, whose entry does not list it.
        desktop.entry(QStringLiteral("chat.desktop"),
                      QStringLiteral("Name=Chat\nExec=%1 %u\n").arg(desktop.program("chat")));
        TestFiles::writeFile(desktop.mimeAppsList(),
                             "[Default Applications]\nx-scheme-handler/irc=chat.desktop\n");
        enter(window, "irc:libera");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "irc:libera");
        enter(window, "define:word");
        QCOMPARE(window.lastNavigation(window->GetActivePage()),
                 "http://127.0.0.1:9/find?q=define%3Aword&from=box");

        // The option on the Address Bar page, on by default.
        window.questions.onDialog = [](QDialog& dialog) {
            auto* box = dialog.findChild<QCheckBox*>("chkSearchFromAddressBar");
            QVERIFY(box && box->isChecked());
            box->setChecked(false);
            if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS")) {
                auto* pages = dialog.findChild<QTabWidget*>();
                pages->setCurrentWidget(box->parentWidget());
                dialog.show();
                dialog.grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/options.png");
            }
            dialog.findChild<QPushButton*>("cmdOK")->click();
        };
        window->action(ActionId::actOptions)->trigger();
        QVERIFY(!window.options().GetSearchFromAddressBar());
        enter(window, "two words");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "two words");
    }

    // The Search menu is read at every drop-down; an engine opens without its query mark.
    void engineMenu()
    {
        MainWindowFixture window;
        QMenu* menu = window->menu(MenuId::SearchEngines);
        Q_EMIT menu->aboutToShow();
        QCOMPARE(menu->actions().size(), 2); // Organize and the separator
        QCOMPARE(menu->actions().first()->text(), "&Organize Search Engines...");
        window.options().SetSearchEngines({"Local=" + Engine});
        Q_EMIT menu->aboutToShow();
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions().last()->text(), "Local");
        window.settleBlank();
        menu->actions().last()->trigger();
        QCOMPARE(window.lastNavigation(window->GetActivePage()),
                 "http://127.0.0.1:9/find?q=&from=box");
    }

    // Go Search shows the pane and loads its home once; a result for the tabs opens in a new
    // tab ("SearchNewWin"), a window the pane's page asks for opens in front.
    void paneInTheWindow()
    {
        MainWindowFixture window(
            {.before = [](TPVOptions& o) { o.SetSearchBar("http://127.0.0.1:9/bar"); }});
        window.show();
        window->action(ActionId::actGoSearch)->trigger();
        QCOMPARE(window->sideBar()->currentPane(), SideBar::Pane::Search);
        FakeWebBackend* pane = paneFake(window);
        QCOMPARE(pane->navigations(), (QStringList{"about:blank", "http://127.0.0.1:9/bar"}));
        window->sideBar()->showPane(SideBar::Pane::Favorites);
        window->action(ActionId::actGoSearch)->trigger();
        QCOMPARE(pane->navigations().size(), 2);

        pane->completeLoad("http://127.0.0.1:9/bar", "Bar");
        window.activeFake()->completeLoad("http://127.0.0.1:9/reading", "Reading");
        pane->setScriptHandler([](const QString& script, const QVariantList&) -> QVariant {
            if (script == SearchNavigation::paneLinksScript())
                return true;
            return QVariantMap{
                {"hasElements", true}, {"activeTag", "A"}, {"activeTarget", "_main"}};
        });
        QVERIFY(pane->beforeNavigate("http://127.0.0.1:9/result"));
        QCOMPARE(window->tabs().size(), 2);
        QCOMPARE(window.lastNavigation(window->tabs().at(1)), "http://127.0.0.1:9/result");

        window->pages()->setActivePage(window->tabs().first());
        const FakeWebBackend::NewWindow opened = pane->openWindow("http://127.0.0.1:9/popup");
        QVERIFY(!opened.cancel && opened.browser);
        QCOMPARE(window->tabs().size(), 3);
        QTRY_COMPARE(window->GetActivePage(), window->tabs().at(1)); // in front
        QVERIFY(!window->settings().openNewInForeground);

        // "Set Current as Home" is written at exit.
        window->searchPane()->setCurrentAsHome();
        window->close();
        QCOMPARE(window.options().GetSearchBar(), "http://127.0.0.1:9/bar");
    }
};

PELVANE_TEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
