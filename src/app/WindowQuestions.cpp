#include "app/WindowQuestions.h"

#include "app/CloseAll.h"
#include "app/ConfirmCloseAll.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

bool WindowDialogs::confirmCloseAll(TPVOptions& options)
{
    TfrmConfirmCloseAll box(options, m_owner);
    return box.exec() == QDialog::Accepted;
}

bool WindowDialogs::confirmClearAddresses()
{
    const auto answer = QMessageBox::question(
        m_owner, QStringLiteral("Pelvane"),
        QStringLiteral("Are you sure you want to clear your address history?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return answer == QMessageBox::Yes;
}

std::optional<QList<int>> WindowDialogs::chooseTabsToClose(const QStringList& lines)
{
    TfrmCloseAll dialog(lines, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.checkedLines();
}

std::optional<QString> WindowDialogs::askStickyName()
{
    bool ok = false;
    const QString name =
        QInputDialog::getText(m_owner, QStringLiteral("Set Sticky Name"),
                              QStringLiteral("Enter a StickyName for the selected tab:"),
                              QLineEdit::Normal, QString(), &ok);
    return ok ? std::optional<QString>(name) : std::nullopt;
}

QString WindowDialogs::chooseFileToOpen()
{
    return QFileDialog::getOpenFileName(
        m_owner, QStringLiteral("Open"), QString(),
        QStringLiteral("Web Documents (*.htm *.html);;Any file (*)"));
}

void WindowDialogs::tell(const QString& text)
{
    QMessageBox::warning(m_owner, QStringLiteral("Pelvane"), text);
}

int WindowDialogs::runDialog(QDialog& dialog)
{
    return dialog.exec();
}
