#include "app/EarlyTermination.h"
#include "platform/TerminationWatcher.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>

class TestEarlyTermination final : public QObject
{
    Q_OBJECT

private slots:
    // A logout while the start asks a question: the question goes as if closed, and the
    // request is kept for the window.
    void aRequestClosesTheQuestionsOfTheStart()
    {
        TerminationWatcher watcher;
        EarlyTermination early(watcher);
        QDialog outer;
        QDialog inner;
        int innerResult = -1;
        // The inner question opens over the outer one, and the logout comes while both are.
        QTimer::singleShot(0, &outer, [&] {
            QTimer::singleShot(0, [] { ::raise(SIGTERM); });
            innerResult = inner.exec();
        });
        QCOMPARE(outer.exec(), int(QDialog::Rejected));
        QCOMPARE(innerResult, int(QDialog::Rejected));
        QVERIFY(early.requested());
    }

    // What came before the window is told to it once, after it has been made; later
    // requests go straight to it.
    void aKeptRequestIsToldToTheWindow()
    {
        TerminationWatcher watcher;
        EarlyTermination early(watcher);
        ::raise(SIGTERM);
        QTRY_VERIFY(early.requested());
        QObject window;
        int exits = 0;
        early.handOver(&window, [&exits] { ++exits; });
        QCOMPARE(exits, 0); // from the event loop, not from inside the making of the window
        QTRY_COMPARE(exits, 1);
        ::raise(SIGHUP);
        QTRY_COMPARE(exits, 2);
    }

    // Without a request the window is told nothing; once it has gone, neither is it.
    void aGoneWindowIsNotTold()
    {
        TerminationWatcher watcher;
        EarlyTermination early(watcher);
        auto window = std::make_unique<QObject>();
        int exits = 0;
        early.handOver(window.get(), [&exits] { ++exits; });
        QVERIFY(!early.requested());
        window.reset();
        ::raise(SIGTERM);
        QTRY_VERIFY(early.requested());
        QCOMPARE(exits, 0);
    }
};

QTEST_MAIN(TestEarlyTermination)
#include "tst_earlytermination.moc"
