#include "integration/DiscMonitor.h"
#include "support/DiscMonitorWait.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using DiscMonitorWait::changeUntilHeard;
using TestFiles::writeFile;

namespace {

// A monitor watching `folder` for name changes, started.
std::unique_ptr<TDiscMonitor> watching(const QString& folder, bool subTree)
{
    auto monitor = std::make_unique<TDiscMonitor>();
    monitor->SetDirectory(folder);
    monitor->SetSubTree(subTree);
    monitor->SetFilters(TDiscMonitor::FileName | TDiscMonitor::DirName);
    monitor->SetActive(true);
    return monitor;
}

} // namespace

class TestDiscMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deepRenameIsHeardOnlyWithSubTree();
    void movingTheDirectoryMovesTheWatch();
    void aBurstGivesFewChanges();
    void goneAndMissingFoldersAreInvalid();
    void emptyFiltersAreRefused();
    void destructionIsPrompt();
    void noDescriptorToSpare();
};

void TestDiscMonitor::deepRenameIsHeardOnlyWithSubTree()
{
    const QString root = TestFiles::home(QStringLiteral("fav"));
    writeFile(root + "/a/b/page.url", "[InternetShortcut]\r\nURL=x\r\n");
    auto deep = watching(root, true);
    auto flat = watching(root, false);
    QSignalSpy deepChanges(deep.get(), &TDiscMonitor::OnChange);
    QSignalSpy flatChanges(flat.get(), &TDiscMonitor::OnChange);
    QSignalSpy flatInvalid(flat.get(), &TDiscMonitor::OnInvalid);
    // Both are watching once the root's own changes reach both.
    QVERIFY(changeUntilHeard(flatChanges, [&](int n) {
        writeFile(root + QStringLiteral("/ready%1.url").arg(n), "");
    }));
    // The subtree's watches come later than the root's; a change two folders down is one
    // the flat monitor never hears.
    QVERIFY(changeUntilHeard(deepChanges, [&](int n) {
        writeFile(root + QStringLiteral("/a/b/ready%1.url").arg(n), "");
    }));
    deepChanges.clear();
    flatChanges.clear();

    QVERIFY(QFile::rename(root + "/a/b/page.url", root + "/a/b/renamed.url"));
    QVERIFY(deepChanges.wait(2000));
    // A folder created later is watched too.
    QVERIFY(QDir().mkpath(root + "/a/new/deeper"));
    QTRY_VERIFY(deepChanges.count() >= 2);
    const int deepBefore = int(deepChanges.count());
    writeFile(root + "/a/new/deeper/late.url", "");
    QTRY_VERIFY(deepChanges.count() > deepBefore);

    // The flat monitor heard none of it: removing the root ends with one change and
    // OnInvalid, which comes after anything it had heard before.
    QVERIFY(QDir(root).removeRecursively());
    QVERIFY(flatInvalid.wait(2000));
    QCOMPARE(flatChanges.count(), 1);
}

void TestDiscMonitor::movingTheDirectoryMovesTheWatch()
{
    const QString first = TestFiles::home(QStringLiteral("first"));
    const QString second = TestFiles::home(QStringLiteral("second"));
    QDir().mkpath(first);
    QDir().mkpath(second);
    auto monitor = watching(first, true);
    QSignalSpy changes(monitor.get(), &TDiscMonitor::OnChange);
    QSignalSpy invalid(monitor.get(), &TDiscMonitor::OnInvalid);
    QVERIFY(changeUntilHeard(changes, [&](int n) {
        writeFile(first + QStringLiteral("/f%1.url").arg(n), "");
    }));
    monitor->SetDirectory(second);
    QVERIFY(changeUntilHeard(changes, [&](int n) {
        writeFile(second + QStringLiteral("/s%1.url").arg(n), "");
    }));
    // The old folder is no longer watched: its removal raises nothing, the new one's
    // removal does (and comes after).
    changes.clear();
    QVERIFY(QDir(first).removeRecursively());
    QVERIFY(QDir(second).removeRecursively());
    QVERIFY(invalid.wait(2000));
    QCOMPARE(invalid.count(), 1);
    QCOMPARE(changes.count(), 1);
}

