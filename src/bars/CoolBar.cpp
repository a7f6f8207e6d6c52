#include "bars/CoolBar.h"

#include <QContextMenuEvent>
#include <qdrawutil.h>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace {

constexpr int GripLeft = 2;   // space before the grip
constexpr int GripWidth = 3;  // the raised bar
constexpr int GripRight = 4;  // space after it
constexpr int TextSpace = 6;  // after a band's text
constexpr int RowLine = 2;    // the etched line below each row

} // namespace

CoolBar::CoolBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("cbCoolbar"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true); // the grips show that they move their band
}

void CoolBar::addBand(const QString& name, QWidget* panel, QSize minimum, bool breakBefore,
                      const QString& text)
{
    panel->setParent(this);
    Band band;
    band.name = name;
    band.panel = panel;
    band.minimum = minimum;
    band.text = text;
    band.breakBefore = breakBefore;
    m_bands << band;
    relayout();
}

int CoolBar::bandIndex(const QString& name) const
{
    for (int i = 0; i < bandCount(); ++i) {
        if (m_bands.at(i).name == name)
            return i;
    }
    return -1;
}

int CoolBar::bandIndexOf(const QWidget* panel) const
{
    int found = -1;
    for (int i = 0; i < bandCount(); ++i) {
        if (m_bands.at(i).panel == panel)
            found = i;
    }
    return found;
}

QWidget* CoolBar::panel(int index) const
{
    return index >= 0 && index < bandCount() ? m_bands.at(index).panel.data() : nullptr;
}

QRect CoolBar::bandRect(int index) const
{
    return index >= 0 && index < bandCount() ? m_bands.at(index).rect : QRect();
}

int CoolBar::rowOf(int index) const
{
    const auto all = rows();
    for (int r = 0; r < all.size(); ++r) {
        if (all.at(r).contains(index))
            return r;
    }
    return -1;
}

int CoolBar::rowCount() const
{
    return int(rows().size());
}

BandLayout CoolBar::bandLayout() const
{
    BandLayout layout;
    for (const Band& band : m_bands) {
        // A band never laid out (hidden all along) keeps what it was given.
        const int width = band.visible && band.rect.width() > 0 ? band.rect.width() : band.width;
        layout << BandState{band.name, width, band.breakBefore};
    }
    return layout;
}

void CoolBar::setBandLayout(const BandLayout& layout)
{
    QList<Band> ordered;
    for (const BandState& state : layout) {
        const int at = [&] {
            for (int i = 0; i < m_bands.size(); ++i) {
                if (m_bands.at(i).name == state.name)
                    return i;
            }
            return -1;
        }();
        if (at < 0)
            continue;
        Band band = m_bands.takeAt(at);
        band.width = std::clamp(state.width, 0, BandLayouts::MaxWidth);
        band.breakBefore = state.breakBefore;
        ordered << band;
    }
    m_bands = ordered + m_bands;
    relayout();
}

void CoolBar::setBandVisible(const QString& name, bool visible)
{
    const int at = bandIndex(name);
    if (at < 0 || m_bands.at(at).visible == visible)
        return;
    m_bands[at].visible = visible;
    relayout();
}

bool CoolBar::isBandVisible(const QString& name) const
{
    const int at = bandIndex(name);
    return at >= 0 && m_bands.at(at).visible;
}

void CoolBar::minimizeBand(int index)
{
    const int row = rowOf(index);
    if (row < 0)
        return;
    freezeRow(row);
    Band& band = m_bands[index];
    band.width = headerWidth(band) + band.minimum.width();
    // The last band of a row takes what is left: the one before it gives way instead.
    const QList<int> members = rows().at(row);
    if (members.size() > 1 && members.last() == index) {
        const int before = members.at(members.size() - 2);
        m_bands[before].width = width() - band.width - m_bands.at(before).rect.left();
    }
    relayout();
    Q_EMIT bandsChanged();
}

