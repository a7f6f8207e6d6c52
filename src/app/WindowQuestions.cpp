#include "app/WindowQuestions.h"

#include "browser/dialogs/CloseAll.h"
#include "browser/dialogs/ConfirmCloseAll.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

bool WindowDialogs::askRestoreAfterRepeatedCrash(int tabCount)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pelvane"),
                    QStringLiteral("Pelvane did not close properly, twice in a row: the last "
                                   "time within a minute of bringing back your tabs. One of "
                                   "their pages may be the cause."),
                    QMessageBox::NoButton, m_owner);
    box.setInformativeText(tabCount == 1
                               ? QStringLiteral("Bring the tab back anyway?")
                               : QStringLiteral("Bring the %1 tabs back anyway?").arg(tabCount));
    QPushButton* restore = box.addButton(QStringLiteral("&Bring Back"), QMessageBox::AcceptRole);
    QPushButton* fresh = box.addButton(QStringLiteral("Start &Fresh"), QMessageBox::RejectRole);
    box.setDefaultButton(fresh);
    box.exec();
    return box.clickedButton() == restore;
}

bool WindowDialogs::confirmExitWithDownloads(int running)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pelvane"),
                    running == 1 ? QStringLiteral("A download is still in progress.")
                                 : QStringLiteral("%1 downloads are still in progress.").arg(running),
                    QMessageBox::NoButton, m_owner);
    box.setInformativeText(
        QStringLiteral("If you exit now, the unfinished downloads are cancelled."));
    QPushButton* exit = box.addButton(QStringLiteral("E&xit"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("&Stay"), QMessageBox::RejectRole);
    box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().constLast()));
    box.exec();
    return box.clickedButton() == exit;
}

void WindowDialogs::tell(const QString& text)
{
    // The message often names a page or a file: shown as it is, never as markup.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pelvane"), text, QMessageBox::Ok,
                    m_owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int WindowDialogs::runDialog(QDialog& dialog)
{
    return dialog.exec();
}
