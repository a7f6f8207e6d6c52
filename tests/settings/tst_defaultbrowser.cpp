#include "platform/Registry.h"
#include "settings/DefaultBrowser.h"
#include "settings/MimeAppsList.h"
#include "settings/PVOptions.h"
#include "settings/dialogs/DefaultBrowser.h"
#include "support/DataRows.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace TestFiles;

namespace {

// A stand-in for the program: an executable file at a path of the test's choosing.
QString fakeProgram(const QString& path)
{
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QString askSettingText()
{
    TRegistry reg(RegistryHive::userHive());
    if (!reg.openKey(QStringLiteral("Software\\Brenmoor\\Pelvane\\CurrentVersion"), false))
        return QStringLiteral("<no key>");
    if (!reg.valueExists(QStringLiteral("AskDefaultBrowser")))
        return QStringLiteral("<no value>");
    return reg.readString(QStringLiteral("AskDefaultBrowser"));
}

// mimeapps.list as a desktop and the user left it.
const QByteArray ForeignList = "# kept as written\n"
                               "[Added Associations]\n"
                               "text/html=firefox.desktop;pelvane.desktop;\n"
                               "\n"
                               "[Default Applications]\n"
                               "application/pdf=evince.desktop\n"
                               "x-scheme-handler/http = firefox.desktop;chromium.desktop;\n"
                               "image/png=eog.desktop;\n"
                               "\n"
                               "[Removed Associations]\n"
                               "text/plain=gedit.desktop;\n";

} // namespace

class TestDefaultBrowser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_xdg;
    int m_round = 0;
    QString m_data;
    QString m_config;

