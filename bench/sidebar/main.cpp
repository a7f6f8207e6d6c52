// The side bar's long work: the favorites tree and find over a generated Favorites folder
// of 5,000 shortcuts in 200 folders (and one folder of 50,000 files), a refresh of a tree
// with every folder open at two sizes, and the history find over 100,000 pages. Prints the
// time of each, median of 5 runs, and the longest pause of the window's event loop while a
// find runs off its thread.
//
//   QT_QPA_PLATFORM=offscreen build/<dir>/bench/sidebar/bench_sidebar
#include "history/HistoryStore.h"
#include "platform/FolderTree.h"
#include "platform/BackgroundJob.h"
#include "sidebar/FavoritesFind.h"
#include "sidebar/HistoryPane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include "../support/FavoritesTree.h"
#include "../support/Median.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Runs = 5;

// Runs `work` through a BackgroundJob and reports its time and the longest gap between
// ticks of a 5 ms timer on this thread meanwhile.
template<typename Result>
std::pair<double, double> offThread(std::function<Result(const std::atomic_bool&)> work)
{
    BackgroundJob job;
    QElapsedTimer total;
    QElapsedTimer gap;
    double longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, double(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });
    bool done = false;
    total.start();
    gap.start();
    tick.start();
    job.start<Result>(work, [&](Result) { done = true; });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return {double(total.nsecsElapsed()) / 1e6, longest};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString favorites = dir.filePath("Favorites");
    QElapsedTimer timer;
    timer.start();
    makeFavorites(favorites);
    std::printf("generated 5,000 shortcuts in 200 folders in %lld ms\n", timer.elapsed());

    FolderTree tree;
    tree.resize(240, 600);
    tree.show();
    std::printf("favorites tree, first level:          %7.2f ms\n",
                medianMs(Runs, [&] { tree.setRoot(favorites); }));
    std::printf("favorites tree, open a folder of 25:  %7.2f ms\n", medianMs(Runs, [&] {
                    tree.setRoot(favorites);
                    QTreeWidgetItem* top = tree.topLevelItem(0);
                    top->setExpanded(true);
                    top->child(0)->setExpanded(true);
                }));
    std::printf("favorites find \"page 49\" (sync):     %7.2f ms, %lld rows\n",
                medianMs(Runs, [&] { findFavorites(favorites, "page 49"); }),
                qlonglong(findFavorites(favorites, "page 49").size()));
    const auto [findMs, findGap] = offThread<QList<FoundRow>>(
        [&](const std::atomic_bool& c) { return findFavorites(favorites, "site7.", &c); });
    std::printf("favorites find off the thread:        %7.2f ms, longest pause %.2f ms\n",
                findMs, findGap);

    // A refresh with every folder open, at two sizes: the second tree is sixteen times the
    // first, and a refresh in one walk takes about sixteen times as long.
    for (const int each : {20, 320}) {
        const QString wide = dir.filePath(QStringLiteral("Wide%1").arg(each));
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < each; ++j) {
                const QString folder = QStringLiteral("%1/%2/%3").arg(wide).arg(i).arg(j);
                QDir().mkpath(folder);
                writeShortcut(folder + "/a.url", "http://x/");
            }
        }
        FolderTree open;
        open.setAutoExpand(false);
        open.setRoot(wide);
        for (QTreeWidgetItemIterator it(&open); *it; ++it)
            (*it)->setExpanded(FolderTree::isFolder(*it));
        open.setCurrentItem(open.topLevelItem(7)->child(each - 1)->child(0));
        std::printf("refresh, %4d folders open:           %7.2f ms\n", 8 + 8 * each,
                    medianMs(Runs, [&] { open.refresh(); }));
    }

    // One flat folder of 50,000 files: its first level is all of it.
    const QString flat = dir.filePath("Flat");
    QDir().mkpath(flat);
    for (int i = 0; i < 50000; ++i)
        writeShortcut(QStringLiteral("%1/Shortcut %2.url").arg(flat).arg(i), "http://x/");
    {
        // Listed off the thread and shown a slice at a time: the window's longest pause.
        QElapsedTimer total;
        QElapsedTimer gap;
        double longest = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        total.start();
        gap.start();
        tick.start();
        tree.setRoot(flat);
        const double first = double(total.nsecsElapsed()) / 1e6;
        while (tree.isReading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf("folder of 50,000 shortcuts: first paint %.2f ms, whole %.2f ms, "
                    "%d nodes, longest pause %.2f ms\n",
                    first, double(total.nsecsElapsed()) / 1e6, tree.topLevelItemCount(), longest);
    }
    tree.setRoot(QString());

    // History: 100,000 pages over five weeks.
    const QString storeFile = dir.filePath("History/history.db");
    QDir().mkpath(dir.filePath("History"));
    {
        HistoryStore store(storeFile);
        QRandomGenerator random(7);
        const QDateTime now = QDateTime::currentDateTime();
        timer.restart();
        store.beginBatch();
        for (int i = 0; i < 100000; ++i) {
            const QDateTime when = now.addSecs(-qint64(random.bounded(35 * 24 * 3600)));
            store.recordVisit(QStringLiteral("https://www.site%1.example/article/%2.html")
                                  .arg(i % 4000)
                                  .arg(i),
                              QStringLiteral("Article %1 about topic %2").arg(i).arg(i % 97), when);
        }
        store.commitBatch();
        std::printf("recorded 100,000 history pages in %lld ms\n", timer.elapsed());
    }
    const QDateTime now = QDateTime::currentDateTime();
    for (const char* text : {"topic 42", "site123.", "no such text"}) {
        qlonglong rows = 0;
        const double ms = medianMs(Runs, [&] {
            rows = findHistory(storeFile, dir.filePath("History"), text, now, nullptr, nullptr).size();
        });
        std::printf("history find \"%s\":%*s %7.2f ms, %lld rows\n", text,
                    int(18 - strlen(text)), "", ms, rows);
    }
    const auto [historyMs, historyGap] = offThread<QList<FoundRow>>([&](const std::atomic_bool& c) {
        return findHistory(storeFile, dir.filePath("History"), "topic 42", now, &c, nullptr);
    });
    std::printf("history find off the thread:          %7.2f ms, longest pause %.2f ms\n",
                historyMs, historyGap);
    return 0;
}
