// Starts COPIES processes at one moment on a fresh home, ROUNDS times. Each opens (and so
// creates) the settings hive and the history, writes to both, and says how long opening
// took. A copy that cannot open either, or a file set aside as damaged, is a failure.

#include "history/HistoryStore.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

QString hivePath(const QString& home)
{
    return QDir(home).filePath(QStringLiteral("registry.db"));
}

QString historyPath(const QString& home)
{
    return QDir(home).filePath(QStringLiteral("History/history.db"));
}

// One copy: waits for the common start moment, then opens both stores.
int runCopy(const QString& home, qint64 startAt, int index)
{
    const qint64 wait = startAt - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(static_cast<unsigned long>(wait));
    QElapsedTimer timer;
    timer.start();
    RegistryHive hive(hivePath(home));
    if (!hive.isOpen()) {
        std::fprintf(stderr, "hive: %s\n", qPrintable(hive.errorText()));
        return 3;
    }
    const qint64 hiveMs = timer.elapsed();
    HistoryStore history(historyPath(home));
    if (!history.isOpen()) {
        std::fprintf(stderr, "history: %s\n", qPrintable(history.errorText()));
        return 4;
    }
    const qint64 bothMs = timer.elapsed();
    try {
        TRegistry reg(hive);
        reg.openKey(QStringLiteral("\\Software\\Race"), true);
        reg.writeInteger(QStringLiteral("copy%1").arg(index), index);
    } catch (const RegistryError& e) {
        std::fprintf(stderr, "hive write: %s\n", e.what());
        return 5;
    }
    if (!history.recordVisit(QStringLiteral("http://copy%1.test/").arg(index), QString())) {
        std::fprintf(stderr, "history write failed\n");
        return 6;
    }
    std::printf("%lld %lld\n", hiveMs, bothMs);
    return 0;
}

struct Round
{
    int failures = 0;
    QList<qint64> openMs; // both stores, per copy
};

Round runRound(const QString& program, int copies)
{
    Round round;
    QTemporaryDir home;
    // Far enough ahead that every copy has started and loaded before the moment.
    const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 400;
    QList<QProcess*> processes;
    for (int i = 0; i < copies; ++i) {
        auto* process = new QProcess;
        process->start(program, {QStringLiteral("--copy"), home.path(), QString::number(startAt),
                                 QString::number(i)});
        processes << process;
    }
    for (int i = 0; i < copies; ++i) {
        QProcess* process = processes.at(i);
        const bool finished = process->waitForFinished(60000);
        const QByteArray out = process->readAllStandardOutput();
        const QByteArray err = process->readAllStandardError().trimmed();
        if (!finished || process->exitStatus() != QProcess::NormalExit ||
            process->exitCode() != 0) {
            ++round.failures;
            std::printf("  copy %d: exit %d %s\n", i, process->exitCode(), err.constData());
        } else {
            round.openMs << out.split(' ').value(1).trimmed().toLongLong();
        }
        delete process;
    }
    const QDir dir(home.path());
    const QStringList aside =
        dir.entryList({QStringLiteral("*.damaged-*")}) +
        QDir(dir.filePath(QStringLiteral("History"))).entryList({QStringLiteral("*.damaged-*")});
    if (!aside.isEmpty()) {
        ++round.failures;
        std::printf("  set aside: %s\n", qPrintable(aside.join(QLatin1Char(' '))));
    }
    // Every copy that said it wrote must have its value in the hive.
    RegistryHive hive(hivePath(home.path()));
    TRegistry reg(hive);
    const int written = reg.openKey(QStringLiteral("\\Software\\Race"), false)
                            ? static_cast<int>(reg.valueNames().size())
                            : 0;
    if (written != round.openMs.size()) {
        ++round.failures;
        std::printf("  %d values in the hive, %lld expected\n", written,
                    static_cast<long long>(round.openMs.size()));
    }
    return round;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("--copy") && args.size() == 5)
        return runCopy(args.at(2), args.at(3).toLongLong(), args.at(4).toInt());

    const int rounds = args.size() > 1 ? args.at(1).toInt() : 50;
    const int copies = args.size() > 2 ? args.at(2).toInt() : 8;
    int failures = 0;
    QList<qint64> times;
    for (int r = 0; r < rounds; ++r) {
        const Round round = runRound(QCoreApplication::applicationFilePath(), copies);
        if (round.failures)
            std::printf("round %d: %d failures\n", r + 1, round.failures);
        failures += round.failures;
        times += round.openMs;
        std::fflush(stdout);
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) {
        return times.isEmpty() ? 0 : times.at(static_cast<int>(q * (times.size() - 1)));
    };
    std::printf("%d rounds of %d copies at once: %d failures\n", rounds, copies, failures);
    std::printf("opening hive and history: median %lld ms, 90th percentile %lld ms, max %lld ms\n",
                at(0.5), at(0.9), at(1.0));
    return failures == 0 ? 0 : 1;
}
