#include "browser/strip/TabStrip.h"

#include "browser/strip/PVPageControl.h"
#include "browser/strip/TabColors.h"
#include "browser/strip/TabHintWindow.h"
#include "browser/strip/TabPaint.h"
#include "browser/strip/TabRules.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolButton>

using TabLayout::Side;

struct TPVTabStrip::Colors
{
    QColor activeTab;
    QColor activeFont;
    QColor inactiveTab;
    QColor inactiveFont;
};

TPVTabStrip::TPVTabStrip(TPVPageControl* owner)
    : QWidget(owner)
    , m_owner(owner)
    , m_hintWindow(new TPVTabHintWindow(this))
    , m_back(new QToolButton(this))
    , m_forward(new QToolButton(this))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_back->setArrowType(Qt::LeftArrow);
    m_forward->setArrowType(Qt::RightArrow);
    for (QToolButton* b : {m_back, m_forward}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->hide();
    }
    connect(m_back, &QToolButton::clicked, this, [this] { scrollBy(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { scrollBy(1); });
}

int TPVTabStrip::selectedTab() const
{
    return m_owner->activeTabIndex();
}

void TPVTabStrip::relayout(bool showSelected)
{
    const QFontMetrics fm = fontMetrics();
    const QSize imageSize = m_owner->imageSize();
    const int imageCount = int(m_owner->m_images.size());
    TabLayout::Input in;
    m_tabEntries.clear();
    for (int i = 0; i < m_owner->m_pages.size(); ++i) {
        TPVPageControl::PageEntry& e = m_owner->m_pages[i];
        if (!e.tabVisible)
            continue;
        m_tabEntries.append(i);
        const bool hasImage = e.imageIndex >= 0 && e.imageIndex < imageCount;
        const bool hasText = !m_owner->m_iconOnly;
        if (hasText && e.textWidth < 0)
            e.textWidth = fm.horizontalAdvance(TabPaint::trimBlanks(e.caption));
        const int textWidth = hasText ? e.textWidth : 0;
        in.widths.append(
            m_owner->m_fixedTabWidth > 0
                ? m_owner->m_fixedTabWidth
                : TabLayout::naturalTabWidth(textWidth, hasImage ? imageSize.width() : 0, hasText));
    }
    in.stripWidth = width();
    in.rowHeight = TabLayout::rowHeight(m_owner->m_iconOnly ? 0 : fm.height(),
                                        imageCount > 0 ? imageSize.height() : 0);
    in.multiLine = m_owner->m_multiLine;
    in.side = m_owner->m_side;
    in.selected = selectedTab();
    in.firstVisible = m_firstVisible;
    in.ensureVisible = showSelected ? in.selected : -1;
    m_geometry = TabLayout::layout(in);
    m_firstVisible = m_geometry.firstVisible;
    if (height() != m_geometry.height)
        setFixedHeight(m_geometry.height);
    placeButtons();
    update();
}

void TPVTabStrip::placeButtons()
{
    const bool shown = m_geometry.overflow;
    m_back->setVisible(shown);
    m_forward->setVisible(shown);
    if (!shown)
        return;
    const QRect r = m_geometry.buttons;
    const int half = r.width() / 2;
    m_back->setGeometry(r.left(), r.top(), half, r.height());
    m_forward->setGeometry(r.left() + half, r.top(), r.width() - half, r.height());
    m_back->setEnabled(m_geometry.canScrollBack);
    m_forward->setEnabled(m_geometry.canScrollForward);
}

void TPVTabStrip::scrollBy(int tabs)
{
    m_firstVisible = std::max(0, m_firstVisible + tabs);
    relayout(false);
}

int TPVTabStrip::tabAt(const QPoint& pos) const
{
    return TabLayout::tabAt(m_geometry, selectedTab(), m_owner->m_side, pos);
}

QRect TPVTabStrip::tabRect(int tabIndex) const
{
    if (tabIndex < 0 || tabIndex >= m_geometry.rects.size() || m_geometry.rects[tabIndex].isNull())
        return {};
    return TabLayout::drawnRect(m_geometry.rects[tabIndex], tabIndex == selectedTab(),
                                m_owner->m_side);
}

void TPVTabStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const auto resolved = [&pal](TabColors::ColorValue value, TabColors::ColorValue fallback) {
        const QColor c = TabColors::resolveColor(value, pal);
        return c.isValid() ? c : TabColors::resolveColor(fallback, pal);
    };
    Colors colors;
    colors.activeTab = TabColors::resolveColor(TabColors::clBtnFace, pal);
    colors.activeFont = TabColors::resolveColor(TabColors::clWindowText, pal);
    colors.inactiveTab = resolved(m_owner->m_inactiveTabColor, TabColors::clInactiveCaption);
    colors.inactiveFont = resolved(m_owner->m_inactiveFontColor, TabColors::clHighlightText);

    p.fillRect(rect(), colors.activeTab);
    p.setClipRect(QRect(0, 0, m_geometry.clipRight, height()));
    const int selected = selectedTab();
    for (int t = 0; t < m_geometry.rects.size(); ++t) {
        if (t != selected && !m_geometry.rects[t].isNull())
            drawTab(p, t, false, colors);
    }
    // The edge of the pages; the selected tab breaks through it.
    const bool top = m_owner->m_side == Side::Top;
    p.setPen(pal.color(QPalette::Dark));
    const int edgeY = top ? height() - 1 : 0;
    p.drawLine(0, edgeY, width() - 1, edgeY);
    if (selected >= 0 && selected < m_geometry.rects.size() &&
        !m_geometry.rects[selected].isNull()) {
        drawTab(p, selected, true, colors);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = m_geometry.rects[selected].adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}

void TPVTabStrip::drawTab(QPainter& p, int tab, bool selected, const Colors& colors) const
{
    const Side side = m_owner->m_side;
    const QRect drawn = TabLayout::drawnRect(m_geometry.rects[tab], selected, side);
    const QRect fill = TabPaint::fillRect(TabPaint::itemRect(drawn, side), side);
    p.fillRect(fill, selected ? colors.activeTab : colors.inactiveTab);
    drawBorders(p, drawn, selected);

    if (tab >= m_tabEntries.size())
        return;
    const TPVPageControl::PageEntry* e = &m_owner->m_pages[m_tabEntries[tab]];
    const bool hasImage = e->imageIndex >= 0 && e->imageIndex < m_owner->m_images.size();
    const TabPaint::Offsets off = TabPaint::offsets(side, selected, hasImage);
    const QSize imageSize = m_owner->imageSize();
    if (hasImage)
        p.drawPixmap(TabPaint::imagePos(fill, off, imageSize), m_owner->m_images[e->imageIndex]);
    if (m_owner->m_iconOnly)
        return;
    const QRect textRect = TabPaint::textRect(fill, off, hasImage ? imageSize.width() : 0);
    const QString text =
        TabPaint::elide(TabPaint::trimBlanks(e->caption), p.fontMetrics(), textRect.width());
    p.setPen(selected ? colors.activeFont : colors.inactiveFont);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs,
               text);
}

