#include "sidebar/SideBarDialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

// The texts name files and pages, whose names are anyone's to choose: never markup.
QMessageBox::StandardButton ask(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(preferred);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

bool SideBarDialogs::confirm(const QString& title, const QString& text)
{
    return ask(QMessageBox::Question, m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
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
    ask(QMessageBox::Information, m_parent, QStringLiteral("Pelvane"), text, QMessageBox::Ok,
        QMessageBox::Ok);
}
