// What a sleeping tab costs: fifty pages in fifty of the program's browsers (one shown, 49
// loaded out of sight as background tabs are), then the 49 frozen, then unloaded (the page
// and its view dropped, the address, zoom, scroll and history kept), then each shown and
// woken again. The process tree's proportional memory (PSS) after each step, what one tab
// costs in each state beside the single page loaded alone, and how long an unloaded page
// takes from being shown to having loaded again (from the engine's cache).
//
//   xvfb-run -a bench/lifecycle/bench_lifecycle
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"
#include "support/LocalHttpServer.h"
#include "support/ProcessMemory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using ProcessMemory::pssMiB;

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()>& done, int ms = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        settle(20);
    return done();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    LocalHttpServer server;
    server.listen();
    constexpr int Pages = 50;
    constexpr int Others = Pages - 1;
    for (int i = 1; i <= Pages; ++i)
        server.serve("/page" + QByteArray::number(i),
                     QStringLiteral("<html><head><title>Page %1</title></head><body><p>Page %1"
                                    "</p><script>setInterval(()=>{},1000)</script></body></html>")
                         .arg(i)
                         .toUtf8());
    const qint64 self = QCoreApplication::applicationPid();
    WebEngineContext context;

    std::vector<std::unique_ptr<TWebBrowser>> browsers;
    int loaded = 0;
    // While a page is woken: its clock, read as the load completes (the wait between checks
    // would round the time up).
    const QElapsedTimer* wakeClock = nullptr;
    double wokenMs = 0;
    const auto addBrowser = [&] {
        auto browser = std::make_unique<TWebBrowser>(context.createBackend(), nullptr);
        browser->OnDocumentComplete = [&](WebFrame frame, const QString&) {
            if (frame != QtWebEngineBackend::TopFrame)
                return;
            ++loaded;
            if (wakeClock)
                wokenMs = wakeClock->nsecsElapsed() / 1e6;
        };
        browser->resize(800, 600);
        browsers.push_back(std::move(browser));
    };
    const auto waitForLoads = [&loaded](int count) {
        waitFor([&] { return loaded >= count; }, 180000);
        settle(3000);
    };
    // One page shown and nothing else: the floor every other tab is counted against.
    addBrowser();
    browsers.front()->show();
    browsers.front()->Navigate(server.url(QStringLiteral("/page1")).toString());
    waitForLoads(1);
    const double one = pssMiB(self);
    // The others load as background tabs do: out of sight.
    for (int i = 1; i < Pages; ++i) {
        addBrowser();
        browsers.back()->Navigate(server.url(QStringLiteral("/page%1").arg(i + 1)).toString());
    }
    waitForLoads(Pages);
    const double all = pssMiB(self);

    for (int i = 1; i < Pages; ++i)
        browsers.at(i)->backend()->setLifecycle(PageLifecycle::Frozen);
    settle(3000);
    const double frozen = pssMiB(self);
    for (int i = 1; i < Pages; ++i)
        browsers.at(i)->backend()->setLifecycle(PageLifecycle::Discarded);
    settle(5000);
    const double unloaded = pssMiB(self);

    // Waking as a tab that is shown again: the median time until the page has loaded.
    QList<double> wakes;
    for (int i = 1; i < Pages; ++i) {
        TWebBrowser& browser = *browsers.at(i);
        const int before = loaded;
        QElapsedTimer clock;
        clock.start();
        wakeClock = &clock;
        browser.show();
        browser.backend()->setLifecycle(PageLifecycle::Active);
        waitFor([&] { return loaded > before; });
        wakeClock = nullptr;
        wakes << wokenMs;
        browser.hide();
    }
    std::sort(wakes.begin(), wakes.end());

    out << QStringLiteral("1 page alone: %1 MiB\n").arg(one, 0, 'f', 1);
    out << QStringLiteral("%1 pages loaded: %2 MiB; %3 frozen: %4 MiB; %3 unloaded: %5 MiB\n")
               .arg(Pages)
               .arg(all, 0, 'f', 1)
               .arg(Others)
               .arg(frozen, 0, 'f', 1)
               .arg(unloaded, 0, 'f', 1);
    out << QStringLiteral("one tab beside the page alone: loaded %1 MiB, frozen %2 MiB, "
                          "unloaded %3 MiB\n")
               .arg((all - one) / Others, 0, 'f', 2)
               .arg((frozen - one) / Others, 0, 'f', 2)
               .arg((unloaded - one) / Others, 0, 'f', 2);
    out << QStringLiteral("an unloaded page shown and loaded again in %1 ms (median of %2; "
                          "fastest %3 ms, slowest %4 ms)\n")
               .arg(wakes.at(wakes.size() / 2), 0, 'f', 0)
               .arg(wakes.size())
               .arg(wakes.first(), 0, 'f', 0)
               .arg(wakes.last(), 0, 'f', 0);
    return 0;
}
