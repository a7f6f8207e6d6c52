#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class TabSet;

// Picture mode: waits until every tab of `tabs` has finished loading (at most 30 s), then
// writes a picture of `window` to a PNG file and reports whether it could.
class WindowPicture final : public QObject
{
public:
    WindowPicture(QWidget& window, const TabSet& tabs, QString file,
                  std::function<void(bool ok)> taken);
};
