#include "address/AddressCompleter.h"
#include "address/TypedAddresses.h"
#include "app/DroppedAddress.h"
#include "app/EditWith.h"
#include "app/InternetOptionsDialog.h"
#include "app/LaunchImage.h"
#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "app/NavigationRules.h"
#include "app/OpenDialog.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "platform/web/OfflineMode.h"
#include "platform/web/WebBrowser.h"
#include "support/FakeWebBackend.h"
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

using NavigationRules::OpenTarget;
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)
Q_DECLARE_METATYPE(NavigationRules::OpenTarget)

namespace {

const QString Blank = QStringLiteral("about:blank");

// A main window on fake engines.
struct Window
{
    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    std::unique_ptr<TfrmMain> window;
    int clearedCaches = 0;

    Window()
    {
        MainWindowOptions options;
        options.backends = FakeWebBackend::factory(made);
        options.clearCacheAndCookies = [this] { ++clearedCaches; };
        window = std::make_unique<TfrmMain>(options);
    }
    TfrmMain* operator->() const { return window.get(); }
    static FakeWebBackend* fakeOf(TBrowserTab* tab)
    {
        return static_cast<FakeWebBackend*>(tab->Browser()->backend());
    }
    FakeWebBackend* activeFake() const { return fakeOf(window->GetActivePage()); }
    static QString lastNavigation(TBrowserTab* tab)
    {
        const QStringList all = fakeOf(tab)->navigations();
        return all.isEmpty() ? QString() : all.last();
    }
    // The first tab shows a blank page and is idle.
    void settleBlank() const { activeFake()->completeLoad(Blank, QString()); }
};

void clearSettings()
{
    TRegistry reg;
    reg.deleteKey(QStringLiteral("\\Software\\Brenmoor"));
    reg.deleteKey(TypedAddresses::key());
    reg.deleteKey(OfflineMode::key());
    reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
    reg.deleteKey(QStringLiteral("\\Software\\Microsoft\\Internet Explorer"));
}

// Answers the next message box with `button`. The click is queued, so that it reaches the
// box from inside its own event loop even when the box is found while it is being shown.
void answerNextBox(QMessageBox::StandardButton button)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        QMetaObject::invokeMethod(box->button(button), &QAbstractButton::click,
                                  Qt::QueuedConnection);
    });
    poll->start();
}

QStringList storedTypedAddresses()
{
    QStringList list;
    TypedAddresses::LoadTypedAddresses(list, 100, RegistryHive::userHive());
    return list;
}

void sendDrop(QWidget* target, const QPoint& at, QMimeData* data)
{
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return path;
}

