#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// Long work (a find over many folders or a large history) off the window's thread. One
// job at a time counts: starting another one asks the older to stop and drops its result.
// The result is handed to `done` on the window's thread. Destroying the job asks the
// running work to stop and waits for it, so `done` never runs on a dead owner.
class BackgroundJob final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundJob)

public:
    using Cancel = std::shared_ptr<std::atomic_bool>;

    explicit BackgroundJob(QObject* parent = nullptr)
        : QObject(parent)
    {}
    ~BackgroundJob() override { stopAll(); }

    template<typename Result>
    void start(std::function<Result(const std::atomic_bool& cancelled)> work,
               std::function<void(Result)> done)
    {
        if (m_cancel)
            m_cancel->store(true);
        auto cancel = std::make_shared<std::atomic_bool>(false);
        m_cancel = cancel;
        const int generation = ++m_generation;
        QThread* thread = QThread::create([this, cancel, generation, work, done] {
            Result result = work(*cancel);
            if (cancel->load())
                return;
            QMetaObject::invokeMethod(
                this,
                [this, generation, done, result = std::move(result)]() mutable {
                    if (generation == m_generation) {
                        m_running = false;
                        done(std::move(result));
                    }
                },
                Qt::QueuedConnection);
        });
        m_threads.append(thread);
        connect(thread, &QThread::finished, this, [this, guard = QPointer<QThread>(thread)] {
            if (guard && m_threads.removeOne(guard.data()))
                guard->deleteLater();
        });
        m_running = true;
        thread->start(QThread::LowPriority);
    }

    bool isRunning() const { return m_running; }
    // Waits (keeping events out) until every started work has ended; for tests and exit.
    void stopAll()
    {
        if (m_cancel)
            m_cancel->store(true);
        for (QThread* thread : std::as_const(m_threads))
            thread->wait();
        qDeleteAll(m_threads);
        m_threads.clear();
        m_running = false;
    }

private:
    Cancel m_cancel;
    QList<QThread*> m_threads;
    int m_generation = 0;
    bool m_running = false;
};
