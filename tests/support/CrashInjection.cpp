#include "support/CrashInjection.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace CrashInjection {

namespace {

// What the child tells the parent, in memory both share: how far it got, and when.
struct ChildState
{
    std::atomic<int> phase; // Phase
    std::atomic<int> steps;
    std::atomic<qint64> writeStartNs;
    std::atomic<qint64> writeEndNs;
};
static_assert(std::atomic<qint64>::is_always_lock_free);

enum Phase : int
{
    NotStarted = 0,
    Writing = 1,
    Written = 2,
    WriteFailed = 3
};

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

class SharedState final
{
    Q_DISABLE_COPY_MOVE(SharedState)

public:
    SharedState()
    {
        void* memory = mmap(nullptr, sizeof(ChildState), PROT_READ | PROT_WRITE,
                            MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED)
            m_state = new (memory) ChildState{};
    }
    ~SharedState()
    {
        if (m_state)
            munmap(m_state, sizeof(ChildState));
    }
    ChildState* get() const { return m_state; }

private:
    ChildState* m_state = nullptr;
};

struct Round
{
    int phase = NotStarted;
    int steps = 0;
    qint64 startNs = 0; // from the fork to the start of the write
    qint64 endNs = 0;   // ... and to its end, for a write that ended
    bool killed = false;
    bool hung = false; // it did not end by itself and was killed after a long wait
};

// Forks the writer. `delayUs` < 0: no kill, the child is waited for; otherwise it is
// killed after that many microseconds. `stopAt`: a step to die at (0: none).
Round runChild(const Store& store, const QString& folder, StepGate* gate, int stopAt,
               qint64 delayUs, ChildState* shared)
{
    shared->phase = NotStarted;
    shared->steps = 0;
    shared->writeStartNs = 0;
    shared->writeEndNs = 0;
    fflush(stdout);
    fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (gate)
            gate->arm(stopAt);
        const bool ok = store.writeNew(folder, [shared] {
            shared->writeStartNs = nowNs();
            shared->phase = Writing;
        });
        if (gate)
            shared->steps = gate->taken();
        shared->writeEndNs = nowNs();
        shared->phase = ok ? Written : WriteFailed;
        _exit(ok ? 0 : 3); // nothing of the parent's (atexit, Qt's clean-up) runs here
    }
    // The delay counts from here, where the parent goes on (the fork itself takes a while
    // for a large process, and the child may be running before it returns).
    const qint64 forkedNs = nowNs();
    Round round;
    if (pid < 0)
        return round;
    int status = 0;
    bool hung = false;
    if (delayUs >= 0) {
        if (delayUs > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        kill(pid, SIGKILL);
    } else {
        // A child that hangs (a lock another thread held at the fork) is a failed round,
        // not a test that never ends.
        constexpr qint64 MaxWaitNs = 20'000'000'000;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (nowNs() - forkedNs > MaxWaitNs) {
                kill(pid, SIGKILL);
                hung = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    round.hung = hung;
    round.killed = !hung && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    round.phase = shared->phase;
    round.steps = shared->steps;
    if (shared->writeStartNs > 0)
        round.startNs = std::max<qint64>(0, shared->writeStartNs - forkedNs);
    if (shared->writeEndNs > 0)
        round.endNs = std::max<qint64>(0, shared->writeEndNs - forkedNs);
    return round;
}

const char* phaseName(int phase)
{
    switch (phase) {
    case NotStarted:
        return "before the write";
    case Writing:
        return "during the write";
    case Written:
        return "after the write";
    default:
        return "after a failed write";
    }
}

struct Clean
{
    QStringList oldListing;
    QStringList newListing;
};

// A folder made fresh for one round, holding the old content.
bool freshFolder(const Store& store, const QString& folder)
{
    QDir(folder).removeRecursively();
    return QDir().mkpath(folder) && store.prepareOld(folder);
}

// The first few entries of a list, and how many more there are.
QString someOf(const QStringList& entries)
{
    constexpr int Shown = 4;
    QString text = entries.mid(0, Shown).join(QLatin1String(", "));
    if (entries.size() > Shown)
        text += QStringLiteral(" and %1 more").arg(entries.size() - Shown);
    return text;
}

QString differences(const QStringList& found, const QStringList& expected)
{
    QStringList extra;
    QStringList missing;
    for (const QString& entry : found) {
        if (!expected.contains(entry))
            extra.append(entry);
    }
    for (const QString& entry : expected) {
        if (!found.contains(entry))
            missing.append(entry);
    }
    QStringList parts;
    if (!extra.isEmpty())
        parts.append(QStringLiteral("left behind: %1").arg(someOf(extra)));
    if (!missing.isEmpty())
        parts.append(QStringLiteral("missing: %1").arg(someOf(missing)));
    return parts.join(QLatin1String("; "));
}

// The start after a kill; empty when it found one content whole and nothing left over.
QString check(const Store& store, const QString& folder, const Clean& clean, Report& report)
{
    QString problem;
    const Found found = store.start(folder, &problem);
    if (found == Found::Broken)
        return problem.isEmpty() ? QStringLiteral("neither content whole") : problem;
    const QStringList now = listing(folder);
    const QStringList& expected = found == Found::Old ? clean.oldListing : clean.newListing;
    if (now != expected) {
        return QStringLiteral("%1 content, but %2")
            .arg(found == Found::Old ? QLatin1String("old") : QLatin1String("new"),
                 differences(now, expected));
    }
    ++(found == Found::Old ? report.foundOld : report.foundNew);
    return {};
}

void fail(Report& report, const QString& what)
{
    ++report.failureCount;
    if (report.failures.size() < 12)
        report.failures.append(what);
}

} // namespace

QString Report::summary() const
{
    QString text = QStringLiteral("%1: %2 random kills (%3 before the write, %4 during it, %5 "
                                  "after it); one write %6 ms (beginning %7 ms after the fork)")
                       .arg(store)
                       .arg(kills)
                       .arg(before)
                       .arg(during)
                       .arg(after)
                       .arg(writeMs, 0, 'f', 2)
                       .arg(forkToWriteMs, 0, 'f', 2);
    if (steps > 0)
        text += QStringLiteral("; %1 kills at the write's %2 steps").arg(stepKills).arg(steps);
    text += QStringLiteral("; the start found old %1, new %2; failures: %3 (%4 s)")
                .arg(foundOld)
                .arg(foundNew)
                .arg(failureCount)
                .arg(seconds, 0, 'f', 1);
    return text;
}

quint32 chooseSeed()
{
    bool ok = false;
    const quint32 given = qEnvironmentVariable("PELVANE_CRASH_SEED").toUInt(&ok);
    return ok ? given : QRandomGenerator::system()->generate();
}

QStringList listing(const QString& folder)
{
    QStringList entries;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries.append(base.relativeFilePath(info.filePath()) +
                       (info.isDir() ? QLatin1String("/") : QLatin1String("")));
    }
    entries.sort();
    return entries;
}

