// Where the program reads its shipped pages, decided from its own folder: an installed
// tree anywhere (also after it was moved), the build folder, and the cases between.
#include "platform/Paths.h"
#include "support/TestHome.h"

#include <QDir>

class TestDataFolder final : public QObject
{
    Q_OBJECT

private slots:
    void decision_data();
    void decision();
    void runningTestUsesTheSources();

private:
    QTemporaryDir m_root;
};

void TestDataFolder::decision_data()
{
    // Under the root: an installed tree in "usr" and one moved to "opt/pelvane", a build
    // folder "build" beside a sibling "build-old", and an installed tree without its data.
    QVERIFY(m_root.isValid());
    const QDir root(m_root.path());
    for (const char* folder :
         {"usr/bin", "usr/share/pelvane", "opt/pelvane/bin", "opt/pelvane/share/pelvane",
          "build/src", "build-old/src", "broken/bin"})
        QVERIFY(root.mkpath(QLatin1String(folder)));
    const QString r = m_root.path();

    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed") << r + "/usr/bin" << r + "/usr/share/pelvane";
    QTest::newRow("installed tree moved")
        << r + "/opt/pelvane/bin" << r + "/opt/pelvane/share/pelvane";
    QTest::newRow("build folder") << r + "/build/src" << QStringLiteral("SOURCES");
    QTest::newRow("folder named like the build folder")
        << r + "/build-old/src" << r + "/build-old/share/pelvane";
    QTest::newRow("installed without its data, never the sources")
        << r + "/broken/bin" << r + "/broken/share/pelvane";
}

void TestDataFolder::decision()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, expected);
    QCOMPARE(Paths::sharedDataFolderFor(programFolder, QStringLiteral("../share/pelvane"),
                                        m_root.path() + QStringLiteral("/build/"),
                                        QStringLiteral("SOURCES")),
             expected);
}

void TestDataFolder::runningTestUsesTheSources()
{
    // This test runs inside the build folder: it reads the pages of the sources.
    QVERIFY(QFileInfo::exists(Paths::sharedDataFolder() + QStringLiteral("/pages/start.html")));
}

PELVANE_TEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
