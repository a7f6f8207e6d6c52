#include "platform/TerminationWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

class TestTermination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What comes before the program is ready for it is told once it is, in order.
    void aRequestBeforeStartIsToldAfterIt()
    {
        TerminationWatcher watcher;
        QSignalSpy told(&watcher, &TerminationWatcher::terminationRequested);
        ::raise(SIGTERM); // the default action would end this test here
        ::raise(SIGHUP);
        QCoreApplication::processEvents();
        QCOMPARE(told.count(), 0);
        watcher.start();
        QTRY_COMPARE(told.count(), 2);
        QCOMPARE(told.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(told.at(1).at(0).toInt(), SIGHUP);
        // A second start changes nothing.
        watcher.start();
        ::raise(SIGINT);
        QTRY_COMPARE(told.count(), 3);
    }

    // A helper forked without exec inherits the handler; a kill of it is its own and ends it
    // as it would have ended without the watcher, telling the program nothing.
    void aForkedChildEndsByItsOwnSignal()
    {
        TerminationWatcher watcher;
        watcher.start();
        QSignalSpy told(&watcher, &TerminationWatcher::terminationRequested);
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ready[0]);
            [[maybe_unused]] const ssize_t said = ::write(ready[1], "r", 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
        ::close(ready[0]);
        QCOMPARE(::kill(child, SIGTERM), 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGTERM);
        // The program's own request after the child's arrives alone.
        ::raise(SIGINT);
        QTRY_COMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toInt(), SIGINT);
    }
};

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
