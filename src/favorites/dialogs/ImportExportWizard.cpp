#include "favorites/dialogs/ImportExportWizard.h"

#include "favorites/FavoritesTransfer.h"
#include "platform/BackgroundJob.h"
#include "platform/PlainTip.h"
#include "sidebar/SideBarHost.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole + 1;

// A path field with a Browse button beside it.
QHBoxLayout* fileRow(QLineEdit* edit, QPushButton* browse)
{
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return row;
}

// The last page, which cannot be finished while the transfer runs.
class LastPage final : public QWizardPage
{
public:
    using QWizardPage::QWizardPage;
    void setBusy(bool busy)
    {
        m_busy = busy;
        Q_EMIT completeChanged();
    }
    bool isComplete() const override { return !m_busy; }

private:
    bool m_busy = false;
};

} // namespace

TfrmImportExport::TfrmImportExport(const QString& favoritesFolder, const QString& home,
                                   bool importing, SideBarQuestions& questions, QWidget* parent)
    : QWizard(parent)
    , m_favorites(favoritesFolder)
    , m_questions(questions)
    , m_job(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("frmImportExport"));
    setWindowTitle(QStringLiteral("Import/Export Wizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnLastPage);
    setPage(ChoosePage, makeChoosePage(importing));
    setPage(ImportPage, makeImportPage(home));
    setPage(ExportPage, makeExportPage(home));
    setPage(DonePage, makeDonePage());
    resize(520, 400);
}

QWizardPage* TfrmImportExport::makeChoosePage(bool importing)
{
    auto* page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Import/Export Selection"));
    page->setSubTitle(QStringLiteral("Choose what to do."));
    m_import = new QRadioButton(QStringLiteral("&Import bookmarks from another browser or a file"), page);
    auto* exporting = new QRadioButton(QStringLiteral("&Export your Favorites to a bookmark file"), page);
    (importing ? m_import : exporting)->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_import);
    layout->addWidget(exporting);
    layout->addStretch(1);
    return page;
}

QWizardPage* TfrmImportExport::makeImportPage(const QString& home)
{
    auto* page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Import Bookmarks"));
    page->setSubTitle(QStringLiteral("Choose where the bookmarks come from. They go into a new "
                                     "folder of your Favorites."));
    m_sources = new QListWidget(page);
    m_sources->setObjectName(QStringLiteral("lvSources"));
    const QList<FavoritesTransfer::Source> found = FavoritesTransfer::findBrowserBookmarks(home);
    for (const FavoritesTransfer::Source& source : found) {
        auto* item = new QListWidgetItem(source.label, m_sources);
        item->setData(PathRole, source.path);
        item->setToolTip(plainTip(QDir::toNativeSeparators(source.path)));
    }
    auto* fromFile = new QListWidgetItem(QStringLiteral("A bookmark file (HTML or JSON)"), m_sources);
    fromFile->setData(PathRole, QString());
    m_sources->setCurrentRow(0);
    m_importFile = new QLineEdit(page);
    m_importFile->setObjectName(QStringLiteral("edtImportFile"));
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), page);
    m_folderName = new QLineEdit(QStringLiteral("Imported Bookmarks"), page);
    m_folderName->setObjectName(QStringLiteral("edtFolderName"));
    auto* from = new QLabel(QStringLiteral("Import &from:"), page);
    from->setBuddy(m_sources);
    auto* into = new QLabel(QStringLiteral("Into the new Favorites f&older:"), page);
    into->setBuddy(m_folderName);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(from);
    layout->addWidget(m_sources, 1);
    layout->addLayout(fileRow(m_importFile, browse));
    layout->addWidget(into);
    layout->addWidget(m_folderName);
    const auto fileWanted = [this] {
        const QListWidgetItem* item = m_sources->currentItem();
        const bool file = item && item->data(PathRole).toString().isEmpty();
        m_importFile->setEnabled(file);
        if (item && !file)
            m_folderName->setText(QStringLiteral("Imported from %1").arg(item->text()));
    };
    connect(m_sources, &QListWidget::currentRowChanged, this, fileWanted);
    fileWanted();
    connect(browse, &QPushButton::clicked, this, [this, home] {
        const QString file = QFileDialog::getOpenFileName(
            this, QStringLiteral("Import Bookmarks"), home,
            QStringLiteral("Bookmark files (*.htm *.html *.json Bookmarks places.sqlite);;All files (*)"));
        if (file.isEmpty())
            return;
        m_sources->setCurrentRow(m_sources->count() - 1);
        m_importFile->setText(file);
    });
    return page;
}

