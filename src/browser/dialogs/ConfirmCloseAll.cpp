#include "browser/dialogs/ConfirmCloseAll.h"

#include "platform/DialogPlacement.h"
#include "settings/PVOptions.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfrmConfirmCloseAll::TfrmConfirmCloseAll(TPVOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmConfirmCloseAll"));
    setWindowTitle(QStringLiteral("Close All"));

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
    auto* text = new QLabel(QStringLiteral("You are about to close all open tabs.\n"
                                           "Are you sure you want to proceed?"),
                            this);
    m_chkDontAsk = new QCheckBox(QStringLiteral("Don't ask me again"), this);
    m_chkDontAsk->setObjectName(QStringLiteral("chkDontAsk"));
    m_cmdYes = new QPushButton(QStringLiteral("Yes"), this);
    m_cmdYes->setObjectName(QStringLiteral("cmdYes"));
    m_cmdYes->setDefault(true);
    connect(m_cmdYes, &QPushButton::clicked, this, [this] { answer(true); });
    m_cmdNo = new QPushButton(QStringLiteral("No"), this);
    m_cmdNo->setObjectName(QStringLiteral("cmdNo"));
    m_cmdNo->setAutoDefault(false);
    connect(m_cmdNo, &QPushButton::clicked, this, [this] { answer(false); });

    auto* message = new QHBoxLayout;
    message->addWidget(icon, 0, Qt::AlignTop);
    message->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkDontAsk);
    buttons->addStretch();
    buttons->addWidget(m_cmdYes);
    buttons->addWidget(m_cmdNo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmConfirmCloseAll::answer(bool yes)
{
    if (m_chkDontAsk->isChecked())
        m_options.SetConfirmCloseAll(false);
    if (yes)
        accept();
    else
        reject();
}

void TfrmConfirmCloseAll::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DialogPlacement::centreOnScreen(this);
}
