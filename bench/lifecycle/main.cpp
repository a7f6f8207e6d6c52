// What a sleeping tab costs: ten pages in ten views, then nine of them hidden and frozen,
// then discarded. The process tree's proportional memory (PSS) after each step, and the
// cost of one page in each state beside a view that was never loaded.
//
//   xvfb-run -a bench/lifecycle/bench_lifecycle
#include "support/LocalHttpServer.h"
#include "support/ProcessMemory.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace {

using ProcessMemory::pssMiB;

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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

    std::vector<std::unique_ptr<QWebEngineView>> views;
    int loaded = 0;
    const auto waitForLoads = [&loaded](int count) {
        QEventLoop wait;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
            if (loaded >= count)
                wait.quit();
        });
        poll.start(50);
        QTimer::singleShot(60000, &wait, &QEventLoop::quit);
        wait.exec();
        settle(3000);
    };
    for (int i = 1; i <= Pages; ++i) {
        auto view = std::make_unique<QWebEngineView>();
        QObject::connect(view.get(), &QWebEngineView::loadFinished, [&loaded] { ++loaded; });
        view->resize(800, 600);
        views.push_back(std::move(view));
    }
    // One page shown, the other nine views never loaded: the floor of a tab that waits.
    views.front()->show();
    views.front()->load(server.url(QStringLiteral("/page1")));
    waitForLoads(1);
    const double one = pssMiB(self);
    for (int i = 1; i < Pages; ++i) {
        views.at(i)->show();
        views.at(i)->load(server.url(QStringLiteral("/page%1").arg(i + 1)));
    }
    waitForLoads(Pages);
    const double all = pssMiB(self);

    for (int i = 1; i < Pages; ++i) {
        views.at(i)->hide();
        views.at(i)->page()->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    }
    settle(3000);
    const double frozen = pssMiB(self);
    for (int i = 1; i < Pages; ++i)
        views.at(i)->page()->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    settle(5000);
    const double discarded = pssMiB(self);

    out << QStringLiteral("1 page and %1 unloaded views: %2 MiB\n").arg(Pages - 1).arg(one, 0, 'f', 1);
    out << QStringLiteral("%1 pages loaded: %2 MiB; %3 frozen: %4 MiB; %3 discarded: %5 MiB\n")
               .arg(Pages)
               .arg(all, 0, 'f', 1)
               .arg(Pages - 1)
               .arg(frozen, 0, 'f', 1)
               .arg(discarded, 0, 'f', 1);
    const double perLoaded = (all - discarded) / (Pages - 1);
    out << QStringLiteral("saved per tab: frozen %1 MiB, discarded %2 MiB (a loaded tab costs "
                          "about %3 MiB more than a discarded one)\n")
               .arg((all - frozen) / (Pages - 1), 0, 'f', 2)
               .arg(perLoaded, 0, 'f', 2)
               .arg(perLoaded, 0, 'f', 2);
    out << QStringLiteral("cost per tab beside a view never loaded: frozen %1 MiB, discarded %2 "
                          "MiB\n")
               .arg((frozen - one) / (Pages - 1), 0, 'f', 2)
               .arg((discarded - one) / (Pages - 1), 0, 'f', 2);
    return 0;
}
