#include "platform/web/CrashPage.h"
#include "platform/web/FullScreenWindow.h"
#include "platform/web/PagePropertiesDialog.h"
#include "platform/web/WidgetWebQuestions.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/Pictures.h"
#include "support/ScriptedWebQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QTabWidget>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineView>

#include <memory>
#include <signal.h>

using namespace EngineTestKit;

namespace {

// A self-signed certificate for 127.0.0.1 (every engine calls it invalid), or its key.
QByteArray tlsFile(const char* name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/127.0.0.1.") + QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FullScreenWindow* fullScreenWindow()
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (auto* full = qobject_cast<FullScreenWindow*>(w); full && full->isVisible())
            return full;
    }
    return nullptr;
}

} // namespace

// What the engine does on its own behalf, with questions answered by the test.
class TestWebServices : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    std::unique_ptr<WebEngineContext> m_context;
    ScriptedWebQuestions* m_questions = nullptr;

    QString url(const char* path) const
    {
        return m_server.url(QString::fromLatin1(path)).toString();
    }

    static QString home() { return qEnvironmentVariable("PELVANE_HOME"); }

    QTimer m_watchdog;

    void useScriptedQuestions()
    {
        auto questions = std::make_unique<ScriptedWebQuestions>();
        m_questions = questions.get();
        m_context->setQuestions(std::move(questions));
    }

    // The program's own questions in place of the test's, until the test ends. The watchdog
    // closes every dialog still open near the time limit, so that a question that holds up
    // the engine fails the test instead of hanging it.
    void useWidgetQuestions()
    {
        m_context->setQuestions(std::make_unique<WidgetWebQuestions>());
        m_questions = nullptr;
        m_watchdog.start(LoadTimeout - 3000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/a", page("Page A", "<p>hello there, hello again</p>"));
        m_server.serve("/b", page("Page B"));
        m_server.serve("/secret", [](const LocalHttpServer::Request& request) {
            LocalHttpServer::Response r;
            if (request.header("Authorization") == "Basic " + QByteArray("ann:pw!").toBase64()) {
                r.body = page("Welcome");
            } else {
                r.status = 401;
                r.headers = {{"WWW-Authenticate", "Basic realm=\"Vault\""}};
                r.body = page("Denied");
            }
            return r;
        });
        m_server.serve("/upload-form",
                       page("Upload", "<form id='f' method='post' enctype='multipart/form-data'"
                                      " action='/upload'><input type='file' id='file' name='file'"
                                      " style='position:absolute;left:0;top:0;width:400px;"
                                      "height:200px'></form>"));
        m_server.serve("/upload", page("Uploaded"));
        m_server.serve("/video",
                       page("Video", "<div id='v' onclick='this.requestFullscreen()' style='"
                                     "position:absolute;left:0;top:0;width:400px;height:200px;"
                                     "background:#08f'></div>"));

        m_context = std::make_unique<WebEngineContext>();
        useScriptedQuestions();
        connect(&m_watchdog, &QTimer::timeout, this, [this] {
            m_watchdog.setInterval(100); // and the next one, once a question held things up
            const QList<QWidget*> all = QApplication::allWidgets();
            for (QWidget* w : all) {
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && !dialog->isHidden())
                    dialog->reject();
            }
        });
    }

    void cleanupTestCase() { m_context.reset(); }

    void init() { m_questions->asked.clear(); }
    void cleanup()
    {
        m_watchdog.stop();
        if (!m_questions)
            useScriptedQuestions();
    }

    void credentialsAreAskedFor()
    {
        Browser b(m_context.get());
        m_questions->asked.clear();
        m_questions->credentials = WebQuestions::Credentials{"ann", "pw!"};
        QVERIFY(load(b, url("/secret")));
        QVERIFY(waitUntil([&] { return b.widget->LocationName() == QStringLiteral("Welcome"); }));
        QCOMPARE(m_questions->asked, QStringList{"credentials /secret Vault "});

        // Cancelling shows the server's refusal.
        Browser other(m_context.get());
        m_questions->credentials.reset();
        m_server.serve("/secret2", [](const LocalHttpServer::Request&) {
            LocalHttpServer::Response r;
            r.status = 401;
            r.headers = {{"WWW-Authenticate", "Basic realm=\"Other\""}};
            r.body = page("Denied");
            return r;
        });
        QVERIFY(load(other, url("/secret2")));
        QVERIFY(
            waitUntil([&] { return other.widget->LocationName() == QStringLiteral("Denied"); }));
        QCOMPARE(m_questions->count("credentials /secret2 Other"), 1);

        // A page out of sight is not asked; it loads again, asking, once it is shown.
        Browser hidden(m_context.get());
        hidden.widget->hide();
        QVERIFY(load(hidden, url("/secret2")));
        QVERIFY(waitUntil([&] { return hidden.widget->LocationName() == "Denied"; }));
        QCOMPARE(m_questions->count("credentials /secret2 Other"), 1);
        hidden.widget->show();
        QVERIFY(waitUntil([&] { return m_questions->count("credentials /secret2 Other") == 2; }));
        m_questions->credentials.reset();
    }

    // A crashed page explains itself and can be reloaded; the other pages live on.
    void crashedPageCanBeReloaded()
    {
        Browser first(m_context.get());
        Browser second(m_context.get());
        QVERIFY(load(first, url("/a")));
        // Another site, so that it is drawn by another process.
        const QString other = QStringLiteral("http://localhost:%1/b").arg(m_server.port());
        QVERIFY(load(second, other));
        const qint64 pid = first.backend()->page()->renderProcessPid();
        QVERIFY(pid > 0);
        if (pid == second.backend()->page()->renderProcessPid())
            QSKIP("the engine drew both sites in one process");
        first.log.events.clear();
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QVERIFY(waitUntil([&] {
            return first.widget->LocationName() == QStringLiteral("Page Stopped Working");
        }));
        QCOMPARE(first.widget->LocationURL(), url("/a"));

        QVariant alive;
        second.backend()->runJavaScript(QStringLiteral("return document.title;"), {},
                                        [&](const QVariant& r) { alive = r; });
        QVERIFY(waitUntil([&] { return alive.toString() == QStringLiteral("Page B"); }));

        first.log.events.clear();
        first.widget->Refresh();
        QVERIFY(
            waitUntil([&] { return first.widget->LocationName() == QStringLiteral("Page A"); }));
    }

    void sitePermissionsAreAskedOncePerSession()
    {
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        m_questions->asked.clear();
        m_questions->allowFeatures = true;
        const QString ask = QStringLiteral("return Notification.requestPermission();");
        QVariant answer;
        b.backend()->runJavaScript(ask, {}, [&](const QVariant& r) { answer = r; });
        QVERIFY(waitUntil([&] { return m_questions->count("feature 127.0.0.1") == 1; }));
        // Another page of the same site is not asked again.
        Browser other(m_context.get());
        QVERIFY(load(other, url("/b")));
        QVariant again;
        other.backend()->runJavaScript(
            QStringLiteral("return Notification.requestPermission().then(function(p) {"
                           " document.title = p; });"),
            {}, [&](const QVariant& r) { again = r; });
        QVERIFY(
            waitUntil([&] { return other.widget->LocationName() == QStringLiteral("granted"); }));
        QCOMPARE(m_questions->count("feature"), 1);
        m_questions->allowFeatures = false;
    }

    void certificateErrorsAreRefusedUnlessAccepted()
    {
        LocalHttpServer secure;
        QVERIFY(secure.listenTls(tlsFile("crt"), tlsFile("key")));
        secure.serve("/secure", page("Secure"));
        const QString address = secure.url(QStringLiteral("/secure")).toString();

        Browser b(m_context.get());
        m_questions->acceptCertificates = false;
        b.widget->Navigate(address);
        QVERIFY(waitUntil([&] { return m_questions->count("certificate") == 1; }));
        QVERIFY(waitUntil([&] { return b.log.hasPrefix("complete top"); }));
        QCOMPARE(m_questions->asked.first(), "certificate " + address);
        QCOMPARE(secure.requestCount("/secure"), 0);
        QVERIFY(b.widget->LocationName() != QStringLiteral("Secure"));

        m_questions->acceptCertificates = true;
        QVERIFY(load(b, address));
        QCOMPARE(b.widget->LocationName(), QStringLiteral("Secure"));
        QCOMPARE(secure.requestCount("/secure"), 1);
        QCOMPARE(m_questions->count("certificate"), 2);
        m_questions->acceptCertificates = false;
    }

    // A site's questions never hold up the engine: a feature or certificate question waits
    // in its page while other pages load, and the click answers it; a page not on the screen
    // is not asked at all. A page that leaves or closes first leaves its question unanswered.
    void questionsDoNotHoldUpTheEngine()
    {
        useWidgetQuestions();
        m_context->permissions().forgetAll();
        LocalHttpServer secure;
        QVERIFY(secure.listenTls(tlsFile("crt"), tlsFile("key")));
        secure.serve("/secure", page("Secure"));
        Browser b(m_context.get()), other(m_context.get()), hidden(m_context.get());
        QVERIFY(load(b, url("/a")) && load(hidden, url("/a")));
        hidden.widget->hide();
        const QString ask = QStringLiteral(
            "Notification.requestPermission().then(function(p) { document.title = p; });");
        b.backend()->runJavaScript(ask, {}, [](const QVariant&) {});
        // By name: the engine keeps an earlier "go on" for an address's host.
        other.widget->Navigate(QStringLiteral("https://localhost:%1/secure").arg(secure.port()));
        hidden.backend()->runJavaScript(
            "alert('hi'); document.title = [confirm('c'), prompt('p')].join();", {},
            [](const QVariant&) {});
        const auto question = [](Browser& in) { return in.widget->findChild<QMessageBox*>(); };
        bool hiddenAsked = false;
        const auto hiddenShows = [&](const QString& title) {
            hiddenAsked = hiddenAsked || hidden.widget->findChild<QDialog*>();
            return hidden.widget->LocationName() == title;
        };
        QVERIFY2(waitUntil([&] { return question(b) && question(other) && hiddenShows("false,"); }),
                 "an open question held up the engine");
        // A password, asked by another host: the engine keeps those given for one.
        hidden.widget->Navigate(QStringLiteral("http://localhost:%1/secret").arg(m_server.port()));
        QVERIFY(waitUntil([&] { return hiddenShows("Denied"); }));
        QVERIFY(!hiddenAsked);
        QCOMPARE(secure.requestCount("/secure"), 0);
        for (QMessageBox* box : {question(b), question(other)}) {
            for (QAbstractButton* button : box->buttons())
                if (box->buttonRole(button) == QMessageBox::AcceptRole)
                    button->click();
        }
        QVERIFY(waitUntil([&] {
            return b.widget->LocationName() == "granted" &&
                   other.widget->LocationName() == "Secure";
        }));

        const QString site = QStringLiteral("http://localhost:%1/").arg(m_server.port());
        QVERIFY(load(other, site + "b"));
        other.backend()->runJavaScript(ask, {}, [](const QVariant&) {});
        QVERIFY(waitUntil([&] { return question(other); }));
        QVERIFY(load(other, site + "a"));
        // The page that asked has gone: its question goes with it (the box is deleted later).
        QVERIFY(waitUntil([&] { return !question(other); }));
        other.backend()->runJavaScript(ask, {}, [](const QVariant&) {});
        QVERIFY(waitUntil([&] { return question(other); }));
        other.widget.reset();
        QVERIFY(load(b, url("/b")));
        QVERIFY(!m_context->permissions().remembered(QUrl(site), SiteFeature::Notifications));
    }

    void fileChooserAsksForFiles()
    {
        const QString path =
            TestFiles::writeFile(QDir(home()).filePath("notes.txt"), "upload me, please");
        Browser b(m_context.get());
        QVERIFY(QTest::qWaitForWindowExposed(b.widget.get()));
        QVERIFY(load(b, url("/upload-form")));
        m_questions->files = QStringList{path};
        QVERIFY(
            clickPageUntil(b, QPoint(100, 100), [&] { return m_questions->count("files") == 1; }));
        QCOMPARE(m_questions->asked, QStringList{"files one"});
        QVERIFY(waitUntil([&] {
            return evaluate(b, "return document.getElementById('file').files.length;") == 1;
        }));

        b.log.events.clear();
        evaluate(b, "document.getElementById('f').submit();");
        QVERIFY(waitUntil([&] { return m_server.requestCount("/upload") == 1; }));
        const QByteArray body = m_server.requestsFor("/upload").first().body;
        QVERIFY2(body.contains("filename=\"notes.txt\"") && body.contains("upload me, please"),
                 body.constData());
    }

    // A video's full-screen button: the page fills the screen, and Esc brings it back.
    void pageGoesFullScreenAndEscLeaves()
    {
        Browser b(m_context.get());
        QVERIFY(QTest::qWaitForWindowExposed(b.widget.get()));
        QVERIFY(load(b, url("/video")));
        QVERIFY(clickPageUntil(b, QPoint(100, 100), [] { return fullScreenWindow() != nullptr; }));
        FullScreenWindow* window = fullScreenWindow();
        QVERIFY(window->isFullScreen());
        QVERIFY(b.backend()->engineView()->page() != b.backend()->page());
        QVERIFY(waitUntil(
            [&] { return evaluate(b, "return document.fullscreenElement !== null;") == true; }));

        // A notice says how to leave, over the page, for a few seconds.
        QLabel* notice = window->notice();
        QVERIFY(notice->isVisible());
        QVERIFY(notice->text().contains(QLatin1String("Esc")));
        QVERIFY(window->rect().contains(notice->geometry()));
        picture(*window, QStringLiteral("fullscreen-notice"));
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), FullScreenWindow::NoticeMs + 5000);

        // Esc goes to the page's own view, where the page has the keyboard: the window
        // takes it first and leaves.
        window->activateWindow();
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == window);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(waitUntil([&] { return fullScreenWindow() == nullptr; }));
        QCOMPARE(b.backend()->engineView()->page(), b.backend()->page());
        QVERIFY(waitUntil(
            [&] { return evaluate(b, "return document.fullscreenElement === null;") == true; }));
        QCOMPARE(b.widget->LocationName(), QStringLiteral("Video"));
    }

    void documentCommands()
    {
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));

        // The zoom is the page's, and stays when it goes to another page, of its site or
        // another's (the program sets each site's own when the page is shown).
        QCOMPARE(b.backend()->zoomFactor(), 1.0);
        b.backend()->setZoomFactor(0.75);
        QCOMPARE(b.backend()->page()->zoomFactor(), 0.75);
        QVERIFY(load(b, url("/b")));
        QCOMPARE(b.backend()->zoomFactor(), 0.75);
        const QString otherSite =
            url("/a").replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
        QVERIFY(load(b, otherSite));
        QCOMPARE(b.backend()->zoomFactor(), 0.75);
        b.backend()->setZoomFactor(1.0);
        QVERIFY(load(b, url("/a")));

        // Find asks for the text and searches the page.
        m_questions->findAnswer = QStringLiteral("hello");
        int matches = -1;
        connect(b.backend()->page(), &QWebEnginePage::findTextFinished, this,
                [&](const QWebEngineFindTextResult& r) { matches = r.numberOfMatches(); });
        b.backend()->execCommand(DocumentCommand::Find);
        QCOMPARE(m_questions->asked, QStringList{"find"});
        QVERIFY(waitUntil([&] { return matches == 2; }));

        // Saving as one file, as a web archive and as a complete page.
        const QDir dir(home());
        const auto saved = [&](const char* name, const QByteArray& text) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
        };
        b.backend()->savePage(dir.filePath("single.html"), false);
        QVERIFY(waitUntil([&] { return saved("single.html", "hello there"); }));
        b.backend()->savePage(dir.filePath("archive.mht"), false);
        QVERIFY(waitUntil([&] { return saved("archive.mht", "MIME-Version"); }));
        b.backend()->savePage(dir.filePath("complete.html"), true);
        QVERIFY(waitUntil([&] { return saved("complete.html", "hello there"); }));
        QVERIFY(!m_context->downloadsWindow()); // saving is no download to watch

        // Printing on a set-up printer (here a PDF file).
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printed.pdf"));
        int printed = -1;
        b.backend()->print(&printer, [&](bool ok) { printed = ok; });
        QVERIFY(waitUntil([&] { return printed != -1; }));
        QCOMPARE(printed, 1);
        QVERIFY(QFileInfo(dir.filePath("printed.pdf")).size() > 0);

        // The document's HTML, replaced and read back.
        b.backend()->setHtml(QStringLiteral("<title>Local</title><p>replaced text</p>"), url("/a"));
        QVERIFY(waitUntil([&] { return b.widget->LocationName() == QStringLiteral("Local"); }));
        QString html;
        b.backend()->toHtml([&](const QString& h) { html = h; });
        QVERIFY(waitUntil([&] { return html.contains(QStringLiteral("replaced text")); }));
    }

    // A page that shows alert after alert is stopped when the user takes the offer, and
    // keeps running; the next document may show dialogs again.
    void alertLoopCanBeStopped()
    {
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        m_questions->asked.clear();
        m_questions->stopDialogs = true;
        QCOMPARE(
            evaluate(b, "for (var i = 0; i < 100; i++) alert(i); return confirm('c');").toBool(),
            false);
        QCOMPARE(m_questions->asked,
                 (QStringList{"alert 0", "alert 1", "alert 2", "alert 3 (stop offered)"}));
        m_questions->stopDialogs = false;
        QVERIFY(load(b, url("/a")));
        evaluate(b, "alert('again'); return 1;");
        QCOMPARE(m_questions->asked.last(), QStringLiteral("alert again"));
    }

    // The dialog shows the page's text as text, never as markup, and makes the offer.
    void pageDialogShowsPlainText()
    {
        WidgetWebQuestions questions;
        QString format;
        bool offered = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
            for (QLabel* label : labels) {
                if (label->text().contains(QLatin1String("<b>")))
                    format = label->textFormat() == Qt::PlainText ? "plain" : "other";
            }
            offered = !dialog->findChildren<QCheckBox*>().isEmpty();
            dialog->close();
        });
        bool stop = false;
        questions.alert(nullptr, QUrl(QStringLiteral("http://127.0.0.1/")),
                        QStringLiteral("<b>Pelvane</b> needs your password"), &stop);
        QCOMPARE(format, QStringLiteral("plain"));
        QVERIFY(offered);
        QVERIFY(!stop);
    }

    // A page's dialog sits inside its own view: the program stays usable, the dialog goes
    // away with its tab and comes back with it, and closing the tab ends it unanswered.
    void pageDialogBlocksOnlyItsTab()
    {
        QTabWidget tabs;
        auto* page = new QWidget;
        auto* other = new QLineEdit;
        tabs.addTab(page, QStringLiteral("page"));
        tabs.addTab(other, QStringLiteral("other"));
        tabs.resize(500, 400);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        WidgetWebQuestions questions;
        const QUrl origin(QStringLiteral("http://127.0.0.1/"));

        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = page->findChild<QDialog*>();
            QVERIFY(dialog && !dialog->isWindow() && dialog->isVisible());
            QVERIFY(!QApplication::activeModalWidget());
            tabs.setCurrentIndex(1);
            QVERIFY(!dialog->isVisible());
            QTest::keyClicks(other, QStringLiteral("typed"));
            tabs.setCurrentIndex(0);
            QVERIFY(dialog->isVisible());
            dialog->findChild<QLineEdit*>()->setText(QStringLiteral("answer"));
            dialog->accept();
            checked = true;
        });
        QString answer;
        QVERIFY(
            questions.prompt(page, origin, QStringLiteral("name?"), QString(), &answer, nullptr));
        QVERIFY(checked);
        QCOMPARE(answer, QStringLiteral("answer"));
        QCOMPARE(other->text(), QStringLiteral("typed"));
        QVERIFY(page->findChildren<QDialog*>().isEmpty());

        // The tab closes while the page waits: its frame leaves the window first.
        QTimer::singleShot(0, [&] {
            page->hide();
            page->setParent(nullptr);
        });
        QVERIFY(!questions.confirm(page, origin, QStringLiteral("sure?"), nullptr));
        delete page;
    }

    // Script dialogs, the source view and the properties box.
    void pageDialogsAndWindows()
    {
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        m_questions->confirmAnswer = true;
        m_questions->promptAnswer = QStringLiteral("typed");
        const QVariant answers = evaluate(
            b, "alert('note'); return [confirm('sure?'), prompt('name?', 'x')].join(',');");
        QCOMPARE(answers.toString(), QStringLiteral("true,typed"));
        m_questions->confirmAnswer = false;
        m_questions->promptAnswer.reset();
        QCOMPARE(
            evaluate(b, "return String(confirm('again?')) + String(prompt('no?'));").toString(),
            QStringLiteral("falsenull"));
        QCOMPARE(m_questions->asked,
                 (QStringList{"alert note", "confirm sure?", "prompt name?",
                              "confirm again? (stop offered)", "prompt no? (stop offered)"}));

        const auto topLevel = [](const char* className) -> QWidget* {
            const QList<QWidget*> windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows) {
                if (w->inherits(className) && w->isVisible())
                    return w;
            }
            return nullptr;
        };
        b.backend()->execCommand(DocumentCommand::ViewSource);
        QWidget* source = topLevel("PageSourceWindow");
        QVERIFY(source);
        QCOMPARE(source->windowTitle(), "Source of " + url("/a"));
        auto* sourceView = source->findChild<QWebEngineView*>();
        QVERIFY(
            waitUntil([&] { return sourceView->url().toString() == "view-source:" + url("/a"); }));
        source->close(); // and goes

        b.backend()->execCommand(DocumentCommand::Properties);
        QVERIFY(waitUntil([&] { return topLevel("PagePropertiesDialog") != nullptr; }));
        QWidget* properties = topLevel("PagePropertiesDialog");
        const QList<QLabel*> labels = properties->findChildren<QLabel*>();
        QStringList texts;
        for (const QLabel* l : labels)
            texts << l->text();
        QVERIFY2(texts.contains("Page A") && texts.contains("text/html") &&
                     texts.contains("Not encrypted"),
                 qPrintable(texts.join(" | ")));
        properties->close();
    }

    void pageTextsStayText()
    {
        const QString crash =
            CrashPage::html(QUrl("http://x.test/<b>\"q\"&"), CrashPage::Reason::Killed, 9);
        QVERIFY(!crash.contains("<b>"));
        QVERIFY(crash.contains("href=\"http://x.test/%3Cb%3E%22q%22&amp;\""));
        QVERIFY(!CrashPage::html(QUrl("javascript:alert(1)"), CrashPage::Reason::Crashed, 1)
                     .contains("href="));

        const auto rows = PagePropertiesDialog::rows(QStringLiteral("<i>T</i>"),
                                                     QUrl("https://x.test/"), "text/html");
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].second, QStringLiteral("<i>T</i>"));
        QCOMPARE(rows[3].second, QStringLiteral("Encrypted (HTTPS)"));
        QCOMPARE(PagePropertiesDialog::rows({}, QUrl("http://x.test/"), {})[3].second,
                 QStringLiteral("Not encrypted"));
    }
};

PELVANE_TEST_MAIN(TestWebServices)
#include "tst_webservices.moc"
