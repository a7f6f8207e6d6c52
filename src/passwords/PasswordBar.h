#pragma once

#include "passwords/PasswordRules.h"

#include <QFrame>

class QLabel;
class QPushButton;
class QToolButton;

// The bar across the top of a tab that asks whether to keep the password just sent
// ("Save password for SITE?"), or to change a kept one, or says why none can be kept. It
// holds up nothing: the page goes on under it, and it stays until answered or closed.
class PasswordBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordBar)

public:
    explicit PasswordBar(QWidget* parent = nullptr);

    // The site as the bar names it: the origin's host (and port), without the scheme.
    static QString siteOf(const QString& origin);

    void ask(const PasswordRules::Login& login, PasswordRules::Offer offer);
    void say(const QString& text);

    QString text() const;
    const PasswordRules::Login& login() const { return m_login; }
    QPushButton* keepButton() const { return m_keep; }
    QPushButton* neverButton() const { return m_never; }
    QToolButton* closeButton() const { return m_close; }

Q_SIGNALS:
    void keep(const PasswordRules::Login& login);
    void never(const QString& origin);

private:
    QLabel* m_text = nullptr;
    QPushButton* m_keep = nullptr;
    QPushButton* m_never = nullptr;
    QToolButton* m_close = nullptr;
    PasswordRules::Login m_login;
};
