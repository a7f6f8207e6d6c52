#include "app/StartArguments.h"

namespace {

bool isOption(const QString& argument)
{
    return argument.startsWith(QLatin1String("--"));
}

StartArguments refused(const QString& problem)
{
    StartArguments result;
    result.kind = StartArguments::Kind::Refused;
    result.problem = problem;
    return result;
}

} // namespace

StartArguments StartArguments::parse(const QStringList& arguments)
{
    StartArguments result;
    int next = 1;
    if (arguments.value(next) == QLatin1String("--screenshot")) {
        result.screenshotFile = arguments.value(next + 1);
        if (result.screenshotFile.isEmpty() || isOption(result.screenshotFile))
            return refused(QStringLiteral("--screenshot needs the file to write the picture to"));
        next += 2;
    }
    if (arguments.value(next) == QLatin1String("--private")) {
        result.privateWindow = true;
        ++next;
    }
    const QString first = arguments.value(next);
    if (first == QLatin1String("--help")) {
        result.kind = Kind::Help;
        return result;
    }
    if (first == QLatin1String("--")) {
        result.argument = arguments.value(next + 1);
        return result;
    }
    if (isOption(first))
        return refused(QStringLiteral("unknown option %1").arg(first));
    result.argument = first;
    return result;
}

QString StartArguments::usage()
{
    return QStringLiteral("Usage: pelvane [--] [ADDRESS | FILE | GROUP.sgp]\n"
                          "       pelvane --private [--] [ADDRESS | FILE | GROUP.sgp]\n"
                          "       pelvane --screenshot PNG [--private] [--] [ADDRESS | FILE | GROUP.sgp]\n"
                          "       pelvane --list-tabs\n"
                          "       pelvane --reg-export [--unicode] [KEY]\n"
                          "       pelvane --reg-import FILE\n"
                          "       pelvane --import-bookmarks FILE [FOLDER]\n"
                          "       pelvane --export-bookmarks FILE\n"
                          "       pelvane --help\n"
                          "Only the first argument is opened. Switches of the web engine go in\n"
                          "QTWEBENGINE_CHROMIUM_FLAGS. See pelvane(1).\n");
}
