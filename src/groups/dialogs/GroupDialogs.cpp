#include "groups/dialogs/GroupDialogs.h"

#include "groups/dialogs/SorvelGroup.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// Both file dialogs of the commands: the group filter, the "sgp" suffix added to a name
// typed without it.
QString runFileDialog(QWidget* owner, const QString& title, const QString& startFolder,
                      QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, title, startFolder, SorvelGroupTexts::FileFilter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(SorvelGroupTexts::DefaultSuffix);
    if (mode == QFileDialog::AcceptSave) {
        // The command asks its own overwrite question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

GroupDialogs::GroupDialogs(QWidget* owner)
    : QObject(owner)
    , m_owner(owner)
{}

QString GroupDialogs::askFileName(const QString& startFolder)
{
    return runFileDialog(m_owner, SorvelGroupTexts::SaveTitle, startFolder,
                         QFileDialog::AcceptSave);
}

GroupSaveQuestions::Answer GroupDialogs::askOverwrite(const QString&)
{
    switch (QMessageBox::question(
        m_owner, QStringLiteral("Confirm"), SorvelGroupTexts::OverwriteQuestion,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString GroupDialogs::askExistingGroup(const QString& title, const QString& startFolder)
{
    return runFileDialog(m_owner, title, startFolder, QFileDialog::AcceptOpen);
}

void GroupDialogs::tell(const QString& text)
{
    QMessageBox::critical(m_owner, QStringLiteral("Pelvane"), text);
}

void GroupDialogs::organize(const QString& fileName)
{
    TfrmSorvelGroup dialog(m_owner, fileName, this);
    if (!dialog.readError().isEmpty()) {
        // Its rows could not be shown, and OK could not write them back.
        tell(groupOpenProblem(fileName, TSorvelGroup(fileName)));
        return;
    }
    if (m_owner)
        dialog.setFont(m_owner->font());
    dialog.exec();
}

bool GroupDialogs::askOpenManyTabs(const QString& fileName, int count)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Pelvane"),
                    QStringLiteral("The SorvelGroup \"%1\" opens %2 tabs.\n\nOpen them all?")
                        .arg(QDir::toNativeSeparators(fileName))
                        .arg(count),
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setTextFormat(Qt::PlainText); // the file's name is not markup
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
