#pragma once
// Coroutines: fire_and_forget, IAsyncOperation<T> / IAsyncAction, resume_background() and
// apartment_context.
//
// Awaiting an async operation resumes on the kind of thread that awaited it: the UI thread
// when it was awaited there, a pool thread otherwise (no hop when the completion already runs
// on the right kind of thread).

#include "platform/foundation/error.h"
#include "platform/foundation/threading.h"

#include <condition_variable>
#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <variant>

namespace foundation {

enum class AsyncStatus { Started = 0, Completed = 1, Canceled = 2, Error = 3 };

// Ends the process at once with a message on stderr: what an exception escaping a
// fire-and-forget coroutine does.
[[noreturn]] void fail_fast(std::exception_ptr error) noexcept;

namespace detail {

// The kind of thread a coroutine continues on.
class resume_target {
public:
    static resume_target current() noexcept { return resume_target(ui_thread::is_current()); }

    // Background work continues on the pool; any pool thread will do.
    bool is_current() const noexcept { return m_ui ? ui_thread::is_current() : thread_pool::is_pool_thread(); }

    // Continues h on this kind of thread; false when the hop could not be made.
    bool resume(std::coroutine_handle<> h) const noexcept
    {
        if (is_current()) {
            h.resume();
            return true;
        }
        return m_ui ? ui_thread::post([h] { h.resume(); }) : thread_pool::submit([h] { h.resume(); });
    }

    bool post(std::coroutine_handle<> h) const noexcept
    {
        return m_ui ? ui_thread::post([h] { h.resume(); }) : thread_pool::submit([h] { h.resume(); });
    }

    bool is_ui() const noexcept { return m_ui; }

private:
    explicit resume_target(bool ui) noexcept : m_ui(ui) {}
    bool m_ui;
};

[[noreturn]] void throw_switch_failed(bool to_ui);
void report_lost_continuation() noexcept;

template <class T>
using stored_t = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

template <class T>
class async_state {
public:
    AsyncStatus status() const
    {
        std::lock_guard lock(m_mutex);
        return m_status;
    }

    void set_result(stored_t<T> value)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_status != AsyncStatus::Started) return;
            m_value.emplace(std::move(value));
        }
        finish(AsyncStatus::Completed);
    }

    void set_error(std::exception_ptr error, AsyncStatus status = AsyncStatus::Error)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_status != AsyncStatus::Started) return;
            m_error = std::move(error);
        }
        finish(status);
    }

    // Runs the continuation once the operation ends; false (and nothing stored) when it has ended.
    bool on_complete(std::function<void()> continuation)
    {
        std::lock_guard lock(m_mutex);
        if (m_status != AsyncStatus::Started) return false;
        if (m_continuation) throw hresult_illegal_method_call(u"An async operation has one completion handler");
        m_continuation = std::move(continuation);
        return true;
    }

    stored_t<T> results() const
    {
        std::lock_guard lock(m_mutex);
        if (m_error) std::rethrow_exception(m_error);
        if (m_status != AsyncStatus::Completed) throw hresult_illegal_method_call(u"The async operation has not completed");
        return *m_value;
    }

    void wait() const
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_status != AsyncStatus::Started; });
    }

private:
    void finish(AsyncStatus status)
    {
        std::function<void()> continuation;
        {
            std::lock_guard lock(m_mutex);
            m_status = status;
            continuation = std::move(m_continuation);
        }
        m_done.notify_all();
        if (continuation) continuation();
    }

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_done;
    AsyncStatus m_status = AsyncStatus::Started;
    std::optional<stored_t<T>> m_value;
    std::exception_ptr m_error;
    std::function<void()> m_continuation;
};

template <class T>
struct async_promise;

}  // namespace detail

template <class T>
class async_handle {
public:
    using promise_type = detail::async_promise<T>;
    using state_type = detail::async_state<T>;

    async_handle() = default;
    async_handle(std::nullptr_t) {}
    explicit async_handle(std::shared_ptr<state_type> state) noexcept : m_state(std::move(state)) {}

    explicit operator bool() const noexcept { return static_cast<bool>(m_state); }

    AsyncStatus Status() const { return state().status(); }

    // The result; rethrows the operation's failure.
    T GetResults() const
    {
        if constexpr (std::is_void_v<T>) state().results();
        else return state().results();
    }

    // Blocks until the operation ends. Never call it on the UI thread: the work may need that thread.
    T get() const
    {
        if (ui_thread::is_current()) throw hresult_wrong_thread(u"Blocking wait on the UI thread");
        state().wait();
        return GetResults();
    }

