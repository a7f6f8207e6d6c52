#pragma once

#include <QList>
#include <QString>

#include <utility>

// One button of the main toolbar in an arrangement: which button (its tag) and whether it
// is shown. An arrangement lists every button once, left to right.
struct ToolbarSlot
{
    int tag = 0;
    bool shown = true;

    friend bool operator==(const ToolbarSlot&, const ToolbarSlot&) = default;
};
using ToolbarArrangement = QList<ToolbarSlot>;

// "toolbar.dat": the toolbar's order and shown buttons, one line per button in the section
// "Toolbar", the tag as key and "1" or "0" as value.
namespace ToolbarFile {

QString fileIn(const QString& programFolder);

// The design arrangement of `count` buttons: tag order, every button shown.
ToolbarArrangement design(int count);

// The reading rule. The buttons the lines name come first, in the order of the lines, each
// shown exactly when its value is 1; every button no line names follows in tag order,
// shown. A line whose key is not the tag of a button, or whose value is not a number, is
// skipped, and so is a second line for a button already placed; so a file from a version
// with fewer buttons, or a damaged one, still gives every button a place. With `reset` the
// lines do not matter: the design arrangement.
ToolbarArrangement apply(const ToolbarArrangement& current,
                         const QList<std::pair<QString, QString>>& lines, bool reset);

// The file's text for an arrangement (CR LF lines, as the Windows functions write).
QByteArray toBytes(const ToolbarArrangement& arrangement);

// LoadToolbarLayout: the arrangement after reading `path`; a missing file leaves `current`.
ToolbarArrangement LoadToolbarLayout(const QString& path, const ToolbarArrangement& current,
                                     bool reset);
// SaveToolbarLayout: writes the whole file anew (nothing of an older file survives).
// Returns false with the reason in *error when it cannot be written.
bool SaveToolbarLayout(const QString& path, const ToolbarArrangement& arrangement,
                       QString* error = nullptr);

} // namespace ToolbarFile
