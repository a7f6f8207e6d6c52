#pragma once

#include <QFrame>

// The bar above the pages that says the tabs were brought back after Pelvane ended
// unexpectedly. It asks nothing: the tabs are there, and "Start fresh instead" is one
// click away. It goes when closed or when that button is pressed.
class RestoredBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RestoredBar)

public:
    explicit RestoredBar(int tabCount, QWidget* parent = nullptr);

    static QString message(int tabCount);

Q_SIGNALS:
    void startFreshRequested();
};
