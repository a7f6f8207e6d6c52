#pragma once

#include <QString>
#include <QUrl>

// What a page shows after the process that drew it ended: what happened and a way back to
// the page. `reason` says how it ended (crashed, killed, ...).
namespace CrashPage {

enum class Reason
{
    Crashed,
    Killed,
    Abnormal
};

QString html(const QUrl& url, Reason reason, int exitCode);
QString title();

} // namespace CrashPage
