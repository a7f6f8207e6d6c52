#include "integration/window/TabStripDropTarget.h"

#include "integration/DroppedAddress.h"
#include "browser/strip/PVPageControl.h"

#include <QDropEvent>

TabStripDropTarget::TabStripDropTarget(TPVPageControl* pages, DropHandler onDrop, QObject* parent)
    : QObject(parent)
    , m_pages(pages)
    , m_onDrop(std::move(onDrop))
{
    QWidget* strip = pages->tabStrip();
    strip->setAcceptDrops(true);
    strip->installEventFilter(this);
}

bool TabStripDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pages->tabStrip())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // The entry is taken for anything readable; each move then decides by the tab
        // under the pointer.
        auto* drag = static_cast<QDragMoveEvent*>(event);
        m_hoveredTab = m_pages->tabAt(drag->position().toPoint());
        const bool readable = DroppedAddress::CanRead(drag->mimeData());
        if (readable && (m_hoveredTab >= 0 || event->type() == QEvent::DragEnter))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::DragLeave:
        m_hoveredTab = -1;
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        m_hoveredTab = m_pages->tabAt(drop->position().toPoint());
        const QString address = DroppedAddress::FromMimeData(drop->mimeData());
        if (m_hoveredTab < 0 || address.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        m_onDrop(m_hoveredTab, address);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