QString home(const QString& name)
{
    return QDir(qEnvironmentVariable("PELVANE_HOME")).filePath(name);
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearSettings(); }

    // --- Pure decisions -------------------------------------------------------------------

    void domainCompletion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("ctrlPost"); // empty: the default
        QTest::addColumn<QString>("expected");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("plain Enter: unchanged") << "word" << Qt::KeyboardModifiers() << ""
                                                << "word";
        QTest::newRow("Ctrl") << "word" << ctrl << ""
                              << "http://www.word.com";
        QTest::newRow("Shift") << "word" << shift << ""
                               << "http://www.word.net";
        QTest::newRow("Ctrl+Shift") << "word" << both << ""
                                    << "http://www.word.org";
        QTest::newRow("www. still gets the whole prefix") << "www.word" << ctrl << ""
                                                          << "http://www.www.word.com";
        QTest::newRow("prefix already there") << "http://www.word" << ctrl << ""
                                              << "http://www.word.com";
        QTest::newRow("prefix in capitals goes in front again") << "HTTP://WWW.word" << ctrl << ""
                                                                << "http://www.HTTP://WWW.word.com";
        QTest::newRow("ends in .com/: prefix only") << "word.com/" << ctrl << ""
                                                    << "http://www.word.com/";
        QTest::newRow("another built-in ending counts too") << "word.org" << shift << ""
                                                            << "http://www.word.org";
        QTest::newRow("built-in endings are case-sensitive") << "word.COM" << ctrl << ""
                                                             << "http://www.word.COM.com";
        QTest::newRow("custom suffix already there") << "word.de" << ctrl << ".de"
                                                     << "http://www.word.de";
        QTest::newRow("custom suffix and /") << "word.de/" << ctrl << ".de"
                                             << "http://www.word.de/";
        QTest::newRow("custom suffix, other case") << "word.DE" << ctrl << ".de"
                                                   << "http://www.word.DE.de";
    }

    void domainCompletion()
    {
        QFETCH(QString, text);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, ctrlPost);
        QFETCH(QString, expected);
        NavigationRules::DomainCompletion strings;
        if (!ctrlPost.isEmpty())
            strings.ctrlPost = ctrlPost;
        QCOMPARE(NavigationRules::CompleteDomain(text, modifiers, strings), expected);
    }

    void openTarget_data()
    {
        QTest::addColumn<bool>("wish");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<OpenTarget>("target");
        const QString page = QStringLiteral("http://127.0.0.1/");
        QTest::newRow("no wish") << false << false << page << false << OpenTarget::ActiveTab;
        QTest::newRow("wish") << true << false << page << false << OpenTarget::NewTab;
        QTest::newRow("Shift inverts the wish")
            << true << true << page << false << OpenTarget::ActiveTab;
        QTest::newRow("Shift makes one") << false << true << page << false << OpenTarget::NewTab;
        QTest::newRow("idle blank tab reused")
            << true << false << Blank << false << OpenTarget::ReuseBlankTab;
        QTest::newRow("loading blank tab is not")
            << true << false << Blank << true << OpenTarget::NewTab;
        QTest::newRow("blank compared exactly")
            << true << false << "About:Blank" << false << OpenTarget::NewTab;
    }

    void openTarget()
    {
        QFETCH(bool, wish);
        QFETCH(bool, shift);
        QFETCH(QString, address);
        QFETCH(bool, busy);
        QFETCH(OpenTarget, target);
        QCOMPARE(NavigationRules::ChooseOpenTarget(wish, shift, true, address, busy), target);
        QCOMPARE(NavigationRules::ChooseOpenTarget(wish, shift, false, address, busy),
                 OpenTarget::NewTab);
    }

    // --- Opening addresses ----------------------------------------------------------------

    void openAddressReusesAnIdleBlankTab()
    {
        Window w;
        w.settleBlank();
        const QString a = QStringLiteral("http://127.0.0.1/a");
        w->OpenAddress(a, true, false);
        QCOMPARE(w->tabs().size(), 1);
        QCOMPARE(w->GetActivePage()->HomeUrl(), a);

        // Loading: a new tab, opened as its home.
        w.activeFake()->startLoad(a);
        const QString b = QStringLiteral("http://127.0.0.1/b");
        w->OpenAddress(b, true, false);
        QCOMPARE(w->tabs().size(), 2);
        QCOMPARE(w->GetActivePage()->HomeUrl(), b);

        // Shift held: the wish is inverted and the active tab navigates, its home kept.
        const QString c = QStringLiteral("http://127.0.0.1/c");
        w->OpenAddress(c, true, true);
        QCOMPARE(w->tabs().size(), 2);
        QCOMPARE(Window::lastNavigation(w->GetActivePage()), c);
        QCOMPARE(w->GetActivePage()->HomeUrl(), b);
        w->OpenAddress(QString(), true, false); // nothing
        QCOMPARE(w->tabs().size(), 2);
    }

    void enterCompletesCommitsAndRemembers()
    {
        Window w;
        w.settleBlank();
        TPVComboBox* box = w->addressBox();
        box->setEditText(QStringLiteral("example"));
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Window::lastNavigation(w->GetActivePage()),
                 QStringLiteral("http://www.example.com"));
        QVERIFY(w->AddressTyped());
        QVERIFY(w->GetActivePage()->FocusOnLoad());

        // What is remembered is the address the tab actually goes to.
        w.activeFake()->beforeNavigate(QStringLiteral("http://www.example.com/"));
        QVERIFY(!w->AddressTyped());
        QCOMPARE(box->items(), QStringList{"http://www.example.com/"});
        QCOMPARE(box->currentText(), QStringLiteral("http://www.example.com/"));

        // A link followed afterwards is not remembered.
        w.activeFake()->beforeNavigate(QStringLiteral("http://127.0.0.1/link"));
        QCOMPARE(box->items().size(), 1);

        // Plain Enter commits the text as it is.
        box->setEditText(QStringLiteral("127.0.0.1/plain"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(Window::lastNavigation(w->GetActivePage()), QStringLiteral("127.0.0.1/plain"));
        QCOMPARE(w->tabs().size(), 1);
    }

    void listChoiceIsNotRememberedButEnterIs()
    {
        TypedAddresses::SaveTypedAddresses(
            {QStringLiteral("http://127.0.0.1/a"), QStringLiteral("http://127.0.0.1/b")},
            RegistryHive::userHive());
        Window w;
        TPVComboBox* box = w->addressBox();
        QCOMPARE(box->items().size(), 2);
        box->setCurrentIndex(1);
        Q_EMIT box->activated(1);
        QCOMPARE(Window::lastNavigation(w->GetActivePage()), QStringLiteral("http://127.0.0.1/b"));
        w.activeFake()->beforeNavigate(QStringLiteral("http://127.0.0.1/b"));
        QCOMPARE(box->items().first(), QStringLiteral("http://127.0.0.1/a"));

        // The same text with Enter moves the stored spelling to the top.
        box->setEditText(QStringLiteral("HTTP://127.0.0.1/B"));
        QTest::keyClick(box, Qt::Key_Return);
        w.activeFake()->beforeNavigate(QStringLiteral("HTTP://127.0.0.1/B"));
        QCOMPARE(box->items(), (QStringList{"http://127.0.0.1/b", "http://127.0.0.1/a"}));

        // The Go button commits like a choice but is remembered.
        TPVOptions().SetShowGo(true);
        box->setEditText(QStringLiteral("http://127.0.0.1/go"));
        w->findChild<QToolButton*>(QStringLiteral("spdGo"))->click();
        QCOMPARE(Window::lastNavigation(w->GetActivePage()), QStringLiteral("http://127.0.0.1/go"));
        QVERIFY(w->AddressTyped());
    }

    void goButtonFollowsShowGo()
    {
        {
            Window w;
            QVERIFY(
                !w->findChild<QToolButton*>(QStringLiteral("spdGo"))->isVisibleTo(w.window.get()));
        }
        TPVOptions().SetShowGo(true);
        Window w;
        auto* go = w->findChild<QToolButton*>(QStringLiteral("spdGo"));
        QVERIFY(!go->isHidden());
        QCOMPARE(go->width(), 23);
        QCOMPARE(go->text(), QStringLiteral("Go"));
    }

    void addressNewWinOpensANewTabAfterTheActiveOne()
    {
        TPVOptions().SetAddressNewWin(true);
        Window w;
        w->NewTab();
        w->pages()->setActivePage(w->tabs().first());
        w->addressBox()->setEditText(QStringLiteral("http://127.0.0.1/new"));
        QTest::keyClick(w->addressBox(), Qt::Key_Return);
        QCOMPARE(w->tabs().size(), 3);
        QCOMPARE(w->pages()->activePageIndex(), 1);
        QCOMPARE(w->GetActivePage()->HomeUrl(), QStringLiteral("http://127.0.0.1/new"));
    }

    void typedListIsSavedAtExitAndLoadedAtStart()
    {
        {
            Window w;
            w->addressBox()->setEditText(QStringLiteral("http://127.0.0.1/kept"));
            QTest::keyClick(w->addressBox(), Qt::Key_Return);
            w.activeFake()->beforeNavigate(QStringLiteral("http://127.0.0.1/kept"));
        }
        QCOMPARE(storedTypedAddresses(), QStringList{"http://127.0.0.1/kept"});
        Window again;
        QCOMPARE(again->addressBox()->items(), QStringList{"http://127.0.0.1/kept"});
    }

    void clearingAddressesAsksFirst()
    {
        const QStringList two{"http://127.0.0.1/a", "http://127.0.0.1/b"};
        TypedAddresses::SaveTypedAddresses(two, RegistryHive::userHive());
        Window w;
        w.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"), QStringLiteral("P"));
        w->addressBox()->setEditText(QStringLiteral("something typed"));
        answerNextBox(QMessageBox::No);
        w->ClearAddresses();
        answerNextBox(QMessageBox::Cancel);
        w->ClearAddresses();
        QCOMPARE(w->addressBox()->items(), two);
        QCOMPARE(storedTypedAddresses(), two);

        answerNextBox(QMessageBox::Yes);
        w->actions()->get("mnuClearAddresses")->trigger();
        QVERIFY(w->addressBox()->items().isEmpty());
        QVERIFY(storedTypedAddresses().isEmpty()); // at once, not at exit
        QCOMPARE(w->addressBox()->currentText(), QStringLiteral("http://127.0.0.1/page"));
    }

    void completionStyles()
    {
        Window w;
        w->SetAutoCompleteStyle(TPVOptions::StyleIE4);
        QCOMPARE(w->addressBox()->completionStyle(), int(TPVComboBox::StyleIE4));
        QVERIFY(!w->addressCompleter()->isEnabled());
        w->SetAutoCompleteStyle(TPVOptions::StyleIE5);
        QVERIFY(w->addressCompleter()->isEnabled());
        w->SetAutoCompleteStyle(TPVOptions::StyleNone);
        QVERIFY(!w->addressCompleter()->isEnabled());

        // With a version 4 system browser the history list is never used.
        TRegistry reg;
        reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Microsoft\\Internet Explorer"), true));
        reg.writeString(QStringLiteral("Version"), QStringLiteral("4.72.3110.8"));
        Window old;
        QVERIFY(old->IE4Mode());
        QCOMPARE(old->AutoCompleteStyle(), int(TPVOptions::StyleIE4));
        QVERIFY(!old->addressCompleter()->isEnabled());
        old->SetAutoCompleteStyle(TPVOptions::StyleNone);
        old->SetAutoCompleteStyle(TPVOptions::StyleIE5);
        QCOMPARE(old->AutoCompleteStyle(), int(TPVOptions::StyleIE4));
        old->GoSearch(); // does nothing, and must not fail
    }

    // --- Commands ---------------------------------------------------------------------------

    void textSizeChecksFollowTheActiveTab()
    {
        Window w;
        w.activeFake()->setHasDocument(true);
        w->actions()->get("actFontLargest")->trigger();
        QCOMPARE(w.activeFake()->textSize(), 4);
        QVERIFY(w->actions()->get("actFontLargest")->isChecked());
        w->actions()->get("actFontSmaller")->trigger();
        QVERIFY(!w->actions()->get("actFontLargest")->isChecked());
        QVERIFY(w->actions()->get("actFontSmaller")->isChecked());

        w->NewTab();
        w.activeFake()->setHasDocument(true);
        auto* font = w->findChild<QToolButton*>(QStringLiteral("tbFont"));
        QVERIFY(font);
        font->click(); // the button itself sets Medium
        QCOMPARE(w.activeFake()->textSize(), 2);
        QMetaObject::invokeMethod(font->menu(), "aboutToShow");
        QVERIFY(w->actions()->get("actFontMedium")->isChecked());
        QVERIFY(!w->actions()->get("actFontSmaller")->isChecked());
    }

    void refreshAndStopReachEveryTab()
    {
        Window w;
        w->NewTab();
        w->runCommand(KeyDispatcher::Command::RefreshComplete);
        QVERIFY(w.activeFake()->received(QStringLiteral("refreshCompletely")));
        w->runCommand(KeyDispatcher::Command::RefreshAll);
        w->runCommand(KeyDispatcher::Command::StopAll);
        for (TBrowserTab* tab : w->tabs()) {
            QVERIFY(Window::fakeOf(tab)->received(QStringLiteral("refresh")));
            QVERIFY(Window::fakeOf(tab)->received(QStringLiteral("stop")));
        }
    }

    void editCommandsGoToTheAddressBoxOrThePage()
    {
        Window w;
        w->show();
        QApplication::setActiveWindow(w.window.get());
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/p"), QStringLiteral("P"));
        TPVComboBox* box = w->addressBox();
        box->setFocus();
        box->setEditText(QStringLiteral("http://127.0.0.1/typed"));
        box->lineEdit()->selectAll();
        w->actions()->get("actCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://127.0.0.1/typed"));
        w->actions()->get("actCut")->trigger();
        QVERIFY(box->currentText().isEmpty());
        w->actions()->get("actPaste")->trigger();
        QCOMPARE(box->currentText(), QStringLiteral("http://127.0.0.1/typed"));
        QVERIFY(w.activeFake()->commands().isEmpty());

        w->GetActivePage()->FocusBrowser();
        w->GetActivePage()->Browser()->setFocus();
        w->actions()->get("actCopy")->trigger();
        w->actions()->get("actPaste")->trigger();
        QCOMPARE(w.activeFake()->commands(),
                 (QList<DocumentCommand>{DocumentCommand::Copy, DocumentCommand::Paste}));
    }

    void workOfflineIsTheSharedSwitch()
    {
        Window w;
        QAction* item = w->actions()->get("actWorkOffline");
        QVERIFY(item->isEnabled());
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(OfflineMode::isOffline());
        TRegistry reg;
        QVERIFY(reg.openKeyReadOnly(OfflineMode::key()));
        QCOMPARE(reg.readInteger(QStringLiteral("GlobalUserOffline")), 1);

        // Another copy goes online: the check follows when the File menu opens.
        OfflineMode::setOffline(false);
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
        InternetOptionValues values = InternetOptionValues::load(RegistryHive::userHive());
        QCOMPARE(values, InternetOptionValues{});
        values.startPage = QStringLiteral("http://127.0.0.1/home");
        values.searchPage = QStringLiteral("http://127.0.0.1/find");
        values.daysToKeep = 3;
        values.save(RegistryHive::userHive());
        QCOMPARE(InternetOptionValues::load(RegistryHive::userHive()), values);
        QCOMPARE(TWebBrowser::startPage(), values.startPage); // what Home opens
        QCOMPARE(TWebBrowser::searchPage(), values.searchPage);

        // An empty page is the shipped one again.
        values.startPage.clear();
        values.save(RegistryHive::userHive());
        QVERIFY(TWebBrowser::startPage().endsWith(QLatin1String("pages/start.html")));
    }

    void internetOptionsDialogClearsThroughItsActions()
    {
        int historyCleared = 0;
        int cacheCleared = 0;
        TfrmInternetOptions::Actions actions;
        actions.currentPage = QStringLiteral("http://127.0.0.1/current");
        actions.clearHistory = [&historyCleared] { return ++historyCleared > 0; };
        actions.clearCacheAndCookies = [&cacheCleared] { ++cacheCleared; };
        TfrmInternetOptions dialog(RegistryHive::userHive(), actions);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdUseCurrent"))->click();
        QCOMPARE(dialog.values().startPage, QStringLiteral("http://127.0.0.1/current"));

        answerNextBox(QMessageBox::No);
        dialog.clearHistoryButton()->click();
        QCOMPARE(historyCleared, 0);
        answerNextBox(QMessageBox::Yes);
        dialog.clearHistoryButton()->click();
        QCOMPARE(historyCleared, 1);
        answerNextBox(QMessageBox::Yes);
        dialog.clearCacheButton()->click();
        QCOMPARE(cacheCleared, 1);
        dialog.accept();
        QCOMPARE(InternetOptionValues::load(RegistryHive::userHive()).startPage,
                 QStringLiteral("http://127.0.0.1/current"));

        TfrmInternetOptions without(RegistryHive::userHive(), {});
        QVERIFY(!without.clearCacheButton()->isEnabled());
        QVERIFY(!without.clearHistoryButton()->isEnabled());
    }

    // --- Full screen --------------------------------------------------------------------

    void fullScreenRoundTrip()
    {
        Window w;
        w->setWindowState(Qt::WindowMaximized);
        QAction* toolbarItem = w->actions()->get("actViewToolbar");
        QAction* menuBarItem = w->actions()->get("actViewMenuBar");
        w->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(w->FullScreen());
        QVERIFY(w->windowState() & Qt::WindowFullScreen);
        QVERIFY(!w->statusPanel()->isVisibleTo(w.window.get()));
        QVERIFY(!toolbarItem->isVisible());
        QVERIFY(menuBarItem->isVisible());
        QVERIFY(w->actions()->get("actFullScreen")->isChecked());

        w->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(!w->FullScreen());
        QCOMPARE(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen),
                 Qt::WindowStates(Qt::WindowMaximized));
        QVERIFY(w->statusPanel()->isVisibleTo(w.window.get()));
        QVERIFY(toolbarItem->isVisible());
        QVERIFY(!menuBarItem->isVisible());
        QVERIFY(!w->actions()->get("actFullScreen")->isChecked());

        // A normal window gets its place and size back; a hidden status bar stays hidden.
        w->setWindowState(Qt::WindowNoState);
        w->move(40, 50);
        w->resize(640, 480);
        w->actions()->get("actViewStatusBar")->trigger();
        QVERIFY(!w->statusPanel()->isVisibleTo(w.window.get()));
        w->actions()->get("actFullScreen")->trigger();
        QVERIFY(w->FullScreen());
        w->actions()->get("actFullScreen")->trigger();
        QVERIFY(!(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)));
        QCOMPARE(w->pos(), QPoint(40, 50));
        QCOMPARE(w->size(), QSize(640, 480));
        QVERIFY(!w->statusPanel()->isVisibleTo(w.window.get()));
    }

    void fullScreenIsSavedAndRestored()
    {
        {
            Window w;
            w->setWindowState(Qt::WindowMaximized);
            w->runCommand(KeyDispatcher::Command::FullScreen);
        }
        QVERIFY(TPVOptions().GetFullScreen());
        QVERIFY(TPVOptions().GetMaximized()); // the placement from before
        Window again;
        QVERIFY(again->FullScreen());
        QVERIFY(again->windowState() & Qt::WindowFullScreen);
        again->runCommand(KeyDispatcher::Command::FullScreen);
        QVERIFY(again->windowState() & Qt::WindowMaximized);
    }

    // --- Drop places --------------------------------------------------------------------

    void dropOnTheStrip()
    {
        Window w;
        w->resize(800, 600);
        w->show();
        TBrowserTab* first = w->GetActivePage();
        TBrowserTab* second = w->NewTabBackground(false);
        QCOMPARE(w->GetActivePage(), first);
        QWidget* strip = w->pages()->tabStrip();
        QTRY_VERIFY(w->pages()->tabRect(1).isValid());
        const QPoint onSecond = w->pages()->tabRect(1).center();
        const QPoint onFirst = w->pages()->tabRect(0).center();

        // On an inactive tab: that tab navigates, nothing new.
        auto* link = new QMimeData;
        link->setUrls({QUrl(QStringLiteral("http://127.0.0.1/dropped"))});
        sendDrop(strip, onSecond, link);
        QCOMPARE(Window::lastNavigation(second), QStringLiteral("http://127.0.0.1/dropped"));
        QCOMPARE(w->tabs().size(), 2);
        delete link;

        // On the active tab: it keeps its page, a background tab opens the text.
        auto* text = new QMimeData;
        text->setText(QStringLiteral("  http://127.0.0.1/text  "));
        sendDrop(strip, onFirst, text);
        QCOMPARE(w->tabs().size(), 3);
        QCOMPARE(w->GetActivePage(), first);
        TBrowserTab* opened = w->tabs().at(1);
        QCOMPARE(opened->HomeUrl(), QStringLiteral("http://127.0.0.1/text"));
        delete text;

        // A shortcut file gives its address.
        const QString shortcut = writeFile(home(QStringLiteral("Site.url")),
                                           "[InternetShortcut]\r\nURL=http://127.0.0.1/short\r\n");
        auto* file = new QMimeData;
        file->setUrls({QUrl::fromLocalFile(shortcut)});
        sendDrop(strip, w->pages()->tabRect(2).center(), file);
        QCOMPARE(Window::lastNavigation(second), QStringLiteral("http://127.0.0.1/short"));
        delete file;
    }

    void droppedAddresses()
    {
        const QString shortcut = writeFile(home(QStringLiteral("x.URL")),
                                           "[InternetShortcut]\r\nURL=http://127.0.0.1/x\r\n");
        QCOMPARE(DroppedAddress::FromText(QStringLiteral(" ") + shortcut),
                 QStringLiteral("http://127.0.0.1/x"));
        const QString noUrl = writeFile(home(QStringLiteral("empty.url")), "[Other]\r\nx=1\r\n");
        QCOMPARE(DroppedAddress::FromText(noUrl), QString());
        QCOMPARE(DroppedAddress::FromText(home(QStringLiteral("missing.url"))),
                 home(QStringLiteral("missing.url")));
        QMimeData html;
        html.setHtml(QStringLiteral("<a HREF='http://127.0.0.1/h'>h</a>"));
        QCOMPARE(DroppedAddress::FromMimeData(&html), QStringLiteral("http://127.0.0.1/h"));
    }

    void launchImageShortcut_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain title") << "News: today's (5) items!"
                                     << "News todays 5 items.url";
        QTest::newRow("an address as title") << "http://127.0.0.1/dir\\page.html"
                                             << "page.html.url";
        QTest::newRow("ending in a slash") << "http://127.0.0.1/"
                                           << "Shortcut.url";
        QTest::newRow("nothing left") << "???"
                                      << "Shortcut.url";
    }

    void launchImageShortcut()
    {
        QFETCH(QString, title);
        QFETCH(QString, file);
        QCOMPARE(LaunchImage::ShortcutFileName(title), file);
    }

    void launchImageDragCarriesLinkAndShortcut()
    {
        const std::unique_ptr<QMimeData> data(LaunchImage::LinkMimeData(
            {QStringLiteral("http://127.0.0.1/page"), QStringLiteral("Page")}));
        QCOMPARE(data->urls(), QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1/page"))});
        QCOMPARE(data->text(), QStringLiteral("http://127.0.0.1/page"));
        QCOMPARE(data->data(QStringLiteral("application/x-mswinurl")),
                 QByteArray("[InternetShortcut]\r\nURL=http://127.0.0.1/page\r\n"));
        QCOMPARE(data->data(QStringLiteral("application/x-pelvane-url-name")),
                 QByteArray("Page.url"));
    }

    // --- Edit with ----------------------------------------------------------------------

    void editCommandLine_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("expected");
        const QString file = QStringLiteral("/tmp/my page \"1\".htm");
        const QString url = QUrl::fromLocalFile(file).toString();
        QTest::newRow("%f") << "editor %f" << QStringList{"editor", file};
        QTest::newRow("%F") << "editor --new %F" << QStringList{"editor", "--new", file};
        QTest::newRow("%u gives an address") << "editor %u" << QStringList{"editor", url};
        QTest::newRow("%U") << "editor %U" << QStringList{"editor", url};
        QTest::newRow("no code: file appended") << "editor -w" << QStringList{"editor", "-w", file};
        QTest::newRow("quoted program with blanks")
            << "\"/opt/My Editor/edit\" %f" << QStringList{"/opt/My Editor/edit", file};
        QTest::newRow("escapes in quotes") << "sh -c \"echo \\\"\\$1\\\" \\\\\" x %f"
                                           << QStringList{"sh", "-c", "echo \"$1\" \\", "x", file};
        QTest::newRow("code inside a word")
            << "editor --file=%f" << QStringList{"editor", "--file=" + file};
        QTest::newRow("icon, name, entry, percent")
            << "editor %i --title=%c --from %k 100%%"
            << QStringList{"editor", "--icon",        "ed",   "--title=Ed",
                           "--from", "/x/ed.desktop", "100%", file};
        QTest::newRow("deprecated codes give nothing")
            << "editor %d %D %n %N %v %m %f" << QStringList{"editor", file};
        QTest::newRow("unfinished quote: nothing") << "\"editor %f" << QStringList{};
        QTest::newRow("empty program: nothing") << "\"\" %f" << QStringList{};
    }

    void editCommandLine()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, expected);
        DesktopApplication app;
        app.name = QStringLiteral("Ed");
        app.icon = QStringLiteral("ed");
        app.desktopFile = QStringLiteral("/x/ed.desktop");
        app.exec = exec;
        QCOMPARE(EditWith::BuildCommand(app, QStringLiteral("/tmp/my page \"1\".htm")), expected);
    }

    void desktopEntriesForWebPages()
    {
        const QString user = home(QStringLiteral("data1/applications"));
        const QString system = home(QStringLiteral("data2/applications"));
        QDir().mkpath(user + QStringLiteral("/vendor"));
        QDir().mkpath(system);
        const QByteArray head = "[Desktop Entry]\nType=Application\n";
        writeFile(system + "/zed.desktop",
                  head + "Name=Zed\nExec=zed %f\nMimeType=text/plain;text/html;\n");
        writeFile(system + "/hidden.desktop", head + "Name=Gone\nExec=gone\nMimeType=text/html;\n");
        writeFile(user + "/hidden.desktop",
                  head + "Name=Gone\nExec=gone\nHidden=true\nMimeType=text/html;\n");
        writeFile(user + "/vendor/alpha.desktop",
                  head + "Name=Alpha\nName[xx]=Alpha X\nExec=alpha\\s%U\nMimeType=text/html\n"
                         "[Desktop Action New]\nName=Other\n");
        writeFile(user + "/image.desktop",
                  head + "Name=Viewer\nExec=view %f\nMimeType=image/png;\n");
        writeFile(user + "/link.desktop",
                  "[Desktop Entry]\nType=Link\nName=L\nURL=x\nMimeType=text/html;\n");
        writeFile(
            user + "/tryexec.desktop",
            head + "Name=Absent\nTryExec=/nonexistent/absent\nExec=absent\nMimeType=text/html;\n");

        const auto programs = EditWith::ProgramsFor(QStringLiteral("text/html"), {user, system});
        QCOMPARE(programs.size(), 2);
        QCOMPARE(programs.at(0).name, QStringLiteral("Alpha"));
        QCOMPARE(programs.at(0).id, QStringLiteral("vendor-alpha.desktop"));
        QCOMPARE(programs.at(0).exec, QStringLiteral("alpha %U"));
        QCOMPARE(programs.at(1).name, QStringLiteral("Zed"));

        qputenv("XDG_DATA_HOME", home(QStringLiteral("data1")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (home(QStringLiteral("data2")) + ":/nowhere").toLocal8Bit());
        const QStringList folders = EditWith::ApplicationFolders();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(folders, (QStringList{user, system, QStringLiteral("/nowhere/applications")}));
    }

    void editWithStartsTheProgramOnASavedCopy()
    {
        const QString folder = home(QStringLiteral("temp \"quoted\" dir"));
        QDir().mkpath(folder);
        const QString out = home(QStringLiteral("editor.out"));
        const QString script = writeFile(home(QStringLiteral("editor.sh")),
                                         "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$0.out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::rename(script, home(QStringLiteral("editor"))));

        Window w;
        TBrowserTab* tab = w->GetActivePage();
        tab->Browser()->setTempFolder(folder);
        w.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"), QStringLiteral("P"));
        w.activeFake()->setDocumentHtml(QStringLiteral("<html><body>page</body></html>"));
        DesktopApplication editor;
        editor.name = QStringLiteral("Editor");
        editor.exec = QStringLiteral("\"%1\" %f").arg(home(QStringLiteral("editor")));
        w->EditDocumentWith(editor);
        const auto written = [&out] {
            QFile result(out);
            return result.open(QIODevice::ReadOnly) ? QString::fromUtf8(result.readAll())
                                                    : QString();
        };
        QTRY_VERIFY(written().endsWith(QLatin1String(".htm\n")));
        const QStringList lines = written().split(QLatin1Char('\n'));
        QCOMPARE(lines.at(0), QStringLiteral("1")); // one argument, blanks and quotes included
        QVERIFY(lines.at(1).startsWith(folder + QLatin1Char('/')));
        QVERIFY(QFile::exists(lines.at(1)));
    }

    // --- The Open box -------------------------------------------------------------------

    void openDialog()
    {
        TfrmOpen dialog({QStringLiteral("http://127.0.0.1/typed")});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Open"));
        QCOMPARE(dialog.addressBox()->count(), 1);
        QVERIFY(dialog.addressBox()->currentText().isEmpty());
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(dialog.newTabBox()->isChecked());

        dialog.setFileChooser([](QWidget*) { return QString(); });
        dialog.browseButton()->click();
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.setFileChooser([](QWidget*) { return QStringLiteral("/tmp/page.html"); });
        dialog.browseButton()->click();
        QCOMPARE(dialog.addressBox()->currentText(), QStringLiteral("/tmp/page.html"));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.addressBox()->setEditText(QString());
        QVERIFY(!dialog.okButton()->isEnabled());

        dialog.show();
        QTest::keyClicks(dialog.addressBox(), QStringLiteral("http://127.0.0.1/x"));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.newTabBox()->setChecked(false);
        QTest::keyClick(dialog.addressBox(), Qt::Key_Return); // the default button acts
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.address(), QStringLiteral("http://127.0.0.1/x"));
        QVERIFY(!dialog.openInNewTab());

        TfrmOpen hidden({});
        hidden.setNewTabOptionVisible(false);
        QVERIFY(!hidden.newTabBox()->isVisibleTo(&hidden));
        hidden.show();
        QTest::keyClick(hidden.addressBox(), Qt::Key_Return); // empty: stays open
        QVERIFY(hidden.isVisible());
    }
};

PELVANE_TEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
