// Prints how long opening a page group of 50 entries takes, on fake engines, until all 50
// tabs exist and were told where to go (no page is loaded).
#include "app/MainWindow.h"
#include "platform/RegistryHive.h"
#include "support/FakeEngineServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Entries = 50;
constexpr int Runs = 15;

QByteArray groupText()
{
    QByteArray text = "[SorvelGroup]\r\n";
    for (int i = 1; i <= Entries; ++i) {
        const QByteArray name =
            i % 3 == 0 ? "Site " + QByteArray::number(i) : "blank" + QByteArray::number(i);
        const QByteArray lock = i % 5 == 0 ? "*" : "";
        text += name + "=" + lock + "http://127.0.0.1:8/page" + QByteArray::number(i) +
                ".html?from=bench\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("PELVANE_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    const QString file = home.filePath(QStringLiteral("bench.sgp"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(groupText()) < 0)
        return 1;
    out.close();

    std::vector<double> ms;
    std::vector<double> settled; // and the pending work (the strip's repaint) done
    for (int run = 0; run < Runs; ++run) {
        RegistryHive hive(home.filePath(QStringLiteral("registry-%1.db").arg(run)));
        FakeEngineServices engine(home.filePath(QStringLiteral("history.db")));
        MainWindowOptions options;
        options.hive = &hive;
        options.engine = &engine;
        TfrmMain window(options);
        window.resize(1024, 768);
        window.show();
        QApplication::processEvents();
        const qsizetype before = window.tabs().size();

        QElapsedTimer timer;
        timer.start();
        window.OpenPageGroup(file, false, false);
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        settled.push_back(double(timer.nsecsElapsed()) / 1e6);

        if (window.tabs().size() != before + Entries) {
            std::fprintf(stderr, "expected %d new tabs, got %lld\n", Entries,
                         static_cast<long long>(window.tabs().size() - before));
            return 1;
        }
        ms.push_back(elapsed);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(settled.begin(), settled.end());
    std::printf("open a group of %d entries (fake engines, shown window): median %.1f ms, "
                "best %.1f ms, worst %.1f ms over %d runs (target < 500 ms)\n",
                Entries, ms[ms.size() / 2], ms.front(), ms.back(), Runs);
    std::printf("the same until pending events are processed: median %.1f ms, worst %.1f ms\n",
                settled[settled.size() / 2], settled.back());
    return 0;
}
