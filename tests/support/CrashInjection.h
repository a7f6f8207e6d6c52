#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Kills a store's writer while it writes, and checks what the next start finds.
//
// Each round makes a fresh folder holding the old content, forks a child that writes the
// new content over it through the program's own code, and SIGKILLs the child after a
// random delay (seeded; the seed is printed so that a failing round can be replayed with
// PELVANE_CRASH_SEED). The test process then does what the program does on its next
// start (open, read, clean up) and requires the old or the new content whole, and the
// folder holding exactly what a clean old or new start leaves: no temporary file, no
// staging folder. Where the test program can see the writer's steps (StepGate), the
// child is also killed at each step in turn.
namespace CrashInjection {

enum class Found
{
    Old,
    New,
    Broken
};

struct Store
{
    QString name;
    // Puts the old content into `folder` (made fresh and empty for every round). Runs in
    // the test process; false: the round cannot be set up.
    std::function<bool(const QString& folder)> prepareOld;
    // Writes the new content over the old, in the child. It calls `writing()` when the
    // write itself begins (after opening what it writes to), so that a kill can be told
    // to have landed before, during or after it. Returns whether it succeeded.
    std::function<bool(const QString& folder, const std::function<void()>& writing)> writeNew;
    // The next start: opens, reads and cleans up the store as the program does at start,
    // and says which content it found (for Broken, why, in *problem).
    std::function<Found(const QString& folder, QString* problem)> start;
};

// Stops a child at its n-th step of writing (a system call that changes a file). The
// test program that can see those calls hands one in.
class StepGate
{
public:
    virtual ~StepGate() = default;
    // In the child, just before the write: counts steps from now on and kills the child
    // with SIGKILL as step `stopAt` is about to be taken (0: never).
    virtual void arm(int stopAt) = 0;
    // Steps taken since arm().
    virtual int taken() const = 0;

protected:
    StepGate() = default;
    StepGate(const StepGate&) = default;
    StepGate& operator=(const StepGate&) = default;
};

struct Options
{
    quint32 seed = 0;
    int randomKills = 200;
    StepGate* steps = nullptr; // null: random instants only
    int maxStepKills = 60;     // a longer write is killed at evenly spread steps
};

struct Report
{
    QString store;
    int kills = 0;       // random kills
    int before = 0;      // ... that landed before the write began
    int during = 0;      // ... while it ran
    int after = 0;       // ... after it had finished
    int steps = 0;       // steps one whole write takes (0: not counted)
    int stepKills = 0;   // kills at a step
    int foundOld = 0;    // starts that found the old content (random and step kills)
    int foundNew = 0;
    double writeMs = 0;       // one uninterrupted write, typically
    double forkToWriteMs = 0; // from the fork to its start
    double seconds = 0;       // the store's rounds, all told
    QStringList failures; // each: the round and what the start found
    int failureCount = 0;

    QString summary() const;
};

Report run(const Store& store, const Options& options);

// The seed of this run: PELVANE_CRASH_SEED when set, otherwise a random one.
quint32 chooseSeed();

// Every file and folder below `folder` (hidden ones too), as relative paths; folders end
// in "/". Sorted.
QStringList listing(const QString& folder);

} // namespace CrashInjection
