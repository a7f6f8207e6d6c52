#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QToolButton;

// What a band carries: its content (a row of buttons) and, at its right end, the chevron
// that appears only when the band is too narrow for the content's buttons. The content is
// given the width it asks for and cut off at the chevron, so the buttons never rearrange
// themselves; the chevron's menu offers the ones that are cut off.
class BandPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BandPanel)

public:
    // The right edge of the content's last button that counts, in the content's
    // coordinates; empty when there is none (the chevron then stays as it is).
    using LastEdge = std::function<std::optional<int>()>;

    BandPanel(const QString& name, QWidget* content, QWidget* parent);

    QWidget* content() const { return m_content; }
    QToolButton* chevron() const { return m_chevron; }
    void setLastEdge(LastEdge lastEdge);
    // Replaces the content (the old one is the caller's again).
    void setContent(QWidget* content);
    // The part of the panel left of the chevron.
    int mainWidth() const;
    bool chevronShown() const { return m_chevronShown; }
    // Evaluates the chevron rule again (also on every resize).
    void updateChevron();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QWidget* m_viewport = nullptr;
    QWidget* m_content = nullptr;
    QToolButton* m_chevron = nullptr;
    LastEdge m_lastEdge;
    bool m_chevronShown = false;
};

namespace Chevron {
// Whether the chevron shows: the last button ends beyond the panel's width.
bool needed(int lastRightEdge, int panelWidth);
} // namespace Chevron
