#include "app/DroppedAddress.h"
#include "app/WindowCommands.h"
#include "app/LaunchImage.h"
#include "address/dialogs/OpenDialog.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "links/LinksBar.h"
#include "platform/DesktopEntry.h"
#include "support/FakeDesktop.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrlQuery>

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

} // namespace

// What the main window shares with other programs: drops on the tab strip, the launch
// image, editing the page in another program, and the Open box.
class TestExternal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- Drop places --------------------------------------------------------------------

    void dropOnTheStrip()
    {
        MainWindowFixture w;
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
        QCOMPARE(MainWindowFixture::lastNavigation(second),
                 QStringLiteral("http://127.0.0.1/dropped"));
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
        QCOMPARE(MainWindowFixture::lastNavigation(second),
                 QStringLiteral("http://127.0.0.1/short"));
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

    // The launch image hands a page to the desktop's browser, never back to us when we are
    // the desktop's default: to the first other browser then.
    void launchImageOpensAnotherBrowser()
    {
        FakeDesktop desktop;
        desktop.entry("pelvane.desktop", "Name=Pelvane\nExec=/bin/false %u\n"
                                         "MimeType=x-scheme-handler/https;x-scheme-handler/http;\n");
        const QString other = desktop.client("otherbrowser", "x-scheme-handler/http");
        writeFile(desktop.mimeAppsList(), "[Default Applications]\n"
                                          "x-scheme-handler/https=pelvane.desktop\n"
                                          "x-scheme-handler/http=pelvane.desktop\n");
        MainWindowFixture w;
        w->show();
        w.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"), QStringLiteral("P"));
        auto* image = w->findChild<LaunchImage*>();
        QVERIFY(image && QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(image, Qt::LeftButton);
        QTRY_COMPARE(FakeDesktop::received(other).mid(1), QStringList{"http://127.0.0.1/page"});
        QMimeData link;
        link.setText(QStringLiteral("http://127.0.0.1/dropped"));
        sendDrop(image, image->rect().center(), &link);
        QTRY_COMPARE(FakeDesktop::received(other).mid(1), QStringList{"http://127.0.0.1/dropped"});
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

        MainWindowFixture w;
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

    // --- Links bar ----------------------------------------------------------------------

    // The Favorites folder's monitor tells the links bar of a Links folder made later.
    void aLinksFolderMadeLaterIsFound()
    {
        QDir().mkpath(home(QStringLiteral("Favorites")));
        const QString links = home(QStringLiteral("Favorites/Links/"));
        bool found = false;
        {
            MainWindowFixture w;
            const TLinksBar* bar = w->findChild<TLinksBar*>();
            QVERIFY(bar && bar->buttons().isEmpty());
            Q_EMIT w->menu(MenuId::Favorites)->aboutToShow(); // the monitor starts
            for (int n = 0; n < 20 && !found; ++n) {
                writeFile(links + QStringLiteral("Site%1.url").arg(n), "[InternetShortcut]\r\n");
                found = QTest::qWaitFor([&] { return !bar->buttons().isEmpty(); }, 700);
            }
        }
        QDir(links).removeRecursively();
        QVERIFY(found);
    }

    // --- Help ---------------------------------------------------------------------------

    void helpAndSupportOpenInTabsAndHaveNoDeadLinks()
    {
        MainWindowFixture w;
        w->commands()->run(KeyDispatcher::Command::HelpTopics); // F1
        QCOMPARE(w->tabs().size(), 2);
        const QUrl help(w.lastNavigation(w->GetActivePage()));
        QVERIFY(help.isLocalFile());
        QVERIFY2(QFileInfo(help.toLocalFile()).isFile(), qPrintable(help.toString()));

        w->action(ActionId::actSupport)->trigger();
        const QUrl support(w->GetActivePage()->HomeUrl());
        QCOMPARE(QUrlQuery(support).queryItemValue(QStringLiteral("settings"), QUrl::FullyDecoded),
                 w.hive.path());
        QVERIFY(QFileInfo(support.toLocalFile()).isFile());

        // Every link of the help pages leads somewhere: another page that is there, or a
        // place in a page that has it.
        const QDir folder = QFileInfo(help.toLocalFile()).dir();
        const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        const QRegularExpression anchor(QStringLiteral("id=\"([^\"]+)\""));
        int links = 0;
        for (const QString& page : folder.entryList({QStringLiteral("*.html")})) {
            const QString text = QString::fromUtf8(readFile(folder.filePath(page)));
            QStringList ids;
            for (const auto& m : anchor.globalMatch(text))
                ids << m.captured(1);
            for (const auto& m : link.globalMatch(text)) {
                const QString target = m.captured(1);
                ++links;
                if (target.startsWith(QLatin1Char('#')))
                    QVERIFY2(ids.contains(target.mid(1)), qPrintable(page + target));
                else
                    QVERIFY2(folder.exists(target.section(QLatin1Char('#'), 0, 0)),
                             qPrintable(page + " " + target));
            }
        }
        QVERIFY(links > 5);
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

PELVANE_TEST_MAIN(TestExternal)
#include "tst_external.moc"
