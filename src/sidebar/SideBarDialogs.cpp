#include "sidebar/SideBarDialogs.h"

#include <QInputDialog>
#include <QMessageBox>

bool SideBarDialogs::confirm(const QString& title, const QString& text)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> SideBarDialogs::askText(const QString& title, const QString& prompt,
                                               const QString& proposed)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, proposed, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void SideBarDialogs::tell(const QString& text)
{
    QMessageBox::information(m_parent, QStringLiteral("Pelvane"), text);
}
