#include "browser/SorvelBrowser.h"
#include "platform/PageCopies.h"
#include "platform/Paths.h"
#include "support/DataRows.h"
#include "support/FakeWebBackend.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

using DocumentFiles::SaveFormat;

using namespace TestFiles;

namespace {

// A browser over a fake showing a page, writing its temporary files into a private folder.
struct Fixture
{
    Fixture()
        : fake(new FakeWebBackend)
        , browser(fake, nullptr)
    {
        browser.setTempFolder(temp.path());
        fake->setHasDocument(true);
        fake->setLocationUrl("http://127.0.0.1/dir/page.html");
        fake->setLocationName("Page");
        fake->setDocumentHtml("<html><body>\u00e9t\u00e9</body></html>");
        fake->clearCalls();
    }

    // Runs a save operation and waits for its answer.
    TSaveResult save(const std::function<void(TSorvelBrowser::SaveDone)>& operation)
    {
        std::optional<TSaveResult> result;
        operation([&](const TSaveResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }))
            return {{}, "no answer"};
        return *result;
    }

    QStringList tempEntries() const
    {
        return QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir temp;
    FakeWebBackend* fake;
    TSorvelBrowser browser;
};
const QByteArray Bom("\xEF\xBB\xBF");

} // namespace

class TestSorvelBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void navigationStopsARunningLoad()
    {
        Fixture f;
        f.browser.NavigateUrl("http://127.0.0.1/1");
        f.browser.Reload();
        QVERIFY(f.fake->busy()); // the reload runs, as the engine reports it
        f.fake->setBusy(false);
        f.browser.ReloadCompletely();
        QCOMPARE(f.fake->callNames(), (QStringList{"navigate", "refresh", "refreshCompletely"}));

        f.fake->clearCalls();
        f.fake->setBusy(true);
        f.browser.NavigateUrl("http://127.0.0.1/2");
        f.fake->setBusy(true);
        f.browser.Reload();
        f.fake->setBusy(true);
        f.browser.ReloadCompletely();
        QCOMPARE(f.fake->callNames(),
                 (QStringList{"stop", "navigate", "stop", "refresh", "stop", "refreshCompletely"}));
    }

    void documentCommandsNeedADocument()
    {
        Fixture f;
        f.browser.SelectAll();
        f.browser.Copy();
        f.browser.Cut();
        f.browser.Paste();
        f.browser.Find();
        f.browser.ViewSource();
        f.browser.ShowProperties();
        QCOMPARE(f.fake->commands(),
                 (QList<DocumentCommand>{DocumentCommand::SelectAll, DocumentCommand::Copy,
                                         DocumentCommand::Cut, DocumentCommand::Paste,
                                         DocumentCommand::Find, DocumentCommand::ViewSource,
                                         DocumentCommand::Properties}));

        f.fake->clearCalls();
        f.fake->setHasDocument(false);
        f.browser.SelectAll();
        f.browser.Copy();
        f.browser.Find();
        f.browser.SetFontSize(3);
        f.browser.LoadHtml("<p>x</p>");
        f.browser.SavePageAs(f.temp.filePath("x"), SaveFormat::CompletePage);
        QVERIFY(f.fake->calls().isEmpty());
    }

    void fontSize()
    {
        Fixture f;
        f.fake->setZoomValue(1.3);
        QCOMPARE(f.browser.GetFontSize(), 4);
        f.fake->setZoomValue(1.1); // chosen with the wheel: the nearest size is checked
        QCOMPARE(f.browser.GetFontSize(), 3);
        QSignalSpy chosen(&f.browser, &TSorvelBrowser::zoomChosen);
        f.browser.SetFontSize(9);
        f.browser.SetFontSize(-1);
        QCOMPARE(f.fake->calls("setZoomFactor").size(), 2);
        QCOMPARE(f.fake->calls("setZoomFactor").at(0).args, QVariantList{1.3});
        QCOMPARE(f.fake->calls("setZoomFactor").at(1).args, QVariantList{0.75});
        QCOMPARE(chosen.size(), 2);
        // Steps from the size shown; a page's remembered zoom is shown, not chosen.
        f.browser.ZoomBy(1);
        QCOMPARE(f.fake->zoomFactor(), 0.8);
        f.browser.ZoomBy(0);
        QCOMPARE(f.fake->zoomFactor(), 1.0);
        f.browser.ShowZoom(1.5);
        QCOMPARE(f.fake->zoomFactor(), 1.5);
        QCOMPARE(chosen.size(), 4);
        f.fake->setHasDocument(false);
        QCOMPARE(f.browser.GetFontSize(), 2);
    }

    void loadHtmlKeepsTheAddress()
    {
        Fixture f;
        f.browser.LoadHtml("<p>new</p>");
        QCOMPARE(f.fake->calls("setHtml").size(), 1);
        QCOMPARE(f.fake->calls("setHtml").at(0).args,
                 (QVariantList{"<p>new</p>", "http://127.0.0.1/dir/page.html"}));
    }

    void hooksForTheWindow()
    {
        Fixture f;
        QSignalSpy favorites(&f.browser, &TSorvelBrowser::addToFavoritesRequested);
        QSignalSpy options(&f.browser, &TSorvelBrowser::internetOptionsRequested);
        f.browser.AddToFavorites();
        f.browser.InternetOptions();
        QCOMPARE(favorites.count(), 1);
        QCOMPARE(favorites.at(0).at(0).toString(),
                 QStringLiteral("http://127.0.0.1/dir/page.html"));
        QCOMPARE(favorites.at(0).at(1).toString(), QStringLiteral("Page"));
        QCOMPARE(options.count(), 1);
    }

    void hostProperties()
    {
        Fixture f;
        QVERIFY(!f.browser.No3DBorder() && !f.browser.NoScroll() && !f.browser.FlatScrollbar());
        QVERIFY(!f.browser.UseDownloadControl());
        QCOMPARE(int(f.browser.DownloadControlOptionSet()), 0);
        f.browser.setDownloadControlOptionSet(TSorvelBrowser::dcDLImages |
                                              TSorvelBrowser::dcNoDLActiveXControls);
        QCOMPARE(int(f.browser.DownloadControlOptionSet()), 0x41); // option n is bit n

        // The page layout is the owner's when it gives one.
        QPageLayout shared(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(1, 2, 3, 4));
        f.browser.setPageLayout(&shared);
        QCOMPARE(&f.browser.pageLayout(), &shared);
        f.browser.setPageLayout(nullptr);
        QVERIFY(&f.browser.pageLayout() != &shared);
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        addRows<QString, QString>({
            {"plain", "Weekly report", "Weekly report"},
            {"climbing path", "../../etc/passwd", "_.._etc_passwd"},
            {"backslashes", "a\\b", "a_b"},
            {"newline only", "\n", "Untitled"},
            {"hidden", ".hidden", "hidden"},
            {"dots only", "..", "Untitled"},
            {"empty", "", "Untitled"},
            {"controls inside", "a\tb\r\nc", "a b  c"},
            {"disguised extension", "invoice\u202Efdp.exe", "invoice fdp.exe"},
            {"blank then dot", "  .profile ", "profile"},
            {"non-ASCII kept", "Caf\u00e9 \U0001F600", "Caf\u00e9 \U0001F600"},
        });
    }
    void safeFileName()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(DocumentFiles::safeFileName(title), name);
    }

    void safeFileNameFitsTheFileSystem()
    {
        const QString name = DocumentFiles::safeFileName(QString(300, QChar(0x00e9)));
        QVERIFY(name.toUtf8().size() <= 200);
        QVERIFY(name.size() >= 90);
        // Cutting never splits a character made of two UTF-16 units.
        const QString emoji = DocumentFiles::safeFileName(QString("\U0001F600").repeated(100));
        QVERIFY(!emoji.at(emoji.size() - 1).isHighSurrogate());
        QCOMPARE(emoji.toUcs4().size() * 4, emoji.toUtf8().size());
    }

    void mailFileBaseName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        addRows<QString, QString>({
            {"word, colon, year, slash, quarter", "Sales: 2004/Q1", "Sales  2004 Q1"},
            {"full stops stay", "v1.2 notes", "v1.2 notes"},
            {"climbing path", "../../etc/passwd", "etc passwd"},
            {"hidden", ".hidden", "hidden"},
            {"nothing usable", "???", "Untitled"},
            {"empty", "", "Untitled"},
            {"dots", "...", "Untitled"},
            {"non-ASCII", "Caf\u00e9 au lait", "Caf  au lait"},
        });
    }
    void mailFileBaseName()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(DocumentFiles::mailFileBaseName(title), name);
    }

    void mailBaseAddress_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("base");
        addRows<QString, QString>({
            {"one-letter host and page", "http://a/b", "http://a/"},
            {"host alone", "http://a", "http://a/"},
            {"folder and page", "http://h/dir/page.html", "http://h/dir/"},
            {"folder", "http://h/dir/", "http://h/dir/"},
            {"query keeps its folder", "http://h/d/p?x=1", "http://h/d/"},
            {"secure host alone", "https://a", "https://a/"},
            {"secure page", "https://a/b", "https://a/"},
            {"local file", "file:///tmp/x.html", "file:///tmp/"},
        });
    }
    void mailBaseAddress()
    {
        QFETCH(QString, url);
        QFETCH(QString, base);
        QCOMPARE(DocumentFiles::mailBaseAddress(url), base);
    }

    void mailBaseTagCannotBreakOut()
    {
        QCOMPARE(DocumentFiles::mailBaseTag("http://h/"),
                 QStringLiteral("<BASE HREF=\"http://h/\">"));
        QCOMPARE(DocumentFiles::mailBaseTag("http://h/\"><script>/"),
                 QStringLiteral("<BASE HREF=\"http://h/%22%3E%3Cscript%3E/\">"));
    }

    void saveForMail()
    {
        Fixture f;
        f.fake->setLocationName("Sales: 2004/Q1");
        const TSaveResult result = f.save([&](auto done) { f.browser.SaveForMail(done); });
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QFileInfo file(result.fileName);
        QCOMPARE(file.fileName(), QStringLiteral("Sales  2004 Q1.htm"));
        // In a private folder of its own inside the temporary folder.
        QCOMPARE(QFileInfo(file.absolutePath()).absolutePath(),
                 QFileInfo(f.temp.path()).absoluteFilePath());
        QCOMPARE(QFileInfo(file.absolutePath()).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(file.permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(readFile(result.fileName),
                 Bom + "<BASE HREF=\"http://127.0.0.1/dir/\">\n" + f.fake->documentHtml().toUtf8());
        QCOMPARE(QDir(file.absolutePath()).entryList(QDir::Files), QStringList{file.fileName()});

        // Two mails of the same page do not overwrite each other.
        const TSaveResult again = f.save([&](auto done) { f.browser.SaveForMail(done); });
        QVERIFY(again.ok());
        QVERIFY(again.fileName != result.fileName);
    }

    void saveForMailWithHostileTitle()
    {
        Fixture f;
        f.fake->setLocationName("../../etc/passwd");
        f.fake->setLocationUrl("http://a");
        const TSaveResult result = f.save([&](auto done) { f.browser.SaveForMail(done); });
        QVERIFY(result.ok());
        QCOMPARE(QFileInfo(result.fileName).fileName(), QStringLiteral("etc passwd.htm"));
        QVERIFY(result.fileName.startsWith(f.temp.path() + "/"));
        QVERIFY(readFile(result.fileName).startsWith(Bom + "<BASE HREF=\"http://a/\">\n"));
    }

    void saveToTempFile()
    {
        Fixture f;
        f.fake->holdAnswers(true);
        std::optional<TSaveResult> result;
        f.browser.SaveToTempFile([&](const TSaveResult& r) { result = r; });
        QVERIFY(!result); // the engine has not answered yet, and nobody waits for it
        f.fake->holdAnswers(false);
        f.fake->releaseAnswers();
        QVERIFY(result && result->ok());

        const QFileInfo file(result->fileName);
        QCOMPARE(file.absolutePath(), QFileInfo(f.temp.path()).absoluteFilePath());
        QVERIFY2(QRegularExpression("^tmp.+\\.htm$").match(file.fileName()).hasMatch(),
                 qPrintable(file.fileName()));
        QCOMPARE(file.permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(readFile(result->fileName), Bom + f.fake->documentHtml().toUtf8());
        QCOMPARE(f.tempEntries(), QStringList{file.fileName()}); // no ".tmp" left behind

        const TSaveResult second = f.save([&](auto done) { f.browser.SaveToTempFile(done); });
        QVERIFY(second.ok());
        QVERIFY(second.fileName != result->fileName);
    }

    // Without a folder of its own the browser writes into the user's private folder of page
    // copies, which outlasts the run (a mail program or an editor reads the copy later); a
    // folder that is not the user's private one is never written into nor tidied. Copies
    // go a week after they were last written.
    void pageCopiesGoToThePrivateFolderAndAreTidied()
    {
        auto* fake = new FakeWebBackend;
        TSorvelBrowser browser(fake, nullptr);
        fake->setHasDocument(true);
        fake->setDocumentHtml("<html></html>");
        const auto save = [&] {
            std::optional<TSaveResult> result;
            browser.SaveToTempFile([&](const TSaveResult& r) { result = r; });
            (void)QTest::qWaitFor([&] { return result.has_value(); });
            return result.value_or(TSaveResult{{}, "no answer"});
        };
        const QString folder = Paths::pageCopiesFolder();
        QVERIFY(folder.startsWith(qEnvironmentVariable("PELVANE_HOME")));
        const TSaveResult result = save();
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(QFileInfo(result.fileName).absolutePath(), folder);
        QCOMPARE(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QFileInfo(result.fileName).permissions() & 0x0077, QFileDevice::Permissions());

        // An old copy and an old mail folder go; the new copy stays.
        const QDateTime weekAgo = QDateTime::currentDateTimeUtc().addDays(-PageCopies::KeepDays);
        const QString oldCopy = writeFile(QDir(folder).filePath("tmpold.htm"), "old");
        const QString oldMail = QDir(folder).filePath("pelvane-mail-old");
        QVERIFY(QDir().mkpath(oldMail));
        writeFile(QDir(oldMail).filePath("Page.htm"), "old");
        for (const QString& old : {oldCopy, oldMail})
            QVERIFY(TestFiles::setModified(old, weekAgo.addSecs(-60)));
        std::atomic_bool cancelled = true;
        QCOMPARE(PageCopies::prune(folder, weekAgo, cancelled), 0);
        cancelled = false;
        QCOMPARE(PageCopies::prune(folder, weekAgo, cancelled), 2);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(result.fileName).fileName()});

        // Someone else's folder at that place: no copy goes in, nothing in it is removed.
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
        const TSaveResult refused = save();
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error.contains(folder), qPrintable(refused.error));
        QCOMPARE(PageCopies::prune(folder, QDateTime::currentDateTimeUtc().addDays(1), cancelled),
                 0);
        QVERIFY(QFile::exists(result.fileName));
    }

    void saveFailuresAreReported()
    {
        Fixture f;
        // No document: an answer all the same, and never from inside the call.
        f.fake->setHasDocument(false);
        bool answered = false;
        f.browser.SaveToTempFile([&](const TSaveResult& r) {
            answered = true;
            QVERIFY(!r.ok());
            QVERIFY(r.fileName.isEmpty());
        });
        QVERIFY(!answered);
        QTRY_VERIFY(answered);

        // The engine could not give the page.
        f.fake->setHasDocument(true);
        f.fake->setDocumentHtml(QString());
        QVERIFY(!f.save([&](auto done) { f.browser.SaveForMail(done); }).ok());
        QVERIFY(f.tempEntries().isEmpty());

        // A folder that cannot be written.
        f.fake->setDocumentHtml("<p>x</p>");
        f.browser.setTempFolder(f.temp.filePath("missing/folder"));
        QVERIFY(!f.save([&](auto done) { f.browser.SaveToTempFile(done); }).ok());
        QVERIFY(!f.save([&](auto done) { f.browser.SaveForMail(done); }).ok());
        const TSaveResult direct = f.save(
            [&](auto done) { f.browser.SaveDocument(f.temp.filePath("missing/x.htm"), done); });
        QVERIFY(!direct.ok());
        QVERIFY(!direct.error.isEmpty());
    }

    void saveDocumentReplacesTheFileWhole()
    {
        Fixture f;
        const QString path = writeFile(f.temp.filePath("saved.htm"), QByteArray(10000, 'o'));
        const TSaveResult result = f.save([&](auto done) { f.browser.SaveDocument(path, done); });
        QVERIFY(result.ok());
        QCOMPARE(result.fileName, path);
        QCOMPARE(readFile(path), Bom + f.fake->documentHtml().toUtf8());
    }

    void savePageAsFormats()
    {
        Fixture f;
        f.browser.SavePageAs(f.temp.filePath("complete"), SaveFormat::CompletePage);
        f.browser.SavePageAs(f.temp.filePath("archive.htm"), SaveFormat::SingleFile);
        f.browser.SavePageAs(f.temp.filePath("archive.MHTML"), SaveFormat::SingleFile);
        QCOMPARE(f.fake->calls("savePage").size(), 3);
        QCOMPARE(f.fake->calls("savePage").at(0).args,
                 (QVariantList{f.temp.filePath("complete.htm"), true}));
        QCOMPARE(f.fake->calls("savePage").at(1).args,
                 (QVariantList{f.temp.filePath("archive.htm.mht"), false}));
        QCOMPARE(f.fake->calls("savePage").at(2).args,
                 (QVariantList{f.temp.filePath("archive.MHTML"), false}));

        // HTML only is written by the browser itself.
        f.browser.SavePageAs(f.temp.filePath("only.html"), SaveFormat::HtmlOnly);
        QTRY_COMPARE(readFile(f.temp.filePath("only.html")), Bom + f.fake->documentHtml().toUtf8());
        QCOMPARE(f.fake->calls("savePage").size(), 3);
    }
};

PELVANE_TEST_MAIN(TestSorvelBrowser)
#include "tst_sorvelbrowser.moc"