QWizardPage* TfrmImportExport::makeExportPage(const QString& home)
{
    auto* page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Export Favorites"));
    page->setSubTitle(QStringLiteral("Your whole Favorites folder is written as a bookmark file "
                                     "that other browsers import."));
    m_exportFile = new QLineEdit(QDir(home).filePath(QStringLiteral("bookmark.htm")), page);
    m_exportFile->setObjectName(QStringLiteral("edtExportFile"));
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), page);
    auto* to = new QLabel(QStringLiteral("Export &to the file:"), page);
    to->setBuddy(m_exportFile);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(to);
    layout->addLayout(fileRow(m_exportFile, browse));
    layout->addStretch(1);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(
            this, QStringLiteral("Export Favorites"), m_exportFile->text(),
            QStringLiteral("Bookmark files (*.htm *.html)"));
        if (!file.isEmpty())
            m_exportFile->setText(file);
    });
    return page;
}

QWizardPage* TfrmImportExport::makeDonePage()
{
    auto* page = new LastPage(this);
    page->setTitle(QStringLiteral("Completing the Import/Export Wizard"));
    m_done = new QLabel(page);
    m_done->setObjectName(QStringLiteral("lblDone"));
    m_done->setTextFormat(Qt::PlainText); // it names files and folders
    m_done->setWordWrap(true);
    m_busy = new QProgressBar(page);
    m_busy->setRange(0, 0); // how long a transfer takes is not known beforehand
    m_busy->setTextVisible(false);
    m_busy->hide();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_done);
    layout->addWidget(m_busy);
    layout->addStretch(1);
    page->setFinalPage(true);
    return page;
}

QString TfrmImportExport::summary() const
{
    return m_done->text();
}

void TfrmImportExport::showOutcome(const QString& text, bool busy)
{
    m_done->setText(text);
    m_busy->setVisible(busy);
    static_cast<LastPage*>(page(DonePage))->setBusy(busy);
    button(QWizard::CancelButton)->setEnabled(!busy);
}

void TfrmImportExport::reject()
{
    // Half a transfer is not undone: the wizard waits for its end.
    if (!m_job->isRunning())
        QWizard::reject();
}

int TfrmImportExport::nextId() const
{
    switch (currentId()) {
    case ChoosePage:
        return m_import->isChecked() ? ImportPage : ExportPage;
    case ImportPage:
    case ExportPage:
        return DonePage;
    default:
        return -1;
    }
}

QString TfrmImportExport::chosenSource() const
{
    const QListWidgetItem* item = m_sources->currentItem();
    const QString found = item ? item->data(PathRole).toString() : QString();
    return found.isEmpty() ? m_importFile->text().trimmed() : found;
}

bool TfrmImportExport::validateCurrentPage()
{
    if (currentId() == ImportPage)
        return runImport();
    if (currentId() == ExportPage)
        return runExport();
    return QWizard::validateCurrentPage();
}

bool TfrmImportExport::runImport()
{
    const QString source = chosenSource();
    if (source.isEmpty()) {
        m_importFile->setFocus();
        return false;
    }
    const QString shown = QDir::toNativeSeparators(source);
    showOutcome(QStringLiteral("Importing the bookmarks of %1...").arg(shown), true);
    m_job->start<QString>(
        [source, shown, favorites = m_favorites,
         name = m_folderName->text()](const std::atomic_bool&) {
            const BookmarkRead read = readBookmarkFile(source);
            if (!read.ok())
                return QStringLiteral("%1 cannot be imported. %2\n\nNothing was imported.")
                    .arg(shown, read.error);
            const auto outcome = FavoritesTransfer::importInto(read.root, favorites, name);
            if (!outcome.ok())
                return outcome.error + QStringLiteral("\n\nNothing was imported.");
            return QStringLiteral("Imported %1 into the Favorites folder \"%2\".")
                .arg(describeCounts(outcome.counts), QFileInfo(outcome.folder).fileName());
        },
        [this](QString outcome) { showOutcome(outcome, false); });
    return true;
}

bool TfrmImportExport::runExport()
{
    const QString file = m_exportFile->text().trimmed();
    if (file.isEmpty()) {
        m_exportFile->setFocus();
        return false;
    }
    if (QFileInfo(file).isDir()) {
        showOutcome(QStringLiteral("%1 is a folder.\n\nNothing was exported.").arg(file), false);
        return true;
    }
    // The proposed name is the same every time: a file exported before, or someone else's.
    if (QFileInfo::exists(file) &&
        !m_questions.confirm(QStringLiteral("Export Favorites"),
                             QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QDir::toNativeSeparators(file)))) {
        m_exportFile->setFocus();
        return false;
    }
    const QString shown = QDir::toNativeSeparators(file);
    showOutcome(QStringLiteral("Exporting your Favorites to %1...").arg(shown), true);
    m_job->start<QString>(
        [file, shown, favorites = m_favorites](const std::atomic_bool&) {
            const auto outcome = FavoritesTransfer::exportTo(favorites, file);
            return outcome.ok() ? QStringLiteral("Exported %1 to %2.")
                                      .arg(describeCounts(outcome.counts), shown)
                                : outcome.error + QStringLiteral("\n\nNothing was exported.");
        },
        [this](QString outcome) { showOutcome(outcome, false); });
    return true;
}
