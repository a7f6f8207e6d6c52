#pragma once

#include <QLoggingCategory>
#include <QString>

#include <optional>

// How far a start has come, for whoever measures it: each step of the start is told on the
// category "pelvane.startup" with the steady clock's reading in milliseconds
// (QElapsedTimer::msecsSinceReference), which a program that started this one reads on the
// same clock. Off unless asked for: QT_LOGGING_RULES="pelvane.startup.info=true".
Q_DECLARE_LOGGING_CATEGORY(lcStartup)

namespace StartupMarks {

// Names of the steps, in the order they come.
inline constexpr char Main[] = "main";
inline constexpr char Application[] = "application";
inline constexpr char Engine[] = "engine";
inline constexpr char WindowMade[] = "window-made";
inline constexpr char FirstPaint[] = "first-paint";
inline constexpr char FirstPages[] = "first-pages";

struct Mark
{
    QString step;
    qint64 ms = 0;
};

// Tells `step` now, if asked for.
void mark(const char* step);

// The text of a mark, and a line of standard error read back as one; anything else (the
// engine's and the toolkit's own messages, a line cut short) is no mark.
QString text(const Mark& mark);
std::optional<Mark> read(QStringView line);

} // namespace StartupMarks
