#pragma once

#include <QString>
#include <QStringList>

// The options dialog's decisions between stored settings and what its controls show.
namespace OptionsRules {

// "LimitTitleLength" as the dialog shows it: whether a limit is on, and the length the spin
// box offers. The box accepts 1 to 100; with no limit it offers the usual 35, so checking
// the box never starts from a one-letter title.
struct TitleLimitShown
{
    bool limited = false;
    int length = 35;
    friend bool operator==(const TitleLimitShown&, const TitleLimitShown&) = default;
};
TitleLimitShown titleLimitShown(int stored);
// What OK stores: the length when limited, otherwise 0 (no limit).
int titleLimitStored(bool limited, int length);

// "StartupMode": 0 home page, 1 last open sites, 2 start-up page group (any other text).
enum StartupChoice
{
    StartupHome = 0,
    StartupLast = 1,
    StartupGroup = 2
};
StartupChoice startupChoice(const QString& mode);
QString startupModeText(StartupChoice choice);

// A start-up page group that OK accepts: a path to an existing file.
bool isValidStartupGroup(const QString& path);

// The pop-up list's items from the stored "name=value" lines (the text after the first
// "=", lines without one left out), and the lines OK stores for the items: url1, url2, ...
// in list order.
QStringList popupItemsFromLines(const QStringList& lines);
QStringList popupLinesFromItems(const QStringList& items);

} // namespace OptionsRules