void CoolBar::maximizeBand(int index)
{
    const int row = rowOf(index);
    if (row < 0)
        return;
    const QList<int> members = rows().at(row);
    int others = 0;
    for (int member : members) {
        if (member == index)
            continue;
        Band& band = m_bands[member];
        band.width = headerWidth(band) + band.minimum.width();
        others += band.width;
    }
    m_bands[index].width = std::max(1, width() - others);
    relayout();
    Q_EMIT bandsChanged();
}

void CoolBar::moveBand(int from, int to, bool newRow)
{
    if (from < 0 || from >= bandCount())
        return;
    Band band = m_bands.takeAt(from);
    // The band after it now opens the row the moved one opened.
    if (from > 0 && from < bandCount() && band.breakBefore)
        m_bands[from].breakBefore = true;
    to = std::clamp(to, 0, bandCount());
    if (newRow) {
        band.breakBefore = true;
        if (to < bandCount())
            m_bands[to].breakBefore = true;
    } else if (to < bandCount() && (m_bands.at(to).breakBefore || to == 0)) {
        // Put at the front of the row of the band it goes before.
        band.breakBefore = m_bands.at(to).breakBefore;
        m_bands[to].breakBefore = false;
    } else {
        band.breakBefore = false;
    }
    m_bands.insert(to, band);
    relayout();
}

QSize CoolBar::sizeHint() const
{
    int widest = 0;
    const auto all = rows();
    for (const QList<int>& row : all) {
        int sum = 0;
        for (int index : row)
            sum += naturalWidth(m_bands.at(index));
        widest = std::max(widest, sum);
    }
    return {widest, heightFor()};
}

QSize CoolBar::minimumSizeHint() const
{
    return {0, heightFor()};
}

bool CoolBar::event(QEvent* event)
{
    // A panel asked for another size (a button shown or hidden, a font changed).
    if (event->type() == QEvent::LayoutRequest)
        relayout();
    return QWidget::event(event);
}

QList<QList<int>> CoolBar::rows() const
{
    QList<QList<int>> all;
    for (int i = 0; i < bandCount(); ++i) {
        const Band& band = m_bands.at(i);
        if (!band.visible || !band.panel)
            continue;
        if (all.isEmpty() || band.breakBefore)
            all << QList<int>();
        all.last() << i;
    }
    return all;
}

int CoolBar::headerWidth(const Band& band) const
{
    const int text = band.text.isEmpty() ? 0 : fontMetrics().horizontalAdvance(band.text) + TextSpace;
    return GripLeft + GripWidth + GripRight + text;
}

int CoolBar::naturalWidth(const Band& band) const
{
    return headerWidth(band) + std::max(band.minimum.width(), band.panel->sizeHint().width());
}

int CoolBar::rowHeight(const QList<int>& row) const
{
    int height = 0;
    for (int index : row) {
        const Band& band = m_bands.at(index);
        height = std::max({height, band.minimum.height(), band.panel->sizeHint().height()});
    }
    return height;
}

int CoolBar::heightFor() const
{
    int height = 0;
    const auto all = rows();
    for (const QList<int>& row : all)
        height += rowHeight(row) + RowLine;
    return height;
}

