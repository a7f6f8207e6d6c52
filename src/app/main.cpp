#include "app/Application.h"
#include "app/BookmarkCommand.h"
#include "app/EarlyTermination.h"
#include "session/HandOff.h"
#include "app/MainWindow.h"
#include "settings/window/InternetOptionsCommands.h"
#include "app/ProgramIcon.h"
#include "app/RegistryCommand.h"
#include "app/StartArguments.h"
#include "app/WindowQuestions.h"
#include "favorites/FavoritesTransfer.h"
#include "history/DeferredHistory.h"
#include "platform/BackgroundJob.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "platform/PageCopies.h"
#include "platform/PrivateFolder.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SaveLeftovers.h"
#include "platform/ShellFolders.h"
#include "platform/SiteIcons.h"
#include "platform/StartupMarks.h"
#include "platform/TerminationWatcher.h"
#include "platform/web/OfflineMode.h"
#include "blocking/ContentBlocker.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"
#include "platform/web/WebProfileSlot.h"
#include "passwords/SecretPasswordStore.h"
#include "session/SessionKeeper.h"
#include "settings/PVOptions.h"
#include "settings/StandInHive.h"
#include "settings/dialogs/DefaultBrowser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// `pelvane --list-tabs`: the running copies' tabs, one JSON object a line. Never a window,
// never a second copy.
std::optional<int> runListTabs(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--list-tabs") != 0)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    const MessageBus bus;
    const auto answers = bus.broadcast(QLatin1String(HandOff::ListTabsMessage), {}, 3000);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // With several copies running (multiple instances allowed), the tabs of every one.
    bool answered = false;
    for (const auto& answer : answers) {
        if (!answer.reply.isArray())
            continue;
        answered = true;
        const QJsonArray tabs = answer.reply.toArray();
        for (const QJsonValue& tab : tabs)
            out << QJsonDocument(tab.toObject()).toJson(QJsonDocument::Compact) << '\n';
    }
    if (answered)
        return 0;
    err << "pelvane: no running Pelvane answered.\n";
    return 1;
}

// "--help", or a command line the program refuses: answered on the terminal, with no
// window (and no display needed).
std::optional<int> answerUsage(const StartArguments& start)
{
    if (start.kind == StartArguments::Kind::Help) {
        QTextStream(stdout) << StartArguments::usage();
        return 0;
    }
    if (start.kind == StartArguments::Kind::Refused) {
        QTextStream(stderr) << "pelvane: " << start.problem << '\n' << StartArguments::usage();
        return 2;
    }
    return std::nullopt;
}

bool allowMultiInstance(RegistryHive& hive)
{
    try {
        return TPVOptions(hive).GetAllowMultiInstance();
    } catch (const RegistryError&) {
        return false; // an unreadable setting: one copy, as by default
    }
}

// The engine reports its set-up on every start, and every page's console messages, on
// standard error: a user who starts the program from a terminal would see a wall of text.
// They stay off unless PELVANE_DEBUG is set; QT_LOGGING_RULES overrides these rules too.
// The program's own warnings and the toolkit's are kept.
void quietEngine()
{
    if (qEnvironmentVariableIsSet("PELVANE_DEBUG")) {
        // Asked for, the engine's set-up is reported too: Qt 6.8 reports it as a debug
        // message, which is off unless switched on (Qt 6.4 as information, on by default).
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=true"));
        return;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\njs=false"));
}

// Without XDG_RUNTIME_DIR (a session without a login manager, or after su) the toolkit warns
// on every start and falls back to a folder in /tmp. The program makes that private folder
// itself and names it in the environment, so the start is quiet and every part of the
// program (and the engine's processes) agree on it. A folder that is not this user's alone
// is left to the toolkit, whose warning is then a real one.
void provideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder =
        QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray::number(::getuid());
    ::mkdir(folder.constData(), 0700);
    struct stat info = {};
    if (::lstat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700)
        qputenv("XDG_RUNTIME_DIR", folder);
}

