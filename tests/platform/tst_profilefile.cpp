#include "platform/ProfileFile.h"
#include "support/DataRows.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace TestFiles;

namespace {

// As a Windows program or a text editor leaves it: CR LF, blanks round "=", quotes,
// repeated keys and sections, a key before any section, comments.
const QByteArray ForeignFile = "; written by another program\r\n"
                               "orphan=before any section\r\n"
                               "\r\n"
                               "[Toolbar]\r\n"
                               "Size = 24 \r\n"
                               "\r\n"
                               "[SorvelGroup]\r\n"
                               "News = *http://127.0.0.1/news \r\n"
                               "quoted=\"  spaced  \"\r\n"
                               "NEWS=second value is ignored\r\n"
                               "blank2=about:blank\r\n"
                               "; a comment inside\r\n"
                               "bare\r\n"
                               "\r\n"
                               "; introduces the next section\r\n"
                               "[Other]\r\n"
                               "x=1\r\n"
                               "  [ sorvelgroup ]  \r\n"
                               "late=from the second header\r\n";

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueOfOneLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        addRows<QByteArray, QString, QString>({
            {"plain", "a=b", "a", "b"},
            {"blanks round =", "  Key \t=\t value  ", "Key", "value"},
            {"double quotes", "k=\" x \"", "k", " x "},
            {"single quotes", "k='y'", "k", "y"},
            {"blanks then quotes", "k=  \"z\"  ", "k", "z"},
            {"mixed quotes kept", "k=\"z'", "k", "\"z'"},
            {"one quote kept", "k=\"", "k", "\""},
            {"inner quotes kept", "k=a\"b\"", "k", "a\"b\""},
            {"only one pair off", "k=\"\"x\"\"", "k", "\"x\""},
            {"first = splits", "k=a=b", "k", "a=b"},
            {"no =", "lonely", "lonely", ""},
            {"empty value", "k=", "k", ""},
        });
        // In Windows text 0x85 is an ellipsis and 0xA0 a no-break space: text, not blanks.
        QTest::newRow("8-bit ends kept")
            << QByteArray("k=\xA0Wait\x85") << "k" << QStringLiteral("\u00A0Wait\u2026");
    }

    void valueOfOneLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const ProfileFile doc = ProfileFile::fromBytes("[S]\r\n" + line + "\r\n");
        QCOMPARE(doc.keyNames(QStringLiteral("s")), QStringList{key});
        QCOMPARE(doc.value(QStringLiteral("S"), key.toUpper(), QStringLiteral("default")), value);
    }

    void readsAFileWrittenElsewhere()
    {
        const ProfileFile doc = ProfileFile::fromBytes(ForeignFile);
        QCOMPARE(doc.status(), ProfileFile::Status::Ok);
        QCOMPARE(doc.sectionNames(), (QStringList{"Toolbar", "SorvelGroup", "Other"}));
        QCOMPARE(doc.keyNames(QStringLiteral("SORVELGROUP")),
                 (QStringList{"News", "quoted", "blank2", "bare", "late"}));
        QCOMPARE(doc.value(QStringLiteral("sorvelgroup"), QStringLiteral("news")),
                 QStringLiteral("*http://127.0.0.1/news"));
        QCOMPARE(doc.value(QStringLiteral("SorvelGroup"), QStringLiteral("quoted")),
                 QStringLiteral("  spaced  "));
        QCOMPARE(doc.value(QStringLiteral("toolbar"), QStringLiteral("SIZE")),
                 QStringLiteral("24"));
        // A key before the first section belongs to no section.
        QVERIFY(!doc.contains(QString(), QStringLiteral("orphan")));
        QCOMPARE(doc.value(QStringLiteral("Other"), QStringLiteral("orphan"), QStringLiteral("-")),
                 QStringLiteral("-"));

        // The same file with LF line ends reads the same.
        QByteArray lf = ForeignFile;
        lf.replace("\r\n", "\n");
        const ProfileFile lfOnly = ProfileFile::fromBytes(lf);
        QCOMPARE(lfOnly.entries(QStringLiteral("SorvelGroup")),
                 doc.entries(QStringLiteral("SorvelGroup")));
    }

    void writesInPlaceAndKeepsTheRest()
    {
        ProfileFile doc = ProfileFile::fromBytes(ForeignFile);
        QVERIFY(doc.setValue(QStringLiteral("sorvelgroup"), QStringLiteral("NEWS"),
                             QStringLiteral("new")));
        QVERIFY(
            doc.setValue(QStringLiteral("Toolbar"), QStringLiteral("Added"), QStringLiteral("2")));
        QVERIFY(doc.setValue(QStringLiteral("Fresh"), QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(doc.toBytes(), QByteArray("; written by another program\r\n"
                                           "orphan=before any section\r\n"
                                           "\r\n"
                                           "[Toolbar]\r\n"
                                           "Size = 24 \r\n"
                                           "Added=2\r\n"
                                           "\r\n"
                                           "[SorvelGroup]\r\n"
                                           "News=new\r\n"
                                           "quoted=\"  spaced  \"\r\n"
                                           "NEWS=second value is ignored\r\n"
                                           "blank2=about:blank\r\n"
                                           "; a comment inside\r\n"
                                           "bare\r\n"
                                           "\r\n"
                                           "; introduces the next section\r\n"
                                           "[Other]\r\n"
                                           "x=1\r\n"
                                           "  [ sorvelgroup ]  \r\n"
                                           "late=from the second header\r\n"
                                           "[Fresh]\r\n"
                                           "k=v\r\n"));
    }

    void removingASectionTakesEveryOccurrence()
    {
        ProfileFile doc = ProfileFile::fromBytes(ForeignFile);
        QVERIFY(doc.removeSection(QStringLiteral("SORVELGROUP")));
        QVERIFY(!doc.removeSection(QStringLiteral("SorvelGroup")));
        QVERIFY(
            doc.setValue(QStringLiteral("SorvelGroup"), QStringLiteral("a"), QStringLiteral("1")));
        QCOMPARE(doc.toBytes(), QByteArray("; written by another program\r\n"
                                           "orphan=before any section\r\n"
                                           "\r\n"
                                           "[Toolbar]\r\n"
                                           "Size = 24 \r\n"
                                           "\r\n"
                                           "\r\n"
                                           "; introduces the next section\r\n"
                                           "[Other]\r\n"
                                           "x=1\r\n"
                                           "[SorvelGroup]\r\n"
                                           "a=1\r\n"));

        QVERIFY(doc.removeKey(QStringLiteral("other"), QStringLiteral("X")));
        QVERIFY(!doc.contains(QStringLiteral("Other"), QStringLiteral("x")));
        QVERIFY(doc.hasSection(QStringLiteral("Other")));
    }

    void refusesWhatCannotBeReadBack_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        addRows<QString, QString, QString>({
            {"empty key", "S", " ", "v"},
            {"key with =", "S", "a=b", "v"},
            {"key like a header", "S", "[T]", "v"},
            {"key like a comment", "S", ";k", "v"},
            {"line break in key", "S", "a\nb", "v"},
            {"line break in value", "S", "k", "a\r\n[Evil]"},
            {"bracket in section", "S]", "k", "v"},
            {"empty section", "", "k", "v"},
        });
        QTest::newRow("NUL in value") << "S"
                                      << "k" << QString(QChar(u'\0'));
    }

    void refusesWhatCannotBeReadBack()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        ProfileFile doc;
        QString error;
        QVERIFY(!doc.setValue(section, key, value, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(doc.toBytes().isEmpty());
    }

    void valuesComeBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("leading blank") << " lead";
        QTest::newRow("trailing tab") << "trail\t";
        QTest::newRow("in quotes") << "\"q\"";
        QTest::newRow("in single quotes") << "'q'";
        QTest::newRow("quote at one end") << "a\"";
        QTest::newRow("empty") << "";
        QTest::newRow("long") << QString(3000, QLatin1Char('x'));
    }

    void valuesComeBackAsWritten()
    {
        QFETCH(QString, value);
        ProfileFile doc;
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("k"), value));
        QCOMPARE(
            ProfileFile::fromBytes(doc.toBytes()).value(QStringLiteral("S"), QStringLiteral("k")),
            value);
    }

    void nothingIsCutShort()
    {
        // The Windows functions stop at 2047 characters a value and 16 KiB of key names.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.ini"));
        const QString address =
            QStringLiteral("http://127.0.0.1/?q=") + QString(3000, QLatin1Char('a'));
        ProfileFile doc;
        QVERIFY(doc.setValue(QStringLiteral("SorvelGroup"), QStringLiteral("Long"), address));
        QStringList names{QStringLiteral("Long")};
        for (int i = 0; i < 2000; ++i) {
            names.append(QStringLiteral("a_rather_long_key_name_%1").arg(i));
            QVERIFY(doc.setValue(QStringLiteral("SorvelGroup"), names.last(), QStringLiteral("v")));
        }
        QString error;
        QVERIFY2(doc.saveAs(path, &error), qPrintable(error));
        QCOMPARE(
            ProfileFile::readString(path, QStringLiteral("SorvelGroup"), QStringLiteral("long")),
            address);
        QCOMPARE(ProfileFile::readKeyNames(path, QStringLiteral("SorvelGroup")), names);
    }

    void windowsTextRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ansi.ini"));
        QByteArray all;
        for (int c = 0x80; c <= 0xff; ++c)
            all.append(char(c));
        const QByteArray original = "[S]\r\nk=" + all + "\r\n[T]\r\nm=\x93quoted\x94\r\n";
        writeFile(path, original);

        ProfileFile doc = ProfileFile::load(path);
        QCOMPARE(doc.encoding(), ProfileFile::Encoding::Ansi);
        // Curly quotes and the euro sign of Windows text, not control characters.
        QCOMPARE(doc.value(QStringLiteral("T"), QStringLiteral("m")),
                 QStringLiteral("\u201Cquoted\u201D"));
        const QString value = doc.value(QStringLiteral("s"), QStringLiteral("K"));
        QCOMPARE(value.size(), all.size());
        QCOMPARE(value.front(), QChar(0x20AC));
        QCOMPARE(value.at(1), QChar(0x81)); // undefined in the code page: kept as it is
        QCOMPARE(value.at(0x20), QChar(0xA0));
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("copy"), value));
        QVERIFY(doc.save());
        QCOMPARE(readFile(path),
                 "[S]\r\nk=" + all + "\r\ncopy=" + all + "\r\n[T]\r\nm=\x93quoted\x94\r\n");
    }

    // Windows text read because one line is not UTF-8; once that line is changed, the rest
    // would read as UTF-8 ("\xC3\xA9" as "é", not "Ã©"), so it is written with the mark.
    void windowsTextThatWouldReadAsUtf8GetsTheMark()
    {
        ProfileFile doc = ProfileFile::fromBytes("[S]\r\na=\xC3\xA9\r\nb=\xE9\r\n");
        QCOMPARE(doc.encoding(), ProfileFile::Encoding::Ansi);
        QCOMPARE(doc.value(QStringLiteral("S"), QStringLiteral("a")),
                 QStringLiteral("\u00C3\u00A9"));
        QCOMPARE(doc.encodingForSave(), ProfileFile::Encoding::Ansi); // unchanged: as it was
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("b"), QStringLiteral("e")));
        QCOMPARE(doc.encodingForSave(), ProfileFile::Encoding::Utf8Bom);
        const ProfileFile again = ProfileFile::fromBytes(doc.toBytes());
        QCOMPARE(again.value(QStringLiteral("S"), QStringLiteral("a")),
                 QStringLiteral("\u00C3\u00A9"));
        QCOMPARE(again.value(QStringLiteral("S"), QStringLiteral("b")), QStringLiteral("e"));

        // "\u00FF\u00FE" first and an odd count of bytes after it: Windows text, until an edit
        // leaves bytes that are exact UTF-16.
        ProfileFile wide = ProfileFile::fromBytes("\xFF\xFE"
                                                  "0P\r\n[S]\r\nk=vv\r\n");
        QCOMPARE(wide.encoding(), ProfileFile::Encoding::Ansi);
        QCOMPARE(wide.encodingForSave(), ProfileFile::Encoding::Ansi);
        QVERIFY(wide.setValue(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(wide.encodingForSave(), ProfileFile::Encoding::Utf8Bom);
        const ProfileFile wideAgain = ProfileFile::fromBytes(wide.toBytes());
        QCOMPARE(wideAgain.value(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("v"));
        QCOMPARE(wideAgain.sectionNames(), wide.sectionNames());
    }

    // UTF-8 without a mark, as editors on Linux write it; lines nobody changed keep their
    // bytes: blanks, LF line ends, no line end at the end of the file.
    void utf8WithoutMarkAndUnchangedLinesAreKept()
    {
        const QByteArray head = "; caf\xC3\xA9\n[S]\nName = Caf\xC3\xA9 \xE2\x80\x9C"
                                "1\xE2\x80\x9D \n";
        const QByteArray original = head + "k=v";
        ProfileFile doc = ProfileFile::fromBytes(original);
        QCOMPARE(doc.encoding(), ProfileFile::Encoding::Utf8);
        QCOMPARE(doc.value(QStringLiteral("S"), QStringLiteral("name")),
                 QStringLiteral("Caf\u00E9 \u201C1\u201D"));
        QCOMPARE(doc.toBytes(), original);
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("NAME"),
                             doc.value(QStringLiteral("S"), QStringLiteral("name"))));
        QCOMPARE(doc.toBytes(), original);
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("w")));
        QVERIFY(doc.setValue(QStringLiteral("S"), QStringLiteral("new"), QStringLiteral("\u00E9")));
        QCOMPARE(doc.toBytes(), head + "k=w\r\nnew=\xC3\xA9\r\n");
        // A lone CR at the end of the file stays; ASCII alone stays Windows text.
        QCOMPARE(ProfileFile::fromBytes("[S]\r\nk=v\r").toBytes(), QByteArray("[S]\r\nk=v\r"));
        QCOMPARE(ProfileFile::fromBytes("[S]\nk=v\n").encoding(), ProfileFile::Encoding::Ansi);
    }

    void unicodeFormsAreKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("u.ini"));
        // A character Latin-1 cannot hold turns the file into UTF-8 rather than losing it.
        const QString name = QString::fromUtf8("Новости €");
        QVERIFY(ProfileFile::writeString(path, QStringLiteral("S"), QStringLiteral("k"), name));
        QVERIFY(readFile(path).startsWith("\xEF\xBB\xBF[S]\r\n"));
        QCOMPARE(ProfileFile::load(path).encoding(), ProfileFile::Encoding::Utf8Bom);
        QCOMPARE(ProfileFile::readString(path, QStringLiteral("S"), QStringLiteral("k")), name);

        // A byte-order mark followed by bytes that are not UTF-8 is plain 8-bit text.
        const QByteArray notUtf8 = "\xEF\xBB\xBF; note\r\n[S]\r\nk=caf\xE9\r\n";
        writeFile(path, notUtf8);
        ProfileFile doc = ProfileFile::load(path);
        QCOMPARE(doc.encoding(), ProfileFile::Encoding::Ansi);
        QCOMPARE(doc.value(QStringLiteral("S"), QStringLiteral("k")),
                 QString::fromLatin1("caf\xE9"));
        QVERIFY(doc.save());
        QCOMPARE(readFile(path), notUtf8);

        // A UTF-16 file as Windows Notepad saves it, written back the same way.
        QByteArray utf16("\xFF\xFE");
        for (const QChar c : QStringLiteral("[S]\r\nk=caf\u00e9\u20ac\r\n"))
            utf16.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        writeFile(path, utf16);
        doc = ProfileFile::load(path);
        QCOMPARE(doc.encoding(), ProfileFile::Encoding::Utf16LeBom);
        QCOMPARE(doc.value(QStringLiteral("S"), QStringLiteral("k")),
                 QStringLiteral("caf\u00e9\u20ac"));
        QVERIFY(doc.save());
        QCOMPARE(readFile(path), utf16);
    }

    void unusableFilesReadAsEmptyAndSayWhy()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing.ini"));
        ProfileFile doc = ProfileFile::load(missing);
        QCOMPARE(doc.status(), ProfileFile::Status::Missing);
        QVERIFY(doc.errorString().contains(QDir::toNativeSeparators(missing)));
        QVERIFY(doc.sectionNames().isEmpty());

        const QString binary = dir.filePath(QStringLiteral("binary.sgp"));
        const QByteArray bytes("[SorvelGroup]\r\nk=v\r\n\0\x01\x02\xff", 23);
        writeFile(binary, bytes);
        doc = ProfileFile::load(binary);
        QCOMPARE(doc.status(), ProfileFile::Status::NotText);
        QVERIFY(doc.errorString().contains(QStringLiteral("binary.sgp")));
        QVERIFY(doc.sectionNames().isEmpty());
        // Writing into it refuses rather than replacing the file with one key.
        QString error;
        QVERIFY(!ProfileFile::writeString(binary, QStringLiteral("S"), QStringLiteral("k"),
                                          QStringLiteral("v"), &error));
        QVERIFY(error.contains(QStringLiteral("binary.sgp")));
        QCOMPARE(readFile(binary), bytes);

        // A file far larger than any settings file (a group of a million pages) is not read.
        const QString huge = dir.filePath(QStringLiteral("huge.sgp"));
        writeFile(huge,
                  "[SorvelGroup]\r\n" + QByteArray("p=http://127.0.0.1/\r\n").repeated(60000));
        doc = ProfileFile::load(huge);
        QCOMPARE(doc.status(), ProfileFile::Status::NotText);
        QVERIFY2(doc.errorString().contains(QStringLiteral("too large")),
                 qPrintable(doc.errorString()));
        QVERIFY(doc.keyNames(QStringLiteral("SorvelGroup")).isEmpty());
        // Nor is one written that could not be read back; what was there stays.
        ProfileFile large;
        QVERIFY(large.setValue("SorvelGroup", "p", QString(1024 * 1024, QLatin1Char('x'))));
        QVERIFY(!large.saveAs(binary, &error));
        QVERIFY2(error.contains(QStringLiteral("too large")), qPrintable(error));
        QCOMPARE(readFile(binary), bytes);

        doc = ProfileFile::load(dir.path());
        QCOMPARE(doc.status(), ProfileFile::Status::Unreadable);
        QVERIFY(!doc.errorString().isEmpty());
        QVERIFY(doc.keyNames(QStringLiteral("SorvelGroup")).isEmpty());
    }

    void failedWritesAreReported()
    {
        QTemporaryDir dir;
        const QString plainFile = dir.filePath(QStringLiteral("file"));
        writeFile(plainFile, "x");
        const QString impossible = plainFile + QStringLiteral("/inside.ini");
        QString error;
        QVERIFY(!ProfileFile::writeString(impossible, QStringLiteral("S"), QStringLiteral("k"),
                                          QStringLiteral("v"), &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(impossible)), qPrintable(error));

        const QString folder = dir.filePath(QStringLiteral("readonly"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/kept.ini");
        writeFile(path, "[S]\r\nk=old\r\n");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool privileged = QFileInfo(folder).isWritable(); // root ignores the rights
        error.clear();
        const bool written = ProfileFile::writeString(
            path, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"), &error);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        if (privileged)
            QSKIP("Running with rights that ignore a read-only folder");
        QVERIFY(!written);
        QVERIFY2(error.contains(QStringLiteral("kept.ini")), qPrintable(error));
        QCOMPARE(readFile(path), QByteArray("[S]\r\nk=old\r\n"));
    }

    void newFilesArePrivate()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("private.ini"));
        QVERIFY(ProfileFile::writeString(path, QStringLiteral("S"), QStringLiteral("k"),
                                         QStringLiteral("v")));
        QCOMPARE(QFileInfo(path).permissions() &
                     (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                      QFileDevice::WriteOther),
                 QFileDevice::Permissions());
        QVERIFY(ProfileFile::deleteKey(path, QStringLiteral("s"), QStringLiteral("K")));
        QVERIFY(ProfileFile::deleteSection(path, QStringLiteral("S")));
        QCOMPARE(readFile(path), QByteArray());
        QVERIFY(ProfileFile::deleteSection(dir.filePath(QStringLiteral("none.ini")),
                                           QStringLiteral("S")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.ini"))));
    }
};

PELVANE_TEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
