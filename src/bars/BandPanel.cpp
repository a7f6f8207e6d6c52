#include "bars/BandPanel.h"

#include "platform/MenuButton.h"

#include <QEvent>
#include <QToolButton>

#include <algorithm>

bool Chevron::needed(int lastRightEdge, int panelWidth)
{
    return lastRightEdge > panelWidth;
}

BandPanel::BandPanel(const QString& name, QWidget* content, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    m_viewport = new QWidget(this);
    m_chevron = new MenuButton(this);
    m_chevron->setObjectName(name + QStringLiteral("Chevron"));
    m_chevron->setText(QStringLiteral("\u00BB"));
    m_chevron->setAutoRaise(true);
    m_chevron->hide();
    setContent(content);
}

void BandPanel::setLastEdge(LastEdge lastEdge)
{
    m_lastEdge = std::move(lastEdge);
    updateChevron();
}

void BandPanel::setContent(QWidget* content)
{
    if (m_content) {
        m_content->removeEventFilter(this);
        m_content->setParent(nullptr);
    }
    m_content = content;
    if (m_content) {
        m_content->setParent(m_viewport);
        m_content->installEventFilter(this);
        m_content->show();
    }
    updateGeometry();
    place();
}

int BandPanel::mainWidth() const
{
    return m_chevronShown ? std::max(0, width() - m_chevron->sizeHint().width()) : width();
}

void BandPanel::updateChevron()
{
    bool shown = m_chevronShown;
    if (m_lastEdge) {
        if (const std::optional<int> edge = m_lastEdge())
            shown = Chevron::needed(*edge, width());
    }
    if (shown != m_chevronShown) {
        m_chevronShown = shown;
        place();
    }
}

QSize BandPanel::sizeHint() const
{
    return m_content ? m_content->sizeHint() : QSize(0, 0);
}

QSize BandPanel::minimumSizeHint() const
{
    return {0, m_content ? m_content->minimumSizeHint().height() : 0};
}

bool BandPanel::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) {
        place();
        updateChevron();
    }
    return QWidget::event(event);
}

bool BandPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The content's buttons changed (shown, hidden, moved): its wish and the chevron too.
    if (watched == m_content && event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        updateChevron();
    }
    return QWidget::eventFilter(watched, event);
}

void BandPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
    updateChevron();
}

void BandPanel::place()
{
    const int main = mainWidth();
    m_viewport->setGeometry(0, 0, main, height());
    if (m_content) {
        const int wanted = m_content->sizeHint().width();
        m_content->setGeometry(0, 0, std::max(wanted, main), height());
    }
    m_chevron->setVisible(m_chevronShown);
    if (m_chevronShown)
        m_chevron->setGeometry(main, 0, width() - main, height());
}
