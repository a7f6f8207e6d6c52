#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QWebEngineView;

// The page's context menu: the engine's own, with the spelling of a misspelled word at its
// top and the program's "Inspect Element" in place of the engine's.
namespace PageContextMenu {

struct Actions
{
    std::function<void()> inspect;
    // Takes the word into the user's own dictionary; empty where no dictionary takes words:
    // the entry is then not offered.
    std::function<void(const QString& word)> addWord;
    // Whether the user's dictionary has the word: the engine reads that dictionary when it
    // starts, so a word added since is still reported, and the menu then offers nothing
    // for it.
    std::function<bool(const QString& word)> isKnown;
};

// What the menu offers for a misspelled word, in order: the suggestions, then the entry
// that adds the word to the dictionary when words can be added; nothing for a word spelled
// right.
QStringList spellingEntries(const QString& misspelled, const QStringList& suggestions,
                            bool canAddWords);
QString addWordCaption();
QString inspectCaption();

// The menu for the view's last context menu request.
QMenu* build(QWebEngineView& view, const Actions& actions);
// Makes the view show that menu instead of the engine's own.
void install(QWebEngineView& view, Actions actions);

} // namespace PageContextMenu
