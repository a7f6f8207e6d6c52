// Prints how long the tab strip takes to repaint with 100 tabs and to take a 100th tab.
#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Runs = 200;

QString caption(int i)
{
    return QStringLiteral("Page title number %1 of the bench...").arg(i).left(38);
}

std::unique_ptr<TPVPageControl> control(int tabs, bool multiLine, int width)
{
    auto pc = std::make_unique<TPVPageControl>();
    pc->setImages(StateIcons::tabStateImages());
    pc->setTabPosition(TPVPageControl::Side::Bottom);
    pc->setMultiLine(multiLine);
    for (int i = 0; i < tabs; ++i) {
        auto* page = new QLabel;
        pc->addPage(page, caption(i));
        pc->setPageImageIndex(page, i % 5 - 1);
    }
    pc->resize(width, 700);
    pc->show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    return pc;
}

// Median and best of a number of timed runs, in microseconds.
void report(const char* what, const std::function<void()>& run)
{
    std::vector<double> us;
    QElapsedTimer t;
    for (int i = 0; i < Runs; ++i) {
        t.start();
        run();
        us.push_back(double(t.nsecsElapsed()) / 1000.0);
    }
    std::sort(us.begin(), us.end());
    std::printf("%-58s median %8.1f us   best %8.1f us\n", what, us[us.size() / 2], us.front());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("platform %s, %d runs each\n", qPrintable(QGuiApplication::platformName()), Runs);

    for (const bool multiLine : {false, true}) {
        auto pc = control(100, multiLine, 1024);
        QWidget* strip = pc->tabStrip();
        QImage image(strip->size(), QImage::Format_ARGB32_Premultiplied);
        std::printf("%s: %d rows, strip %dx%d\n", multiLine ? "several rows" : "one row",
                    pc->rowCount(), strip->width(), strip->height());
        report("repaint of the strip, 100 tabs (repaint())", [&] { strip->repaint(); });
        report("paint of the strip into an image, 100 tabs", [&] {
            QPainter p(&image);
            strip->render(&p);
        });
        int n = 0;
        report("relayout after a caption change, 100 tabs",
               [&] { pc->setPageCaption(pc->page(50), caption(++n)); });
    }

    for (const bool multiLine : {false, true}) {
        auto pc = control(99, multiLine, 1024);
        std::vector<QWidget*> added;
        const char* what = multiLine ? "insert of the 100th tab, several rows"
                                     : "insert of the 100th tab, one row";
        report(what, [&] {
            auto* page = new QLabel;
            pc->insertPage(50, page, caption(100));
            added.push_back(page);
            pc->removePage(page);
        });
        const char* withPaint = multiLine ? "insert of the 100th tab + repaint, several rows"
                                          : "insert of the 100th tab + repaint, one row";
        report(withPaint, [&] {
            auto* page = new QLabel;
            pc->insertPage(50, page, caption(100));
            pc->tabStrip()->repaint();
            added.push_back(page);
            pc->removePage(page);
        });
        for (QWidget* w : added)
            delete w;
    }
    return 0;
}