    QString list() const { return m_config + QStringLiteral("/mimeapps.list"); }

private Q_SLOTS:
    void init()
    {
        // Fresh desktop folders for every test, none of them the user's own.
        const QString root = m_xdg.filePath(QString::number(++m_round));
        m_data = root + QStringLiteral("/data");
        m_config = root + QStringLiteral("/config");
        qputenv("XDG_DATA_HOME", m_data.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_config.toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (root + QStringLiteral("/system-data")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", (root + QStringLiteral("/system-config")).toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
        TRegistry reg(RegistryHive::userHive());
        reg.deleteKey(QStringLiteral("Software\\Brenmoor\\Pelvane\\CurrentVersion"));
    }

    void defaultsRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArrayList>("ids");
        QTest::newRow("blanks round =") << ForeignList << QByteArray("x-scheme-handler/http")
                                        << QByteArrayList{"firefox.desktop", "chromium.desktop"};
        QTest::newRow("other sections do not count")
            << ForeignList << QByteArray("text/html") << QByteArrayList{};
        QTest::newRow("no list separator")
            << ForeignList << QByteArray("Application/PDF") << QByteArrayList{"evince.desktop"};
        QTest::newRow("empty value") << QByteArray("[Default Applications]\ntext/html=\n")
                                     << QByteArray("text/html") << QByteArrayList{};
    }

    void defaultsRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, type);
        QFETCH(QByteArrayList, ids);
        QCOMPARE(MimeAppsList::defaultsFor(text, type), ids);
    }

    void defaultsWritten_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        addRows<QByteArray, QByteArray>({
            {"no file", QByteArray(),
             QByteArray("[Default Applications]\ntext/html=pelvane.desktop;\n"
                        "x-scheme-handler/http=pelvane.desktop;\n")},
            {"others kept, old default second", ForeignList,
             QByteArray("# kept as written\n"
                        "[Added Associations]\n"
                        "text/html=firefox.desktop;pelvane.desktop;\n"
                        "\n"
                        "[Default Applications]\n"
                        "application/pdf=evince.desktop\n"
                        "x-scheme-handler/http=pelvane.desktop;firefox.desktop;chromium.desktop;\n"
                        "image/png=eog.desktop;\n"
                        "text/html=pelvane.desktop;\n"
                        "\n"
                        "[Removed Associations]\n"
                        "text/plain=gedit.desktop;\n")},
            {"repeated line, CR LF, no last line end",
             QByteArray("[Default Applications]\r\ntext/html=a.desktop;pelvane.desktop\r\n"
                        "TEXT/HTML=b.desktop\r\nx-scheme-handler/http=pelvane.desktop;"),
             QByteArray("[Default Applications]\r\ntext/html=pelvane.desktop;a.desktop;\r\n"
                        "x-scheme-handler/http=pelvane.desktop;")},
            {"section added after other text", "[Added Associations]\nimage/png=eog.desktop;",
             QByteArray("[Added Associations]\nimage/png=eog.desktop;\n\n"
                        "[Default Applications]\ntext/html=pelvane.desktop;\n"
                        "x-scheme-handler/http=pelvane.desktop;\n")},
        });
    }

    void defaultsWritten()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const QByteArrayList types{"text/html", "x-scheme-handler/http"};
        QCOMPARE(MimeAppsList::withDefault(before, types, "pelvane.desktop"), after);
        // A second registration changes nothing more.
        QCOMPARE(MimeAppsList::withDefault(after, types, "pelvane.desktop"), after);
    }

    void execLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("argument");
        addRows<QString, QString>({
            {"plain", "/usr/bin/pelvane", "\"/usr/bin/pelvane\""},
            {"blanks", "/opt/My Apps/pelvane", "\"/opt/My Apps/pelvane\""},
            // Inside quotes: \" \$ \` \\, % doubled; then the string escape doubles backslashes.
            {"reserved", "/a\"b$c`d\\e%f/pelvane", "\"/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f/pelvane\""},
            {"single quote", "/it's/pelvane", "\"/it's/pelvane\""},
        });
    }

    void execLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, argument);
        QCOMPARE(DefaultBrowser::execArgument(path), argument);
        QVERIFY(
            DefaultBrowser::desktopEntry(path).contains("\nExec=" + argument.toUtf8() + " %u\n"));
    }

    void yesKeepsForeignEntriesAndMakesTheDefault()
    {
        writeFile(list(), ForeignList);
        const QString program =
            fakeProgram(m_xdg.filePath(QStringLiteral("Program Files/pelvane")));
        QVERIFY(!IsDefaultBrowser());

        int asked = 0;
        QCOMPARE(CheckDefaultBrowser(program, [&] { return ++asked > 0; }),
                 DefaultBrowserCheck::MadeDefault);
        QCOMPARE(asked, 1);
        QVERIFY(IsDefaultBrowser());

        const QByteArray written = readFile(list());
        for (const char* type : {"text/html", "x-scheme-handler/http", "x-scheme-handler/https"})
            QCOMPARE(MimeAppsList::defaultsFor(written, type).value(0),
                     QByteArray("pelvane.desktop"));
        for (const char* kept :
             {"# kept as written\n[Added Associations]\n", "application/pdf=evince.desktop\n",
              "image/png=eog.desktop;\n", "\n[Removed Associations]\ntext/plain=gedit.desktop;\n"})
            QVERIFY2(written.contains(kept), kept);

        const QByteArray entry = readFile(m_data + QStringLiteral("/applications/pelvane.desktop"));
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nExec=\"" + program.toUtf8() + "\" %u\n"));
        QVERIFY(entry.contains("\nMimeType=text/html;application/xhtml+xml;"
                               "x-scheme-handler/http;x-scheme-handler/https;\n"));

        // Once the default, the question is not asked again.
        QCOMPARE(CheckDefaultBrowser(program, [&] { return ++asked > 0; }),
                 DefaultBrowserCheck::AlreadyDefault);
        QCOMPARE(asked, 1);
    }

    void httpElsewhereIsNotTheDefault()
    {
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        QVERIFY(MakeDefaultBrowser(program));
        QVERIFY(IsDefaultBrowser());
        writeFile(list(), "[Default Applications]\ntext/html=pelvane.desktop;\n"
                          "x-scheme-handler/http=firefox.desktop;pelvane.desktop;\n");
        QVERIFY(!IsDefaultBrowser());
        // Nor when the entry itself is gone.
        QVERIFY(MakeDefaultBrowser(program));
        QVERIFY(QFile::remove(DefaultBrowser::desktopEntryPath()));
        QVERIFY(!IsDefaultBrowser());
    }

    // An installed entry that starts this program serves: none of ours hides it.
    void anInstalledEntryIsNotHidden()
    {
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        const QString installed =
            QFileInfo(m_data).path() + QStringLiteral("/system-data/applications");
        writeFile(installed + QStringLiteral("/pelvane.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Pelvane\nIcon=pelvane\nTryExec=" +
                      program.toUtf8() + "\nExec=" + program.toUtf8() + " %U\n");
        QVERIFY(MakeDefaultBrowser(program));
        QVERIFY(!QFile::exists(DefaultBrowser::desktopEntryPath()));
        QVERIFY(IsDefaultBrowser());
    }

    void aDesktopsOwnListIsUpdatedWhereItDecides()
    {
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        const QString gnomeList = m_config + QStringLiteral("/gnome-mimeapps.list");
        const QByteArray gnome = "[Default Applications]\ntext/html=firefox.desktop\n";
        writeFile(gnomeList, gnome);
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        QVERIFY(MakeDefaultBrowser(program));
        QVERIFY(IsDefaultBrowser());
        QCOMPARE(
            readFile(gnomeList),
            QByteArray("[Default Applications]\ntext/html=pelvane.desktop;firefox.desktop;\n"));
        QVERIFY(!QFile::exists(m_config + QStringLiteral("/ubuntu-mimeapps.list")));
    }

    void aMovedProgramIsAskedForAgainAndRewritten()
    {
        const QString oldPath = fakeProgram(m_xdg.filePath(QStringLiteral("old/pelvane")));
        QCOMPARE(CheckDefaultBrowser(oldPath, [] { return true; }),
                 DefaultBrowserCheck::MadeDefault);
        QVERIFY(IsDefaultBrowser());
        const QString newPath = m_xdg.filePath(QStringLiteral("new place/pelvane"));
        QDir().mkpath(QFileInfo(newPath).absolutePath());
        QVERIFY(QFile::rename(oldPath, newPath));
        QVERIFY(!IsDefaultBrowser()); // the entry starts nothing any more

        QCOMPARE(CheckDefaultBrowser(newPath, [] { return true; }),
                 DefaultBrowserCheck::MadeDefault);
        const QByteArray entry = readFile(DefaultBrowser::desktopEntryPath());
        QVERIFY(entry.contains("\nExec=\"" + newPath.toUtf8() + "\" %u\n"));
        QVERIFY(!entry.contains(oldPath.toUtf8()));
        QVERIFY(IsDefaultBrowser());
    }

    void noWritesNothing()
    {
        writeFile(list(), ForeignList);
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        QCOMPARE(CheckDefaultBrowser(program, [] { return false; }), DefaultBrowserCheck::Declined);
        QCOMPARE(readFile(list()), ForeignList);
        QVERIFY(!QFile::exists(DefaultBrowser::desktopEntryPath()));
        QVERIFY(!IsDefaultBrowser());
    }

    void aFailedWriteIsReported()
    {
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        QString error;
        // A list larger than the desktop writes (over 1 MiB) is neither read nor written over.
        const QByteArray large = "[Default Applications]\n" + QByteArray(1 << 20, '#');
        writeFile(list(), large);
        QCOMPARE(CheckDefaultBrowser(
                     program, [] { return true; }, &error),
                 DefaultBrowserCheck::Failed);
        QCOMPARE(QFileInfo(list()).size(), large.size());
        QVERIFY2(error.contains(QStringLiteral("larger than")), qPrintable(error));
        // The configuration folder is a file, so the list cannot be written.
        QVERIFY(QDir(m_config).removeRecursively());
        writeFile(m_config, "not a folder");
        QCOMPARE(CheckDefaultBrowser(
                     program, [] { return true; }, &error),
                 DefaultBrowserCheck::Failed);
        QVERIFY2(error.contains(QStringLiteral("mimeapps.list")), qPrintable(error));
    }

    void startupCheckFollowsTheSetting()
    {
        const QString program = fakeProgram(m_xdg.filePath(QStringLiteral("pelvane")));
        int asked = 0;
        auto no = [&] {
            ++asked;
            return false;
        };
        // Missing: ask.
        QVERIFY(StartupDefaultBrowserCheck(RegistryHive::userHive(), program, no) ==
                DefaultBrowserCheck::Declined);
        QCOMPARE(asked, 1);
        // "0": not asked, and written back as false.
        TPVOptions(RegistryHive::userHive()).SetAskDefaultBrowser(false);
        QVERIFY(!StartupDefaultBrowserCheck(RegistryHive::userHive(), program, no).has_value());
        QCOMPARE(asked, 1);
        QCOMPARE(askSettingText(), QStringLiteral("0"));
        // Checking the box again brings the question back.
        TPVOptions(RegistryHive::userHive()).SetAskDefaultBrowser(true);
        QVERIFY(StartupDefaultBrowserCheck(RegistryHive::userHive(), program, no) ==
                DefaultBrowserCheck::Declined);
        QCOMPARE(asked, 2);
    }

    void dialogTextsAndAnswers()
    {
        TfrmDefaultBrowser dialog(RegistryHive::userHive());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Pelvane"));
        QCOMPARE(dialog.Label1()->text(),
                 QStringLiteral("Pelvane is not currently your default browser."));
        QCOMPARE(dialog.Label2()->text(),
                 QStringLiteral("Would you like to make it your default browser?"));
        QCOMPARE(dialog.CheckBox1()->text(),
                 QStringLiteral("&Always perfom this check when starting Pelvane"));
        QVERIFY(dialog.CheckBox1()->isChecked());
        QCOMPARE(dialog.Button1()->text(), QStringLiteral("&Yes"));
        QVERIFY(dialog.Button1()->isDefault());
        QCOMPARE(dialog.Button2()->text(), QStringLiteral("&No"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));

        // The check box writes at once, before any answer.
        QCOMPARE(askSettingText(), QStringLiteral("<no key>"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.CheckBox1(), Qt::LeftButton);
        QCOMPARE(askSettingText(), QStringLiteral("0"));
        QTest::keyClick(dialog.CheckBox1(), Qt::Key_Space);
        QCOMPARE(askSettingText(), QStringLiteral("1"));

        QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.show();
        QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

PELVANE_TEST_MAIN(TestDefaultBrowser)
#include "tst_defaultbrowser.moc"
