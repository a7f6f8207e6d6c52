#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "support/RegeditFiles.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QThread>

namespace {

using ValueType = RegistryHive::ValueType;

// Every kind of value and line the format has, as a user might write it by hand: CR LF
// line ends, the short root name, blanks round "=", comments, a wrapped hex value.
const char HandMade[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; settings to deploy\r\n"
    "[HKCU\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\r\n"
    "\"StartupMode\"=\"Last\"\r\n"
    "@=\"a \\\"quoted\\\" C:\\\\path\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Limit\" = dword:0000000A\r\n"
    "\"Colour\"=dword:8000000e\r\n"
    "\"Path\"=hex(2):25,48,4f,4d,45,25,2f,50,65,6c,76,61,6e,65,2f,61,2f,76,65,72,79,\\\r\n"
    "  2f,6c,6f,6e,67,2f,70,61,74,68,00\r\n"
    "\"Eq=ual\"=\"x=y\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\Search Engines]\r\n"
    "\"Zeta\"=\"http://z/\"\r\n"
    "\"alpha\"=\"http://a/\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\Last Open Sites]\r\n"
    "\"url2\"=\"http://b/\"\r\n"
    "\"url1\"=\"http://a/\"\r\n";

// What export gives for it: long root names, sub-keys sorted without regard to case,
// values in stored order, 8 lower-case hex digits, hex lines broken as regedit does.
const char Exported[] =
    "REGEDIT4\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\n"
    "\"StartupMode\"=\"Last\"\n"
    "@=\"a \\\"quoted\\\" C:\\\\path\"\n"
    "\"Empty\"=\"\"\n"
    "\"Limit\"=dword:0000000a\n"
    "\"Colour\"=dword:8000000e\n"
    "\"Path\"=hex(2):25,48,4f,4d,45,25,2f,50,65,6c,76,61,6e,65,2f,61,2f,76,65,72,79,\\\n"
    "  2f,6c,6f,6e,67,2f,70,61,74,68,00\n"
    "\"Eq=ual\"=\"x=y\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\Last Open Sites]\n"
    "\"url2\"=\"http://b/\"\n"
    "\"url1\"=\"http://a/\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\Search Engines]\n"
    "\"Zeta\"=\"http://z/\"\n"
    "\"alpha\"=\"http://a/\"\n"
    "\n";

const QString Current =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion");

QByteArray exported(RegistryHive& hive, const QString& key,
                    RegFile::Format format = RegFile::Format::Regedit4)
{
    RegFile::Error error;
    const auto text = RegFile::exportKey(hive, key, &error, format);
    if (!text)
        qWarning() << error.text();
    return text.value_or(QByteArray("<failed>"));
}

} // namespace

class TestRegFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_hives = 0;

