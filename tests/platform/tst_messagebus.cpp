#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "platform/Paths.h"
#include "platform/PrivateFolder.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <QLocalSocket>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The test binary doubles as the other copy: "--serve FOLDER" answers messages,
// "--hold LOCKFILE" holds the instance lock. Both print "ready" and wait to be killed.
// "--send-as-nobody SOCKET" (run as root) becomes another user, sends a message straight to
// the socket and prints the answer.
int runChild(const QStringList& args)
{
    QTextStream out(stdout);
    if (args.value(1) == QLatin1String("--send-as-nobody")) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return 4;
        QLocalSocket socket;
        socket.connectToServer(args.value(2));
        if (!socket.waitForConnected(3000))
            return 5;
        socket.write("{\"message\":\"echo\",\"payload\":\"x\"}\n");
        socket.waitForBytesWritten(3000);
        while (!socket.canReadLine() && socket.waitForReadyRead(3000)) {
        }
        out << "answer:" << socket.readAll() << Qt::endl;
        return 0;
    }
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

    // Expected messages that arrive before their handler are kept; others are not.
    void messagesBeforeTheHandlerAreKept()
    {
        const QString folder = QDir::temp().filePath(
            QStringLiteral("pvbus3-%1").arg(QCoreApplication::applicationPid()));
        MessageBus receiver(folder);
        QVERIFY(receiver.listen({QStringLiteral("open")}));
        QThread sender;
        QStringList got;
        // The blocking sender runs on another thread so that this one can answer.
        QObject::connect(&sender, &QThread::started, [&] {
            MessageBus bus(folder);
            bus.broadcast(QStringLiteral("open"), QStringLiteral("one"));
            bus.broadcast(QStringLiteral("junk"), QStringLiteral("junk"));
            bus.broadcast(QStringLiteral("open"), QStringLiteral("two"));
            sender.quit();
        });
        sender.start();
        QTRY_VERIFY(sender.isFinished());
        const auto record = [&](const QJsonValue& payload) {
            got << payload.toString();
            return QJsonValue();
        };
        receiver.setHandler(QStringLiteral("junk"), record);
        receiver.setHandler(QStringLiteral("open"), record);
        QTRY_COMPARE(got, (QStringList{"one", "two"}));
        QDir(folder).removeRecursively();
    }

    // A folder somebody else could have made or can enter is not used at all, neither to
    // listen in nor to send to: a copy listens in a private folder beside it, where the
    // others find it; the copy in the sound folder is still reached through that one only.
    void unsoundFolderIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to give a folder to another user");
        QTemporaryDir base;
        const QDir dir(base.path());
        const QString real = dir.filePath("real");
        Child copy;
        QVERIFY(copy.start({"--serve", real}));
        QVERIFY(QFile::link(real, dir.filePath("link")));
        QVERIFY(QDir().mkdir(dir.filePath("loose")));
        ::chmod(QFile::encodeName(dir.filePath("loose")).constData(), 0777);
        QVERIFY(QDir().mkdir(dir.filePath("foreign")));
        QVERIFY(::chown(QFile::encodeName(dir.filePath("foreign")).constData(), 65534, 65534) == 0);
        ::chmod(QFile::encodeName(dir.filePath("foreign")).constData(), 0700);

        for (const char* name : {"link", "loose", "foreign"}) {
            const QString folder = dir.filePath(name);
            {
                MessageBus bus(folder);
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                                       "^Listening for other copies in ")));
                QVERIFY2(bus.listen(), name);
                QVERIFY2(!bus.problem().isEmpty(), name);
                const QString own = QFileInfo(bus.socketPath()).absolutePath();
                QVERIFY2(own.startsWith(folder + QLatin1Char('.')), qPrintable(own));
                QVERIFY2(Paths::ownPrivateFolderProblem(own).isEmpty(), qPrintable(own));
            }
            Child other;
            QVERIFY2(other.start({"--serve", folder}), name);
            const auto answers = MessageBus(folder).broadcast(QStringLiteral("echo"));
            QCOMPARE(answers.size(), 1);
            QVERIFY2(answers.first().socket.startsWith(folder + QLatin1Char('.')),
                     qPrintable(answers.first().socket));
        }
        MessageBus sound(real);
        QCOMPARE(sound.broadcast(QStringLiteral("echo")).size(), 1);
    }

    // The planted open folder where the sockets live: the copy listens in a private folder
    // of its own beside it and says so once; other copies, the command line's tools and the
    // single-copy lock meet it there.
    void looseFolderGivesWayToAPrivateOne()
    {
        const QString folder = Paths::runtimeFolder();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        Child first, second;
        QVERIFY(first.start({"--serve", folder}));
        QVERIFY(second.start({"--serve", folder}));

        MessageBus tool(folder);
        for (int round = 0; round < 3; ++round) {
            const auto answers = tool.broadcast(QStringLiteral("echo"), QStringLiteral("x"));
            QCOMPARE(answers.size(), 2);
            for (const auto& answer : answers)
                QCOMPARE(answer.reply.toString(), QStringLiteral("echo:x"));
        }
        const QString own = PrivateFolder::choose(folder).folder;
        QVERIFY(own.startsWith(folder + QLatin1Char('.')));
        QCOMPARE(QFileInfo(own).absolutePath(), QFileInfo(folder).absolutePath());
        QVERIFY(Paths::ownPrivateFolderProblem(own).isEmpty());              // 0700, this user's
        QCOMPARE(QDir(own).entryList(QDir::System | QDir::Files).size(), 2); // one folder
        QVERIFY(QDir(folder).entryList(QDir::System | QDir::Files).isEmpty());
        QCOMPARE(QFileInfo(InstanceLock::defaultLockFile()).absolutePath(), own);

        // Said once by each copy, when it started listening, not at each message: all it
        // said is there once it has gone.
        for (Child* copy : {&first, &second}) {
            copy->process.kill();
            QVERIFY(copy->process.waitForFinished());
            const QByteArray said = copy->process.readAllStandardError();
            QCOMPARE(said.count("Listening for other copies"), 1);
            QVERIFY2(said.contains("Listening for other copies in " + QFile::encodeName(own) +
                                   " instead: " + QFile::encodeName(folder) +
                                   " can be used by other users (mode 777)"),
                     said.constData());
        }
        QDir(own).removeRecursively();
        QDir(folder).removeRecursively();
    }

    // Even with the socket reachable, a connection from another user is dropped unheard.
    void peerOfAnotherUserIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to become another user");
        QTemporaryDir base;
        const QString folder = QDir(base.path()).filePath("run");
        MessageBus receiver(folder);
        int heard = 0;
        receiver.setHandler(QStringLiteral("echo"), [&](const QJsonValue&) {
            ++heard;
            return QJsonValue(QStringLiteral("heard"));
        });
        QVERIFY(receiver.listen());
        ::chmod(QFile::encodeName(base.path()).constData(), 0711);
        ::chmod(QFile::encodeName(folder).constData(), 0711);
        ::chmod(QFile::encodeName(receiver.socketPath()).constData(), 0777);
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    {"--send-as-nobody", receiver.socketPath()});
        QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 10000);
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(other.readAll().trimmed(), QByteArray("answer:"));
        QCOMPARE(heard, 0);
    }

    // Without a session's runtime folder the fallback is this user's own.
    void fallbackFolderNamesTheUser()
    {
        const QByteArray home = qgetenv("PELVANE_HOME");
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("PELVANE_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString folder = Paths::runtimeFolder();
        qputenv("PELVANE_HOME", home);
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);
        QCOMPARE(QFileInfo(folder).fileName(), QStringLiteral("pelvane-%1").arg(::getuid()));
    }

    void lockIsExclusiveAndFreedWhenTheHolderDies()
    {
        QTemporaryDir base;
        const QString file = QDir(base.path()).filePath("run/instance.lock");
        {
            Child holder;
            QVERIFY(holder.start({"--hold", file}));
            InstanceLock second(file);
            QVERIFY(!second.tryAcquire());
            ::kill(holder.process.processId(), SIGKILL);
            holder.process.waitForFinished();
            QVERIFY(second.tryAcquire());
        }
    }

    // A lock file planted as a link makes nothing at the link's target.
    void lockFileLinkIsNotFollowed()
    {
        QTemporaryDir base;
        const QDir dir(base.path());
        QVERIFY(QDir().mkdir(dir.filePath("run")));
        ::chmod(QFile::encodeName(dir.filePath("run")).constData(), 0700);
        QVERIFY(QFile::link(dir.filePath("target"), dir.filePath("run/instance.lock")));
        InstanceLock lock(dir.filePath("run/instance.lock"));
        QVERIFY(lock.tryAcquire());
        QVERIFY(!lock.isHeld());
        QVERIFY(!QFileInfo::exists(dir.filePath("target")));
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
