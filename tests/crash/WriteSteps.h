#pragma once

// The system calls of this test program that change a file (writes, syncs, truncations,
// renames, links, removals, new folders), counted once armed, so that a writer can be
// stopped at each of its steps. Unarmed they pass straight through.
namespace WriteSteps {

// Counts from now on; the process kills itself with SIGKILL as call number `stopAt` is
// about to be made (0: never). Meant for a forked child, which dies there.
void arm(int stopAt);
int taken();

} // namespace WriteSteps
