#include "platform/foundation/threading.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace foundation::ui_thread {

namespace {

// Work for the UI thread waits here rather than in Qt's event queue: the program can run what is
// left when its loop has ended, and the hand-over is a mutex that thread checkers see (an
// uninstrumented Qt hides its own). Qt only carries a wake-up that holds nothing.
class posted_work {
public:
    bool post(std::function<void()> work)
    {
        std::lock_guard lock(m_mutex);
        auto* app = QCoreApplication::instance();
        if (!app || app != m_app) return false;
        m_work.push_back(std::move(work));
        if (!m_wakePending) {
            m_wakePending = true;
            // Qt makes the event, so nothing of ours is read on the UI thread before the mutex is.
            QMetaObject::invokeMethod(m_receiver, [] { the_queue().run_queued(); }, Qt::QueuedConnection);
        }
        m_posted.notify_all();
        return true;
    }

    // UI thread: runs what is queued now, in order; work it posts waits for the next call.
    void run_queued() noexcept
    {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(m_mutex);
            m_wakePending = false;
            batch.swap(m_work);
        }
        for (auto& work : batch) {
            work();
            work = nullptr;  // what the work holds goes now, on this thread
        }
    }

    // Waits until work is queued or the time is up.
    bool wait_for_work(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_posted.wait_for(lock, limit, [this] { return !m_work.empty(); });
    }

    bool empty()
    {
        std::lock_guard lock(m_mutex);
        return m_work.empty();
    }

    std::atomic<bool> finishing = false;

    // Called by every application object's constructor, on the UI thread: the wake-ups' receiver
    // is made and used on that thread only, never handed over from the pool.
    void adopt_application()
    {
        std::lock_guard lock(m_mutex);
        m_work.clear();  // left by an application that has gone; its thread never runs it
        m_receiver = new QObject;
        m_app = QCoreApplication::instance();
        m_wakePending = false;
        // Once the application object goes, nothing may post to it; what is left stays unrun.
        qAddPostRoutine([] { the_queue().forget_application(); });
    }

private:
    void forget_application()
    {
        std::lock_guard lock(m_mutex);
        delete std::exchange(m_receiver, nullptr);  // on its own thread, with any wake-up it still has
        m_app = nullptr;
    }

public:
    static posted_work& the_queue()
    {
        static auto* queue = new posted_work;  // never destroyed: pool threads may post at exit
        return *queue;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_work;
    const QCoreApplication* m_app = nullptr;  // null once it is being destroyed: takes no more work
    QObject* m_receiver = nullptr;
    bool m_wakePending = false;
};

void adopt_application() { posted_work::the_queue().adopt_application(); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(adopt_application)

bool is_current() noexcept
{
    const auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool available() noexcept { return QCoreApplication::instance() != nullptr; }

bool post(std::function<void()> work) noexcept
{
    try {
        return posted_work::the_queue().post(std::move(work));
    } catch (...) {
        return false;
    }
}

bool finishing() noexcept { return posted_work::the_queue().finishing; }

void finish_pending_work()
{
    auto& queue = posted_work::the_queue();
    const bool outer = !queue.finishing.exchange(true);
    for (;;) {
        queue.run_queued();
        if (!queue.empty()) continue;
        if (thread_pool::idle()) {
            // Work that ended on the pool may have posted its last step just now.
            if (queue.empty()) break;
            continue;
        }
        // The pool's last step of a run comes here; a short wait also sees the pool go idle.
        queue.wait_for_work(std::chrono::milliseconds(5));
    }
    if (outer) queue.finishing = false;
}

}  // namespace foundation::ui_thread
