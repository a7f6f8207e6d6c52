#include "session/RestoredBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

RestoredBar::RestoredBar(int tabCount, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("restoredBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    // As tall as its line: the tabs below take the rest of the window.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    auto* text = new QLabel(message(tabCount), this);
    text->setObjectName(QStringLiteral("restoredText"));
    layout->addWidget(text, 1);
    // Alt+R: the letters of the menu band's captions and the address band's label (Alt+F
    // is the File menu) are taken.
    auto* fresh = new QPushButton(QStringLiteral("Sta&rt fresh instead"), this);
    fresh->setObjectName(QStringLiteral("startFresh"));
    layout->addWidget(fresh);
    auto* dismiss = new QToolButton(this);
    dismiss->setObjectName(QStringLiteral("closeRestoredBar"));
    dismiss->setAutoRaise(true);
    dismiss->setText(QStringLiteral("X"));
    dismiss->setToolTip(QStringLiteral("Keep the tabs and close this bar"));
    layout->addWidget(dismiss);

    connect(fresh, &QPushButton::clicked, this, [this] {
        Q_EMIT startFreshRequested();
        deleteLater();
    });
    connect(dismiss, &QToolButton::clicked, this, &QObject::deleteLater);
}

QString RestoredBar::message(int tabCount)
{
    return tabCount == 1
               ? QStringLiteral("Pelvane did not close properly last time. Your tab has been "
                                "brought back.")
               : QStringLiteral("Pelvane did not close properly last time. Your %1 tabs have "
                                "been brought back.")
                     .arg(tabCount);
}