void CoolBar::relayout()
{
    const int available = width();
    int y = 0;
    const auto all = rows();
    for (const QList<int>& row : all) {
        const int height = rowHeight(row);
        const qsizetype n = row.size();
        QList<int> widths(n);
        QList<int> least(n);
        QList<qsizetype> flexible;
        for (qsizetype k = 0; k < n; ++k) {
            const Band& band = m_bands.at(row.at(k));
            least[k] = headerWidth(band) + band.minimum.width();
            if (band.width > 0) {
                widths[k] = std::max(band.width, least.at(k));
            } else if (k == n - 1) {
                // Folded at the row's end, as the links band starts out: its chevron
                // offers what does not fit, and the bands before it get the room.
                widths[k] = least.at(k);
            } else {
                widths[k] = least.at(k);
                flexible << k;
            }
        }
        // Bands without a width of their own share what the others leave.
        const int used = std::accumulate(widths.cbegin(), widths.cend(), 0);
        if (!flexible.isEmpty() && available > used) {
            const int extra = available - used;
            for (qsizetype k : flexible)
                widths[k] += extra / int(flexible.size());
            widths[flexible.last()] += extra % int(flexible.size());
        }
        // The last band takes the rest of the row.
        const int before = std::accumulate(widths.cbegin(), widths.cend() - 1, 0);
        widths[n - 1] = std::max(least.at(n - 1), available - before);
        // Too narrow: the bands before it give way, from the right, down to their least.
        int over = std::accumulate(widths.cbegin(), widths.cend(), 0) - available;
        for (qsizetype k = n - 2; k >= 0 && over > 0; --k) {
            const int cut = std::min(over, widths.at(k) - least.at(k));
            widths[k] -= cut;
            over -= cut;
        }
        int x = 0;
        for (qsizetype k = 0; k < n; ++k) {
            Band& band = m_bands[row.at(k)];
            band.rect = QRect(x, y, widths.at(k), height);
            const int header = headerWidth(band);
            band.panel->setGeometry(x + header, y, std::max(0, widths.at(k) - header), height);
            band.panel->show();
            x += widths.at(k);
        }
        y += height + RowLine;
    }
    for (Band& band : m_bands) {
        if (band.panel && !band.visible) {
            band.panel->hide();
            band.rect = QRect();
        }
    }
    if (y != m_height) {
        m_height = y;
        updateGeometry();
    }
    update();
}

void CoolBar::freezeRow(int row)
{
    const auto all = rows();
    if (row < 0 || row >= all.size())
        return;
    for (int index : all.at(row))
        m_bands[index].width = m_bands.at(index).rect.width();
}

void CoolBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colors = palette();
    for (const Band& band : m_bands) {
        if (!band.visible || band.rect.isEmpty())
            continue;
        const QRect r = band.rect;
        // The grip: a raised bar the height of the band.
        qDrawShadePanel(&painter, r.left() + GripLeft, r.top() + 2, GripWidth, r.height() - 4,
                        colors, false, 1);
        if (!band.text.isEmpty()) {
            painter.setPen(colors.color(QPalette::WindowText));
            painter.drawText(QRect(r.left() + GripLeft + GripWidth + GripRight, r.top(),
                                   headerWidth(band), r.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, band.text);
        }
        // An etched edge where a band meets the one before it in its row.
        if (r.left() > 0)
            qDrawShadeLine(&painter, r.left(), r.top() + 1, r.left(), r.bottom() - 1, colors,
                           true, 1, 0);
    }
    int y = 0;
    const auto all = rows();
    for (const QList<int>& row : all) {
        y += rowHeight(row);
        qDrawShadeLine(&painter, 0, y, width(), y, colors, true, 1, 0);
        y += RowLine;
    }
}

void CoolBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

int CoolBar::headerAt(const QPoint& pos) const
{
    for (int i = 0; i < bandCount(); ++i) {
        const Band& band = m_bands.at(i);
        if (!band.visible || !band.rect.contains(pos))
            continue;
        if (pos.x() < band.rect.left() + headerWidth(band))
            return i;
    }
    return -1;
}

void CoolBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragBand = headerAt(event->position().toPoint());
    if (m_dragBand >= 0) {
        m_grabX = event->position().toPoint().x() - m_bands.at(m_dragBand).rect.left();
        freezeRow(rowOf(m_dragBand));
        setCursor(Qt::SizeAllCursor);
    }
}

void CoolBar::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragBand < 0) {
        if (headerAt(event->position().toPoint()) >= 0)
            setCursor(Qt::SizeAllCursor);
        else
            unsetCursor();
        return QWidget::mouseMoveEvent(event);
    }
    dragTo(event->position().toPoint());
}

void CoolBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragBand < 0)
        return QWidget::mouseReleaseEvent(event);
    dragTo(event->position().toPoint());
    m_dragBand = -1;
    unsetCursor();
    Q_EMIT bandsChanged();
}

void CoolBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    // As the classic bars do: a double click on a grip folds the band or opens it out.
    const int index = headerAt(event->position().toPoint());
    if (index < 0)
        return QWidget::mouseDoubleClickEvent(event);
    m_dragBand = -1;
    if (m_bands.at(index).rect.width() > headerWidth(m_bands.at(index)) + m_bands.at(index).minimum.width())
        minimizeBand(index);
    else
        maximizeBand(index);
}

void CoolBar::contextMenuEvent(QContextMenuEvent* event)
{
    Q_EMIT contextMenuWanted(event->globalPos());
}

void CoolBar::dragTo(const QPoint& pos)
{
    const int from = m_dragBand;
    const auto all = rows();
    const int ownRow = rowOf(from);
    if (ownRow < 0)
        return;
    const QList<int>& own = all.at(ownRow);
    const bool alone = own.size() == 1;
    // Above the first row or below the last: a row of its own there.
    if (pos.y() < 0 && !(alone && ownRow == 0)) {
        moveBand(from, 0, true);
        m_dragBand = 0;
        return;
    }
    if (pos.y() >= m_height && !(alone && ownRow == all.size() - 1)) {
        moveBand(from, bandCount() - 1, true);
        m_dragBand = bandCount() - 1;
        return;
    }
    int target = int(all.size()) - 1;
    for (int r = 0; r < all.size(); ++r) {
        if (pos.y() < m_bands.at(all.at(r).first()).rect.bottom() + RowLine + 1) {
            target = r;
            break;
        }
    }
    if (target != ownRow) {
        // Into another row, before the first band whose middle lies right of the pointer.
        const QList<int>& members = all.at(target);
        int before = -1;
        for (int index : members) {
            if (m_bands.at(index).rect.center().x() > pos.x()) {
                before = index;
                break;
            }
        }
        const int to = before >= 0 ? before : members.last() + 1;
        const int adjusted = to > from ? to - 1 : to;
        if (before < 0) {
            Band band = m_bands.takeAt(from);
            if (from < bandCount() && band.breakBefore)
                m_bands[from].breakBefore = true;
            band.breakBefore = false;
            m_bands.insert(adjusted, band);
            relayout();
        } else {
            moveBand(from, adjusted, false);
        }
        m_dragBand = adjusted;
        return;
    }
    // In its own row: past the header of a neighbour it trades places; otherwise its left
    // edge follows the pointer, resizing the band before it.
    const qsizetype k = own.indexOf(from);
    if (k > 0) {
        const int previous = own.at(k - 1);
        const QRect prevRect = m_bands.at(previous).rect;
        if (pos.x() < prevRect.left() + headerWidth(m_bands.at(previous))) {
            moveBand(from, previous, false);
            m_dragBand = previous;
            freezeRow(ownRow);
            return;
        }
        const Band& band = m_bands.at(from);
        const int right = band.rect.right() + 1;
        const int least = headerWidth(m_bands.at(previous)) + m_bands.at(previous).minimum.width();
        const int ownLeast = headerWidth(band) + band.minimum.width();
        int left = std::max(prevRect.left() + least, pos.x() - m_grabX);
        if (k < own.size() - 1)
            left = std::min(left, right - ownLeast);
        m_bands[previous].width = left - prevRect.left();
        if (k < own.size() - 1)
            m_bands[from].width = right - left;
        relayout();
    } else if (own.size() > 1) {
        const int next = own.at(1);
        if (pos.x() > m_bands.at(next).rect.left() + headerWidth(m_bands.at(next))) {
            // The next band comes first; this one follows it.
            moveBand(next, from, false);
            m_dragBand = from + 1;
            freezeRow(ownRow);
        }
    }
}
