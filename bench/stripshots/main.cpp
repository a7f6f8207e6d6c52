// Renders the tab strip in each position, row mode and colour scheme, the state icons
// enlarged and the status bar, into PNG files for a visual check.
#include "browser/strip/PVPageControl.h"
#include "browser/strip/StateIcons.h"
#include "browser/strip/TabColors.h"
#include "browser/strip/PVStatusBar.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdio>

namespace {

struct Tab
{
    const char* caption;
    int image;
};

// Captions as the browser tabs make them: long titles already cut at 35 characters.
const Tab Tabs[] = {
    {"Blank", -1},
    {"Example Domain", 0},
    {"Pelvane Support Center", 3},
    {"  News and weather  ", 2},
    {"A rather long page title that goes...", 1},
    {"Search", -1},
    {"Mail", 1},
    {"Local page", 0},
};

TPVPageControl* makeControl(TPVPageControl::Side side, bool multiLine, int active,
                            TabColors::TabColorPair colors)
{
    auto* pc = new TPVPageControl;
    pc->setImages(StateIcons::tabStateImages());
    pc->setTabPosition(side);
    pc->setMultiLine(multiLine);
    pc->SetInactiveTabColor(colors.tab);
    pc->SetInactiveFontColor(colors.font);
    for (const Tab& t : Tabs) {
        auto* page = new QLabel(QStringLiteral("page of \"%1\"").arg(QString::fromUtf8(t.caption)));
        page->setAutoFillBackground(true);
        page->setBackgroundRole(QPalette::Base);
        page->setMinimumHeight(30);
        page->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        pc->addPage(page, QString::fromUtf8(t.caption));
        pc->setPageImageIndex(page, t.image);
    }
    pc->setActivePageIndex(active);
    return pc;
}

// The strip with a few pixels of the page next to it, twice as large.
QPixmap zoomed(TPVPageControl* pc, const QPixmap& whole)
{
    const QRect strip = pc->tabStrip()->geometry().adjusted(0, -6, 0, 6);
    const QRect part = strip.intersected(whole.rect()).adjusted(0, 0, 0, 0);
    const QPixmap crop =
        whole.copy(part.left(), part.top(), std::min(part.width(), 600), part.height());
    return crop.scaled(crop.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QPixmap shot(QWidget* w, int width)
{
    w->resize(width, w->sizeHint().height());
    w->show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    w->resize(width, w->minimumSizeHint().height() + 40);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    return w->grab();
}

QImage column(const QList<QPair<QString, QPixmap>>& parts)
{
    int width = 0;
    int height = 0;
    for (const auto& [label, pm] : parts) {
        width = std::max(width, pm.width());
        height += pm.height() + 22;
    }
    QImage img(width + 8, height + 4, QImage::Format_RGB32);
    img.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&img);
    int y = 2;
    for (const auto& [label, pm] : parts) {
        p.setPen(Qt::white);
        p.drawText(4, y + 15, label);
        p.drawPixmap(4, y + 20, pm);
        y += pm.height() + 22;
    }
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/stripshots");
    QDir().mkpath(folder);

    const QList<QPair<QString, TabColors::TabColorPair>> schemes = {
        {QStringLiteral("rev"), TabColors::tabColorsForScheme(QStringLiteral("rev"), 0, 0)},
        {QStringLiteral("std"), TabColors::tabColorsForScheme(QStringLiteral("std"), 0, 0)},
        {QStringLiteral("custom"),
         TabColors::tabColorsForScheme(QStringLiteral("custom"),
                                       TabColors::colorValue(QColor(0x33, 0x66, 0x99)),
                                       TabColors::colorValue(QColor(0xFF, 0xFF, 0xCC)))},
        {QStringLiteral("customdefault"),
         TabColors::tabColorsForScheme(QStringLiteral("custom"), TabColors::clHighlightText,
                                       TabColors::clInactiveCaption)},
    };
    for (const auto& [name, colors] : schemes) {
        QList<QPair<QString, QPixmap>> parts;
        QList<QPair<QString, QPixmap>> zooms;
        for (const auto side : {TPVPageControl::Side::Bottom, TPVPageControl::Side::Top}) {
            const QString where = side == TPVPageControl::Side::Top ? "top" : "bottom";
            for (const int active : {2, 0}) {
                QScopedPointer<TPVPageControl> wide(makeControl(side, false, active, colors));
                parts.append({QStringLiteral("%1, one row, wide, active %2").arg(where).arg(active),
                              shot(wide.get(), 1040)});
                zooms.append({parts.last().first, zoomed(wide.get(), parts.last().second)});
            }
            QScopedPointer<TPVPageControl> narrow(makeControl(side, false, 5, colors));
            parts.append(
                {where + ", one row, narrow (scroll buttons), active 5", shot(narrow.get(), 480)});
            zooms.append({parts.last().first, zoomed(narrow.get(), parts.last().second)});
            QScopedPointer<TPVPageControl> tiny(makeControl(side, false, 4, colors));
            parts.append(
                {where + ", one row, very narrow, long title active", shot(tiny.get(), 170)});
            zooms.append({parts.last().first, zoomed(tiny.get(), parts.last().second)});
            QScopedPointer<TPVPageControl> rows(makeControl(side, true, 2, colors));
            parts.append({where + ", several rows, active 2", shot(rows.get(), 480)});
            zooms.append({parts.last().first, zoomed(rows.get(), parts.last().second)});
        }
        const QString file = QDir(folder).filePath(QStringLiteral("strip-%1.png").arg(name));
        column(parts).save(file);
        std::printf("%s\n", qPrintable(file));
        const QString zoomFile = QDir(folder).filePath(QStringLiteral("zoom-%1.png").arg(name));
        column(zooms).save(zoomFile);
        std::printf("%s\n", qPrintable(zoomFile));
    }

    // The side bar's pane strip: icon-only tabs of fixed width at the bottom, and the hint
    // of a tab under the mouse, taken from the screen since the hint is a window of its own.
    {
        TPVPageControl panes;
        const QStyle* style = panes.style();
        const QList<QStyle::StandardPixmap> icons = {
            QStyle::SP_DirIcon, QStyle::SP_FileDialogDetailedView,
            QStyle::SP_FileDialogContentsView, QStyle::SP_DirHomeIcon};
        QList<QPixmap> images;
        for (const auto icon : icons)
            images.append(style->standardIcon(icon).pixmap(16, 16));
        panes.setImages(images);
        panes.setIconOnly(true);
        panes.setFixedTabWidth(28);
        panes.setTabPosition(TPVPageControl::Side::Bottom);
        const QStringList hints = {"Favorites", "History", "Search", "SorvelGroups"};
        for (int i = 0; i < hints.size(); ++i) {
            auto* page = new QLabel(hints[i] + QStringLiteral(" pane"));
            panes.addPage(page, hints[i]);
            panes.setPageHint(page, hints[i]);
            panes.setPageImageIndex(page, i);
        }
        panes.setActivePageIndex(1);
        panes.move(40, 40);
        panes.resize(234, 160);
        panes.show();
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        QWidget* strip = panes.tabStrip();
        const QPoint over = panes.tabRect(2).center();
        QCursor::setPos(strip->mapToGlobal(over));
        QMouseEvent move(QEvent::MouseMove, over, strip->mapToGlobal(over), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &move);
        QHelpEvent help(QEvent::ToolTip, over, strip->mapToGlobal(over));
        QApplication::sendEvent(strip, &help);
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        const QRect area = panes.frameGeometry().adjusted(-10, -10, 60, 40);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(
            0, area.x(), area.y(), area.width(), area.height());
        const QString file = QDir(folder).filePath(QStringLiteral("panes-and-hint.png"));
        screen.scaled(screen.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(file);
        std::printf("%s\n", qPrintable(file));
    }

    // The icons eight times as large, on white and on grey.
    {
        QImage img(5 * 80 + 16, 2 * 80 + 8, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.fillRect(0, 84, img.width(), 84, QColor(0x76, 0x76, 0x76));
        const QList<QPixmap> icons = StateIcons::tabStateImages();
        for (int row = 0; row < 2; ++row) {
            for (int i = 0; i < icons.size(); ++i)
                p.drawPixmap(QRect(4 + i * 80, 4 + row * 84, 64, 64), icons[i]);
            p.drawPixmap(QRect(4 + 4 * 80, 4 + row * 84, 64, 64), StateIcons::securePadlock());
        }
        const QString file = QDir(folder).filePath(QStringLiteral("icons-x8.png"));
        img.save(file);
        std::printf("%s\n", qPrintable(file));
    }

    // The status bar while a secure page loads, and idle.
    {
        QList<QPair<QString, QPixmap>> parts;
        for (const bool busy : {true, false}) {
            QMainWindow win;
            auto* bar = new TPVStatusBar;
            win.setStatusBar(bar);
            win.setCentralWidget(new QLabel(QStringLiteral("page")));
            bar->setText(busy ? QStringLiteral("Opening page https://example.org/...")
                              : QStringLiteral("Done"));
            bar->setSecure(busy);
            bar->setBusy(busy);
            if (busy)
                bar->setProgress(42, 100);
            win.resize(640, 120);
            win.show();
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            parts.append({busy ? QStringLiteral("status bar: secure, loading 42%")
                               : QStringLiteral("status bar: idle"),
                          bar->grab()});
        }
        const QString file = QDir(folder).filePath(QStringLiteral("statusbar.png"));
        column(parts).save(file);
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