void TestDiscMonitor::aBurstGivesFewChanges()
{
    const QString root = TestFiles::home(QStringLiteral("burst"));
    QDir().mkpath(root);
    auto monitor = watching(root, true);
    QSignalSpy changes(monitor.get(), &TDiscMonitor::OnChange);
    QSignalSpy invalid(monitor.get(), &TDiscMonitor::OnInvalid);
    QVERIFY(changeUntilHeard(changes, [&](int n) {
        writeFile(root + QStringLiteral("/r%1.url").arg(n), "");
    }));
    changes.clear();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 1000; ++i)
        writeFile(root + QStringLiteral("/copied/page %1.url").arg(i), "[InternetShortcut]\r\n");
    const qint64 took = timer.elapsed();
    QVERIFY(QDir(root).removeRecursively());
    QVERIFY(invalid.wait(2000));
    // Each change closes a quiet spell at least QuietMs long; then the removal's.
    QVERIFY2(changes.count() >= 1 && changes.count() <= took / TDiscMonitor::QuietMs + 3,
             qPrintable(QStringLiteral("%1 changes in %2 ms").arg(changes.count()).arg(took)));
}

void TestDiscMonitor::goneAndMissingFoldersAreInvalid()
{
    const QString missing = TestFiles::home(QStringLiteral("missing"));
    auto monitor = watching(missing, true);
    QSignalSpy invalid(monitor.get(), &TDiscMonitor::OnInvalid);
    QSignalSpy changes(monitor.get(), &TDiscMonitor::OnChange);
    QVERIFY(invalid.wait(2000));
    // Once it exists, starting again watches it.
    QDir().mkpath(missing);
    monitor->SetActive(false);
    monitor->SetActive(true);
    QVERIFY(changeUntilHeard(changes, [&](int n) {
        writeFile(missing + QStringLiteral("/m%1.url").arg(n), "");
    }));
    QCOMPARE(invalid.count(), 1);
}

void TestDiscMonitor::emptyFiltersAreRefused()
{
    TDiscMonitor monitor;
    QCOMPARE(monitor.GetFilters(), TDiscMonitor::Filters(TDiscMonitor::FileName));
    QVERIFY(monitor.SubTree());
    QString error;
    QVERIFY(!monitor.SetFilters({}, &error));
    QCOMPARE(error, QStringLiteral("Some filter condition must be set."));
    QCOMPARE(monitor.GetFilters(), TDiscMonitor::Filters(TDiscMonitor::FileName));
}

void TestDiscMonitor::destructionIsPrompt()
{
    const QString root = TestFiles::home(QStringLiteral("quiet"));
    QDir().mkpath(root + "/sub");
    auto monitor = watching(root, true);
    QSignalSpy changes(monitor.get(), &TDiscMonitor::OnChange);
    QVERIFY(changeUntilHeard(changes, [&](int n) {
        writeFile(root + QStringLiteral("/q%1.url").arg(n), "");
    }));
    QElapsedTimer timer;
    timer.start();
    monitor.reset();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    // Never activated: the idle thread goes as promptly.
    timer.restart();
    { TDiscMonitor idle; }
    QVERIFY(timer.elapsed() < 500);
}

// A monitor made when the process has no descriptor to spare cannot watch: it says so
// when started, and still goes promptly.
void TestDiscMonitor::noDescriptorToSpare()
{
    const QString root = TestFiles::home(QStringLiteral("nofd"));
    QDir().mkpath(root);
    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    QVERIFY(lowestFree >= 0);
    ::close(lowestFree);
    rlimit none = limit;
    none.rlim_cur = rlim_t(lowestFree);
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
    // Left to leak if it fails: its thread would never end.
    auto* monitor = new TDiscMonitor;
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    QSignalSpy invalid(monitor, &TDiscMonitor::OnInvalid);
    monitor->SetDirectory(root);
    monitor->SetActive(true);
    QVERIFY(invalid.wait(2000));
    QElapsedTimer timer;
    timer.start();
    delete monitor;
    QVERIFY(timer.elapsed() < 500);
}

PELVANE_TEST_GUILESS_MAIN(TestDiscMonitor)
#include "tst_discmonitor.moc"