    QString freshHivePath() { return m_dir.filePath(QStringLiteral("hive%1.db").arg(++m_hives)); }

private Q_SLOTS:
    void handMadeFileImportsAndExportsExactly()
    {
        RegistryHive hive(freshHivePath());
        const auto error = RegFile::import(hive, HandMade);
        QVERIFY2(!error, qPrintable(error ? error->text() : QString()));
        QCOMPARE(QString::fromUtf8(exported(hive, Current)), QString::fromUtf8(Exported));

        TRegistry reg(hive);
        QVERIFY(
            reg.openKey(QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion"), false));
        QCOMPARE(reg.readString(QString()), QStringLiteral("a \"quoted\" C:\\path"));
        QCOMPARE(reg.readInteger(QStringLiteral("Colour")), -2147483634);
        TRegistry::DataType type = ValueType::String;
        QVERIFY(reg.dataType(QStringLiteral("Path"), &type));
        QCOMPARE(type, ValueType::ExpandString);
        QCOMPARE(reg.readString(QStringLiteral("path")),
                 QStringLiteral("%HOME%/Pelvane/a/very/long/path"));

        // What was exported imports into an empty hive as the same thing.
        RegistryHive copy(freshHivePath());
        QVERIFY(!RegFile::import(copy, exported(hive, Current)));
        QCOMPARE(exported(copy, Current), exported(hive, Current));
    }

    void deletionsAndRewrites()
    {
        RegistryHive hive(freshHivePath());
        QVERIFY(!RegFile::import(hive, HandMade));
        QVERIFY(!RegFile::import(
            hive,
            "REGEDIT4\n\n"
            "[-HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\SEARCH engines]\n"
            "[-HKEY_CURRENT_USER\\Software\\Never\\There]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\n"
            "\"StartupMode\"=-\n"
            "\"missing\"=-\n"
            "@=-\n"
            "\"Empty\"=\"now filled\"\n"
            "\"StartupMode\"=\"Home\"\n"));
        const QByteArray text =
            exported(hive, QStringLiteral("HKCU\\Software\\Brenmoor\\Pelvane\\CurrentVersion"));
        QVERIFY(!text.contains("Search Engines"));
        QVERIFY(text.contains("Last Open Sites"));
        // The rewritten value keeps its place; the deleted and rewritten one goes last.
        QVERIFY(text.contains("[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\n"
                              "\"Empty\"=\"now filled\"\n\"Limit\"=dword:0000000a\n"));
        QVERIFY(text.contains("\"Eq=ual\"=\"x=y\"\n\"StartupMode\"=\"Home\"\n\n"));
        QVERIFY(!text.contains("@="));
    }

    void faultyFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        const QByteArray head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\New]\n\"ok\"=\"1\"\n";
        QTest::newRow("no header") << QByteArray("[HKCU\\X]\n") << 1 << "REGEDIT4";
        QTest::newRow("unclosed quote") << head + "\"a\"=\"b\n" << 5 << "closing quote";
        QTest::newRow("bad escape") << head + "\"a\"=\"C:\\temp\"\n" << 5 << "escape";
        QTest::newRow("short dword") << head + "\"a\"=dword:123456789\n" << 5 << "8 hex digits";
        QTest::newRow("dword not hex") << head + "\"a\"=dword:0000000g\n" << 5 << "8 hex digits";
        QTest::newRow("short hex(4)") << head + "\"a\"=hex(4):01,02,03\n" << 5 << "4 bytes";
        QTest::newRow("type past 32 bits") << head + "\"a\"=hex(100000000):01\n" << 5 << "type";
        QTest::newRow("after a continuation")
            << head + "\"b\"=hex(7):41,00,\\\n  00\n\"c\"=bad\n" << 7 << "unknown value data";
        QTest::newRow("more than a mebibyte")
            << head + "\"a\"=hex:" + QByteArray("00,").repeated(1024 * 1024) + "00\n" << 5
            << "more than 1048576 bytes";
        QTest::newRow("bad byte") << head + "\"a\"=hex(2):41,4x,00\n" << 5 << "hex byte";
        QTest::newRow("open continuation") << head + "\"a\"=hex(2):41,\\\n"
                                           << 5 << "end of the file";
        QTest::newRow("unknown root") << head + "[HKEY_NOWHERE\\X]\n" << 5 << "root";
        QTest::newRow("delete a root") << head + "[-HKEY_CURRENT_USER]\n" << 5 << "root";
        QTest::newRow("value after deletion")
            << head + "[-HKEY_CURRENT_USER\\Software\\Old]\n\"a\"=\"b\"\n"
            << 6 << "deletion";
        QTest::newRow("value before key") << QByteArray("REGEDIT4\n\"a\"=\"b\"\n") << 2 << "before";
        QTest::newRow("stray text") << head + "a=b\n" << 5 << "neither";
        QTest::newRow("no equals") << head + "\"a\" \"b\"\n" << 5 << "\"=\"";
        QTest::newRow("trailing text") << head + "\"a\"=\"b\" c\n"
                                       << 5 << "after the closing quote";
        QTest::newRow("unclosed key") << head + "[HKCU\\X\n" << 5 << "]";
        QTest::newRow("NUL in a text") << head + QByteArray("\"a\"=\"b\0c\"\n", 10) << 5 << "NUL";
        QTest::newRow("crlf line count")
            << QByteArray("REGEDIT4\r\n\r\n[HKCU\\X]\r\n\"a\"=dword:\r\n") << 4 << "8 hex digits";
    }

    void faultyFileChangesNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        QFETCH(QString, message);
        RegistryHive hive(freshHivePath());
        QVERIFY(!RegFile::import(hive, HandMade));
        const QByteArray before = exported(hive, QString());

