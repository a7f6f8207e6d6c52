#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// Where a navigation that starts in the search pane goes. Search pages show their result
// lists and forms inside the pane; only links meant for the main browser area (target
// "_main", the convention of search panes) land in the tabs.
namespace SearchNavigation {

// What the pane's document says about the navigation: its BASE element's target and the
// element that has the focus (normally the link just followed).
struct DocumentState
{
    bool hasElements = false; // the document has an element collection
    QString baseTarget;       // the first BASE element's target; empty without one
    QString activeTag;        // the focused element's tag name, as the document gives it
    QString activeTarget;     // ... and its target attribute
};

enum class Verdict
{
    Proceed, // in the pane
    Divert,  // cancelled in the pane and opened in the tabs
};

// `allowNext`: the program itself started this navigation. `document`: none when the pane
// has no document (or it could not be read).
Verdict decide(bool allowNext, const std::optional<DocumentState>& document);

// The script that reads the state in the page (it returns an object, or null without a
// document), and the state from what it returned (none when the answer is not one).
QString stateScript();
std::optional<DocumentState> stateFromScript(const QVariant& answer);

// A script that makes the pane follow links whose target is some spelling of "_main" itself,
// as a search pane does, instead of the engine opening a window of that name for them; the
// rule above then decides where they land. Safe to run more than once on one page.
QString paneLinksScript();

} // namespace SearchNavigation
