#pragma once

#include "sidebar/FindPanel.h"

#include <atomic>

// The shortcuts of a Favorites folder whose name (without ".url") or address contains
// `text`, case ignored. Depth first: a folder's sub-folders (names not beginning with "."),
// each searched whole in the order the file system lists them, come before the folder's own
// "*.url" files. A link back to a folder being searched is not followed. `cancelled` ends the
// search early (with what was found so far).
QList<FoundRow> findFavorites(const QString& folder, const QString& text,
                              const std::atomic_bool* cancelled = nullptr);

// The address of a shortcut file (value "URL" of section "InternetShortcut"); empty when it
// has none or is no shortcut.
QString readShortcutAddress(const QString& file);
