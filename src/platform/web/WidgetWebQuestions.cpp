#include "platform/web/WidgetWebQuestions.h"

#include "platform/web/InPageDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A page's dialogs name the site they come from, so that a page cannot pass its text off
// as the program's own.
QString siteCaption(const QUrl& origin)
{
    const QString host = origin.host();
    return host.isEmpty() ? origin.toDisplayString() : host;
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QStringList nameFilters(const QStringList& acceptedMimeTypes)
{
    // The accept attribute of a file input holds types ("image/png", "image/*") and
    // extensions (".pdf"); the file dialog wants patterns.
    QStringList patterns;
    const QMimeDatabase mimes;
    for (const QString& accepted : acceptedMimeTypes) {
        if (accepted.startsWith(QLatin1Char('.'))) {
            patterns << QLatin1Char('*') + accepted;
        } else if (accepted.endsWith(QLatin1String("/*"))) {
            const QString group = accepted.left(accepted.size() - 1);
            const QList<QMimeType> all = mimes.allMimeTypes();
            for (const QMimeType& type : all) {
                if (type.name().startsWith(group))
                    patterns << type.globPatterns();
            }
        } else {
            patterns << mimes.mimeTypeForName(accepted).globPatterns();
        }
    }
    patterns.removeDuplicates();
    QStringList filters;
    if (!patterns.isEmpty())
        filters << QStringLiteral("Accepted files (%1)").arg(patterns.join(QLatin1Char(' ')));
    filters << QStringLiteral("All files (*)");
    return filters;
}

} // namespace

QString WidgetWebQuestions::saveDownloadAs(QWidget* parent, const QString& suggestedPath,
                                           const QString& mimeType)
{
    QString filter;
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (type.isValid() && !type.globPatterns().isEmpty())
        filter = QStringLiteral("%1 (%2);;").arg(type.comment(), type.globPatterns().join(' '));
    filter += QStringLiteral("All files (*)");
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save File"), suggestedPath, filter);
}

bool WidgetWebQuestions::askCredentials(QWidget* parent, const QUrl& url, const QString& realm,
                                        const QString& proxyHost, Credentials* credentials)
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(QStringLiteral("Authentication Required"));
    auto* layout = new QVBoxLayout(dialog);
    const QString who = proxyHost.isEmpty()
                            ? QStringLiteral("The site <b>%1</b>").arg(escaped(siteCaption(url)))
                            : QStringLiteral("The proxy <b>%1</b>").arg(escaped(proxyHost));
    QString text = QStringLiteral("%1 asks for a user name and password.").arg(who);
    if (!realm.isEmpty())
        text += QStringLiteral("<br>It says: \"%1\"").arg(escaped(realm));
    if (proxyHost.isEmpty() && url.scheme() != QLatin1String("https"))
        text += QStringLiteral("<br>They will be sent over a connection that is not secure.");
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* form = new QFormLayout;
    auto* user = new QLineEdit(credentials->user);
    auto* password = new QLineEdit;
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&User name:"), user);
    form->addRow(QStringLiteral("&Password:"), password);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return execInPage(parent, dialog, [&](int result) {
               if (result != QDialog::Accepted)
                   return;
               credentials->user = user->text();
               credentials->password = password->text();
           }) == QDialog::Accepted;
}

namespace {

// A question about the page, shown inside it; `answer` gets true when the user chose `yes`.
void askInPage(QWidget* parent, QMessageBox* box, QAbstractButton* yes,
               const WebQuestions::Answer& answer)
{
    showInPage(parent, box,
               [box, yes, answer](int) { answer(yes && box->clickedButton() == yes); });
}

} // namespace

void WidgetWebQuestions::acceptCertificateError(QWidget* parent, const QUrl& url,
                                                const QString& description, bool overridable,
                                                Answer answer)
{
    auto* box = new QMessageBox;
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("Security Warning"));
    box->setTextFormat(Qt::RichText);
    QString text = QStringLiteral("The identity of <b>%1</b> cannot be verified: %2<br><br>"
                                  "Someone may be pretending to be this site to read what you "
                                  "send to it.")
                       .arg(escaped(siteCaption(url)), escaped(description));
    if (!overridable) {
        box->setText(text + QStringLiteral("<br><br>The page will not be opened."));
        box->setStandardButtons(QMessageBox::Ok);
        askInPage(parent, box, nullptr, answer);
        return;
    }
    box->setText(text + QStringLiteral("<br><br>Do you want to open it anyway?"));
    QPushButton* back = box->addButton(QStringLiteral("&Go Back"), QMessageBox::RejectRole);
    QPushButton* proceed =
        box->addButton(QStringLiteral("&Open Anyway (Unsafe)"), QMessageBox::AcceptRole);
    box->setDefaultButton(back);
    box->setEscapeButton(back);
    askInPage(parent, box, proceed, answer);
}

