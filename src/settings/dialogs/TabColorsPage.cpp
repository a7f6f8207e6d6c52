#include "settings/dialogs/TabColorsPage.h"

#include "browser/strip/PVPageControl.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString ActiveCaption = QStringLiteral("Active Tab");
const QString InactiveCaption = QStringLiteral("Inactive Tab");

QWidget* previewPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* label = new QLabel(QStringLiteral("Preview Colors"), page);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    return page;
}

QFrame* swatch(const char* name, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    frame->setFixedSize(48, 21);
    return frame;
}

QPushButton* ellipsisButton(const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    return button;
}

std::optional<QColor> askColor(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(QStringLiteral("dlgColor"));
    dialog.setWindowTitle(QStringLiteral("Color"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace

TabColorsPage::TabColorsPage(QWidget* parent)
    : QWidget(parent)
    , m_chooser([this](const QColor& initial) { return askColor(this, initial); })
{
    auto* previewFrame = new QFrame(this);
    previewFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_preview = new TPVPageControl(previewFrame);
    m_preview->setObjectName(QStringLiteral("pg"));
    m_preview->setTabPosition(TPVPageControl::Side::Bottom);
    m_preview->SetAllowTabShifting(false);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->addPage(previewPage(m_preview), ActiveCaption);
    m_preview->addPage(previewPage(m_preview), InactiveCaption);
    m_preview->setFixedSize(260, 96);
    auto* previewLayout = new QVBoxLayout(previewFrame);
    previewLayout->setContentsMargins(1, 1, 1, 1);
    previewLayout->addWidget(m_preview);

    m_reverse = new QRadioButton(QStringLiteral("Use &reversed color scheme"), this);
    m_reverse->setObjectName(QStringLiteral("radColorReverse"));
    m_standard = new QRadioButton(QStringLiteral("Use &standard color scheme "), this);
    m_standard->setObjectName(QStringLiteral("radColorStandard"));
    m_custom = new QRadioButton(QStringLiteral("Use &custom colors"), this);
    m_custom->setObjectName(QStringLiteral("radColorCustom"));
    m_reverse->setChecked(true);

    m_customPanel = new QWidget(this);
    m_customPanel->setObjectName(QStringLiteral("pnlCustomColors"));
    // Its place stays when it is hidden, so the dialog keeps its size as schemes change.
    QSizePolicy keepPlace = m_customPanel->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_customPanel->setSizePolicy(keepPlace);
    m_tabSwatch = swatch("pnlTabColor", m_customPanel);
    m_fontSwatch = swatch("pnlFontColor", m_customPanel);
    QPushButton* tabButton = ellipsisButton("btnGetTabColor", m_customPanel);
    QPushButton* fontButton = ellipsisButton("btnGetFontColor", m_customPanel);
    auto* tabLabel = new QLabel(QStringLiteral("Inactive &Tab"), m_customPanel);
    tabLabel->setBuddy(tabButton);
    auto* fontLabel = new QLabel(QStringLiteral("Inactive &Font"), m_customPanel);
    fontLabel->setBuddy(fontButton);
    auto* grid = new QGridLayout(m_customPanel);
    grid->setContentsMargins(20, 0, 0, 0);
    grid->addWidget(tabLabel, 0, 0);
    grid->addWidget(m_tabSwatch, 0, 1);
    grid->addWidget(tabButton, 0, 2);
    grid->addWidget(fontLabel, 1, 0);
    grid->addWidget(m_fontSwatch, 1, 1);
    grid->addWidget(fontButton, 1, 2);
    grid->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewFrame, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(m_reverse);
    layout->addWidget(m_standard);
    layout->addWidget(m_custom);
    layout->addWidget(m_customPanel);
    layout->addStretch();

    for (QRadioButton* radio : {m_reverse, m_standard, m_custom})
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                schemeClicked();
        });
    connect(tabButton, &QPushButton::clicked, this, [this] { chooseColor(&m_customTab); });
    connect(fontButton, &QPushButton::clicked, this, [this] { chooseColor(&m_customFont); });
    connect(m_preview, &TPVPageControl::currentChanged, this, &TabColorsPage::previewPageChanged);
    schemeClicked();
}

void TabColorsPage::setScheme(const QString& scheme, TabColors::ColorValue customTab,
                              TabColors::ColorValue customFont)
{
    m_customTab = customTab;
    m_customFont = customFont;
    if (scheme == QLatin1String("std"))
        m_standard->setChecked(true);
    else if (scheme == QLatin1String("custom"))
        m_custom->setChecked(true);
    else
        m_reverse->setChecked(true);
    schemeClicked();
}

QString TabColorsPage::scheme() const
{
    if (m_custom->isChecked())
        return QStringLiteral("custom");
    if (m_standard->isChecked())
        return QStringLiteral("std");
    return QStringLiteral("rev");
}

TabColors::TabColorPair TabColorsPage::colors() const
{
    return TabColors::tabColorsForScheme(scheme(), m_customTab, m_customFont);
}

void TabColorsPage::schemeClicked()
{
    m_customPanel->setVisible(m_custom->isChecked());
    showColors();
}

void TabColorsPage::chooseColor(TabColors::ColorValue* value)
{
    const std::optional<QColor> chosen = m_chooser(TabColors::resolveColor(*value, palette()));
    if (!chosen || !chosen->isValid())
        return;
    *value = TabColors::colorValue(*chosen);
    showColors();
}

void TabColorsPage::showColors()
{
    const auto paint = [this](QFrame* frame, TabColors::ColorValue value) {
        QPalette p = frame->palette();
        p.setColor(QPalette::Window, TabColors::resolveColor(value, palette()));
        frame->setPalette(p);
    };
    paint(m_tabSwatch, m_customTab);
    paint(m_fontSwatch, m_customFont);
    const TabColors::TabColorPair pair = colors();
    m_preview->SetInactiveTabColor(pair.tab);
    m_preview->SetInactiveFontColor(pair.font);
}

void TabColorsPage::previewPageChanged()
{
    for (int index = 0; index < m_preview->pageCount(); ++index) {
        QWidget* page = m_preview->page(index);
        m_preview->setPageCaption(page, page == m_preview->activePage() ? ActiveCaption
                                                                        : InactiveCaption);
    }
}
