#pragma once

#include <QWizard>

class BackgroundJob;
class QLabel;
class QProgressBar;
class QLineEdit;
class QListWidget;
class QRadioButton;
class SideBarQuestions;

// The import and export wizard: bookmarks of a browser on this computer (found in the
// usual places) or of a bookmark file into a new folder of the Favorites, or the Favorites
// out as a bookmark file. The transfer runs off the window's thread while the last page
// shows that it is busy; the wizard cannot be finished or cancelled until it has ended.
class TfrmImportExport final : public QWizard
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmImportExport)

public:
    enum Page
    {
        ChoosePage,
        ImportPage,
        ExportPage,
        DonePage
    };

    // `home` is where browsers' profiles are looked for; `questions` asks before a file is
    // replaced.
    TfrmImportExport(const QString& favoritesFolder, const QString& home, bool importing,
                     SideBarQuestions& questions, QWidget* parent = nullptr);

    QRadioButton* importChoice() const { return m_import; }
    QListWidget* sources() const { return m_sources; }
    QLineEdit* importFile() const { return m_importFile; }
    QLineEdit* folderName() const { return m_folderName; }
    QLineEdit* exportFile() const { return m_exportFile; }
    QString summary() const;

    int nextId() const override;
    bool validateCurrentPage() override;
    void reject() override;

private:
    QWizardPage* makeChoosePage(bool importing);
    QWizardPage* makeImportPage(const QString& home);
    QWizardPage* makeExportPage(const QString& home);
    QWizardPage* makeDonePage();
    bool runImport();
    bool runExport();
    QString chosenSource() const;
    // Shows `text` on the last page, busy while `busy`.
    void showOutcome(const QString& text, bool busy);

    QString m_favorites;
    SideBarQuestions& m_questions;
    QRadioButton* m_import = nullptr;
    QListWidget* m_sources = nullptr;
    QLineEdit* m_importFile = nullptr;
    QLineEdit* m_folderName = nullptr;
    QLineEdit* m_exportFile = nullptr;
    QLabel* m_done = nullptr;
    QProgressBar* m_busy = nullptr;
    BackgroundJob* m_job = nullptr;
};
