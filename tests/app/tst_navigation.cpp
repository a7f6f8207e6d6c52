#include "address/AddressBand.h"
#include "address/AddressCompleter.h"
#include "address/PVComboBox.h"
#include "address/TypedAddresses.h"
#include "settings/dialogs/InternetOptions.h"
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "history/HistoryStore.h"
#include "platform/web/OfflineMode.h"
#include "platform/web/WebBrowser.h"
#include "address/window/AddressCommands.h"
#include "settings/window/InternetOptionsCommands.h"
#include "support/ActiveWindow.h"
#include "search/window/SearchCommands.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace {

using Fixture = MainWindowFixture;

QStringList storedTypedAddresses(RegistryHive& hive)
{
    QStringList list;
    TypedAddresses::LoadTypedAddresses(list, 100, hive);
    return list;
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- Opening addresses ----------------------------------------------------------------

    void typedAddressGoesToTheActiveTabAndIsRememberedWhenItStarts()
    {
        Fixture w;
        w.settleBlank();
        TPVComboBox* box = w->addressBand()->box();
        box->setEditText(QStringLiteral("example"));
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Fixture::lastNavigation(w->GetActivePage()),
                 QStringLiteral("http://www.example.com"));
        QVERIFY(w->GetActivePage()->FocusOnLoad());
        QCOMPARE(w->tabs().size(), 1);
        w.activeFake()->beforeNavigate(QStringLiteral("http://www.example.com/"));
        QCOMPARE(box->items(), QStringList{"http://www.example.com/"});
        // The application keeps the last key's modifiers: Ctrl let go, as the user would, so
        // that a later Refresh is not taken for a complete one.
        QTest::keyClick(box, Qt::Key_End);

        // Saved at exit, there at the next start.
        w.window.reset();
        QCOMPARE(storedTypedAddresses(w.hive), QStringList{"http://www.example.com/"});
    }

    void goButtonFollowsShowGo()
    {
        Fixture hidden;
        QVERIFY(!hidden->addressBand()->goButton()->isVisibleTo(hidden.get()));
        Fixture w({.before = [](TPVOptions& o) { o.SetShowGo(true); }});
        QToolButton* go = w->addressBand()->goButton();
        QVERIFY(!go->isHidden());
        QCOMPARE(go->width(), 23);
        QCOMPARE(go->text(), QStringLiteral("Go"));
    }

    void ie4ModeNeverUsesTheHistoryList()
    {
        Fixture w({.before = [](TPVOptions& o) {
            TRegistry reg(o.hive());
            reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
            QVERIFY(reg.openKey(QStringLiteral("\\Software\\Microsoft\\Internet Explorer"), true));
            reg.writeString(QStringLiteral("Version"), QStringLiteral("4.72.3110.8"));
        }});
        QVERIFY(w->IE4Mode());
        QCOMPARE(w->settings().autoCompleteStyle, int(TPVOptions::StyleIE4));
        QVERIFY(!w->addressBand()->completer()->isEnabled());
        w->addressCommands()->SetAutoCompleteStyle(TPVOptions::StyleIE5);
        QCOMPARE(w->settings().autoCompleteStyle, int(TPVOptions::StyleIE4));
        w->search()->GoSearch(); // does nothing, and must not fail
    }

    // --- Commands ---------------------------------------------------------------------------

    void textSizeChecksFollowTheActiveTab()
    {
        Fixture w;
        w.activeFake()->setHasDocument(true);
        w->action(ActionId::actFontLargest)->trigger();
        QCOMPARE(w.activeFake()->zoomFactor(), 1.3);
        QVERIFY(w->action(ActionId::actFontLargest)->isChecked());
        w->action(ActionId::actFontSmaller)->trigger();
        QVERIFY(!w->action(ActionId::actFontLargest)->isChecked());
        QVERIFY(w->action(ActionId::actFontSmaller)->isChecked());

        w->NewTab();
        w.activeFake()->setHasDocument(true);
        auto* font = w->findChild<QToolButton*>(QStringLiteral("tbFont"));
        QVERIFY(font);
        font->click(); // the button itself sets Medium
        QCOMPARE(w.activeFake()->zoomFactor(), 1.0);
        QMetaObject::invokeMethod(font->menu(), "aboutToShow");
        QVERIFY(w->action(ActionId::actFontMedium)->isChecked());
        QVERIFY(!w->action(ActionId::actFontSmaller)->isChecked());
    }

    void refreshAndStopReachEveryTab()
    {
        Fixture w;
        w->NewTab();
        w->runCommand(KeyDispatcher::Command::RefreshComplete);
        QVERIFY(w.activeFake()->received(QStringLiteral("refreshCompletely")));
        w->runCommand(KeyDispatcher::Command::RefreshAll);
        w->runCommand(KeyDispatcher::Command::StopAll);
        for (TBrowserTab* tab : w->tabs()) {
            QVERIFY(Fixture::fakeOf(tab)->received(QStringLiteral("refresh")));
            QVERIFY(Fixture::fakeOf(tab)->received(QStringLiteral("stop")));
        }
    }

    void editCommandsGoToTheAddressBoxOrThePage()
    {
        Fixture w;
        w->show();
        QVERIFY(activateForKeys(w.window.get()));
        w.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/p"), QStringLiteral("P"));
        TPVComboBox* box = w->addressBand()->box();
        box->setFocus();
        box->setEditText(QStringLiteral("http://127.0.0.1/typed"));
        box->lineEdit()->selectAll();
        w->action(ActionId::actCopy)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://127.0.0.1/typed"));
        w->action(ActionId::actCut)->trigger();
        QVERIFY(box->currentText().isEmpty());
        w->action(ActionId::actPaste)->trigger();
        QCOMPARE(box->currentText(), QStringLiteral("http://127.0.0.1/typed"));
        QVERIFY(w.activeFake()->commands().isEmpty());

        w->GetActivePage()->FocusBrowser();
        w->GetActivePage()->Browser()->setFocus();
        w->action(ActionId::actCopy)->trigger();
        w->action(ActionId::actPaste)->trigger();
        QCOMPARE(w.activeFake()->commands(),
                 (QList<DocumentCommand>{DocumentCommand::Copy, DocumentCommand::Paste}));

        // Any other field of the window (a find box, a field of a page's dialog) too.
        auto* field = new QLineEdit(QStringLiteral("term"), w->statusBar());
        field->show();
        field->setFocus();
        w->action(ActionId::actSelectAll)->trigger();
        w->action(ActionId::actCut)->trigger();
        QCOMPARE(field->text(), QString());
        w->action(ActionId::actPaste)->trigger();
        QCOMPARE(field->text(), QStringLiteral("term"));
        QCOMPARE(w.activeFake()->commands().size(), 2);
    }

    void workOfflineIsTheSharedSwitch()
    {
        Fixture w;
        QAction* item = w->action(ActionId::actWorkOffline);
        QVERIFY(item->isEnabled());
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(OfflineMode::isOffline(w.hive));
        TRegistry reg(w.hive);
        QVERIFY(reg.openKeyReadOnly(OfflineMode::key()));
        QCOMPARE(reg.readInteger(QStringLiteral("GlobalUserOffline")), 1);

        // Another copy goes online: the check follows when the File menu opens.
        OfflineMode::setOffline(false, w.hive);
        QMenu* file = w->findChild<QMenu*>(QStringLiteral("mnuFile"));
        QVERIFY(file);
        Q_EMIT file->aboutToShow();
        QVERIFY(!item->isChecked());

        // While offline, requests for the network are refused and nothing else is.
        QVERIFY(OfflineRequestInterceptor::Refuses(QUrl(QStringLiteral("https://a.test/")), true));
        QVERIFY(OfflineRequestInterceptor::Refuses(QUrl(QStringLiteral("FTP://a.test/")), true));
        QVERIFY(!OfflineRequestInterceptor::Refuses(QUrl(QStringLiteral("http://a.test/")), false));
        QVERIFY(
            !OfflineRequestInterceptor::Refuses(QUrl(QStringLiteral("file:///tmp/x.html")), true));
        QVERIFY(
            !OfflineRequestInterceptor::Refuses(QUrl(QStringLiteral("data:text/html,x")), true));
        QVERIFY(OfflineMode::pageHtml(QStringLiteral("http://a.test/<b>")).contains("&lt;b&gt;"));
    }

    void internetOptionsKeepTheirValuesInTheHive()
    {
        Fixture w;
        const TWebBrowser* browser = w->GetActivePage()->Browser();
        InternetOptionValues values = InternetOptionValues::load(w.hive);
        QCOMPARE(values, InternetOptionValues{});
        values.startPage = QStringLiteral("http://127.0.0.1/home");
        values.searchPage = QStringLiteral("http://127.0.0.1/find");
        values.daysToKeep = 3;
        values.save(w.hive);
        QCOMPARE(InternetOptionValues::load(w.hive), values);
        QCOMPARE(browser->startPage(), values.startPage); // what Home opens
        QCOMPARE(browser->searchPage(), values.searchPage);

        // An empty page is the shipped one again.
        values.startPage.clear();
        values.save(w.hive);
        QVERIFY(browser->startPage().endsWith(QLatin1String("pages/start.html")));
    }

    // What the history keeps no longer goes in the background: at start, and after
    // Internet Options.
    void historyExpiresToTheDaysKept()
    {
        Fixture w;
        const QString file = w.engine.historyFile();
        const QDateTime now = QDateTime::currentDateTime();
        {
            HistoryStore store(file);
            store.recordVisit(QStringLiteral("http://old.test/"), QStringLiteral("Old"),
                              now.addDays(-5));
            store.recordVisit(QStringLiteral("http://new.test/"), QStringLiteral("New"),
                              now.addDays(-1));
        }
        InternetOptionValues values = InternetOptionValues::load(w.hive);
        values.daysToKeep = 3;
        values.save(w.hive);
        w->internetOptions()->expireHistory();
        QTRY_COMPARE(HistoryStore(file).pageCount(), 1);
        QVERIFY(HistoryStore(file).entry(QStringLiteral("http://new.test/")));
    }

    void internetOptionsDialogClearsThroughItsActions()
    {
        int historyCleared = 0;
        int cacheCleared = 0;
        TfrmInternetOptions::Actions actions;
        actions.currentPage = QStringLiteral("http://127.0.0.1/current");
        actions.clearHistory = [&historyCleared] { return ++historyCleared > 0; };
        actions.clearCacheAndCookies = [&cacheCleared] { ++cacheCleared; };
        QStringList asked;
        bool answer = false;
        actions.confirm = [&](const QString& question) {
            asked << question;
            return answer;
        };
        RegistryHive hive(QDir(qEnvironmentVariable("PELVANE_HOME")).filePath("options.db"));
        TfrmInternetOptions dialog(hive, actions);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdUseCurrent"))->click();
        QCOMPARE(dialog.values().startPage, QStringLiteral("http://127.0.0.1/current"));

        dialog.clearHistoryButton()->click();
        QCOMPARE(historyCleared, 0);
        answer = true;
        dialog.clearHistoryButton()->click();
        QCOMPARE(historyCleared, 1);
        dialog.clearCacheButton()->click();
        QCOMPARE(cacheCleared, 1);
        QCOMPARE(asked, (QStringList{"Delete all the pages in your history folder?",
                                     "Delete all the pages in your history folder?",
                                     "Delete all temporary files and all cookies?"}));
        dialog.accept();
        QCOMPARE(InternetOptionValues::load(hive).startPage,
                 QStringLiteral("http://127.0.0.1/current"));

        TfrmInternetOptions without(hive, {});
        QVERIFY(!without.clearCacheButton()->isEnabled());
        QVERIFY(!without.clearHistoryButton()->isEnabled());
    }

    // --- Full screen --------------------------------------------------------------------

    void fullScreenIsSavedAndRestored()
    {
        Fixture w;
        w->setWindowState(Qt::WindowMaximized);
        w->runCommand(KeyDispatcher::Command::FullScreen);
        w.window.reset();
        QVERIFY(w.options().GetFullScreen());
        QVERIFY(w.options().GetMaximized()); // the placement from before
        Fixture again({.before = [](TPVOptions& o) {
            o.SetFullScreen(true);
            o.SetMaximized(true);
        }});
        QVERIFY(again->FullScreen());
        QVERIFY(again->windowState() & Qt::WindowFullScreen);
        again->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(again->windowState() & Qt::WindowMaximized);
    }
};

PELVANE_TEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
