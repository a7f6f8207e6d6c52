// What the window shares with other programs, on a tab set of its own: drops on the tab
// strip, the launch image, editing the page in another program, and the offer to become the
// default browser.
#include "browser/BrowserTab.h"
#include "integration/DroppedAddress.h"
#include "integration/LaunchImage.h"
#include "integration/window/WindowExternal.h"
#include "platform/DesktopEntry.h"
#include "settings/DefaultBrowser.h"
#include "settings/PVOptions.h"
#include "support/FakeDesktop.h"
#include "support/ScriptedWindowQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QToolBar>

using namespace TestFiles;

namespace {

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

// The default-browser check looks at the desktop's files: only at those in `xdg`.
void useDesktopFolders(const QTemporaryDir& xdg)
{
    qputenv("XDG_DATA_HOME", xdg.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", xdg.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", xdg.filePath(QStringLiteral("system-data")).toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", xdg.filePath(QStringLiteral("system-config")).toLocal8Bit());
    qunsetenv("XDG_CURRENT_DESKTOP");
}

// The part on a tab set, a menu band and an edit menu of its own.
struct External
{
    TabSetFixture set;
    QToolBar* menuBand = new QToolBar(&set.window);
    QMenu editMenu;
    ScriptedWindowQuestions questions;
    WindowExternal external{{set.tabs, *menuBand, editMenu, questions, set.hive}};
};

} // namespace

class TestWindowExternal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- Drop places --------------------------------------------------------------------

