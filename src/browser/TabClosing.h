#pragma once

#include <QObject>

#include <functional>

class TabQuestions;
class TabSet;
class TBrowserTab;
class TPVOptions;

// Closing the tab set's tabs all at once: Close All, Close All but the current one, and
// the list to choose from. At least one tab always remains.
class TabClosing final : public QObject
{
    Q_DISABLE_COPY_MOVE(TabClosing)

public:
    // `busy`: whether the tabs are being made in a row just now (a page group opening),
    // when closing them all is refused.
    TabClosing(TabSet& tabs, TPVOptions& options, TabQuestions& questions,
               std::function<bool()> busy, QObject* parent = nullptr);

    // Asks first (ConfirmCloseAll), keeps the tabs hidden from it, and leaves at least one
    // tab (the first, reset to blank, when none is kept).
    void CloseAll();
    void CloseAllKeepCurrent();
    void CloseAllShowList();

private:
    TabSet& m_tabs;
    TPVOptions& m_options;
    TabQuestions& m_questions;
    std::function<bool()> m_busy;
};
