// Start-up and memory of Pelvane beside a bare web view, measured from outside: every page
// fetches a beacon from a local server when it has loaded; we time process start to the
// first beacon and to the tenth, and sum the proportional memory (PSS) of the whole process
// tree five seconds after the last beacon. Median of seven runs each (PELVANE_BENCH_RUNS
// for more).
//
// Both programs draw as this bench's environment says: QT_QUICK_BACKEND=rhi composes both
// through OpenGL (as on a machine with a graphics processor; here a software rasterizer
// stands in), QT_QUICK_BACKEND=software draws both in software, and unset each keeps its own
// default. The way it was drawn is the first line printed.
//
// Then fifty tabs: the bare view and Pelvane opening fifty pages, and Pelvane bringing the
// same fifty back after an abnormal end (one loads, the others wait until shown); the same
// for a session of two hundred tabs; and the cost of writing the session of fifty tabs once.
// PELVANE_BENCH_FIRST_ONLY=1 stops after the first page and the group.
//
//   xvfb-run -a bench/startup/bench_startup <pelvane binary> <bare view binary>
#include "platform/StartupMarks.h"
#include "session/SessionFile.h"
#include "session/SessionRecovery.h"
#include "support/LocalHttpServer.h"
#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {

using ProcessMemory::pssMiB;

// A home for a first start that asks nothing: not to become the default browser, not to
// close the blank tab before a group opens. Done before the clock starts.
void prepareHome(const QString& pelvane, const QString& home)
{
    QDir().mkpath(home);
    const QString reg = QDir(home).filePath(QStringLiteral("bench.reg"));
    QFile file(reg);
    file.open(QIODevice::WriteOnly);
    file.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\"
               "CurrentVersion]\r\n\"AskDefaultBrowser\"=\"0\"\r\n\"ConfirmCloseAll\"=\"0\"\r\n");
    file.close();
    QProcess import;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELVANE_HOME"), home);
    import.setProcessEnvironment(env);
    import.start(pelvane, {QStringLiteral("--reg-import"), reg});
    import.waitForFinished(10000);
}

struct Run
{
    double firstSeconds = -1;
    double allSeconds = -1;
    double pss = -1;
    // Milliseconds after the start at which the program told each step of its start.
    QHash<QString, double> steps;
};

Run measure(const QString& program, const QStringList& arguments, int pages,
            LocalHttpServer& server, const QString& home, const QString& pelvane = {})
{
    if (!pelvane.isEmpty())
        prepareHome(pelvane, home);
    Run run;
    int beacons = 0;
    QElapsedTimer clock;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto connection = QObject::connect(&server, &LocalHttpServer::requestReceived, &loop,
                                             [&](const LocalHttpServer::Request& request) {
                                                 if (!request.path.startsWith("/beacon"))
                                                     return;
                                                 ++beacons;
                                                 if (beacons == 1)
                                                     run.firstSeconds = clock.elapsed() / 1000.0;
                                                 if (beacons == pages) {
                                                     run.allSeconds = clock.elapsed() / 1000.0;
                                                     loop.quit();
                                                 }
                                             });
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELVANE_HOME"), home);
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pelvane.startup.info=true"));
    process.setProcessEnvironment(env);
    // Standard error is read for the steps of the start; the rest of it is passed on.
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, [&] {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine();
            if (const auto mark = StartupMarks::read(QString::fromLocal8Bit(line).trimmed()))
                run.steps.insert(mark->step, double(mark->ms - clock.msecsSinceReference()));
            else
                std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        }
    });
    process.setReadChannel(QProcess::StandardError);
    clock.start();
    process.start(program, arguments);
    timeout.start(60000);
    loop.exec();
    QObject::disconnect(connection);
    if (run.allSeconds >= 0) {
        QEventLoop settle;
        QTimer::singleShot(5000, &settle, &QEventLoop::quit);
        settle.exec();
        run.pss = pssMiB(process.processId());
    }
    ::kill(process.processId(), SIGTERM);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
    }
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

SessionState sessionOf(const QStringList& addresses)
{
    SessionState state;
    for (const QString& address : addresses)
        state.tabs << SessionTab{address, QStringLiteral("Page"), address, {}, false, false, {}};
    state.active = 0;
    return state;
}

// A home where the last run of Pelvane ended abnormally with these tabs open.
void leaveCrashedSession(const QString& home, const QStringList& addresses)
{
    QDir().mkpath(home);
    SessionFile::write(QDir(home).filePath(QStringLiteral("session.json")), sessionOf(addresses));
    QFile marker(QDir(home).filePath(QStringLiteral("session.json.running")));
    marker.open(QIODevice::WriteOnly);
    marker.write(RunMarker{1, false, true}.toJson());
}

