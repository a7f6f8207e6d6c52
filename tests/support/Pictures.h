#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// PELVANE_SCREENSHOTS names a folder: each bar, menu and dialog a test calls for is pictured
// there as the user sees it, to be looked at.
inline void picture(QWidget& widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("PELVANE_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    if (!widget.isVisible()) {
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
    }
    QVERIFY(widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}
