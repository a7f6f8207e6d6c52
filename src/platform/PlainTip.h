#pragma once

#include <QString>

// A tool tip is drawn as markup when its text looks like markup. Titles, addresses and file
// names come from pages and disks: shown through this, they are shown as the text they are
// (a title with an <img> tag would otherwise draw a local picture).
QString plainTip(const QString& text);
