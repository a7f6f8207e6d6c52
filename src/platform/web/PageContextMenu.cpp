#include "platform/web/PageContextMenu.h"

#include <QMenu>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace PageContextMenu {

namespace {

// The engine offers many more; a long list hides the rest of the menu.
constexpr int MaxSuggestions = 8;

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
    if (request && request->isContentEditable()) {
        QString word = request->misspelledWord();
        if (actions.isKnown && !word.isEmpty() && actions.isKnown(word))
            word.clear();
        const bool canAdd = bool(actions.addWord);
        const QStringList entries =
            spellingEntries(word, request->spellCheckerSuggestions(), canAdd);
        QAction* first = menu->actions().value(0);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            auto* item = new QAction(entries.at(i), menu);
            if (canAdd && i == entries.size() - 1) {
                QObject::connect(item, &QAction::triggered, menu, [add = actions.addWord, word] {
                    if (add)
                        add(word);
                });
            } else {
                QObject::connect(item, &QAction::triggered, menu,
                                 [page = QPointer<QWebEnginePage>(page), entry = entries.at(i)] {
                                     if (page)
                                         page->replaceMisspelledWord(entry);
                                 });
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            menu->insertAction(first, item);
        }
        if (!entries.isEmpty())
            menu->insertSeparator(first);
    }
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
