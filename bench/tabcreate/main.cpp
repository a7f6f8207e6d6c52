// Creating a browser with the real engine: the time from creating a TWebBrowser to its
// "about:blank" document being complete (median of 20), and the memory of the whole
// process tree (the program and the engine's helper processes, PSS) with 1 and with 11
// blank browsers.
//
//   QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   xvfb-run -a build/<dir>/bench/tabcreate/bench_tabcreate
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Runs = 20;
constexpr int WaitMs = 30000;

// Runs a real event loop until `done` or the time is up. (Polling the loop with sleeps in
// between would slow the engine, whose work hops between threads through this loop.)
bool waitFor(const std::function<bool()>& done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void wait(int ms)
{
    waitFor([] { return false; }, ms);
}

// Every process below `root` (and root itself), from /proc.
QList<qint64> processTree(qint64 root)
{
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...: the name may hold spaces, so read after its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1)
            children.insert(rest[1].toLongLong(), pid);
    }
    QList<qint64> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree << children.values(tree[i]);
    return tree;
}

qint64 pssKiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    // Files under /proc report no size, so read to the end rather than test atEnd().
    const QList<QByteArray> lines = rollup.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

qint64 treePssKiB(int* processes)
{
    const QList<qint64> tree = processTree(QCoreApplication::applicationPid());
    *processes = int(tree.size());
    qint64 total = 0;
    for (qint64 pid : tree)
        total += pssKiB(pid);
    return total;
}

// Creates a browser and waits until its blank page is complete. Null on timeout.
std::unique_ptr<TWebBrowser> blankBrowser(WebEngineContext& context)
{
    auto browser = std::make_unique<TWebBrowser>(context.createBackend(), nullptr);
    bool complete = false;
    browser->OnDocumentComplete = [&](WebFrame frame, const QString& url) {
        if (frame == browser->Application() && url == QLatin1String("about:blank"))
            complete = true;
    };
    browser->resize(800, 600);
    browser->show();
    browser->Navigate(QStringLiteral("about:blank"));
    if (!waitFor([&] { return complete; }, WaitMs))
        return nullptr;
    browser->OnDocumentComplete = nullptr;
    return browser;
}

void settle()
{
    wait(3000);
}

} // namespace

int main(int argc, char** argv)
{
    // A private home, so that the profile and history are this run's own.
    QTemporaryDir home;
    qputenv("PELVANE_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    QElapsedTimer timer;
    timer.start();
    WebEngineContext context;
    auto first = blankBrowser(context);
    if (!first) {
        std::fprintf(stderr, "the first browser never completed about:blank\n");
        return 1;
    }
    std::printf("engine start and first blank browser: %lld ms\n", timer.elapsed());
    first.reset();

    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        timer.restart();
        auto browser = blankBrowser(context);
        if (!browser) {
            std::fprintf(stderr, "run %d timed out\n", i);
            return 1;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
        browser.reset();
        wait(50); // let the engine close the page before the next run
    }
    std::sort(times.begin(), times.end());
    std::printf("create browser to about:blank complete: median %.1f ms (min %.1f, max %.1f, "
                "%d runs)\n",
                (times[Runs / 2 - 1] + times[Runs / 2]) / 2, times.front(), times.back(), Runs);

    std::vector<std::unique_ptr<TWebBrowser>> open;
    open.push_back(blankBrowser(context));
    settle();
    int processes = 0;
    const qint64 one = treePssKiB(&processes);
    std::printf("memory with 1 blank browser: %.1f MiB PSS in %d processes\n", one / 1024.0,
                processes);
    for (int i = 0; i < 10; ++i)
        open.push_back(blankBrowser(context));
    settle();
    const qint64 eleven = treePssKiB(&processes);
    std::printf("memory with 11 blank browsers: %.1f MiB PSS in %d processes (%.1f MiB per "
                "additional browser)\n",
                eleven / 1024.0, processes, (eleven - one) / 1024.0 / 10);
    open.clear();
    return 0;
}
