#pragma once

#include "browser/DocumentFiles.h"
#include "platform/web/WebBrowser.h"

#include <QFlags>
#include <QPageLayout>

#include <functional>

// How a saving operation ended: the file written, or why nothing was.
struct TSaveResult
{
    QString fileName;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The program's browser control: the platform control plus one-call operations for the
// commands of the menus (editing, printing, saving, finding, text size, favorites, view
// source) and the file operations the tab and the mail command need. Used by every tab and
// by the side bar's search pane.
class TSorvelBrowser : public TWebBrowser
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSorvelBrowser)

public:
    // Which content a page may load (bit n is option n). Stored for the content switches;
    // the engine does not read it.
    enum TDownloadControlOption
    {
        dcDLImages = 0x01,
        dcVideos = 0x02,
        dcBGSounds = 0x04,
        dcNoScripts = 0x08,
        dcNoJava = 0x10,
        dcNoRunActiveXControls = 0x20,
        dcNoDLActiveXControls = 0x40,
    };
    Q_DECLARE_FLAGS(TDownloadControlOptionSet, TDownloadControlOption)

    using SaveDone = std::function<void(const TSaveResult&)>;

    // Takes ownership of the backend.
    TSorvelBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent = nullptr);

    // Host appearance, set by the owner before the first page loads.
    bool No3DBorder() const { return m_no3DBorder; }
    void setNo3DBorder(bool on) { m_no3DBorder = on; }
    bool NoScroll() const { return m_noScroll; }
    void setNoScroll(bool on) { m_noScroll = on; }
    bool FlatScrollbar() const { return m_flatScrollbar; }
    void setFlatScrollbar(bool on) { m_flatScrollbar = on; }
    bool UseDownloadControl() const { return m_useDownloadControl; }
    void setUseDownloadControl(bool on) { m_useDownloadControl = on; }
    TDownloadControlOptionSet DownloadControlOptionSet() const { return m_downloadOptions; }
    void setDownloadControlOptionSet(TDownloadControlOptionSet options)
    {
        m_downloadOptions = options;
    }

    // The page layout that PageSetup edits and Print uses. It belongs to the owner (the main
    // window keeps one for all its tabs, so a page setup lasts for later prints); without
    // one the browser keeps its own.
    void setPageLayout(QPageLayout* shared) { m_sharedLayout = shared; }
    QPageLayout& pageLayout() { return m_sharedLayout ? *m_sharedLayout : m_ownLayout; }

    // Where SaveToTempFile and SaveForMail write; the user's private folder of page copies
    // (Paths::pageCopiesFolder, kept after exit for the programs that read them) by default.
    void setTempFolder(const QString& folder) { m_tempFolder = folder; }
    QString tempFolder() const;

    // Navigation. A running load is stopped first so that it cannot compete with the new one.
    void NavigateUrl(const QString& url);
    void Reload();
    void ReloadCompletely();

    // Document commands; each does nothing while there is no document.
    void SelectAll();
    void Copy();
    void Cut();
    void Paste();
    void PageSetup(); // page setup dialog on pageLayout()
    void Print();     // print dialog, then the engine prints
    void SaveAs();    // save dialog: complete page, single file (MHTML) or HTML only
    void ShowProperties();
    void ShowDeveloperTools();
    void Find();
    void ViewSource();
    int GetFontSize() const; // 0 smallest .. 4 largest; 2 without document
    // The user's choices of size (zoomChosen follows): a text size, or one zoom step larger
    // (direction > 0), smaller (< 0) or the page's own size (0).
    void SetFontSize(int size);
    void ZoomBy(int direction);
    qreal ZoomFactor() const;
    // The size the program shows the page at (the one remembered for its site).
    void ShowZoom(qreal zoom);
    void LoadHtml(const QString& text);

    // Not document commands here: the program's own dialog and favorites handle them.
    void InternetOptions(); // emits internetOptionsRequested
    void AddToFavorites();  // emits addToFavoritesRequested with the page address and title
    // TranslateAccel does not exist: the application-wide key filter sees every key before
    // the page does, so there is nothing to offer the page afterwards.

    // The save dialog's work once a file and a format are chosen.
    void SavePageAs(const QString& chosenFile, DocumentFiles::SaveFormat format);

    // The engine gives a page's HTML asynchronously, so the file operations report through
    // `done` (called once, unless the browser is destroyed first). Without a document, or
    // when the engine cannot give the page, `done` gets an error.
    //
    // The document in its current state into `fileName`.
    void SaveDocument(const QString& fileName, SaveDone done);
    // A new file "tmp....htm" in the temporary folder; it is not deleted later.
    void SaveToTempFile(SaveDone done);
    // "<title>.htm" whose first line is a base-address tag, so that the page's relative
    // links still work when it is opened from a mail. The file is made in a new private
    // folder under the temporary folder (the name is the title's, and a shared folder would
    // let another user plant a file or link under that name); it is not deleted later.
    void SaveForMail(SaveDone done);

Q_SIGNALS:
    void internetOptionsRequested();
    void addToFavoritesRequested(const QString& url, const QString& title);
    // The user chose the size the page is shown at.
    void zoomChosen(qreal zoom);
    // A save or print started from a dialog failed; the browser has told the user.
    void operationFailed(const QString& message);

private:
    QString tempFolderProblem() const;
    bool documentCommand(DocumentCommand command);
    void stopIfBusy();
    void reportFailure(const QString& title, const QString& message);
    void finishLater(SaveDone done, TSaveResult result);

    QPageLayout* m_sharedLayout = nullptr;
    QPageLayout m_ownLayout;
    QString m_tempFolder;
    TDownloadControlOptionSet m_downloadOptions;
    bool m_no3DBorder = false;
    bool m_noScroll = false;
    bool m_flatScrollbar = false;
    bool m_useDownloadControl = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TSorvelBrowser::TDownloadControlOptionSet)
