#include "app/Application.h"
#include "app/HandOff.h"
#include "app/MainWindow.h"
#include "app/RegistryCommand.h"
#include "history/HistoryStore.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "platform/Paths.h"
#include "platform/RunFolder.h"
#include "platform/Registry.h"
#include "platform/TerminationWatcher.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"
#include "settings/PVOptions.h"
#include "settings/dialogs/DefaultBrowser.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTextStream>

#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace {

// `pelvane --list-tabs`: the running copy's tabs, one JSON object a line. Never a window,
// never a second copy.
std::optional<int> runListTabs(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--list-tabs") != 0)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    const MessageBus bus;
    const auto answers = bus.broadcast(QStringLiteral("ListTabs"), {}, 3000);
    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const auto& answer : answers) {
        if (!answer.reply.isArray())
            continue;
        const QJsonArray tabs = answer.reply.toArray();
        for (const QJsonValue& tab : tabs)
            out << QJsonDocument(tab.toObject()).toJson(QJsonDocument::Compact) << '\n';
        return 0;
    }
    err << "pelvane: no running Pelvane answered.\n";
    return 1;
}

struct StartArguments
{
    QString argument;
    QString screenshotFile;
};

// The program looks at its first argument only; "--screenshot FILE" may stand before it.
StartArguments parseArguments(const QStringList& arguments)
{
    StartArguments result;
    int next = 1;
    if (arguments.value(next) == QLatin1String("--screenshot")) {
        result.screenshotFile = arguments.value(next + 1);
        next += 2;
    }
    result.argument = HandOff::absoluteArgument(arguments.value(next));
    return result;
}

bool allowMultiInstance(RegistryHive& hive)
{
    try {
        return TPVOptions(hive).GetAllowMultiInstance();
    } catch (const RegistryError&) {
        return false; // an unreadable setting: one copy, as by default
    }
}

void reportRecoveredHive(const RegistryHive& hive)
{
    // A damaged settings file has been set aside and the program runs on defaults; say
    // where the old file went, once (the next start finds a sound file).
    const QString backup = hive.recoveredBackup();
    if (backup.isEmpty())
        return;
    QMessageBox::warning(nullptr, QStringLiteral("Pelvane"),
                         QStringLiteral("Your settings file was damaged and could not be "
                                        "read. It has been moved to:\n\n%1\n\nPelvane "
                                        "starts with default settings.")
                             .arg(backup));
}

// The history could not be opened and has been left as it is: say so once, and run on
// without it.
void reportHistoryUnavailable(const HistoryStore& history, bool pictureMode)
{
    const QString message = history.unavailableMessage();
    if (message.isEmpty())
        return;
    if (pictureMode)
        QTextStream(stderr) << "pelvane: " << message << '\n';
    else
        QMessageBox::warning(nullptr, QStringLiteral("Pelvane"), message);
}

} // namespace

int main(int argc, char* argv[])
{
    // Everything the program makes (settings, history, page copies, sockets) is the user's alone.
    ::umask(077);
    if (auto rc = runRegistryCommand(argc, argv))
        return *rc;
    if (auto rc = runListTabs(argc, argv))
        return *rc;

    PelvaneApplication app(argc, argv);
    const RunFolder pageCopies(Paths::runTempFolder()); // removed at exit
    const StartArguments start = parseArguments(QCoreApplication::arguments());
    const bool pictureMode = !start.screenshotFile.isEmpty();

    // The one place the user's settings are reached by name; everything else is handed
    // the hive.
    RegistryHive& hive = RegistryHive::userHive();
    MessageBus bus;
    InstanceLock lock(InstanceLock::defaultLockFile());
    if (!pictureMode && !allowMultiInstance(hive) && !lock.tryAcquire()) {
        HandOff::deliver(bus, hive, start.argument);
        return 0;
    }
    // A picture is a separate copy: it takes no hand-off and answers no tool.
    if (!pictureMode)
        bus.listen({QLatin1String(HandOff::Message)});
    reportRecoveredHive(hive);

    // Every completed top-level navigation of every tab goes to the history; the history
    // outlives the engine that reports to it.
    HistoryStore history(HistoryStore::defaultFile());
    reportHistoryUnavailable(history, pictureMode);
    WebEngineContext engine;
    engine.setVisitSink(history.visitSink());
    WebEngineServices services(engine, HistoryStore::defaultFile());
    MainWindowOptions options;
    options.hive = &hive;
    options.engine = &services;
    options.argument = start.argument;
    options.bus = pictureMode ? nullptr : &bus;
    options.screenshotFile = start.screenshotFile;
    if (!pictureMode)
        options.askDefaultBrowser = [&hive] { return TfrmDefaultBrowser::askUser(hive); };

    int exitCode = 0;
    {
        TfrmMain window(options);
        TerminationWatcher termination;
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window,
                         &QWidget::close);
        // The desktop session is ending: leave through the ordinary exit, so nothing is lost.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&window](QSessionManager&) { window.close(); });
        if (pictureMode) {
            QObject::connect(
                &window, &TfrmMain::screenshotTaken, &app, [&exitCode, &start](bool ok) {
                    QTextStream(stdout) << (ok ? "picture written to " : "could not write ")
                                        << start.screenshotFile << '\n';
                    exitCode = ok ? 0 : 1;
                });
        }
        window.show();
        // A copy that came up while another handed over into the hive picks that up now.
        if (!pictureMode) {
            const QString stored = HandOff::takeStoredCommandLine(hive);
            if (!stored.isEmpty())
                window.HandleHandOff(stored);
        }
        app.exec();
    }
    return exitCode;
}
