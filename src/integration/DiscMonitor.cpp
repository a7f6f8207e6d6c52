#include "integration/DiscMonitor.h"

#include <QFile>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

// The monitor's thread. It owns the inotify descriptor and the watches; the window's thread
// only hands it new parameters (under the lock) and wakes it.
class DiscMonitorWorker final
{
public:
    struct Parameters
    {
        bool active = false;
        QByteArray directory;
        bool subTree = true;
        int filters = TDiscMonitor::FileName;
    };

    DiscMonitorWorker(std::function<void()> change, std::function<void()> invalid)
        : m_change(std::move(change))
        , m_invalid(std::move(invalid))
        , m_inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
        , m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        // A thread that cannot be woken could never be stopped: without the descriptor (the
        // process has none to spare) there is no thread, and every watch is invalid.
        if (m_wake >= 0)
            m_thread = std::thread([this] { run(); });
    }

    ~DiscMonitorWorker()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            wake();
            m_thread.join();
        }
        if (m_inotify >= 0)
            ::close(m_inotify);
        if (m_wake >= 0)
            ::close(m_wake);
    }

    void set(const Parameters& parameters)
    {
        if (!m_thread.joinable()) {
            if (parameters.active)
                m_invalid();
            return;
        }
        {
            const std::lock_guard lock(m_mutex);
            m_next = parameters;
            m_newParameters = true;
        }
        wake();
    }

private:
    void wake()
    {
        const quint64 one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
    }

    uint32_t watchMask(bool root) const
    {
        uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                        IN_MOVE_SELF | IN_ONLYDIR;
        if (!root)
            mask |= IN_DONT_FOLLOW; // a link inside the tree could lead round in a circle
        const int f = m_current.filters;
        if (f & (TDiscMonitor::Attributes | TDiscMonitor::Security))
            mask |= IN_ATTRIB;
        if (f & (TDiscMonitor::Size | TDiscMonitor::LastWrite))
            mask |= IN_MODIFY;
        if (f & TDiscMonitor::LastWrite)
            mask |= IN_CLOSE_WRITE;
        return mask;
    }

    bool relevant(uint32_t mask) const
    {
        const int f = m_current.filters;
        if (mask & IN_Q_OVERFLOW)
            return true;
        if (mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO))
            return f & ((mask & IN_ISDIR) ? TDiscMonitor::DirName : TDiscMonitor::FileName);
        if (mask & IN_ATTRIB)
            return f & (TDiscMonitor::Attributes | TDiscMonitor::Security);
        if (mask & IN_MODIFY)
            return f & (TDiscMonitor::Size | TDiscMonitor::LastWrite);
        if (mask & IN_CLOSE_WRITE)
            return f & TDiscMonitor::LastWrite;
        return false;
    }

    void dropWatches()
    {
        for (const auto& [wd, path] : m_paths)
            ::inotify_rm_watch(m_inotify, wd);
        m_paths.clear();
        m_root = -1;
    }

    // Watches `top` and, with SubTree, every folder below it that is not a link.
    void addTree(const QByteArray& top)
    {
        std::vector<QByteArray> folders{top};
        while (!folders.empty()) {
            const QByteArray folder = folders.back();
            folders.pop_back();
            const int wd = ::inotify_add_watch(m_inotify, folder.constData(), watchMask(false));
            if (wd < 0)
                continue; // gone meanwhile, or the user's watch limit reached
            m_paths[wd] = folder;
            DIR* dir = ::opendir(folder.constData());
            if (!dir)
                continue;
            while (const dirent* entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                if (name == "." || name == "..")
                    continue;
                const QByteArray path = folder + '/' + name;
                bool isDir = entry->d_type == DT_DIR;
                if (entry->d_type == DT_UNKNOWN) {
                    struct stat info = {};
                    isDir = ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
                }
                if (isDir)
                    folders.push_back(path);
            }
            ::closedir(dir);
        }
    }

    // Stops watching a folder that left the tree, and every folder below it.
    void dropTree(const QByteArray& top)
    {
        const QByteArray prefix = top + '/';
        for (auto it = m_paths.begin(); it != m_paths.end();) {
            if (it->first != m_root && (it->second == top || it->second.startsWith(prefix))) {
                ::inotify_rm_watch(m_inotify, it->first);
                it = m_paths.erase(it);
            } else {
                ++it;
            }
        }
    }

    // Starts watching with the current parameters; false when the folder cannot be watched.
    bool watch()
    {
        dropWatches();
        if (m_current.directory.isEmpty())
            return false;
        m_root = ::inotify_add_watch(m_inotify, m_current.directory.constData(), watchMask(true));
        if (m_root < 0)
            return false;
        m_paths[m_root] = m_current.directory;
        if (m_current.subTree) {
            // The root's own watch (which follows a link) stays; its folders are added below.
            DIR* dir = ::opendir(m_current.directory.constData());
            if (dir) {
                while (const dirent* entry = ::readdir(dir)) {
                    const QByteArray name(entry->d_name);
                    if (name == "." || name == "..")
                        continue;
                    const QByteArray path = m_current.directory + '/' + name;
                    struct stat info = {};
                    if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                        addTree(path);
                }
                ::closedir(dir);
            }
        }
        return true;
    }

    // Reads what the kernel has; true when any of it is a change of a kind asked for.
    bool readEvents()
    {
        alignas(inotify_event) char buffer[16 * 1024];
        bool changed = false;
        for (;;) {
            const ssize_t got = ::read(m_inotify, buffer, sizeof buffer);
            if (got <= 0)
                return changed;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                changed = handle(*event) || changed;
                if (m_root < 0)
                    return changed; // the folder went: the rest is of no interest
            }
        }
    }

    bool handle(const inotify_event& event)
    {
        if (event.mask & IN_Q_OVERFLOW) {
            watch(); // some changes were lost, new folders perhaps among them
            return true;
        }
        if (event.mask & IN_IGNORED) {
            m_paths.erase(event.wd);
            if (event.wd == m_root) {
                m_root = -1;
                m_lost = true;
            }
            return false;
        }
        if (event.wd == m_root && (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF))) {
            dropWatches();
            m_lost = true;
            return true;
        }
        const auto found = m_paths.find(event.wd);
        if (found == m_paths.end() || event.len == 0)
            return relevant(event.mask) && found != m_paths.end();
        const QByteArray path = found->second + '/' + QByteArray(event.name);
        if (m_current.subTree && (event.mask & IN_ISDIR)) {
            if (event.mask & (IN_CREATE | IN_MOVED_TO))
                addTree(path);
            else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
                dropTree(path);
        }
        return relevant(event.mask);
    }

    void run()
    {
        bool pending = false;
        Clock::time_point first;
        Clock::time_point last;
        bool waitForParameters = true;
        while (!m_stop) {
            {
                const std::lock_guard lock(m_mutex);
                if (m_newParameters) {
                    m_current = m_next;
                    m_newParameters = false;
                    waitForParameters = false;
                    m_lost = false;
                    pending = false;
                    dropWatches();
                }
            }
            if (!waitForParameters && m_current.active && m_root < 0 && !m_lost) {
                if (!watch()) {
                    m_invalid();
                    waitForParameters = true; // until told otherwise
                }
            }
            if (!m_current.active)
                dropWatches();

            int timeout = -1;
            if (pending) {
                const auto due = std::min(last + std::chrono::milliseconds(TDiscMonitor::QuietMs),
                                          first + std::chrono::milliseconds(TDiscMonitor::MaxDelayMs));
                timeout = int(std::max<qint64>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now())
                           .count()));
            }
            pollfd fds[2] = {{m_wake, POLLIN, 0}, {m_inotify, POLLIN, 0}};
            const int ready = ::poll(fds, m_root >= 0 ? 2 : 1, timeout);
            if (ready < 0 && errno != EINTR)
                break;
            if (fds[0].revents & POLLIN) {
                quint64 count = 0;
                [[maybe_unused]] const auto read = ::read(m_wake, &count, sizeof count);
            }
            if (m_root >= 0 && (fds[1].revents & POLLIN) && readEvents()) {
                last = Clock::now();
                if (!pending)
                    first = last;
                pending = true;
            }
            const auto now = Clock::now();
            if (pending && (m_lost || now >= last + std::chrono::milliseconds(TDiscMonitor::QuietMs) ||
                            now >= first + std::chrono::milliseconds(TDiscMonitor::MaxDelayMs))) {
                pending = false;
                m_change();
            }
            if (m_lost && m_root < 0 && !waitForParameters) {
                // The folder itself was deleted or moved away: what it held has changed,
                // and nothing more can be watched there until new parameters come.
                dropWatches();
                m_invalid();
                waitForParameters = true;
            }
        }
        dropWatches();
    }

    const std::function<void()> m_change;
    const std::function<void()> m_invalid;
    const int m_inotify;
    const int m_wake;
    std::thread m_thread;
    std::atomic_bool m_stop = false;

    std::mutex m_mutex;
    Parameters m_next;
    bool m_newParameters = false;

    // The thread's own.
    Parameters m_current;
    std::unordered_map<int, QByteArray> m_paths;
    int m_root = -1;
    bool m_lost = false;
};

