// What a sleeping tab costs: ten pages in ten of the program's browsers (one shown, nine
// loaded out of sight as background tabs are), then the nine frozen, then discarded (the page and its view dropped, the history kept), then
// woken again. The process tree's proportional memory (PSS) after each step, the cost of one
// page in each state beside a browser that was never loaded, and how long a discarded page
// takes to come back.
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
    constexpr int Pages = 10;
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
    for (int i = 1; i <= Pages; ++i) {
        auto browser = std::make_unique<TWebBrowser>(context.createBackend(), nullptr);
        browser->OnDocumentComplete = [&loaded](WebFrame frame, const QString&) {
            if (frame == QtWebEngineBackend::TopFrame)
                ++loaded;
        };
        browser->resize(800, 600);
        browsers.push_back(std::move(browser));
    }
    const auto waitForLoads = [&loaded](int count) {
        waitFor([&] { return loaded >= count; });
        settle(3000);
    };
    // One page shown, the other nine browsers never loaded: the floor of a tab that waits.
    browsers.front()->show();
    browsers.front()->Navigate(server.url(QStringLiteral("/page1")).toString());
    waitForLoads(1);
    const double one = pssMiB(self);
    // The others load as background tabs do: out of sight.
    for (int i = 1; i < Pages; ++i)
        browsers.at(i)->Navigate(server.url(QStringLiteral("/page%1").arg(i + 1)).toString());
    waitForLoads(Pages);
    const double all = pssMiB(self);

    for (int i = 1; i < Pages; ++i)
        browsers.at(i)->backend()->setLifecycle(PageLifecycle::Frozen);
    settle(3000);
    const double frozen = pssMiB(self);
    for (int i = 1; i < Pages; ++i)
        browsers.at(i)->backend()->setLifecycle(PageLifecycle::Discarded);
    settle(5000);
    const double discarded = pssMiB(self);

    // Waking: the median time until a discarded page has loaded again.
    QList<double> wakes;
    for (int i = 1; i < Pages; ++i) {
        const int before = loaded;
        QElapsedTimer clock;
        clock.start();
        browsers.at(i)->backend()->setLifecycle(PageLifecycle::Active);
        waitFor([&] { return loaded > before; });
        wakes << clock.nsecsElapsed() / 1e6;
    }
    std::sort(wakes.begin(), wakes.end());

    out << QStringLiteral("1 page and %1 unloaded browsers: %2 MiB\n")
               .arg(Pages - 1)
               .arg(one, 0, 'f', 1);
    out << QStringLiteral("%1 pages loaded: %2 MiB; %3 frozen: %4 MiB; %3 discarded: %5 MiB\n")
               .arg(Pages)
               .arg(all, 0, 'f', 1)
               .arg(Pages - 1)
               .arg(frozen, 0, 'f', 1)
               .arg(discarded, 0, 'f', 1);
    out << QStringLiteral("saved per tab: frozen %1 MiB, discarded %2 MiB\n")
               .arg((all - frozen) / (Pages - 1), 0, 'f', 2)
               .arg((all - discarded) / (Pages - 1), 0, 'f', 2);
    out << QStringLiteral("cost per tab beside a browser never loaded: frozen %1 MiB, discarded "
                          "%2 MiB\n")
               .arg((frozen - one) / (Pages - 1), 0, 'f', 2)
               .arg((discarded - one) / (Pages - 1), 0, 'f', 2);
    out << QStringLiteral("a discarded page loaded again in %1 ms (median of %2)\n")
               .arg(wakes.at(wakes.size() / 2), 0, 'f', 0)
               .arg(wakes.size());
    return 0;
}
