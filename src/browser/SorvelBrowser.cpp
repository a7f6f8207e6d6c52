#include "browser/SorvelBrowser.h"

#include "platform/Paths.h"
#include "settings/SiteZoom.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cmath>
#include <memory>

using DocumentFiles::SaveFormat;

namespace {

const QString NoDocument = QStringLiteral("There is no page to save.");
const QString NoHtml = QStringLiteral("The page could not be read.");

struct SaveFilter
{
    const char* text;
    SaveFormat format;
};

const SaveFilter SaveFilters[] = {
    {"Web Page, complete (*.htm *.html)", SaveFormat::CompletePage},
    {"Web Archive, single file (*.mht *.mhtml)", SaveFormat::SingleFile},
    {"Web Page, HTML only (*.htm *.html)", SaveFormat::HtmlOnly},
};

} // namespace

TSorvelBrowser::TSorvelBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent)
    : TWebBrowser(backend, hive, parent)
{
    // Browser Helper Objects would be attached here; this platform has none.
}

QString TSorvelBrowser::tempFolder() const
{
    return m_tempFolder.isEmpty() ? Paths::pageCopiesFolder() : m_tempFolder;
}

QString TSorvelBrowser::tempFolderProblem() const
{
    // The folder of page copies is made here when first needed, and used only when it is
    // this user's own private folder.
    return m_tempFolder.isEmpty() ? Paths::ensureOwnPrivateFolder(tempFolder()) : QString();
}

void TSorvelBrowser::stopIfBusy()
{
    if (Busy())
        Stop();
}

void TSorvelBrowser::NavigateUrl(const QString& url)
{
    stopIfBusy();
    Navigate(url);
}

void TSorvelBrowser::Reload()
{
    stopIfBusy();
    Refresh();
}

void TSorvelBrowser::ReloadCompletely()
{
    stopIfBusy();
    Refresh2(REFRESH_COMPLETELY);
}

bool TSorvelBrowser::documentCommand(DocumentCommand command)
{
    if (!HasDocument())
        return false;
    backend()->execCommand(command);
    return true;
}

void TSorvelBrowser::SelectAll()
{
    documentCommand(DocumentCommand::SelectAll);
}

void TSorvelBrowser::Copy()
{
    documentCommand(DocumentCommand::Copy);
}

void TSorvelBrowser::Cut()
{
    documentCommand(DocumentCommand::Cut);
}

void TSorvelBrowser::Paste()
{
    documentCommand(DocumentCommand::Paste);
}

void TSorvelBrowser::ShowProperties()
{
    documentCommand(DocumentCommand::Properties);
}

void TSorvelBrowser::Find()
{
    if (!HasDocument())
        return;
    setFocus(Qt::OtherFocusReason);
    documentCommand(DocumentCommand::Find);
}

void TSorvelBrowser::ViewSource()
{
    documentCommand(DocumentCommand::ViewSource);
}

void TSorvelBrowser::InternetOptions()
{
    Q_EMIT internetOptionsRequested();
}

void TSorvelBrowser::ShowDeveloperTools()
{
    if (backend())
        backend()->showDeveloperTools(false);
}

void TSorvelBrowser::AddToFavorites()
{
    Q_EMIT addToFavoritesRequested(LocationURL(), LocationName());
}

int TSorvelBrowser::GetFontSize() const
{
    if (!HasDocument())
        return 2;
    return Zoom::textSizeOf(backend()->zoomFactor());
}

void TSorvelBrowser::SetFontSize(int size)
{
    if (!HasDocument())
        return;
    backend()->setZoomFactor(Zoom::ofTextSize(size));
    Q_EMIT zoomChosen(backend()->zoomFactor());
}

void TSorvelBrowser::ZoomBy(int direction)
{
    if (!HasDocument())
        return;
    backend()->setZoomFactor(Zoom::stepped(backend()->zoomFactor(), direction));
    Q_EMIT zoomChosen(backend()->zoomFactor());
}

qreal TSorvelBrowser::ZoomFactor() const
{
    return HasDocument() ? backend()->zoomFactor() : 1.0;
}

void TSorvelBrowser::ShowZoom(qreal zoom)
{
    if (backend() && std::abs(backend()->zoomFactor() - zoom) > 0.001)
        backend()->setZoomFactor(zoom);
}

void TSorvelBrowser::LoadHtml(const QString& text)
{
    if (HasDocument())
        backend()->setHtml(text, LocationURL());
}

