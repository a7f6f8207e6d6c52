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
    // Takes the word into the user's own dictionary; empty where the engine cannot take a
    // word (Qt WebEngine has no way to, up to 6.8 at least): the entry is then not offered,
    // rather than one that leaves the word underlined.
    std::function<void(const QString& word)> addWord;
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