// A further running copy has a web profile of its own: say so once, the first time that
// profile is made, without holding the window up.
void tellAboutOwnProfile(QWidget* window)
{
    auto* box = new QMessageBox(
        QMessageBox::Information, QStringLiteral("Pelvane"),
        QStringLiteral("Another Pelvane window was already running when this one started.\n\n"
                       "This window keeps its own logins, cookies and site data: those of the "
                       "first window are not shared with it, and what you store here is kept "
                       "for the next time a second window runs. Settings, favorites and "
                       "history are shared."),
        QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// A warning before or beside the window. A picture is taken with nobody to press OK: there
// it goes to standard error.
void warnUser(const QString& message, bool pictureMode)
{
    if (message.isEmpty())
        return;
    if (pictureMode)
        QTextStream(stderr) << "pelvane: "
                            << QString(message).replace(QStringLiteral("\n\n"),
                                                        QStringLiteral("\n"))
                            << '\n';
    else
        WindowDialogs(nullptr).tell(message);
}

void reportRecoveredHive(const RegistryHive& hive, bool pictureMode)
{
    // A damaged settings file has been set aside and the program runs on defaults; say
    // where the old file went, once (the next start finds a sound file).
    const QString backup = hive.recoveredBackup();
    if (backup.isEmpty())
        return;
    warnUser(QStringLiteral("Your settings file was damaged and could not be read. It has been "
                            "moved to:\n\n%1\n\nPelvane starts with default settings.")
                 .arg(backup),
             pictureMode);
}

// Where this copy keeps its open tabs against a crash: beside the settings, one session per
// web profile slot, so that two running copies (AllowMultiInstance) each keep their own and
// a copy that runs again in the same slot finds its own. No slot: nothing is kept.
QString sessionFileFor(int slot)
{
    if (slot <= 0)
        return {};
    const QString folder = QFileInfo(Paths::hiveFile()).absolutePath();
    return QDir(folder).filePath(slot == 1 ? QStringLiteral("session.json")
                                           : QStringLiteral("session-%1.json").arg(slot));
}

// Sessions that copies which ended abnormally left in slots no running copy holds: a second
// copy that crashed while the first closed cleanly left its tabs in the second slot, which
// the next start (taking the first free slot) never runs in. Each slot found is held until
// this copy has taken its tabs over.
QList<LeftSession> leftSessions(int ownSlot)
{
    QList<LeftSession> left;
    for (int slot = 1; ownSlot > 0 && slot <= WebProfileSlot::MaxSlots; ++slot) {
        const QString file = sessionFileFor(slot);
        if (slot == ownSlot || !QFile::exists(SessionKeeper::markerFileOf(file)))
            continue;
        if (std::shared_ptr<InstanceLock> hold = WebProfileSlot::holdIdle(slot))
            left << LeftSession{file, std::move(hold)};
    }
    return left;
}

// New Private Window: a copy of its own, which ends with its window.
void startPrivateWindow()
{
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                 {QStringLiteral("--private")}))
        WindowDialogs(nullptr).tell(
            QStringLiteral("Pelvane could not start a private window: %1 cannot be run.")
                .arg(QCoreApplication::applicationFilePath()));
}

// The end of a second copy: its argument is with the running copy or in the hive, or,
// when `error` says why, it could not be kept anywhere; the user who started it learns so.
int handedOff(const QString& error, const QString& argument)
{
    if (error.isEmpty())
        return 0;
    QTextStream(stderr) << "pelvane: the running Pelvane did not answer, and " << argument
                        << " could not be kept for it: " << error << '\n';
    return 1;
}

// How long a second copy waits for an exiting copy to let go of the single-copy lock (the
// engine's shutdown takes a moment).
constexpr int LockPatienceMs = 15000;

