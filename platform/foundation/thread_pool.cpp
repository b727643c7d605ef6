#include "platform/foundation/threading.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include <sched.h>
#include <time.h>

namespace foundation {

namespace {

class pool {
public:
    bool submit(std::function<void()> work)
    {
        std::unique_lock lock(m_mutex);
        m_queue.push_back(std::move(work));
        ++m_busy;
        if (m_idle < m_queue.size() && m_threads < max_threads()) {
            ++m_threads;
            try {
                std::thread([this] { run(); }).detach();
            } catch (const std::system_error&) {
                --m_threads;
                if (m_threads == 0) {
                    m_queue.pop_back();
                    --m_busy;
                    return false;
                }
            }
        }
        lock.unlock();
        m_ready.notify_one();
        return true;
    }

private:
    unsigned max_threads() const { return m_limit ? m_limit : default_limit(); }

    static unsigned default_limit()
    {
        static const unsigned limit = std::max(64u, 8 * std::thread::hardware_concurrency());
        return limit;
    }

    void run()
    {
        t_is_pool_thread = true;
        std::unique_lock lock(m_mutex);
        for (;;) {
            ++m_idle;
            const bool woke = m_ready.wait_for(lock, std::chrono::seconds(20),
                                               [this] { return !m_queue.empty() || m_threads > max_threads(); });
            --m_idle;
            if (!woke || m_threads > max_threads()) {
                --m_threads;
                return;
            }
            auto work = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            work();  // noexcept boundary below: an escaping exception terminates, as on the platform
            work = nullptr;
            lock.lock();
            --m_busy;
        }
    }

public:
    void limit(unsigned threads)
    {
        {
            std::lock_guard lock(m_mutex);
            m_limit = threads;
        }
        m_ready.notify_all();
    }

    bool idle()
    {
        std::lock_guard lock(m_mutex);
        return m_busy == 0;
    }

    static thread_local bool t_is_pool_thread;

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_queue;
    std::size_t m_idle = 0;
    std::size_t m_busy = 0;  // queued or running
    unsigned m_threads = 0;
    unsigned m_limit = 0;
};

thread_local bool pool::t_is_pool_thread = false;

pool& the_pool()
{
    static auto* instance = new pool;  // never destroyed: detached workers may outlive main
    return *instance;
}

}  // namespace

bool thread_pool::submit(std::function<void()> work) noexcept
{
    try {
        return the_pool().submit([work = std::move(work)]() noexcept { work(); });
    } catch (...) {
        return false;
    }
}

bool thread_pool::is_pool_thread() noexcept { return pool::t_is_pool_thread; }

bool thread_pool::idle() noexcept { return the_pool().idle(); }

void thread_pool::limit_threads_for_tests(unsigned threads) { the_pool().limit(threads); }

bool TrySubmitThreadpoolCallback(PTP_SIMPLE_CALLBACK callback, void* context, void*)
{
    if (!callback) return false;
    return thread_pool::submit([callback, context] { callback(nullptr, context); });
}

unsigned processors::available() noexcept
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

std::int64_t processors::thread_time_ns() noexcept
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace foundation
