#pragma once

#include <QObject>

#include <functional>

class TPVPageControl;

// Makes the tab strip take dropped links, text and shortcut files. While a drag moves over
// the strip the tab under the pointer is hit-tested; a drop there hands the tab index and
// the dropped address to the owner. Over no tab the drop is refused.
class TabStripDropTarget final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStripDropTarget)

public:
    using DropHandler = std::function<void(int tabIndex, const QString& address)>;

    TabStripDropTarget(TPVPageControl* pages, DropHandler onDrop, QObject* parent = nullptr);

    // The tab under the pointer during the last drag (-1: none).
    int hoveredTab() const { return m_hoveredTab; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TPVPageControl* m_pages;
    DropHandler m_onDrop;
    int m_hoveredTab = -1;
};
