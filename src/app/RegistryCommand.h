#pragma once

#include <optional>

// `pelvane --reg-export [--unicode] [KEY]` and `pelvane --reg-import FILE`: how a user
// backs up, deploys or brings over settings. --unicode writes regedit's version 5 file. They run
// with a core application only (no window, no single-copy check) and return the exit code; for any
// other command line this returns nothing and the program starts as usual.
std::optional<int> runRegistryCommand(int argc, char** argv);
