#include "platform/SaveLeftovers.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDirIterator>
#include <QTest>

using TestFiles::writeFile;

class TestSaveLeftovers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_began = QDateTime::currentDateTime(); }
    void leftoverNames_data();
    void leftoverNames();
    void removedBeforeTheStartOnly();
    void subfoldersOnlyWhenAsked();
    void processStartIsBeforeTheTest();

private:
    QDateTime m_began;
};

void TestSaveLeftovers::leftoverNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("a shortcut's") << "Site.url.aB3dEf" << ".url" << true;
    QTest::newRow("ending in another case") << "Site.URL.aB3dEf" << ".url" << true;
    QTest::newRow("the shortcut itself") << "Site.url" << ".url" << false;
    QTest::newRow("five characters") << "Site.url.aB3dE" << ".url" << false;
    QTest::newRow("seven characters") << "Site.url.aB3dEfg" << ".url" << false;
    QTest::newRow("not a letter or digit") << "Site.url.aB3-Ef" << ".url" << false;
    QTest::newRow("nothing before the ending") << ".url.aB3dEf" << ".url" << false;
    QTest::newRow("another ending") << "Site.txt.aB3dEf" << ".url" << false;
    QTest::newRow("a whole name") << "toolbar.dat.Qx81zz" << "toolbar.dat" << true;
    QTest::newRow("a longer name with it") << "old-toolbar.dat.Qx81zz" << "toolbar.dat" << false;
    QTest::newRow("a session's marker") << "session-2.json.running.x1Y2z3" << ".running" << true;
    QTest::newRow("no ending given") << "Site.url.aB3dEf" << "" << false;
}

void TestSaveLeftovers::leftoverNames()
{
    QFETCH(QString, name);
    QFETCH(QString, ending);
    QFETCH(bool, leftover);
    QCOMPARE(SaveLeftovers::isLeftoverOf(name, ending), leftover);
}

void TestSaveLeftovers::removedBeforeTheStartOnly()
{
    const QString folder = TestFiles::home(QStringLiteral("before"));
    const QString leftover = writeFile(folder + QStringLiteral("/toolbar.dat.Ab12Cd"), "half");
    const QString kept = writeFile(folder + QStringLiteral("/toolbar.dat"), "whole");
    const QString other = writeFile(folder + QStringLiteral("/notes.txt.Ab12Cd"), "mine");
    const SaveLeftovers::Place place{folder, {QStringLiteral("toolbar.dat")}, false};

    // Made after a start an hour ago: another running copy's, left alone.
    QCOMPARE(SaveLeftovers::remove(place, QDateTime::currentDateTime().addSecs(-3600)), 0);
    QVERIFY(QFileInfo::exists(leftover));

    QCOMPARE(SaveLeftovers::remove(place, QDateTime::currentDateTime().addSecs(1)), 1);
    QVERIFY(!QFileInfo::exists(leftover));
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(QFileInfo::exists(other));
}

void TestSaveLeftovers::subfoldersOnlyWhenAsked()
{
    const QString folder = TestFiles::home(QStringLiteral("Favorites"));
    const QString top = writeFile(folder + QStringLiteral("/A.url.111111"), "");
    const QString below = writeFile(folder + QStringLiteral("/Sub/B.url.222222"), "");
    const QString hidden = writeFile(folder + QStringLiteral("/.import-1-x/C.url.333333"), "");
    const QDateTime later = QDateTime::currentDateTime().addSecs(1);

    QCOMPARE(SaveLeftovers::remove({folder, {QStringLiteral(".url")}, false}, later), 1);
    QVERIFY(!QFileInfo::exists(top));
    QVERIFY(QFileInfo::exists(below));

    QCOMPARE(SaveLeftovers::remove({folder, {QStringLiteral(".url")}, true}, later), 1);
    QVERIFY(!QFileInfo::exists(below));
    QVERIFY2(QFileInfo::exists(hidden), "a hidden folder is not the program's to tidy here");
    QCOMPARE(SaveLeftovers::remove({folder + QStringLiteral("/missing"), {QStringLiteral(".url")}, true},
                                   later),
             0);
}

void TestSaveLeftovers::processStartIsBeforeTheTest()
{
    const QDateTime started = SaveLeftovers::processStart();
    QVERIFY2(started < m_began, qPrintable(started.toString(Qt::ISODateWithMs)));
    QVERIFY2(started.secsTo(m_began) < 600, qPrintable(started.toString(Qt::ISODateWithMs)));
}

PELVANE_TEST_GUILESS_MAIN(TestSaveLeftovers)
#include "tst_saveleftovers.moc"
