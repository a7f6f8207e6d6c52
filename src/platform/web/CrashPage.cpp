#include "platform/web/CrashPage.h"

namespace CrashPage {

QString title()
{
    return QStringLiteral("Page Stopped Working");
}

QString html(const QUrl& url, Reason reason, int exitCode)
{
    QString what;
    switch (reason) {
    case Reason::Crashed:
        what = QStringLiteral("The process that showed this page crashed.");
        break;
    case Reason::Killed:
        what = QStringLiteral("The process that showed this page was ended from outside "
                              "(perhaps the system ran short of memory).");
        break;
    case Reason::Abnormal:
        what = QStringLiteral("The process that showed this page ended unexpectedly "
                              "(exit code %1).")
                   .arg(exitCode);
        break;
    }
    // The address goes into the page as text and as a link: both escaped, and only
    // addresses that can be navigated to become a link.
    const QString address = url.toDisplayString().toHtmlEscaped();
    const QString href = QString::fromLatin1(url.toEncoded()).toHtmlEscaped();
    const bool linkable = url.isValid() && !url.scheme().startsWith(QLatin1String("javascript"));
    const QString reload = linkable ? QStringLiteral("<p><a id=\"reload\" href=\"%1\">Reload "
                                                     "the page</a></p>")
                                          .arg(href)
                                    : QString();
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                          "<style>body{font-family:sans-serif;margin:3em;max-width:40em}"
                          "h1{font-size:1.4em}</style></head><body><h1>%1</h1><p>%2</p>"
                          "<p>Other pages are not affected.</p><p>Address: %3</p>%4"
                          "</body></html>")
        .arg(title().toHtmlEscaped(), what.toHtmlEscaped(), address, reload);
}

} // namespace CrashPage
