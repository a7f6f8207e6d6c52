#pragma once

#include <QDialog>

// The About box: the program's icon, name and version, and a link to the program's home
// page that opens in a new tab.
class TfrmSplash final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSplash)

public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    static QString VersionLine() { return QStringLiteral("Version 5.50 Beta 3A"); }
    // The program's home page, shipped with it.
    static QString HomePage();

Q_SIGNALS:
    void linkClicked(const QString& url);
};
