#pragma once

#include "bars/BandLayout.h"

#include <QList>
#include <QPointer>
#include <QWidget>

// The rows of movable bands at the top of the main window ("cbCoolbar"). Each band carries
// one panel and has a grip at its left end (and, for some, a text after it). The user drags
// a band by its grip to another place in its row, into another row, or above or below the
// rows into a row of its own, and drags a grip sideways to resize the band before it. The
// last band of a row takes what the row leaves. Rows are parted by etched lines, all drawn
// with the palette of the desktop.
class CoolBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoolBar)

public:
    explicit CoolBar(QWidget* parent);

    // Adds a band at the end. `minimum` is the panel's least size.
    void addBand(const QString& name, QWidget* panel, QSize minimum, bool breakBefore,
                 const QString& text = QString());
    int bandCount() const { return int(m_bands.size()); }
    int bandIndex(const QString& name) const;
    // The band that carries `panel` (the last one, should there be several); -1 for none.
    int bandIndexOf(const QWidget* panel) const;
    QWidget* panel(int index) const;
    // The whole band: grip, text and panel.
    QRect bandRect(int index) const;
    int rowOf(int index) const;
    int rowCount() const;

    // The arrangement now: every band in order with its width (as laid out) and break.
    BandLayout bandLayout() const;
    // Puts the bands in the order the layout names them (bands it does not name keep their
    // place after those it names), with its widths and breaks.
    void setBandLayout(const BandLayout& layout);

    void setBandVisible(const QString& name, bool visible);
    bool isBandVisible(const QString& name) const;
    // The rebar's own operations: a band down to its least width, or as wide as its row
    // allows with the others at their least.
    void minimizeBand(int index);
    void maximizeBand(int index);
    // Moves a band in the order; with `newRow` it starts a row of its own there.
    void moveBand(int from, int to, bool newRow);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The user moved or resized a band.
    void bandsChanged();
    // A right click on the bars outside any panel (on a grip or an empty place).
    void contextMenuWanted(const QPoint& globalPos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Band
    {
        QString name;
        QPointer<QWidget> panel;
        QSize minimum;
        QString text;
        // Wanted; 0: none of its own (before the last it shares what the row leaves; the
        // last starts folded).
        int width = 0;
        bool breakBefore = false;
        bool visible = true;
        QRect rect; // as laid out
    };

    QList<QList<int>> rows() const; // indexes of the shown bands, row by row
    int headerWidth(const Band& band) const;
    int naturalWidth(const Band& band) const;
    int rowHeight(const QList<int>& row) const;
    int heightFor() const;
    void relayout();
    void freezeRow(int row);
    int headerAt(const QPoint& pos) const;
    void dragTo(const QPoint& pos);

    QList<Band> m_bands;
    int m_dragBand = -1;
    int m_grabX = 0;
    int m_height = 0;
};