void WidgetWebQuestions::allowFeature(QWidget* parent, const QUrl& origin, SiteFeature feature,
                                      Answer answer)
{
    auto* box = new QMessageBox;
    box->setIcon(QMessageBox::Question);
    box->setWindowTitle(QStringLiteral("Permission Request"));
    // The site's name is the site's own text: never taken for markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(QStringLiteral("The site %1 wants to use %2.")
                     .arg(siteCaption(origin), featureName(feature)));
    box->setInformativeText(QStringLiteral("Your answer holds for this site until you close the "
                                           "program."));
    QPushButton* block = box->addButton(QStringLiteral("&Block"), QMessageBox::RejectRole);
    QPushButton* allow = box->addButton(QStringLiteral("&Allow"), QMessageBox::AcceptRole);
    box->setDefaultButton(block);
    box->setEscapeButton(block);
    askInPage(parent, box, allow, answer);
}

QStringList WidgetWebQuestions::chooseFiles(QWidget* parent, bool multiple,
                                            const QStringList& oldFiles,
                                            const QStringList& acceptedMimeTypes)
{
    const QString start = oldFiles.isEmpty() ? QString() : QFileInfo(oldFiles.first()).path();
    const QString filter = nameFilters(acceptedMimeTypes).join(QLatin1String(";;"));
    if (multiple)
        return QFileDialog::getOpenFileNames(parent, QStringLiteral("Choose Files"), start, filter);
    const QString file =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Choose File"), start, filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

namespace {

// A page's dialog: its text as plain text, an entry line for a prompt, and once the page
// has shown several, the offer to stop its dialogs. Returns whether OK was chosen.
bool runScriptDialog(QWidget* parent, const QUrl& origin, const QString& message, bool cancel,
                     QString* input, bool* stopDialogs)
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(QStringLiteral("Message from %1").arg(siteCaption(origin)));
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QLabel(message, dialog);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    QLineEdit* entry = nullptr;
    if (input) {
        entry = new QLineEdit(*input, dialog);
        layout->addWidget(entry);
    }
    QCheckBox* stop = nullptr;
    if (stopDialogs) {
        stop = new QCheckBox(QStringLiteral("&Prevent this page from creating more dialogs"),
                             dialog);
        layout->addWidget(stop);
    }
    auto* buttons = new QDialogButtonBox(
        cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return execInPage(parent, dialog, [&](int result) {
               if (stop)
                   *stopDialogs = stop->isChecked();
               if (entry && result == QDialog::Accepted)
                   *input = entry->text();
           }) == QDialog::Accepted;
}

} // namespace

void WidgetWebQuestions::alert(QWidget* parent, const QUrl& origin, const QString& message,
                               bool* stopDialogs)
{
    runScriptDialog(parent, origin, message, false, nullptr, stopDialogs);
}

bool WidgetWebQuestions::confirm(QWidget* parent, const QUrl& origin, const QString& message,
                                 bool* stopDialogs)
{
    return runScriptDialog(parent, origin, message, true, nullptr, stopDialogs);
}

bool WidgetWebQuestions::prompt(QWidget* parent, const QUrl& origin, const QString& message,
                                const QString& defaultValue, QString* result, bool* stopDialogs)
{
    QString text = defaultValue;
    if (!runScriptDialog(parent, origin, message, true, &text, stopDialogs))
        return false;
    *result = text;
    return true;
}

void WidgetWebQuestions::dropQuestions(QWidget* parent)
{
    if (parent)
        dropInPage(parent);
}

QString WidgetWebQuestions::findText(QWidget* parent, const QString& previous)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, QStringLiteral("Find"), QStringLiteral("Fi&nd what:"),
                              QLineEdit::Normal, previous, &ok);
    return ok ? text : QString();
}