        const auto error = RegFile::import(hive, file);
        QVERIFY(error.has_value());
        QCOMPARE(error->line, line);
        QVERIFY2(error->message.contains(message), qPrintable(error->message));
        QVERIFY(error->text().startsWith(QStringLiteral("line %1: ").arg(line)));
        QCOMPARE(exported(hive, QString()), before);
    }

    void failureWhileApplyingRollsBackEverything()
    {
        RegistryHive hive(freshHivePath());
        QVERIFY(!RegFile::import(hive, HandMade));
        const QByteArray before = exported(hive, QString());
        // Changes that parse but cannot be applied: a value with no key to go into.
        RegFile::ParseResult parsed =
            RegFile::parse("REGEDIT4\n[HKCU\\Software\\Late]\n\"a\"=\"b\"\n");
        QVERIFY(!parsed.error);
        RegFile::Change orphan = parsed.changes.last();
        orphan.line = 9;
        parsed.changes.prepend(orphan);
        const auto error = RegFile::apply(hive, parsed.changes);
        QVERIFY(error.has_value());
        QCOMPARE(error->line, 9);
        QCOMPARE(exported(hive, QString()), before);
    }

    void textsThatNeedCare()
    {
        RegistryHive hive(freshHivePath());
        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Texts"), true));
        reg.writeString(QStringLiteral("lines"), QStringLiteral("one\r\ntwo"));
        reg.writeString(QStringLiteral("umlaut \"ä\""), QStringLiteral("Grüße \\ 東京"));
        reg.writeExpandString(QStringLiteral("empty"), QString());
        reg.writeInteger(QStringLiteral("max"), -1);
        const QByteArray text = exported(hive, QStringLiteral("hkcu\\SOFTWARE\\texts"));
        QVERIFY(text.startsWith("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Texts]\n"));
        QVERIFY(text.contains("\"lines\"=hex(1):6f,6e,65,0d,0a,74,77,6f,00\n"));
        QVERIFY(text.contains("\"empty\"=hex(2):00\n"));
        QVERIFY(text.contains("\"max\"=dword:ffffffff\n"));

        RegistryHive copy(freshHivePath());
        QVERIFY(!RegFile::import(copy, text));
        TRegistry back(copy);
        QVERIFY(back.openKey(QStringLiteral("\\Software\\Texts"), false));
        QCOMPARE(back.readString(QStringLiteral("lines")), QStringLiteral("one\r\ntwo"));
        QCOMPARE(back.readString(QStringLiteral("umlaut \"ä\"")), QStringLiteral("Grüße \\ 東京"));
        QCOMPARE(back.readInteger(QStringLiteral("max")), -1);
        QCOMPARE(back.valueNames(), reg.valueNames());
    }

    // A name with a line break or a NUL is refused when written, so that no name can add
    // lines of its own to an exported file; a hive nested deeper than a small stack can
    // follow exports all the same.
    void namesThatBreakLinesAndDeepKeys()
    {
        RegistryHive hive(freshHivePath());
        const qint64 key = hive.createChildKey(RegistryHive::CurrentUser, QStringLiteral("Names"));
        QVERIFY(key != 0);
        const QString injected = QStringLiteral("x\"=\"1\"\n[HKEY_LOCAL_MACHINE\\Evil]\n\"y");
        for (const QString& name : {injected, QStringLiteral("a\rb"), QString::fromLatin1("a\0b", 3)}) {
            QVERIFY(!hive.setValue(key, name, ValueType::String, QStringLiteral("v")));
            QCOMPARE(hive.createChildKey(key, name), 0);
        }
        QCOMPARE(hive.createChildKey(key, QStringLiteral("a\\b")), 0); // a path, not a name
        // "[...\\x ]" is read back as "x": the key would not survive export and import.
        QCOMPARE(hive.createChildKey(key, QStringLiteral("x ")), 0);
        QCOMPARE(hive.createChildKey(key, QStringLiteral("\ty")), 0);
        QVERIFY(!exported(hive, QString()).contains("Evil"));

        constexpr int Depth = 5000;
        QVERIFY(hive.beginTransaction());
        qint64 id = key;
        for (int i = 0; i < Depth; ++i)
            id = hive.createChildKey(id, QStringLiteral("k"));
        QVERIFY(hive.commitTransaction());
        QByteArray text;
        // Its own connection to the hive, on a thread with a small stack.
        QThread* exporter = QThread::create([&] {
            RegistryHive same(hive.path());
            text = exported(same, QStringLiteral("HKCU\\Names"));
        });
        exporter->setStackSize(256 * 1024);
        exporter->start();
        QVERIFY(exporter->wait(60000));
        delete exporter;
        QCOMPARE(text.count("\n[HKEY_CURRENT_USER\\Names"), Depth + 1);
        QVERIFY(text.endsWith(QByteArray("\\k").repeated(Depth) + "]\n\n"));
    }

    void filesOfOtherEditors()
    {
        // regedit 4 writes the ANSI code page: bytes that are not UTF-8 read as Latin-1.
        RegistryHive hive(freshHivePath());
        QVERIFY(
            !RegFile::import(hive, "REGEDIT4\r\n[HKCU\\Software\\A]\r\n\"n\"=\"Gr\xfc\xdf\"\r\n"));
        // regedit 5 writes UTF-16 with a byte order mark, and its hex(2) text is UTF-16 too.
        const QString v5 = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                          "[HKEY_CURRENT_USER\\Software\\B]\r\n"
                                          "\"e\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                                          "\"d\"=hex(4):0a,00,00,80\r\n");
        QByteArray wide("\xFF\xFE");
        wide.append(reinterpret_cast<const char*>(v5.utf16()), v5.size() * 2);
        QVERIFY(!RegFile::import(hive, wide));
        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\A"), false));
        QCOMPARE(reg.readString(QStringLiteral("n")), QStringLiteral("Grüß"));
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\B"), false));
        QCOMPARE(reg.readString(QStringLiteral("e")), QStringLiteral("%A%"));
        QCOMPARE(reg.readInteger(QStringLiteral("d")), static_cast<int>(0x8000000a));
    }

    void wholeHiveAndMissingKeys()
    {
        RegistryHive hive(freshHivePath());
        QVERIFY(!RegFile::import(hive, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\M]\n\"m\"=\"1\"\n"
                                       "[HKEY_CLASSES_ROOT\\.sgp]\n@=\"Pelvane.Group\"\n"));
        QCOMPARE(exported(hive, QString()),
                 QByteArray("REGEDIT4\n\n[HKEY_CLASSES_ROOT]\n\n[HKEY_CLASSES_ROOT\\.sgp]\n"
                            "@=\"Pelvane.Group\"\n\n[HKEY_CURRENT_USER]\n\n"
                            "[HKEY_LOCAL_MACHINE]\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\M]\n\"m\"=\"1\"\n\n"));
        RegFile::Error error;
        QVERIFY(!RegFile::exportKey(hive, QStringLiteral("HKCU\\Software\\Nope"), &error));
        QVERIFY(error.message.contains(QStringLiteral("not found")));
        QVERIFY(!RegFile::exportKey(hive, QStringLiteral("HKEY_ELSEWHERE\\X"), &error));
        QVERIFY(error.message.contains(QStringLiteral("root")));
    }

    // Every type regedit writes comes back as it was, in either file version and across
    // them: the same values, hex lists wrapped at the same places.
    void everyTypeRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<RegFile::Format>("format");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray v4 = RegeditFiles::Typed4;
        const QByteArray v5 = RegeditFiles::version5(RegeditFiles::Typed5);
        QTest::newRow("REGEDIT4") << v4 << RegFile::Format::Regedit4 << v4;
        QTest::newRow("version 5") << v5 << RegFile::Format::Version5 << v5;
        QTest::newRow("REGEDIT4 as version 5") << v4 << RegFile::Format::Version5 << v5;
        QTest::newRow("version 5 as REGEDIT4") << v5 << RegFile::Format::Regedit4 << v4;
    }

    void everyTypeRoundTrips()
    {
        QFETCH(QByteArray, file);
        QFETCH(RegFile::Format, format);
        QFETCH(QByteArray, expected);
        RegistryHive hive(freshHivePath());
        const auto error = RegFile::import(hive, file);
        QVERIFY2(!error, qPrintable(error ? error->text() : QString()));
        const QByteArray text = exported(hive, RegeditFiles::TypedKey, format);
        const auto readable = [](const QByteArray& bytes) {
            return bytes.startsWith("\xFF\xFE")
                       ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2)
                       : QString::fromUtf8(bytes);
        };
        QCOMPARE(readable(text), readable(expected));
        QCOMPARE(text, expected);
    }

    // The program's own reads take only the types they expect; any other is the
    // "Invalid data type" error, never a wrong value.
    void typedReadsRefuseOtherTypes()
    {
        RegistryHive hive(freshHivePath());
        QVERIFY(!RegFile::import(hive, RegeditFiles::version5(RegeditFiles::Typed5)));
        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Typed Values"), false));
        QCOMPARE(reg.readString(QStringLiteral("Expand")), QStringLiteral("%HOME%\\Grüße"));
        QCOMPARE(reg.readInteger(QStringLiteral("Number")), 42);
        const auto quad = hive.value(reg.keyId(), QStringLiteral("quad"));
        QVERIFY(quad);
        QCOMPARE(quad->type, ValueType::QWord);
        QCOMPARE(quad->data.toByteArray(), QByteArray("\x08\x07\x06\x05\x04\x03\x02\x01"));
        TRegistry::DataType type = ValueType::String;
        QVERIFY(reg.dataType(QStringLiteral("Custom"), &type));
        QCOMPARE(static_cast<quint32>(type), 0x100u);

        for (const char* name : {"Binary", "Empty binary", "Multi", "Quad", "Big endian", "None",
                                 "Link", "Custom"}) {
            const QString expected = QStringLiteral("Invalid data type for '%1'").arg(name);
            for (bool asText : {true, false}) {
                try {
                    asText ? (void)reg.readString(QLatin1String(name))
                           : (void)reg.readInteger(QLatin1String(name));
                    QFAIL(name);
                } catch (const RegistryError& e) {
                    QCOMPARE(e.message(), expected);
                }
            }
        }
    }
};

PELVANE_TEST_GUILESS_MAIN(TestRegFile)
#include "tst_regfile.moc"
