#include "app/UserInputWatch.h"

#include "browser/BrowserTab.h"

#include <QCoreApplication>
#include <QEvent>

UserInputWatch::UserInputWatch(QObject* parent)
    : QObject(parent)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

UserInputWatch::~UserInputWatch()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

TBrowserTab* UserInputWatch::tabOf(QObject* object)
{
    // Parents, not parent widgets: a menu the page opens is a window of its own but still
    // belongs to the page.
    for (QObject* o = object; o; o = o->parent()) {
        if (auto* tab = qobject_cast<TBrowserTab*>(o))
            return tab;
    }
    return nullptr;
}

bool UserInputWatch::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
        if (watched->isWidgetType()) {
            if (TBrowserTab* tab = tabOf(watched))
                tab->NoteUserInput(event->type() == QEvent::KeyPress);
        }
        break;
    default:
        break;
    }
    return false;
}
