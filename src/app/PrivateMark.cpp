#include "app/PrivateMark.h"

#include <QLabel>
#include <QMainWindow>
#include <QPalette>

namespace {

// A deep violet with white text: unlike any theme's bar, and readable on each.
const QColor StripColor(0x4b, 0x2e, 0x83);
const QColor BandColor(0xe6, 0xdc, 0xf5);

} // namespace

QString PrivateMark::windowTitle(bool privateWindow)
{
    return privateWindow ? QStringLiteral("Pelvane (Private)") : QStringLiteral("Pelvane");
}

QString PrivateMark::stripText()
{
    return QStringLiteral("Private window: the pages you visit here leave no history, cookies, "
                          "cache or typed addresses behind once the window closes. Favorites and "
                          "page groups you add are kept.");
}

void PrivateMark::mark(QMainWindow& window, QWidget& addressBand,
                       const std::function<void(QWidget* bar)>& placeAboveTabs)
{
    window.setWindowTitle(windowTitle(true));

    auto* strip = new QLabel(stripText(), &window);
    strip->setObjectName(QStringLiteral("privateStrip"));
    strip->setWordWrap(true);
    strip->setContentsMargins(8, 3, 8, 3);
    strip->setAutoFillBackground(true);
    QPalette stripColors = strip->palette();
    stripColors.setColor(QPalette::Window, StripColor);
    stripColors.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(stripColors);
    placeAboveTabs(strip);

    // The band and what it holds (the address box included) take the tint.
    addressBand.setAutoFillBackground(true);
    QPalette bandColors = addressBand.palette();
    bandColors.setColor(QPalette::Window, BandColor);
    bandColors.setColor(QPalette::Base, BandColor.lighter(106));
    addressBand.setPalette(bandColors);
}
