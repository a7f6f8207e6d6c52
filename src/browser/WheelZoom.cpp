#include "browser/WheelZoom.h"

#include "browser/SorvelBrowser.h"

#include <QApplication>
#include <QWheelEvent>

namespace {

// One notch of an ordinary wheel.
constexpr int Notch = 120;

TSorvelBrowser* browserAround(QObject* object)
{
    for (auto* widget = qobject_cast<QWidget*>(object); widget; widget = widget->parentWidget()) {
        if (auto* browser = qobject_cast<TSorvelBrowser*>(widget))
            return browser;
    }
    return nullptr;
}

} // namespace

WheelZoom::WheelZoom(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool WheelZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    TSorvelBrowser* browser = browserAround(watched);
    if (!browser)
        return false;
    m_turned += wheel->angleDelta().y();
    while (m_turned >= Notch || m_turned <= -Notch) {
        browser->ZoomBy(m_turned > 0 ? 1 : -1);
        m_turned += m_turned > 0 ? -Notch : Notch;
    }
    return true;
}