TDiscMonitor::TDiscMonitor(QObject* parent)
    : QObject(parent)
{
    // Queued to this object: a call still on its way when the monitor goes is dropped.
    m_worker = std::make_unique<DiscMonitorWorker>(
        [this] { QMetaObject::invokeMethod(this, [this] { Q_EMIT OnChange(); }, Qt::QueuedConnection); },
        [this] { QMetaObject::invokeMethod(this, [this] { Q_EMIT OnInvalid(); }, Qt::QueuedConnection); });
}

TDiscMonitor::~TDiscMonitor()
{
    m_worker.reset(); // wakes the thread and waits for it: it never waits on us
}

void TDiscMonitor::pushParameters()
{
    m_worker->set({m_active, QFile::encodeName(m_directory), m_subTree, int(m_filters)});
}

void TDiscMonitor::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    pushParameters();
}

void TDiscMonitor::SetDirectory(const QString& directory)
{
    if (directory == m_directory)
        return;
    m_directory = directory;
    if (m_active)
        pushParameters();
}

void TDiscMonitor::SetSubTree(bool subTree)
{
    if (subTree == m_subTree)
        return;
    m_subTree = subTree;
    if (m_active)
        pushParameters();
}

bool TDiscMonitor::SetFilters(Filters filters, QString* error)
{
    if (!filters) {
        if (error)
            *error = EmptyFiltersMessage();
        return false;
    }
    if (filters != m_filters) {
        m_filters = filters;
        if (m_active)
            pushParameters();
    }
    return true;
}