// Milliseconds to write the session of `addresses` once, median of 21 writes.
double sessionWriteMs(const QStringList& addresses, const QString& folder)
{
    const SessionState state = sessionOf(addresses);
    QList<double> times;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer clock;
        clock.start();
        SessionFile::write(QDir(folder).filePath(QStringLiteral("session.json")), state);
        times << clock.nsecsElapsed() / 1e6;
    }
    return median(times);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc < 3) {
        out << "usage: bench_startup <pelvane> <bareview>\n";
        return 2;
    }
    const QString pelvane = QString::fromLocal8Bit(argv[1]);
    const QString bare = QString::fromLocal8Bit(argv[2]);
    LocalHttpServer server;
    server.listen();
    constexpr int Many = 50;
    constexpr int Restored = 200;
    for (int i = 1; i <= Restored; ++i) {
        const QByteArray path = "/page" + QByteArray::number(i);
        server.serve(path, QStringLiteral("<html><head><title>Page %1</title></head><body>"
                                          "<p>Page %1</p><script>addEventListener('load',"
                                          "()=>fetch('/beacon%1'))</script></body></html>")
                               .arg(i)
                               .toUtf8());
    }
    server.serve("/beacon", QByteArray("ok"), "text/plain");
    for (int i = 1; i <= Restored; ++i)
        server.serve("/beacon" + QByteArray::number(i), QByteArray("ok"), "text/plain");
    QStringList twoHundred;
    for (int i = 1; i <= Restored; ++i)
        twoHundred << server.url(QStringLiteral("/page%1").arg(i)).toString();
    const QStringList fifty = twoHundred.mid(0, Many);

    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << server.url(QStringLiteral("/page%1").arg(i)).toString();

    QTemporaryDir scratch;
    const QString group = QDir(scratch.path()).filePath(QStringLiteral("ten.sgp"));
    {
        QFile file(group);
        file.open(QIODevice::WriteOnly);
        file.write("[SorvelGroup]\r\n");
        for (int i = 0; i < ten.size(); ++i)
            file.write(QStringLiteral("blank%1=%2\r\n").arg(i + 1).arg(ten.at(i)).toUtf8());
    }
    const QString groupOfFifty = QDir(scratch.path()).filePath(QStringLiteral("fifty.sgp"));
    {
        QFile file(groupOfFifty);
        file.open(QIODevice::WriteOnly);
        file.write("[SorvelGroup]\r\n");
        for (int i = 0; i < fifty.size(); ++i)
            file.write(QStringLiteral("blank%1=%2\r\n").arg(i + 1).arg(fifty.at(i)).toUtf8());
    }

    struct Series
    {
        QList<double> first, all, pss;
        QHash<QString, QList<double>> steps;
    };
    Series bareOne, bareTen, pelOne, pelTen;
    const int Runs = qMax(7, qEnvironmentVariableIntValue("PELVANE_BENCH_RUNS"));
    for (int r = 0; r < Runs; ++r) {
        QTemporaryDir home;
        // Each run starts from a fresh home so that caches do not favour either side.
        auto add = [](Series& s, const Run& run) {
            s.first << run.firstSeconds;
            s.all << run.allSeconds;
            s.pss << run.pss;
            for (auto it = run.steps.cbegin(); it != run.steps.cend(); ++it)
                s.steps[it.key()] << it.value();
        };
        add(bareOne, measure(bare, {ten.first()}, 1, server, home.path() + QStringLiteral("/b1")));
        add(pelOne, measure(pelvane, {ten.first()}, 1, server, home.path() + QStringLiteral("/p1"),
                            pelvane));
        add(bareTen, measure(bare, ten, 10, server, home.path() + QStringLiteral("/b10")));
        add(pelTen,
            measure(pelvane, {group}, 10, server, home.path() + QStringLiteral("/p10"), pelvane));
    }
    const QByteArray drawn = qgetenv("QT_QUICK_BACKEND");
    out << "drawn: "
        << (drawn.isEmpty() ? QByteArray("each program's default") : "QT_QUICK_BACKEND=" + drawn)
        << ", median of " << Runs << " runs\n";
    const auto ms = [](const QList<double>& seconds) { return median(seconds) * 1000; };
    out << QStringLiteral(
               "bare view: first page %1 ms, 10 pages %2 ms, PSS 1 page %3 MiB, 10 pages %4 MiB\n")
               .arg(ms(bareOne.first), 0, 'f', 0)
               .arg(ms(bareTen.all), 0, 'f', 0)
               .arg(median(bareOne.pss), 0, 'f', 1)
               .arg(median(bareTen.pss), 0, 'f', 1);
    out << QStringLiteral(
               "Pelvane:   first page %1 ms, 10 pages %2 ms, PSS 1 tab %3 MiB, 10 tabs %4 MiB\n")
               .arg(ms(pelOne.first), 0, 'f', 0)
               .arg(ms(pelTen.all), 0, 'f', 0)
               .arg(median(pelOne.pss), 0, 'f', 1)
               .arg(median(pelTen.pss), 0, 'f', 1);
    const double barePer = (median(bareTen.pss) - median(bareOne.pss)) / 9;
    const double pelPer = (median(pelTen.pss) - median(pelOne.pss)) / 9;
    out << QStringLiteral("per extra page: bare %1 MiB, Pelvane %2 MiB\n")
               .arg(barePer, 0, 'f', 1)
               .arg(pelPer, 0, 'f', 1);
    const auto share = [](double pelvane, double bare) {
        return QStringLiteral("%1%2%")
            .arg(pelvane >= bare ? "+" : "")
            .arg((pelvane - bare) / bare * 100, 0, 'f', 1);
    };
    out << QStringLiteral("Pelvane against the bare view: first page %1, 10 pages %2, 1 tab %3 "
                          "(%4 MiB), per extra tab %5 MiB\n")
               .arg(share(ms(pelOne.first), ms(bareOne.first)))
               .arg(share(ms(pelTen.all), ms(bareTen.all)))
               .arg(share(median(pelOne.pss), median(bareOne.pss)))
               .arg(median(pelOne.pss) - median(bareOne.pss), 0, 'f', 1)
               .arg(pelPer - barePer, 0, 'f', 1);
    // Where Pelvane's time to its first page goes.
    const auto stepsOf = [&](const Series& s) {
        QStringList told;
        for (const char* step :
             {StartupMarks::Main, StartupMarks::Application, StartupMarks::Engine,
              StartupMarks::WindowMade, StartupMarks::FirstPaint, StartupMarks::FirstPages}) {
            const QList<double> times = s.steps.value(QString::fromLatin1(step));
            told << QStringLiteral("%1 %2").arg(step).arg(median(times), 0, 'f', 0);
        }
        return told.join(QStringLiteral(", "));
    };
    out << QStringLiteral("Pelvane's start, ms after it (1 tab): %1, first page loaded %2\n")
               .arg(stepsOf(pelOne))
               .arg(ms(pelOne.first), 0, 'f', 0);
    out << QStringLiteral("Pelvane's start, ms after it (10 tabs): %1, all loaded %2\n")
               .arg(stepsOf(pelTen))
               .arg(ms(pelTen.all), 0, 'f', 0);
    out.flush();
    // For trying a change: the first page and the group only.
    if (qEnvironmentVariableIntValue("PELVANE_BENCH_FIRST_ONLY") == 1)
        return 0;

    // Fifty tabs, three runs each: every page loaded, or brought back waiting.
    QList<double> bareFifty, pelFifty, pelWaiting;
    for (int r = 0; r < 3; ++r) {
        QTemporaryDir home;
        bareFifty << measure(bare, fifty, Many, server, home.path() + QStringLiteral("/b")).pss;
        pelFifty << measure(pelvane, {groupOfFifty}, Many, server,
                            home.path() + QStringLiteral("/p"), pelvane)
                        .pss;
        const QString crashed = home.path() + QStringLiteral("/w");
        prepareHome(pelvane, crashed);
        leaveCrashedSession(crashed, fifty);
        // Only the active tab loads: its beacon is the one to wait for.
        pelWaiting << measure(pelvane, {}, 1, server, crashed).pss;
    }
    out << QStringLiteral("50 tabs (median of 3): bare view %1 MiB, Pelvane all loaded %2 MiB, "
                          "Pelvane waiting tabs %3 MiB\n")
               .arg(median(bareFifty), 0, 'f', 1)
               .arg(median(pelFifty), 0, 'f', 1)
               .arg(median(pelWaiting), 0, 'f', 1);
    out << QStringLiteral("waiting tab: %1 MiB each (beside one loaded tab)\n")
               .arg((median(pelWaiting) - median(pelOne.pss)) / (Many - 1), 0, 'f', 2);
    out.flush();

    // A session of two hundred tabs brought back: only the active one loads, once the window
    // has been drawn; the window tells when that was.
    QList<double> restoredFirst, restoredPss, restoredPainted;
    for (int r = 0; r < 3; ++r) {
        QTemporaryDir home;
        const QString crashed = home.path() + QStringLiteral("/w");
        prepareHome(pelvane, crashed);
        leaveCrashedSession(crashed, twoHundred);
        const Run run = measure(pelvane, {}, 1, server, crashed);
        restoredFirst << run.firstSeconds;
        restoredPss << run.pss;
        restoredPainted << run.steps.value(QString::fromLatin1(StartupMarks::FirstPaint), -1);
    }
    out << QStringLiteral("%1 tabs restored (median of 3): window drawn %2 ms after start, "
                          "active page loaded %3 ms after start, process tree %4 MiB\n")
               .arg(Restored)
               .arg(median(restoredPainted), 0, 'f', 0)
               .arg(median(restoredFirst) * 1000, 0, 'f', 0)
               .arg(median(restoredPss), 0, 'f', 1);
    out << QStringLiteral("session write of 50 tabs: %1 ms (median of 21)\n")
               .arg(sessionWriteMs(fifty, scratch.path()), 0, 'f', 3);
    return 0;
}
