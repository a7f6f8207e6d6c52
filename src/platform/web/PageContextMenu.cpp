#include "platform/web/PageContextMenu.h"

#include <QMenu>
#include <QPointer>
#include <QSet>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace PageContextMenu {

namespace {

// The engine offers many more; a long list hides the rest of the menu.
constexpr int MaxSuggestions = 8;

// The engine's own menu may already list the suggestions (it does from Qt 6.4 on): those
// are kept and not listed twice, and "Add to dictionary" follows them. For a word the user
// added since the engine started, the engine's suggestions go too.
void addSpelling(QMenu& menu, const QWebEngineContextMenuRequest& request, QWebEnginePage* page,
                 const Actions& actions)
{
    const QString word = request.misspelledWord();
    const QStringList suggestions = request.spellCheckerSuggestions();
    const bool known = actions.isKnown && !word.isEmpty() && actions.isKnown(word);
    const QList<QAction*> engines = menu.actions();
    qsizetype insertAt = 0;
    QSet<QString> listed;
    for (qsizetype i = 0; i < engines.size(); ++i) {
        QAction* action = engines.at(i);
        if (action->isSeparator() || !suggestions.contains(action->text()))
            continue;
        if (known) {
            menu.removeAction(action);
            continue;
        }
        listed.insert(action->text());
        insertAt = i + 1;
    }
    if (known) {
        // What the engine's suggestions leave at the top is a separator over nothing.
        const QList<QAction*> left = menu.actions();
        if (!left.isEmpty() && left.first()->isSeparator())
            menu.removeAction(left.first());
        return;
    }
    const bool canAdd = bool(actions.addWord);
    const QStringList entries = spellingEntries(word, suggestions, canAdd);
    QAction* before = engines.value(insertAt);
    bool inserted = false;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const bool isAdd = canAdd && i == entries.size() - 1;
        if (!isAdd && listed.contains(entries.at(i)))
            continue;
        auto* item = new QAction(entries.at(i), &menu);
        if (isAdd) {
            QObject::connect(item, &QAction::triggered, &menu, [add = actions.addWord, word] {
                if (add)
                    add(word);
            });
        } else {
            QObject::connect(item, &QAction::triggered, &menu,
                             [page = QPointer<QWebEnginePage>(page), entry = entries.at(i)] {
                                 if (page)
                                     page->replaceMisspelledWord(entry);
                             });
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
        menu.insertAction(before, item);
        inserted = true;
    }
    if (inserted && insertAt == 0)
        menu.insertSeparator(before);
}

} // namespace

QString addWordCaption()
{
    return QStringLiteral("Add to dictionary");
}

QString inspectCaption()
{
    return QStringLiteral("Inspect Element");
}

QStringList spellingEntries(const QString& misspelled, const QStringList& suggestions,
                            bool canAddWords)
{
    if (misspelled.isEmpty())
        return {};
    QStringList entries = suggestions.mid(0, MaxSuggestions);
    if (canAddWords)
        entries << addWordCaption();
    return entries;
}

QMenu* build(QWebEngineView& view, const Actions& actions)
{
    const QWebEngineContextMenuRequest* request = view.lastContextMenuRequest();
    // The engine's menu is made from its request; without one there is only the program's.
    QMenu* menu = request ? view.createStandardContextMenu() : new QMenu(&view);
    menu->setObjectName(QStringLiteral("PageContextMenu"));
    QWebEnginePage* page = view.page();
    // The engine's own item needs tools attached beforehand; the program's opens them.
    if (page)
        menu->removeAction(page->action(QWebEnginePage::InspectElement));
    if (request && request->isContentEditable())
        addSpelling(*menu, *request, page, actions);
    if (actions.inspect) {
        menu->addSeparator();
        menu->addAction(inspectCaption(), menu, actions.inspect);
    }
    return menu;
}

void install(QWebEngineView& view, Actions actions)
{
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&view, &QWidget::customContextMenuRequested, &view,
                     [view = &view, actions = std::move(actions)](const QPoint& at) {
                         QMenu* menu = build(*view, actions);
                         menu->setAttribute(Qt::WA_DeleteOnClose);
                         menu->popup(view->mapToGlobal(at));
                     });
}

} // namespace PageContextMenu
