#pragma once

#include <QObject>

class TBrowserTab;
class TfrmMain;
class TPVOptions;
class WindowQuestions;

// Closing tabs one at a time and all at once, and the sweep of hidden tabs (windows not yet
// let through, or blocked). At least one tab always remains.
class WindowClosing final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowClosing)

public:
    WindowClosing(TfrmMain& window, TPVOptions& options, WindowQuestions& questions);

    // Close on one tab. When it is the only shown tab, the hidden ones go first, so that it
    // is reset rather than leaving no tab.
    void closePage(TBrowserTab* tab);
    // Asks first (ConfirmCloseAll), keeps the tabs hidden from it, and leaves at least one
    // tab (the first, reset to blank, when none is kept).
    void CloseAll();
    void CloseAllKeepCurrent();
    void CloseAllShowList();
    // Destroys every tab whose tab is hidden, from the last to the first.
    void CloseHiddenTabs();
    // The tab under the pointer at the last right press on the strip (hidden tabs are
    // destroyed first); null when none was hit.
    TBrowserTab* PopupTab();
    // The tab's AddToPopupList (the tab closes).
    void AddToPopupList(TBrowserTab* tab);

private:
    TfrmMain& m_window;
    TPVOptions& m_options;
    WindowQuestions& m_questions;
};
