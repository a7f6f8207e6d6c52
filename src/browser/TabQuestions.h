#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TPVOptions;

// What closing and naming tabs ask the user.
class TabQuestions
{
public:
    // Close All: true to go on. A "Don't ask me again" ticked in the box is written at once.
    virtual bool confirmCloseAll(TPVOptions& options) = 0;
    // Close All -- Show List: the positions in `lines` the user ticked; nothing when
    // cancelled.
    virtual std::optional<QList<int>> chooseTabsToClose(const QStringList& lines) = 0;
    // A tab's sticky name; nothing when cancelled.
    virtual std::optional<QString> askStickyName() = 0;

protected:
    TabQuestions() = default;
    TabQuestions(const TabQuestions&) = default;
    TabQuestions& operator=(const TabQuestions&) = default;
    ~TabQuestions() = default;
};