    void dropOnTheStrip()
    {
        External e;
        TPVPageControl& strip = e.set.strip;
        e.set.window.resize(800, 600);
        strip.resize(800, 600);
        e.set.window.show();
        TBrowserTab* first = e.set->GetActivePage();
        TBrowserTab* second = e.set->NewTabBackground(false);
        QCOMPARE(e.set->GetActivePage(), first);
        QTRY_VERIFY(strip.tabRect(1).isValid());

        // On an inactive tab: that tab navigates, nothing new.
        QMimeData link;
        link.setUrls({QUrl(QStringLiteral("http://127.0.0.1/dropped"))});
        sendDrop(strip.tabStrip(), strip.tabRect(1).center(), &link);
        QCOMPARE(TabSetFixture::lastNavigation(second), QStringLiteral("http://127.0.0.1/dropped"));
        QCOMPARE(e.set->tabs().size(), 2);

        // On the active tab: it keeps its page, a background tab opens the text.
        QMimeData text;
        text.setText(QStringLiteral("  http://127.0.0.1/text  "));
        sendDrop(strip.tabStrip(), strip.tabRect(0).center(), &text);
        QCOMPARE(e.set->tabs().size(), 3);
        QCOMPARE(e.set->GetActivePage(), first);
        QCOMPARE(e.set->tabs().at(1)->HomeUrl(), QStringLiteral("http://127.0.0.1/text"));

        // A shortcut file gives its address; an empty drop or one past the tabs does nothing.
        const QString shortcut = writeFile(home(QStringLiteral("Site.url")),
                                           "[InternetShortcut]\r\nURL=http://127.0.0.1/short\r\n");
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(shortcut)});
        sendDrop(strip.tabStrip(), strip.tabRect(2).center(), &file);
        QCOMPARE(TabSetFixture::lastNavigation(second), QStringLiteral("http://127.0.0.1/short"));
        e.external.dropOnTab(2, QString());
        e.external.dropOnTab(7, QStringLiteral("http://127.0.0.1/past"));
        QCOMPARE(TabSetFixture::lastNavigation(second), QStringLiteral("http://127.0.0.1/short"));
        QCOMPARE(e.set->tabs().size(), 3);
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

    // --- The launch image ---------------------------------------------------------------

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

    // The launch image hands a page to the desktop's browser, never back to us when we are
    // the desktop's default: to the first other browser then.
    void launchImageOpensAnotherBrowser()
    {
        FakeDesktop desktop;
        desktop.entry("pelvane.desktop",
                      "Name=Pelvane\nExec=/bin/false %u\n"
                      "MimeType=x-scheme-handler/https;x-scheme-handler/http;\n");
        const QString other = desktop.client("otherbrowser", "x-scheme-handler/http");
        writeFile(desktop.mimeAppsList(), "[Default Applications]\n"
                                          "x-scheme-handler/https=pelvane.desktop\n"
                                          "x-scheme-handler/http=pelvane.desktop\n");
        External e;
        e.set.window.show();
        e.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"),
                                         QStringLiteral("P"));
        auto* image = e.menuBand->findChild<LaunchImage*>();
        QVERIFY(image && QTest::qWaitForWindowExposed(&e.set.window));
        QTest::mouseClick(image, Qt::LeftButton);
        QTRY_COMPARE(FakeDesktop::received(other).mid(1), QStringList{"http://127.0.0.1/page"});
        QMimeData link;
        link.setText(QStringLiteral("http://127.0.0.1/dropped"));
        sendDrop(image, image->rect().center(), &link);
        QTRY_COMPARE(FakeDesktop::received(other).mid(1), QStringList{"http://127.0.0.1/dropped"});
        QVERIFY(e.questions.told.isEmpty());
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

    void editWithStartsTheProgramOnASavedCopy()
    {
        const QString folder = home(QStringLiteral("temp \"quoted\" dir"));
        QDir().mkpath(folder);
        const QString out = home(QStringLiteral("editor.out"));
        const QString script = writeFile(home(QStringLiteral("editor.sh")),
                                         "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$0.out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::rename(script, home(QStringLiteral("editor"))));

        External e;
        e.set->GetActivePage()->Browser()->setTempFolder(folder);
        e.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"),
                                         QStringLiteral("P"));
        e.set.activeFake()->setDocumentHtml(QStringLiteral("<html><body>page</body></html>"));
        DesktopApplication editor;
        editor.name = QStringLiteral("Editor");
        editor.exec = QStringLiteral("\"%1\" %f").arg(home(QStringLiteral("editor")));
        e.external.editDocumentWith(editor);
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
        QVERIFY(e.questions.told.isEmpty());
    }

    // A page that cannot be saved is told, and no program starts.
    void editWithAPageNotSavedIsTold()
    {
        External e; // a blank tab: nothing to save
        DesktopApplication editor;
        editor.name = QStringLiteral("Editor");
        editor.exec = QStringLiteral("/bin/false %f");
        e.external.editDocumentWith(editor);
        QTRY_COMPARE(e.questions.told.size(), 1);
        QVERIFY2(e.questions.told.first().startsWith(
                     QLatin1String("The page could not be saved for Editor:\n")),
                 qPrintable(e.questions.told.first()));
    }

    // --- The default browser ------------------------------------------------------------

    void defaultBrowserCheck()
    {
        QTemporaryDir xdg;
        useDesktopFolders(xdg);
        External e;
        int asked = 0;
        const auto answer = [&asked](bool yes) {
            return [&asked, yes] {
                ++asked;
                return yes;
            };
        };
        e.external.runDefaultBrowserCheck({}); // no question given: nothing runs
        e.external.runDefaultBrowserCheck(answer(false));
        QCOMPARE(asked, 1);
        QVERIFY(!IsDefaultBrowser());
        e.external.runDefaultBrowserCheck(answer(true));
        QCOMPARE(asked, 2);
        QVERIFY(IsDefaultBrowser());
        e.external.runDefaultBrowserCheck(answer(true));
        QCOMPARE(asked, 2); // already the default

        QDir(xdg.path()).removeRecursively();
        TPVOptions(e.set.hive).SetAskDefaultBrowser(false);
        e.external.runDefaultBrowserCheck(answer(true));
        QCOMPARE(asked, 2);
        QVERIFY(!IsDefaultBrowser());
        QVERIFY(e.questions.told.isEmpty());
    }

    // The desktop's list cannot be written: the user is told why.
    void aDefaultBrowserCheckThatFailsIsTold()
    {
        QTemporaryDir xdg;
        useDesktopFolders(xdg);
        writeFile(xdg.filePath(QStringLiteral("config")), "not a folder");
        External e;
        e.external.runDefaultBrowserCheck([] { return true; });
        QCOMPARE(e.questions.told.size(), 1);
        QVERIFY2(e.questions.told.first().startsWith(
                     QLatin1String("Pelvane could not be made your default browser.\n\n")),
                 qPrintable(e.questions.told.first()));
        QVERIFY(!IsDefaultBrowser());
    }
};

PELVANE_TEST_MAIN(TestWindowExternal)
#include "tst_windowexternal.moc"
