#include "platform/foundation/threading.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

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
        if (!app || app == m_gone) return false;
        if (app != m_app) adopt(app);
        m_work.push_back(std::move(work));
        if (!m_wakePending) {
            m_wakePending = true;
            QCoreApplication::postEvent(m_receiver, new QEvent(QEvent::User));
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

private:
    class receiver final : public QObject {
    public:
        explicit receiver(posted_work& owner) : m_owner(owner) {}

    protected:
        // The event is not read: it only says that work is waiting.
        void customEvent(QEvent*) override { m_owner.run_queued(); }

    private:
        posted_work& m_owner;
    };

    // The first post under an application object. Lock held.
    void adopt(QCoreApplication* app)
    {
        m_work.clear();  // left by an application that has gone; its thread never runs it
        delete m_receiver;
        m_receiver = new receiver(*this);
        if (m_receiver->thread() != app->thread()) m_receiver->moveToThread(app->thread());
        m_app = app;
        m_wakePending = false;
        // Once the application object goes, nothing may post to it; what is left stays unrun.
        qAddPostRoutine([] { the_queue().forget_application(); });
    }

    void forget_application()
    {
        std::lock_guard lock(m_mutex);
        m_gone = m_app;
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
    QCoreApplication* m_app = nullptr;
    const QCoreApplication* m_gone = nullptr;  // being destroyed: takes no more work
    receiver* m_receiver = nullptr;
    bool m_wakePending = false;
};

}  // namespace

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
