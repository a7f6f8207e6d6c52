#include "app/DroppedAddress.h"
#include "app/EditWith.h"
#include "app/LaunchImage.h"
#include "app/OpenDialog.h"
#include "browser/strip/PVPageControl.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMimeData>
#include <QPushButton>

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
