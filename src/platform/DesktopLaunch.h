#pragma once

#include "platform/DesktopEntry.h"

#include <QString>
#include <QStringList>

// Starting a desktop program from its entry: always a program and its arguments, never a
// shell, in the working folder the entry names, and inside a terminal when the entry asks
// for one. Used by every place that starts another program for the user (edit with, mail
// and news).
namespace DesktopLaunch {

// How long a command line may be; a longer one is not run (cutting it would run some
// other command).
inline constexpr int MaxCommandLength = 4096;

// The desktop's terminal (x-terminal-emulator); empty when none is installed.
QString terminalProgram();

// `command` run inside `terminal` ("terminal -e command..."); empty when there is no
// terminal or no command.
QStringList inTerminal(const QStringList& command, const QString& terminal);

// Starts `command` (built from `app`'s entry) and lets it run on its own. Empty when it
// started; otherwise the problem, in words for the user.
QString start(const DesktopApplication& app, QStringList command, const QString& terminal);

} // namespace DesktopLaunch
