#pragma once

#include <QString>

// The two scripts a fill runs in the page. Both walk the page's elements in document order
// and go down into every frame whose document the page's origin may reach (same-origin
// frames; the engine keeps cross-origin frames out of reach, so they are not filled).
// A field is an INPUT element of a type InputTypes fills, as the page wrote it: password
// fields, text areas, selection lists and a type written "TEXT" are left alone; an input
// without a type is a text field.
namespace FormScripts {

// Returns [[name, autocomplete, type], ...] for every named field ("text" for an input
// without a type). args: the longest name (longer ones are skipped; an autocomplete value is
// cut to it) and the most fields.
QString collectFields();
// args[0]: [[field name, type, value], ...]. Sets each field whose name (without regard to
// case) and type have a value to the first value given for them, and returns how many it
// set.
QString fillFields();

// Bounds on what a page hands back: fields beyond these are not read.
inline constexpr int MaxFields = 50000;
inline constexpr int MaxNameLength = 1024;

} // namespace FormScripts