bool waitForLock(InstanceLock& lock, int patienceMs)
{
    const QDeadlineTimer deadline(patienceMs);
    while (!lock.tryAcquire()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

// Settings stored with a type the program cannot use were passed over for their defaults:
// say which, once, after the window has read them.
void reportIgnoredValues(RegistryHive& hive, QWidget* window)
{
    const QStringList ignored = hive.takeIgnoredValues();
    if (ignored.isEmpty())
        return;
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Pelvane"),
        QStringLiteral("These settings are stored with a type Pelvane cannot read, so their "
                       "defaults are used:\n\n%1")
            .arg(ignored.join(QLatin1Char('\n'))),
        QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// The history could not be opened and has been left as it is: say so once, and run on
// without it.
void reportHistoryUnavailable(const HistoryStore& history, bool pictureMode)
{
    warnUser(history.unavailableMessage(), pictureMode);
}

// Off the window's thread, once a start: the pictures of the sites not seen for longest go,
// and the copies of pages handed to other programs a week ago and more, read no longer; and
// what writes that a kill or a power loss cut short left behind before this process began
// (files written whole, imports into the Favorites).
void tidyFolders(BackgroundJob& job, const QString& siteIcons, const QString& favorites)
{
    const QString copies = Paths::pageCopiesFolder();
    const QDateTime before = QDateTime::currentDateTimeUtc().addDays(-PageCopies::KeepDays);
    const QDateTime started = SaveLeftovers::processStart();
    const QList<SaveLeftovers::Place> places = SaveLeftovers::storePlaces(
        {QFileInfo(Paths::hiveFile()).absolutePath(), Paths::programFolder(), Paths::groupsFolder(),
         favorites});
    job.start<int>(
        [siteIcons, copies, before, started, places, favorites](const std::atomic_bool& cancelled) {
            int removed = PageCopies::prune(copies, before, cancelled);
            for (const SaveLeftovers::Place& place : places)
                removed += SaveLeftovers::remove(place, started, &cancelled);
            removed += FavoritesTransfer::removeUnfinished(favorites, started);
            if (!siteIcons.isEmpty())
                removed += SiteIcons::prune(siteIcons, SiteIcons::KeepPictures, cancelled);
            return removed;
        },
        [](int) {});
}

// The graphics drivers keep the shaders they compile in the user's cache folder (Mesa in
// ~/.cache/mesa_shader_cache*, NVIDIA's in ~/.nv): a private window writes nothing there.
// Set before the toolkit or the engine makes a context; the engine's processes inherit it.
void keepGraphicsCachesInMemory()
{
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("__GL_SHADER_DISK_CACHE", "0");
}

} // namespace

int main(int argc, char* argv[])
{
    // Everything the program makes (settings, history, page copies, sockets) is the user's alone.
    ::umask(077);
    quietEngine();
    StartupMarks::mark(StartupMarks::Main);
    provideRuntimeFolder();
    if (auto rc = runRegistryCommand(argc, argv))
        return *rc;
    if (auto rc = runBookmarkCommand(argc, argv))
        return *rc;
    if (auto rc = runListTabs(argc, argv))
        return *rc;

    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const StartArguments early = StartArguments::parse(given);
    if (auto rc = answerUsage(early))
        return *rc;
    if (early.privateWindow)
        keepGraphicsCachesInMemory();

    // A logout or a kill while the program is still starting is kept, and closes the window
    // through its ordinary exit once it is there.
    TerminationWatcher termination;
    WebEngineContext::chooseRenderer(argc, argv);
    PelvaneApplication app(argc, argv);
    StartupMarks::mark(StartupMarks::Application);
    // Again without the toolkit's own options (-platform and the like), which it has taken.
    StartArguments start = StartArguments::parse(QCoreApplication::arguments());
    if (auto rc = answerUsage(start))
        return *rc;
    start.argument = HandOff::absoluteArgument(start.argument);
    ProgramIcon icon;             // read while the engine starts
    BackgroundJob tidyJob; // its work is waited for at exit
    const bool pictureMode = !start.screenshotFile.isEmpty();
    // A private window is a copy of its own, started by the user's window (or by hand): it
    // takes no hand-off and leaves none for others, keeps no session (so nothing of it ever
    // comes back after a crash), writes no settings, no history and no site data, and
    // whatever it held goes with its process.
    const bool privateMode = start.privateWindow;

    // The one place the user's settings are reached by name; everything else is handed
    // the hive.
    RegistryHive& userHive = RegistryHive::userHive();
    MessageBus bus;
    InstanceLock lock(InstanceLock::defaultLockFile());
    if (!pictureMode && !privateMode && !allowMultiInstance(userHive) && !lock.tryAcquire()) {
        // A copy that is exiting takes nothing: wait until it is gone and start as the first.
        QString error;
        if (HandOff::deliver(bus, userHive, start.argument, 3000, &error) !=
            HandOff::Delivery::Exiting)
            return handedOff(error, start.argument);
        if (!waitForLock(lock, LockPatienceMs)) {
            HandOff::deliver(bus, userHive, start.argument, 3000, &error);
            return handedOff(error, start.argument);
        }
    }
    // A picture is a separate copy: it takes no hand-off and answers no tool. A private
    // window answers the tool and declines hand-offs (WindowHandOff): a hand-off that came
    // before its answer is set waits for it, and is declined too.
    if (!pictureMode)
        bus.listen({QLatin1String(HandOff::Message)});
    if (!userHive.recoveredBackup().isEmpty() || !userHive.isOpen())
        icon.apply(); // the message about it comes before the engine starts
    reportRecoveredHive(userHive, pictureMode);
    // Settings that cannot be opened are not the user's to lose: the program runs on a
    // stand-in and never writes the file.
    const StandInHive settings(
        userHive, privateMode ? StandInHive::Use::PrivateCopy : StandInHive::Use::UsersOwn,
        privateMode ? PrivateFolder::choose(Paths::runtimeFolder()).folder : QString());
    warnUser(settings.message(), pictureMode);
    if (!settings.isOpen())
        return 1;
    RegistryHive& hive = settings.hive();

    // Every completed top-level navigation of every tab goes to the history; the history
    // outlives the engine that reports to it. It is opened once the window is up and the
    // first pages have started.
    DeferredHistory history(HistoryStore::defaultFile());
    // Every running copy, also a picture's, has a web profile folder of its own; a private
    // window has a profile in memory only (cookies, cache, site storage and site icons),
    // and reports its visits nowhere.
    std::optional<WebProfileSlot> profile;
    if (!privateMode)
        profile.emplace();
    WebEngineContext engine(profile ? profile->folder() : QString());
    StartupMarks::mark(StartupMarks::Engine);
    if (!privateMode)
        engine.setVisitSink(history.visitSink());
    engine.setOfflineState([&hive] { return OfflineMode::isOffline(hive); });
    engine.setDevToolsSizes(DevToolsWindow::keptIn(hive));
    // The filter lists are read in the background from now on; pages load meanwhile.
    ContentBlocker blocker(hive, ContentBlocker::defaultFolder());
    engine.setContentFilter(blocker.filter());
    blocker.reload();
    // A private window leaves the history alone: no completion or side bar opens it either
    // (a reader would leave its journal files behind).
    WebEngineServices services(engine, privateMode ? QString() : HistoryStore::defaultFile());
    // A private window's copies of pages for other programs go with it, from a folder of
    // its own in the runtime folder (in memory on most systems).
    std::unique_ptr<QTemporaryDir> pageCopies;
    if (privateMode) {
        pageCopies = std::make_unique<QTemporaryDir>(
            PrivateFolder::choose(Paths::runtimeFolder()).folder +
            QStringLiteral("/pelvane-pages-XXXXXX"));
        // Without it, a copy fails (and says so) rather than landing in the user's folder.
        services.setPageCopiesFolder(pageCopies->isValid()
                                         ? pageCopies->path()
                                         : QDir(Paths::runtimeFolder())
                                               .filePath(QStringLiteral("pelvane-pages-none")));
    }
    // X11 matches the window's class ("Pelvane", the application name) and Wayland its
    // application id ("pelvane") to the desktop file, so the window, the task bar and the
    // menu entry agree.
    icon.apply();
    MainWindowOptions options;
    options.hive = &hive;
    options.engine = &services;
    options.contentBlocker = &blocker;
    options.argument = start.argument;
    options.bus = pictureMode ? nullptr : &bus;
    options.screenshotFile = start.screenshotFile;
    options.privateWindow = privateMode;
    const bool keepsNothing = pictureMode || privateMode;
    if (!keepsNothing) {
        options.sessionFile = sessionFileFor(profile->number());
        options.leftSessions = leftSessions(profile->number());
    }
    // The keyring is reached only when a page has a sign-in; a picture keeps none, nor does
    // a private window (its sign-ins are neither offered nor filled).
    SecretPasswordStore passwords;
    if (!keepsNothing)
        options.passwords = &passwords;
    if (!keepsNothing)
        options.askDefaultBrowser = [&hive] { return TfrmDefaultBrowser::askUser(hive); };
    if (!pictureMode)
        options.openPrivateWindow = [] { startPrivateWindow(); };

    options.opensPagesWhenPainted = true;

    int exitCode = 0;
    {
        // A logout while the window is made (and asks its questions of the start) ends them.
        EarlyTermination early(termination);
        TfrmMain window(std::move(options)); // it lets the slots it takes over go
        StartupMarks::mark(StartupMarks::WindowMade);
        early.handOver(&window, [&window] { window.ExitNow(); });
        // The desktop session is ending: leave through the ordinary exit, so nothing is lost.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&window](QSessionManager&) { window.ExitNow(); });
        // The program is the main window: once it has closed, other windows (downloads, page
        // source) and the tray do not keep the process, its lock and its hand-offs alive.
        QObject::connect(&window, &TfrmMain::exited, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (pictureMode) {
            QObject::connect(
                &window, &TfrmMain::screenshotTaken, &app, [&exitCode, &start](bool ok) {
                    QTextStream(stdout) << (ok ? "picture written to " : "could not write ")
                                        << start.screenshotFile << '\n';
                    exitCode = ok ? 0 : 1;
                });
        }
        window.show();
        // Opening the history takes the main thread for a moment, which the first pages'
        // loads need then; they have started a second later.
        // Once a start, what the history keeps no longer goes, nor the pictures of sites not
        // seen for longest, nor the page copies other programs had long ago.
        const auto tidy = [&window, &engine, &tidyJob, &hive] {
            window.internetOptions()->expireHistory();
            tidyFolders(tidyJob, engine.siteIcons().folder(),
                        ShellFolders::read(hive, QStringLiteral("Favorites")));
        };
        QTimer::singleShot(1000, &window, [&history, tidy, pictureMode, privateMode] {
            // A private window reads the history through its own look-ups only (the
            // address completion, the side bar) and never opens it to write.
            if (privateMode)
                return;
            history.open();
            reportHistoryUnavailable(*history.store(), pictureMode);
            if (!pictureMode)
                tidy();
        });
        // The start pages read settings too (the last sites): told once they have.
        if (!pictureMode) {
            QObject::connect(&window, &TfrmMain::firstPagesOpened, &window,
                             [&hive, &window] { reportIgnoredValues(hive, &window); });
        }
        if (profile && !pictureMode && !profile->isMain() && profile->isNew())
            tellAboutOwnProfile(&window);
        // A copy that came up while another handed over into the hive picks that up now; a
        // private window leaves it to the user's own.
        if (!keepsNothing) {
            const HandOff::Parcel stored = HandOff::takeStoredCommandLine(hive);
            if (!stored.argument.isEmpty())
                window.acceptHandOff(stored);
        }
        app.exec();
    }
    return exitCode;
}