void TSorvelBrowser::reportFailure(const QString& title, const QString& message)
{
    Q_EMIT operationFailed(message);
    auto* box = new QMessageBox(QMessageBox::Warning, title, message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TSorvelBrowser::PageSetup()
{
    if (!HasDocument())
        return;
    auto printer = std::make_shared<QPrinter>();
    if (pageLayout().isValid())
        printer->setPageLayout(pageLayout());
    auto* dialog = new QPageSetupDialog(printer.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog is ours: it cannot outlive the browser, and the printer lives with the
    // connection.
    connect(dialog, &QDialog::accepted, this,
            [this, printer] { pageLayout() = printer->pageLayout(); });
    dialog->open();
}

void TSorvelBrowser::Print()
{
    if (!HasDocument())
        return;
    auto printer = std::make_shared<QPrinter>();
    if (pageLayout().isValid())
        printer->setPageLayout(pageLayout());
    auto* dialog = new QPrintDialog(printer.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, printer] {
        // The engine prints asynchronously; the printer must live until it is done.
        backend()->print(printer.get(), [self = QPointer<TSorvelBrowser>(this), printer](bool ok) {
            if (!ok && self)
                self->reportFailure(QStringLiteral("Print"),
                                    QStringLiteral("The page could not be printed."));
        });
    });
    dialog->open();
}

void TSorvelBrowser::SaveAs()
{
    if (!HasDocument())
        return;
    QStringList filters;
    for (const SaveFilter& filter : SaveFilters)
        filters.append(QString::fromLatin1(filter.text));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    auto* dialog = new QFileDialog(this, QStringLiteral("Save Web Page"), folder);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(filters);
    dialog->selectFile(DocumentFiles::safeFileName(LocationName()) + QStringLiteral(".htm"));
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog, filters](const QString& file) {
        const qsizetype index = filters.indexOf(dialog->selectedNameFilter());
        SavePageAs(file, index >= 0 ? SaveFilters[index].format : SaveFormat::CompletePage);
    });
    dialog->open();
}

void TSorvelBrowser::SavePageAs(const QString& chosenFile, SaveFormat format)
{
    if (!HasDocument() || chosenFile.isEmpty())
        return;
    const QString file = DocumentFiles::saveAsFileName(chosenFile, format);
    switch (format) {
    case SaveFormat::CompletePage:
        backend()->savePage(file, true);
        break;
    case SaveFormat::SingleFile:
        backend()->savePage(file, false);
        break;
    case SaveFormat::HtmlOnly:
        SaveDocument(file, [self = QPointer<TSorvelBrowser>(this)](const TSaveResult& result) {
            if (!result.ok() && self)
                self->reportFailure(QStringLiteral("Save Web Page"), result.error);
        });
        break;
    }
}

void TSorvelBrowser::finishLater(SaveDone done, TSaveResult result)
{
    // Callers are told the same way whether or not there was a page: never from inside the
    // call that started the operation.
    QMetaObject::invokeMethod(
        this, [done = std::move(done), result] { done(result); }, Qt::QueuedConnection);
}

void TSorvelBrowser::SaveDocument(const QString& fileName, SaveDone done)
{
    if (!done)
        done = [](const TSaveResult&) {};
    if (!HasDocument()) {
        finishLater(std::move(done), {fileName, NoDocument});
        return;
    }
    backend()->toHtml([fileName, done = std::move(done)](const QString& html) {
        if (html.isEmpty()) {
            done({fileName, NoHtml});
            return;
        }
        done({fileName, DocumentFiles::writeHtmlFile(fileName, html)});
    });
}

void TSorvelBrowser::SaveToTempFile(SaveDone done)
{
    if (!done)
        done = [](const TSaveResult&) {};
    if (!HasDocument()) {
        finishLater(std::move(done), {{}, NoDocument});
        return;
    }
    if (const QString problem = tempFolderProblem(); !problem.isEmpty()) {
        finishLater(std::move(done), {{}, problem});
        return;
    }
    // The name is unique with its final ".htm" ending from the start: created exclusively,
    // readable by this user only, so no other file can take its place.
    const QString pattern = QDir(tempFolder()).filePath(QStringLiteral("tmpXXXXXX.htm"));
    backend()->toHtml([pattern, done = std::move(done)](const QString& html) {
        if (html.isEmpty()) {
            done({{}, NoHtml});
            return;
        }
        QTemporaryFile file(pattern);
        file.setAutoRemove(false);
        if (!file.open()) {
            done({{}, file.errorString()});
            return;
        }
        const QByteArray data = DocumentFiles::htmlFileBytes(html);
        const bool written = file.write(data) == data.size() && file.flush();
        const QString name = file.fileName();
        const QString error = written ? QString() : file.errorString();
        file.close();
        if (!written) {
            file.remove();
            done({{}, error});
            return;
        }
        done({name, {}});
    });
}

void TSorvelBrowser::SaveForMail(SaveDone done)
{
    if (!done)
        done = [](const TSaveResult&) {};
    if (!HasDocument()) {
        finishLater(std::move(done), {{}, NoDocument});
        return;
    }
    if (const QString problem = tempFolderProblem(); !problem.isEmpty()) {
        finishLater(std::move(done), {{}, problem});
        return;
    }
    const QString baseName = DocumentFiles::mailFileBaseName(LocationName());
    const QString baseTag =
        DocumentFiles::mailBaseTag(DocumentFiles::mailBaseAddress(LocationURL()));
    const QString folderPattern =
        QDir(tempFolder()).filePath(QStringLiteral("pelvane-mail-XXXXXX"));
    backend()->toHtml([=, done = std::move(done)](const QString& html) {
        if (html.isEmpty()) {
            done({{}, NoHtml});
            return;
        }
        QTemporaryDir folder(folderPattern); // made with mode 0700
        if (!folder.isValid()) {
            done({{}, folder.errorString()});
            return;
        }
        const QString name = folder.filePath(baseName + QStringLiteral(".htm"));
        const QString error =
            DocumentFiles::writeHtmlFile(name, baseTag + QLatin1Char('\n') + html);
        folder.setAutoRemove(!error.isEmpty());
        done({error.isEmpty() ? name : QString(), error});
    });
}