    // Runs the handler when the operation ends, on the thread that ends it (at once if it has).
    void Completed(std::function<void(const async_handle&, AsyncStatus)> handler) const
    {
        auto self = *this;
        if (!state().on_complete([self, handler] { handler(self, self.Status()); })) handler(self, Status());
    }

    auto operator co_await() const noexcept
    {
        struct awaiter {
            std::shared_ptr<state_type> state;
            bool await_ready() const { return state->status() != AsyncStatus::Started; }
            bool await_suspend(std::coroutine_handle<> h)
            {
                const auto target = detail::resume_target::current();
                return state->on_complete([h, target] {
                    if (!target.resume(h)) detail::report_lost_continuation();
                });
            }
            T await_resume() const
            {
                if constexpr (std::is_void_v<T>) state->results();
                else return state->results();
            }
        };
        return awaiter{m_state};
    }

private:
    state_type& state() const
    {
        if (!m_state) throw hresult_illegal_method_call(u"The async operation is null");
        return *m_state;
    }

    std::shared_ptr<state_type> m_state;
};

template <class T>
using IAsyncOperation = async_handle<T>;
using IAsyncAction = async_handle<void>;

// The producer's side of an async operation that platform code completes from any thread.
template <class T>
class async_source {
public:
    async_source() : m_state(std::make_shared<detail::async_state<T>>()) {}

    async_handle<T> operation() const { return async_handle<T>(m_state); }

    template <class U = T, class = std::enable_if_t<!std::is_void_v<U>>>
    void complete(U value) const
    {
        m_state->set_result(std::move(value));
    }
    template <class U = T, class = std::enable_if_t<std::is_void_v<U>>>
    void complete() const
    {
        m_state->set_result({});
    }
    void fail(std::exception_ptr error) const { m_state->set_error(std::move(error)); }
    void cancel() const { m_state->set_error(std::make_exception_ptr(hresult_canceled()), AsyncStatus::Canceled); }

private:
    std::shared_ptr<detail::async_state<T>> m_state;
};

namespace detail {

template <class T>
struct async_promise_base {
    std::shared_ptr<async_state<T>> state = std::make_shared<async_state<T>>();

    async_handle<T> get_return_object() { return async_handle<T>(state); }
    std::suspend_never initial_suspend() noexcept { return {}; }
    auto final_suspend() noexcept
    {
        struct finisher {
            bool await_ready() const noexcept { return true; }
            void await_suspend(std::coroutine_handle<>) const noexcept {}
            void await_resume() const noexcept {}
        };
        return finisher{};
    }
    void unhandled_exception() noexcept { state->set_error(std::current_exception()); }
};

template <class T>
struct async_promise : async_promise_base<T> {
    void return_value(T value) { this->state->set_result(std::move(value)); }
};

template <>
struct async_promise<void> : async_promise_base<void> {
    void return_void() { this->state->set_result({}); }
};

}  // namespace detail

// A coroutine that nobody awaits. It starts at once; an exception that escapes it ends the process.
struct fire_and_forget {
    struct promise_type {
        fire_and_forget get_return_object() const noexcept { return {}; }
        std::suspend_never initial_suspend() const noexcept { return {}; }
        std::suspend_never final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
        void unhandled_exception() const noexcept { fail_fast(std::current_exception()); }
    };
};

// Continues the coroutine on a pool thread. A failed switch is raised when the coroutine resumes.
[[nodiscard]] inline auto resume_background() noexcept
{
    struct awaiter {
        bool failed = false;
        bool await_ready() const noexcept { return false; }
        bool await_suspend(std::coroutine_handle<> h) noexcept
        {
            // Once handed over, the coroutine may end on the pool and free this awaiter with it.
            if (thread_pool::submit([h] { h.resume(); })) return true;
            failed = true;
            return false;
        }
        void await_resume() const
        {
            if (failed) detail::throw_switch_failed(false);
        }
    };
    return awaiter{};
}

// The kind of thread it was made on; awaiting it returns there (no hop when already there).
class apartment_context {
public:
    apartment_context() noexcept : m_target(detail::resume_target::current()) {}

    [[nodiscard]] auto operator co_await() const noexcept
    {
        struct awaiter {
            detail::resume_target target;
            bool failed = false;
            bool await_ready() const noexcept { return target.is_current(); }
            bool await_suspend(std::coroutine_handle<> h) noexcept
            {
                // As above: after a successful hand-over nothing here may be touched.
                if (target.post(h)) return true;
                failed = true;
                return false;
            }
            void await_resume() const
            {
                if (failed) detail::throw_switch_failed(target.is_ui());
            }
        };
        return awaiter{m_target};
    }

private:
    detail::resume_target m_target;
};

}  // namespace foundation
