// The settings store's speed on this machine: reads and writes of one string setting
// through TPVOptions and one list write of 100 entries, in a private hive.
//
//   bench_options [READS [WRITES]]

#include "settings/PVOptions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

// Wall time, and the processor time of this process alone: on a busy machine the second
// leaves out the time that other programs had the processor.
class Stopwatch final
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = cpuNow();
    }
    void report(const char* what, int count) const
    {
        const double wall = static_cast<double>(m_wall.nsecsElapsed());
        const double cpu = static_cast<double>(cpuNow() - m_cpu);
        std::printf("%-36s %6d  wall %9.2f us each   cpu %9.2f us each\n", what, count,
                    wall / 1e3 / count, cpu / 1e3 / count);
    }

private:
    static qint64 cpuNow()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpu = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int reads = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int writes = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    QTemporaryDir dir;
    RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
    TPVOptions options(hive);
    options.SetCtrlPre(QStringLiteral("http://www."));
    options.SetSearchEngines({QStringLiteral("Warm=http://warm/")});

    Stopwatch timer;
    qsizetype sink = 0;
    timer.restart();
    for (int i = 0; i < reads; ++i)
        sink += options.GetCtrlPre().size();
    timer.report("read of a string setting", reads);

    timer.restart();
    for (int i = 0; i < reads; ++i)
        sink += options.GetShowGo();
    timer.report("read of a missing setting (default)", reads);

    timer.restart();
    for (int i = 0; i < writes; ++i)
        options.SetCtrlPre(QStringLiteral("http://www%1.").arg(i));
    timer.report("write of a string setting", writes);

    QStringList engines;
    for (int i = 1; i <= 100; ++i)
        engines << QStringLiteral("Engine %1=http://search%1.example/?q=").arg(i);
    timer.restart();
    options.SetSearchEngines(engines);
    timer.report("list write of 100 entries", 1);

    timer.restart();
    sink += options.GetSearchEngines().size();
    timer.report("list read of 100 entries", 1);

    return sink > 0 ? 0 : 1;
}
