// Fills a history store with 100,000 pages and times the find-box searches (substring of
// address or title, and address prefix), median of 20 runs each.
//
//   build/<dir>/bench/historysearch/bench_historysearch [store file to keep]
#include "history/HistoryStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Pages = 100000;
constexpr int Runs = 20;

const char* const Words[] = {"news",   "weather", "market", "garden", "travel", "recipe",
                             "forum",  "review",  "guide",  "photo",  "music",  "science",
                             "sports", "history", "maps",   "shop",   "blog",   "wiki"};

QString word(QRandomGenerator& random)
{
    return QString::fromLatin1(Words[random.bounded(int(std::size(Words)))]);
}

void fill(HistoryStore& store)
{
    QRandomGenerator random(42);
    const QDateTime now = QDateTime::currentDateTime();
    store.beginBatch();
    for (int i = 0; i < Pages; ++i) {
        const QString host = QStringLiteral("www.%1%2.example").arg(word(random)).arg(i % 5000);
        const QString url =
            QStringLiteral("https://%1/%2/%3-%4.html").arg(host, word(random), word(random)).arg(i);
        const QString title = QStringLiteral("%1 %2 and %3 page %4")
                                  .arg(word(random), word(random), word(random))
                                  .arg(i);
        const int visits = 1 + (random.bounded(100) == 0 ? random.bounded(40) : 0);
        for (int v = 0; v < visits; ++v)
            store.recordVisit(url, title, now.addSecs(-random.bounded(20 * 24 * 3600)));
    }
    store.commitBatch();
}

double medianMs(const std::function<int()>& run, int* hits)
{
    QList<double> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        *hits = run();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // An optional file name keeps the filled store for another run.
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("history.db"));
    QElapsedTimer openTimer;
    openTimer.start();
    HistoryStore store(path);
    const double openMs = openTimer.nsecsElapsed() / 1e6;
    if (!store.isOpen()) {
        std::fprintf(stderr, "cannot open the store\n");
        return 1;
    }
    QElapsedTimer fillTimer;
    fillTimer.start();
    if (store.pageCount() == 0)
        fill(store);
    std::printf("opened in %.1f ms; filled %d pages in %.1f s\n", openMs, store.pageCount(),
                fillTimer.elapsed() / 1000.0);

    struct Case
    {
        const char* label;
        QString text;
        bool prefix;
    };
    const Case cases[] = {
        {"substring, common (\"news\")", QStringLiteral("news"), false},
        {"substring, rare (\"page 4242\")", QStringLiteral("page 4242"), false},
        {"substring, none (\"zzqx\")", QStringLiteral("zzqx"), false},
        {"substring, capitals (\"WEATHER AND\")", QStringLiteral("WEATHER AND"), false},
        {"prefix, short (\"g\")", QStringLiteral("g"), true},
        {"prefix, host (\"garden12\")", QStringLiteral("garden12"), true},
        {"prefix, none (\"zzqx\")", QStringLiteral("zzqx"), true},
    };
    for (const Case& c : cases) {
        int hits = 0;
        const double ms = medianMs(
            [&] {
                return int(c.prefix ? store.searchPrefix(c.text, 50).size()
                                    : store.search(c.text, 200).size());
            },
            &hits);
        std::printf("%-36s %4d hits  median %6.2f ms\n", c.label, hits, ms);
    }
    // Expiry at start: the pages of the oldest half of the twenty days go, in the steps
    // the program takes between two turns of its event loop.
    QElapsedTimer expireTimer;
    expireTimer.start();
    int steps = 0;
    int gone = 0;
    double longest = 0;
    for (;;) {
        QElapsedTimer stepTimer;
        stepTimer.start();
        const auto step = store.expireSome(10, HistoryStore::ExpireStep);
        longest = std::max(longest, stepTimer.nsecsElapsed() / 1e6);
        if (!step || (step->visits == 0 && step->pages == 0))
            break;
        gone += step->pages;
        ++steps;
    }
    std::printf("expired %d pages older than 10 days in %.1f ms: %d steps, the longest %.1f "
                "ms\n",
                gone, expireTimer.nsecsElapsed() / 1e6, steps, longest);
    return 0;
}