void TPVTabStrip::drawBorders(QPainter& p, const QRect& d, bool selected) const
{
    // A dark outline reads on any fill colour the user may choose, light or dark. The
    // selected tab gets a bar of the selection colour along its outer edge, so that it
    // stands out at a glance in every scheme, even when all tabs have the same colour.
    const QPalette& pal = palette();
    const QColor outline = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);
    const QColor inner = pal.color(QPalette::Mid);
    const QColor light = pal.color(QPalette::Light);
    const QColor accent = pal.color(QPalette::Highlight);
    const QColor face = pal.color(QPalette::Button);
    const int l = d.left();
    const int r = d.right();
    const int t = d.top();
    const int b = d.bottom();
    if (m_owner->m_side == Side::Top) {
        // Rounded top corners; the tab is open towards the pages below.
        p.setPen(face);
        p.drawPoint(l + 1, t);
        p.drawPoint(r - 1, t);
        p.setPen(outline);
        p.drawLine(l, t + 2, l, b);
        p.drawPoint(l + 1, t + 1);
        p.drawLine(l + 2, t, r - 2, t);
        p.setPen(shadow);
        p.drawPoint(r - 1, t + 1);
        p.drawLine(r, t + 2, r, b);
        p.setPen(inner);
        p.drawLine(r - 1, t + 2, r - 1, b);
        if (selected) {
            p.fillRect(QRect(QPoint(l + 1, t + 1), QPoint(r - 2, t + 2)), accent);
            p.setPen(light);
            p.drawLine(l + 1, t + 3, l + 1, b);
        }
        return;
    }
    // At the bottom: rounded lower corners, open towards the pages above.
    p.setPen(outline);
    p.drawLine(l, t, l, b - 2);
    p.drawPoint(l + 1, b - 1);
    p.setPen(inner);
    p.drawLine(l + 2, b - 1, r - 2, b - 1);
    p.drawLine(r - 1, t, r - 1, b - 2);
    p.setPen(shadow);
    p.drawLine(l + 2, b, r - 2, b);
    p.drawPoint(r - 1, b - 1);
    p.drawLine(r, t, r, b - 2);
    if (selected) {
        p.fillRect(QRect(QPoint(l + 1, b - 2), QPoint(r - 2, b - 1)), accent);
        p.setPen(light);
        p.drawLine(l + 1, t, l + 1, b - 3);
    }
}

void TPVTabStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout(true);
}

void TPVTabStrip::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        for (TPVPageControl::PageEntry& e : m_owner->m_pages)
            e.textWidth = -1;
        relayout(false);
    } else if (event->type() == QEvent::PaletteChange)
        update();
}

bool TPVTabStrip::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        showHintFor(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QWidget::event(event);
}

void TPVTabStrip::showHintFor(const QPoint& pos)
{
    const int tab = tabAt(pos);
    const QString hint = m_owner->hint();
    if (!m_owner->m_showHint || tab < 0 || tab != m_hintTab || hint.isEmpty()) {
        m_hintWindow->cancel();
        return;
    }
    const QRect r = tabRect(tab);
    m_hintWindow->showAt(hint, mapToGlobal(TabPaint::hintPos(r)), mapToGlobal(r.topLeft()).y());
}

void TPVTabStrip::updateHover(const QPoint& pos)
{
    m_hoverTab = rect().contains(pos) ? tabAt(pos) : -1;
    if (!m_owner->m_showHint || m_hoverTab == m_hintTab)
        return;
    m_hintTab = m_hoverTab;
    m_hintWindow->cancel();
    QWidget* page = m_owner->pageForTabIndex(m_hintTab);
    m_owner->setHint(page ? m_owner->pageHint(page) : QString());
}

void TPVTabStrip::refreshHint()
{
    if (m_hintTab < 0)
        return;
    QWidget* page = m_owner->pageForTabIndex(m_hintTab);
    const QString hint = page ? m_owner->pageHint(page) : QString();
    if (hint != m_owner->hint()) {
        m_hintWindow->cancel();
        m_owner->setHint(hint);
    }
}

void TPVTabStrip::leaveEvent(QEvent* event)
{
    m_hoverTab = -1;
    m_hintWindow->cancel();
    if (m_owner->m_showHint && m_hintTab != -1) {
        m_hintTab = -1;
        m_owner->setHint(QString());
    }
    QWidget::leaveEvent(event);
}

void TPVTabStrip::hideEvent(QHideEvent* event)
{
    m_hintWindow->cancel();
    QWidget::hideEvent(event);
}

void TPVTabStrip::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    updateHover(pos);
    m_hintWindow->cancel();
    if (event->button() == Qt::LeftButton) {
        if (QWidget* page = m_owner->pageForTabIndex(m_hoverTab))
            m_owner->setActive(page, true);
        // A drag starts only on the active page's tab; a press anywhere else forgets any
        // earlier drag, so that a stale one cannot move a tab on release.
        m_dragTab = TabRules::startsDrag(m_owner->tabShiftingActive(), m_owner->activePageIndex(),
                                         m_hoverTab)
                        ? m_hoverTab
                        : -1;
    } else if (event->button() == Qt::RightButton) {
        Q_EMIT m_owner->tabRightPressed(m_hoverTab, event->globalPosition().toPoint());
    }
    QWidget::mousePressEvent(event);
}

void TPVTabStrip::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard the strip's window opens its menu on the key itself; the event the
    // Menu key makes as well must not reach the window and open another menu besides.
    event->setAccepted(event->reason() == QContextMenuEvent::Keyboard);
}

void TPVTabStrip::mouseMoveEvent(QMouseEvent* event)
{
    updateHover(event->position().toPoint());
    if (m_owner->tabShiftingActive()) {
        switch (TabRules::dragCursor(event->buttons() & Qt::LeftButton, m_dragTab, m_hoverTab)) {
        case TabRules::DragCursor::Arrow:
            setCursor(Qt::ArrowCursor);
            break;
        case TabRules::DragCursor::Drag:
            setCursor(Qt::DragMoveCursor);
            break;
        case TabRules::DragCursor::NoDrop:
            setCursor(Qt::ForbiddenCursor);
            break;
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TPVTabStrip::mouseReleaseEvent(QMouseEvent* event)
{
    updateHover(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        if (m_owner->tabShiftingActive()) {
            const auto move =
                TabRules::moveOnRelease(m_owner->tabShownFlags(), m_dragTab, m_hoverTab);
            if (move) {
                m_owner->setPageIndex(m_owner->page(move->from), move->to);
                setCursor(Qt::ArrowCursor);
            }
        }
        m_dragTab = -1;
    }
    QWidget::mouseReleaseEvent(event);
}
