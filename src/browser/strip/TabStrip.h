#pragma once

#include "browser/strip/TabLayout.h"

#include <QWidget>

class QToolButton;
class TPVPageControl;
class TPVTabHintWindow;

// The row (or rows) of tabs of a TPVPageControl: draws them and handles the mouse (select,
// hint, drag to move). All page data stays in the control.
class TPVTabStrip final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPVTabStrip)

public:
    explicit TPVTabStrip(TPVPageControl* owner);

    // Lays the tabs out again after any change of tabs, font or width; scrolls the selected
    // tab into view when asked.
    void relayout(bool showSelected);
    const TabLayout::Geometry& geometryOfTabs() const { return m_geometry; }
    int tabAt(const QPoint& pos) const;
    QRect tabRect(int tabIndex) const;

    // The tab whose page the control's hint names, -1 for none.
    int hintTab() const { return m_hintTab; }
    // The tabs changed under the mouse: the hint names whatever page is there now.
    void refreshHint();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Colors;

    int selectedTab() const;
    void updateHover(const QPoint& pos);
    void showHintFor(const QPoint& pos);
    void scrollBy(int tabs);
    void placeButtons();
    void drawTab(QPainter& p, int tab, bool selected, const Colors& colors) const;
    void drawBorders(QPainter& p, const QRect& drawn, bool selected) const;

    TPVPageControl* m_owner;
    TPVTabHintWindow* m_hintWindow;
    QToolButton* m_back;
    QToolButton* m_forward;
    TabLayout::Geometry m_geometry;
    int m_firstVisible = 0;
    QList<int> m_tabEntries; // for each tab, its page's place in the control's list
    int m_hoverTab = -1;
    int m_hintTab = -1;
    int m_dragTab = -1;
};
