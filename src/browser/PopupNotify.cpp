#include "browser/PopupNotify.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmPopupNotify::TfrmPopupNotify(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPopupNotify"));
    setWindowTitle(QStringLiteral("PopupSorvel"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* label =
        new QLabel(QStringLiteral("PopupSorvel automatically closed the following URL:"), this);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memUrl"));
    m_memo->setReadOnly(true);
    m_memo->setFocusPolicy(Qt::NoFocus);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setFixedSize(360, 64);
    QPalette memoColours = m_memo->palette();
    memoColours.setColor(QPalette::Base, memoColours.color(QPalette::Button));
    m_memo->setPalette(memoColours);

    m_chkDontShow = new QCheckBox(QStringLiteral("Don't show me this message again."), this);
    m_chkDontShow->setObjectName(QStringLiteral("chkDontShow"));
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &TfrmPopupNotify::ok);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_memo);
    layout->addWidget(m_chkDontShow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmPopupNotify::addAddress(const QString& url)
{
    m_addresses << url;
    m_memo->appendPlainText(url);
}

void TfrmPopupNotify::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmPopupNotify::ok()
{
    if (m_chkDontShow->isChecked())
        Q_EMIT dontShowAgain();
    accept();
}
