#include "platform/StartupMarks.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTest>

namespace {

QStringList told;

qint64 steadyNow()
{
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

void keepMessage(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (qstrcmp(context.category, "pelvane.startup") == 0)
        told << message;
}

} // namespace

class TestStartupMarks final : public QObject
{
    Q_OBJECT

private slots:
    void linesAreReadBack_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("isMark");
        QTest::addColumn<QString>("step");
        QTest::addColumn<qint64>("ms");
        const QString told = StartupMarks::text({QStringLiteral("first-paint"), 123456789});
        QTest::newRow("as told") << told << true << "first-paint" << qint64(123456789);
        QTest::newRow("behind the category")
            << "pelvane.startup: startup engine at 42" << true << "engine" << qint64(42);
        QTest::newRow("behind a message pattern")
            << "[12:00:01.5 info] pelvane.startup: startup main at 7\r" << true << "main"
            << qint64(7);
        QTest::newRow("the engine's own")
            << "[1208/230614.652910:ERROR:zygote] Running as root" << false << "" << qint64(0);
        QTest::newRow("no time") << "startup main at " << false << "" << qint64(0);
        QTest::newRow("text after the time") << "startup main at 7 ms" << false << "" << qint64(0);
        QTest::newRow("inside a word") << "xstartup main at 7" << false << "" << qint64(0);
        QTest::newRow("not a step's name") << "startup Main/../x at 7" << false << "" << qint64(0);
        QTest::newRow("a time past any clock")
            << "startup main at 12345678901234567890" << false << "" << qint64(0);
        QTest::newRow("a line too long")
            << QString(300, QLatin1Char(' ')) + "startup main at 7" << false << "" << qint64(0);
        QTest::newRow("empty") << "" << false << "" << qint64(0);
    }

    void linesAreReadBack()
    {
        QFETCH(QString, line);
        QFETCH(bool, isMark);
        const auto mark = StartupMarks::read(line);
        QCOMPARE(mark.has_value(), isMark);
        if (!mark)
            return;
        QTEST(mark->step, "step");
        QTEST(mark->ms, "ms");
    }

    // Nothing is said on an ordinary start; asked for, each step is said once, on the clock a
    // program that started this one reads.
    void stepsAreToldOnlyWhenAskedFor()
    {
        const QtMessageHandler before = qInstallMessageHandler(keepMessage);
        told.clear();
        StartupMarks::mark(StartupMarks::Main);
        QVERIFY2(told.isEmpty(), qPrintable(told.join('\n')));

        QLoggingCategory::setFilterRules(QStringLiteral("pelvane.startup.info=true"));
        const qint64 earliest = steadyNow();
        StartupMarks::mark(StartupMarks::FirstPaint);
        const qint64 latest = steadyNow();
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(before);

        QCOMPARE(told.size(), 1);
        const auto mark = StartupMarks::read(told.first());
        QVERIFY2(mark, qPrintable(told.first()));
        QCOMPARE(mark->step, QStringLiteral("first-paint"));
        QVERIFY(mark->ms >= earliest && mark->ms <= latest);
    }
};

QTEST_GUILESS_MAIN(TestStartupMarks)
#include "tst_startupmarks.moc"
