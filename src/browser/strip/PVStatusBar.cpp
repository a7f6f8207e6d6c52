#include "browser/strip/PVStatusBar.h"

#include "browser/strip/StateIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

TPVStatusBar::TPVStatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    for (int i = 0; i < PanelCount; ++i) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setObjectName(QStringLiteral("panel%1").arg(i));
        m_panels[i] = panel;
        if (i == 0) {
            // A long status text is cut off rather than widening the window.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panel->setMinimumWidth(0);
            addWidget(panel, 1);
        } else {
            panel->setFixedWidth(PanelWidths[i]);
            addPermanentWidget(panel);
        }
    }

    auto* secureBox = new QHBoxLayout(m_panels[1]);
    secureBox->setContentsMargins(1, 0, 0, 0);
    m_secure = new QLabel(m_panels[1]);
    m_secure->setObjectName(QStringLiteral("imgSecure"));
    m_secure->setPixmap(StateIcons::securePadlock(devicePixelRatio()));
    m_secure->setFixedSize(StateIcons::SecureIconSize, StateIcons::SecureIconSize);
    m_secure->setToolTip(tr("Secure connection"));
    m_secure->hide();
    secureBox->addWidget(m_secure, 0, Qt::AlignLeft | Qt::AlignVCenter);

    auto* progressBox = new QHBoxLayout(m_panels[2]);
    progressBox->setContentsMargins(1, 1, 1, 1);
    m_progress = new QProgressBar(m_panels[2]);
    m_progress->setObjectName(QStringLiteral("pgProgress"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(fontMetrics().height());
    m_progress->hide();
    progressBox->addWidget(m_progress);
}

QString TPVStatusBar::panelText(int panel) const
{
    return panel >= 0 && panel < PanelCount ? m_panels[panel]->text() : QString();
}

void TPVStatusBar::setPanelText(int panel, const QString& text)
{
    if (panel >= 0 && panel < PanelCount)
        m_panels[panel]->setText(text);
}

std::optional<int> TPVStatusBar::progressPercent(int progress, int maximum)
{
    if (progress <= 0 || maximum <= 0)
        return std::nullopt;
    // In 64 bits: the engine's byte counts can make 100 times the progress overflow.
    return int(std::min<qint64>(100, qint64(progress) * 100 / maximum));
}

void TPVStatusBar::setProgress(int progress, int maximum)
{
    m_progress->setVisible(maximum > 0);
    if (const auto percent = progressPercent(progress, maximum)) {
        setPanelText(3, QStringLiteral("%1%").arg(*percent));
        m_progress->setValue(*percent);
    } else {
        setPanelText(3, QString());
    }
}

void TPVStatusBar::setProgressPosition(int position)
{
    m_progress->setValue(std::clamp(position, 0, 100));
}

int TPVStatusBar::progressPosition() const
{
    return m_progress->value();
}

void TPVStatusBar::setBusy(bool visible)
{
    m_progress->setVisible(visible);
    if (!visible)
        setPanelText(3, QString());
}

bool TPVStatusBar::isProgressShown() const
{
    return !m_progress->isHidden();
}

void TPVStatusBar::setSecure(bool secure)
{
    m_secure->setVisible(secure);
}

bool TPVStatusBar::isSecureShown() const
{
    return !m_secure->isHidden();
}
