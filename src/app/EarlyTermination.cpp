#include "app/EarlyTermination.h"

#include "platform/TerminationWatcher.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <utility>

EarlyTermination::EarlyTermination(TerminationWatcher& watcher, QObject* parent)
    : QObject(parent)
{
    connect(&watcher, &TerminationWatcher::terminationRequested, this,
            &EarlyTermination::onRequest);
    watcher.start();
}

void EarlyTermination::handOver(QObject* receiver, std::function<void()> exitNow)
{
    m_receiver = receiver;
    m_exitNow = std::move(exitNow);
    if (m_requested)
        QTimer::singleShot(0, receiver, m_exitNow);
}

void EarlyTermination::onRequest()
{
    m_requested = true;
    if (m_exitNow) {
        if (m_receiver)
            m_exitNow();
        return;
    }
    // Each question is a loop of its own inside the making of the window: rejected, it
    // returns once this report has been handled. One open over another closes in turn.
    constexpr int MostQuestions = 16;
    for (int i = 0; i < MostQuestions; ++i) {
        auto* question = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!question || !question->isVisible())
            break;
        question->reject();
    }
}
