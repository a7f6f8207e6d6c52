#pragma once

#include <QObject>
#include <QString>

#include <functional>

class TfrmMain;

// Picture mode: waits until every tab has finished loading (at most 30 s), then writes a
// picture of the window to a PNG file and reports whether it could.
class WindowPicture final : public QObject
{
public:
    WindowPicture(TfrmMain& window, QString file, std::function<void(bool ok)> taken);
};