Report run(const Store& store, const Options& options)
{
    Report report;
    report.store = store.name;
    QElapsedTimer clock;
    clock.start();
    const SharedState shared;
    // A kill loses nothing the kernel has taken, synced or not, so where the disk's flushes
    // only make each round wait, the rounds run in memory (the same calls, on a tmpfs).
    const QString memory = QStringLiteral("/dev/shm");
    QTemporaryDir scratch(QFileInfo(memory).isWritable()
                              ? memory + QStringLiteral("/pelvane-crash-XXXXXX")
                              : QDir::tempPath() + QStringLiteral("/pelvane-crash-XXXXXX"));
    if (!shared.get() || !scratch.isValid()) {
        fail(report, QStringLiteral("no shared memory or scratch folder"));
        return report;
    }
    const QString folder = scratch.filePath(QStringLiteral("store"));

    // What a clean start leaves after the old content, and after an uninterrupted write;
    // the write's length sets the window the random kills fall in.
    Clean clean;
    constexpr int Calibrations = 5;
    std::vector<qint64> starts;
    std::vector<qint64> ends;
    for (int i = 0; i < Calibrations; ++i) {
        QString problem;
        if (!freshFolder(store, folder) || store.start(folder, &problem) != Found::Old) {
            fail(report, QStringLiteral("the old content does not read back: %1").arg(problem));
            return report;
        }
        clean.oldListing = listing(folder);
        if (!freshFolder(store, folder)) {
            fail(report, QStringLiteral("the old content cannot be set up"));
            return report;
        }
        const Round round = runChild(store, folder, options.steps, 0, -1, shared.get());
        if (round.hung) {
            fail(report, QStringLiteral("an uninterrupted write did not end"));
            return report;
        }
        if (round.phase != Written || store.start(folder, &problem) != Found::New) {
            fail(report, QStringLiteral("an uninterrupted write does not read back new (%1): %2")
                             .arg(QLatin1String(phaseName(round.phase)), problem));
            return report;
        }
        clean.newListing = listing(folder);
        starts.push_back(round.startNs);
        ends.push_back(round.endNs);
        report.steps = round.steps;
    }
    // The kills fall on the write as a typical round times it (the middle of the runs
    // above), with a quarter of its length (and at least a tenth of a millisecond, for the
    // fork's own unsteadiness) before and after it, so that some land on either side.
    std::sort(starts.begin(), starts.end());
    std::sort(ends.begin(), ends.end());
    const qint64 startUs = starts[Calibrations / 2] / 1000;
    const qint64 endUs = std::max(ends[Calibrations / 2] / 1000, startUs + 1);
    report.writeMs = double(endUs - startUs) / 1000;
    report.forkToWriteMs = double(startUs) / 1000;
    const qint64 margin = std::max<qint64>(100, (endUs - startUs) / 4);
    const qint64 fromUs = std::max<qint64>(0, startUs - margin);
    const qint64 toUs = endUs + margin;

    QRandomGenerator random(options.seed ^ qHash(store.name));
    for (int i = 0; i < options.randomKills; ++i) {
        if (!freshFolder(store, folder)) {
            fail(report, QStringLiteral("round %1: the old content cannot be set up").arg(i));
            continue;
        }
        const qint64 delayUs = fromUs + qint64(random.bounded(quint64(toUs - fromUs) + 1));
        const Round round = runChild(store, folder, nullptr, 0, delayUs, shared.get());
        ++report.kills;
        switch (round.phase) {
        case NotStarted:
            ++report.before;
            break;
        case Writing:
            ++report.during;
            break;
        default:
            ++report.after;
            break;
        }
        if (round.phase == WriteFailed) {
            fail(report, QStringLiteral("round %1: the write failed").arg(i));
            continue;
        }
        const QString problem = check(store, folder, clean, report);
        if (!problem.isEmpty()) {
            fail(report, QStringLiteral("round %1 (seed %2, kill after %3 us, %4): %5")
                             .arg(i)
                             .arg(options.seed)
                             .arg(delayUs)
                             .arg(QLatin1String(phaseName(round.phase)), problem));
        }
    }

    if (options.steps && report.steps > 0) {
        const int stride = std::max(1, (report.steps + options.maxStepKills - 1) /
                                           std::max(1, options.maxStepKills));
        for (int step = 1; step <= report.steps; step += stride) {
            if (!freshFolder(store, folder)) {
                fail(report, QStringLiteral("step %1: the old content cannot be set up").arg(step));
                continue;
            }
            const Round round = runChild(store, folder, options.steps, step, -1, shared.get());
            ++report.stepKills;
            if (round.hung) {
                fail(report, QStringLiteral("step %1 of %2: the writer hung").arg(step).arg(report.steps));
                continue;
            }
            if (!round.killed) {
                fail(report, QStringLiteral("step %1 of %2: the writer was not stopped there (%3)")
                                 .arg(step)
                                 .arg(report.steps)
                                 .arg(QLatin1String(phaseName(round.phase))));
                continue;
            }
            const QString problem = check(store, folder, clean, report);
            if (!problem.isEmpty()) {
                fail(report, QStringLiteral("killed at step %1 of %2: %3")
                                 .arg(step)
                                 .arg(report.steps)
                                 .arg(problem));
            }
        }
    }
    report.seconds = double(clock.elapsed()) / 1000;
    return report;
}

} // namespace CrashInjection
