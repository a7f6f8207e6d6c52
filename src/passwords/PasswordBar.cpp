#include "passwords/PasswordBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

PasswordBar::PasswordBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("passwordBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed); // the page takes the rest
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(16, 16));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblPassword"));
    m_text->setTextFormat(Qt::PlainText);
    m_keep = new QPushButton(QStringLiteral("Save"), this);
    m_keep->setObjectName(QStringLiteral("cmdKeep"));
    m_never = new QPushButton(QStringLiteral("Never for this site"), this);
    m_never->setObjectName(QStringLiteral("cmdNever"));
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoRaise(true);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolTip(QStringLiteral("Close"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    layout->addWidget(icon);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_keep);
    layout->addWidget(m_never);
    layout->addWidget(m_close);

    connect(m_keep, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT keep(m_login);
    });
    connect(m_never, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT never(m_login.origin);
    });
    connect(m_close, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

QString PasswordBar::siteOf(const QString& origin)
{
    const qsizetype scheme = origin.indexOf(QLatin1String("://"));
    return scheme < 0 ? origin : origin.mid(scheme + 3);
}

void PasswordBar::ask(const PasswordRules::Login& login, PasswordRules::Offer offer)
{
    m_login = login;
    const QString site = siteOf(login.origin);
    if (offer == PasswordRules::Offer::Update) {
        m_text->setText(login.username.isEmpty()
                            ? QStringLiteral("Update the saved password for %1?").arg(site)
                            : QStringLiteral("Update the saved password of %1 for %2?")
                                  .arg(login.username, site));
        m_keep->setText(QStringLiteral("Update"));
        m_never->hide();
    } else {
        m_text->setText(QStringLiteral("Save password for %1?").arg(site));
        m_keep->setText(QStringLiteral("Save"));
        m_never->show();
    }
    m_keep->show();
    show();
}

void PasswordBar::say(const QString& text)
{
    m_login = {};
    m_text->setText(text);
    m_keep->hide();
    m_never->hide();
    show();
}

QString PasswordBar::text() const
{
    return m_text->text();
}
