#pragma once

#include <optional>

// `pelvane --import-bookmarks FILE [FOLDER]` and `pelvane --export-bookmarks FILE`: bookmarks
// brought into or taken out of the Favorites by scripts and administrators. They open no
// window, print what they did and return 0, or print why not and return 2 having written
// nothing. Any other command line: nothing, and the program starts as usual.
std::optional<int> runBookmarkCommand(int argc, char** argv);
