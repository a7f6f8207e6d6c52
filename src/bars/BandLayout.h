#pragma once

#include <QList>
#include <QString>

#include <optional>

class RegistryHive;

// The arrangement of the bands at the top of the window, as a value: the bands in their
// order, each with its width and whether it starts a new row. Saved in the hive at exit and
// restored just after the window is shown.
struct BandState
{
    QString name;       // "Menu", "Tool", "Address" or "Links"
    int width = 0;      // pixels; 0: none of its own (the design value)
    bool breakBefore = false; // starts a new row

    friend bool operator==(const BandState&, const BandState&) = default;
};
using BandLayout = QList<BandState>;

// One "Band<i>" sub-key as it was found. Anything that was missing or of the wrong type is
// empty, and the loading rule decides what that means.
struct SavedBand
{
    bool present = false; // the sub-key exists
    std::optional<QString> name;
    std::optional<qint64> width;
    std::optional<qint64> breakFlag;
};

namespace BandLayouts {

// The widest band a saved layout may ask for; anything wider is a damaged value.
constexpr int MaxWidth = 16384;

// The four bands in their design order: the menu band alone in the first row, the toolbar
// in the second, the address band and the links band sharing the third.
BandLayout design();
// The band's design values, or null for a name that is none of the four.
const BandState* designOf(const QString& name);

// The loading rule: for each position i in increasing order, a saved entry that names one of
// the four bands moves that band to position i and gives it the saved width and break; a
// missing entry or an unknown name leaves position i as it is. A width that is not a number
// of pixels a screen could show, or a value of the wrong type, falls back to the band's
// design value, so no saved set can hide a band.
BandLayout applySaved(BandLayout current, const QList<SavedBand>& saved);

// The key "Bands" below the settings key.
QString bandsKey();
// Reads the sub-keys "Band0" to "Band<count-1>" (never creating anything).
QList<SavedBand> readSaved(RegistryHive& hive, int count);
// LoadBandLayout: the current arrangement with the saved one applied.
BandLayout LoadBandLayout(RegistryHive& hive, const BandLayout& current);
// SaveBandLayout: deletes "Bands" with all it holds and writes one sub-key per position.
// Throws RegistryError when the hive refuses a write.
void SaveBandLayout(RegistryHive& hive, const BandLayout& layout);

} // namespace BandLayouts
