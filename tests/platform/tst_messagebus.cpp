#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

// The test binary doubles as the other copy: "--serve FOLDER" answers messages,
// "--hold LOCKFILE" holds the instance lock. Both print "ready" and wait to be killed.
int runChild(const QStringList& args)
{
    QTextStream out(stdout);
    if (args.value(1) == QLatin1String("--serve")) {
        MessageBus bus(args.value(2));
        bus.setHandler(QStringLiteral("echo"), [](const QJsonValue& payload) {
            return QJsonValue(QStringLiteral("echo:") + payload.toString());
        });
        if (!bus.listen())
            return 3;
        out << "ready" << Qt::endl;
        return QCoreApplication::exec();
    }
    InstanceLock lock(args.value(2));
    if (!lock.tryAcquire())
        return 3;
    out << "ready" << Qt::endl;
    return QCoreApplication::exec();
}

struct Child
{
    QProcess process;
    bool start(const QStringList& args)
    {
        process.start(QCoreApplication::applicationFilePath(), args);
        return process.waitForStarted() && process.waitForReadyRead(10000) &&
               process.readAll().contains("ready");
    }
    ~Child()
    {
        process.kill();
        process.waitForFinished();
    }
};

} // namespace

class TestMessageBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void broadcastReachesEveryOtherCopyAndSkipsItself()
    {
        const QString folder = QDir::temp().filePath(
            QStringLiteral("pvbus-%1").arg(QCoreApplication::applicationPid()));
        Child first, second;
        QVERIFY(first.start({"--serve", folder}));
        QVERIFY(second.start({"--serve", folder}));

        MessageBus self(folder);
        QVERIFY(self.listen());
        const auto answers = self.broadcast(QStringLiteral("echo"), QStringLiteral("x"));
        QCOMPARE(answers.size(), 2);
        for (const auto& answer : answers)
            QCOMPARE(answer.reply.toString(), QStringLiteral("echo:x"));
        QDir(folder).removeRecursively();
    }

    void socketOfAKilledCopyIsRemoved()
    {
        const QString folder = QDir::temp().filePath(
            QStringLiteral("pvbus2-%1").arg(QCoreApplication::applicationPid()));
        {
            Child dead;
            QVERIFY(dead.start({"--serve", folder}));
            ::kill(dead.process.processId(), SIGKILL);
            dead.process.waitForFinished();
        }
        QCOMPARE(QDir(folder).entryList(QDir::System | QDir::Files).size(), 1);
        MessageBus sender(folder);
        QVERIFY(sender.broadcast(QStringLiteral("echo")).isEmpty());
        QVERIFY(QDir(folder).entryList(QDir::System | QDir::Files).isEmpty());
        QDir(folder).removeRecursively();
    }

    void messagesBeforeTheHandlerAreKept()
    {
        const QString folder = QDir::temp().filePath(
            QStringLiteral("pvbus3-%1").arg(QCoreApplication::applicationPid()));
        MessageBus receiver(folder);
        QVERIFY(receiver.listen());
        QThread sender;
        QStringList got;
        // The blocking sender runs on another thread so that this one can answer.
        QObject::connect(&sender, &QThread::started, [&] {
            MessageBus bus(folder);
            bus.broadcast(QStringLiteral("open"), QStringLiteral("one"));
            bus.broadcast(QStringLiteral("open"), QStringLiteral("two"));
            sender.quit();
        });
        sender.start();
        QTRY_VERIFY(sender.isFinished());
        receiver.setHandler(QStringLiteral("open"), [&](const QJsonValue& payload) {
            got << payload.toString();
            return QJsonValue();
        });
        QTRY_COMPARE(got, (QStringList{"one", "two"}));
        QDir(folder).removeRecursively();
    }

    void lockIsExclusiveAndFreedWhenTheHolderDies()
    {
        const QString file = QDir::temp().filePath(
            QStringLiteral("pvlock-%1").arg(QCoreApplication::applicationPid()));
        {
            Child holder;
            QVERIFY(holder.start({"--hold", file}));
            InstanceLock second(file);
            QVERIFY(!second.tryAcquire());
            ::kill(holder.process.processId(), SIGKILL);
            holder.process.waitForFinished();
            QVERIFY(second.tryAcquire());
        }
        QFile::remove(file);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() >= 3 && app.arguments().at(1).startsWith(QLatin1String("--")))
        return runChild(app.arguments());
    TestHome home;
    TestMessageBus tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_messagebus.moc"
