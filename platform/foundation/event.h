#pragma once
// Delegates and events: handlers added by token, removed by token or by a revoker, and raised
// over a snapshot so a handler may unsubscribe (or subscribe) while the event runs.

#include "platform/foundation/object.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace foundation {

struct event_token {
    std::int64_t value = 0;
    explicit operator bool() const noexcept { return value != 0; }
    friend bool operator==(const event_token&, const event_token&) = default;
};

// Tag that asks an event member for a revoker instead of a token.
struct auto_revoke_t {};
inline constexpr auto_revoke_t auto_revoke{};

template <class... Args>
class delegate {
public:
    delegate() = default;
    delegate(std::nullptr_t) {}

    template <class F, class = std::enable_if_t<std::is_invocable_v<F&, Args...> &&
                                                !std::is_same_v<std::decay_t<F>, delegate>>>
    delegate(F&& f) : m_fn(std::forward<F>(f))
    {
    }

    // Calls the member on the object while it lives; does nothing once it is gone.
    template <class T, class M>
    delegate(std::weak_ptr<T> target, M T::*member)
        : m_fn([target = std::move(target), member](Args... args) {
              if (auto strong = target.lock()) std::invoke(member, strong.get(), args...);
          })
    {
    }

    template <class T, class M>
    delegate(const std::shared_ptr<T>& target, M T::*member) : delegate(std::weak_ptr<T>(target), member)
    {
    }

    // Calls the member on a plain pointer: the owner guarantees the object outlives the delegate.
    template <class T, class M>
    delegate(T* target, M T::*member)
        : m_fn([target, member](Args... args) { std::invoke(member, target, args...); })
    {
    }

    explicit operator bool() const noexcept { return static_cast<bool>(m_fn); }

    void operator()(Args... args) const
    {
        if (m_fn) m_fn(args...);
    }

private:
    std::function<void(Args...)> m_fn;
};

template <class Sender, class Args>
using TypedEventHandler = delegate<Sender, Args>;

template <class Args>
using EventHandler = delegate<IInspectable, Args>;

// Move-only; removes its handler when it is destroyed or revoked, and does nothing when the
// event itself is already gone.
class event_revoker {
public:
    event_revoker() = default;
    explicit event_revoker(std::function<void()> revoke) : m_revoke(std::move(revoke)) {}
    event_revoker(event_revoker&& other) noexcept : m_revoke(std::exchange(other.m_revoke, nullptr)) {}
    event_revoker& operator=(event_revoker&& other) noexcept
    {
        if (this != &other) {
            revoke();
            m_revoke = std::exchange(other.m_revoke, nullptr);
        }
        return *this;
    }
    event_revoker(const event_revoker&) = delete;
    event_revoker& operator=(const event_revoker&) = delete;
    ~event_revoker() { revoke(); }

    void revoke()
    {
        if (auto revoke = std::exchange(m_revoke, nullptr)) revoke();
    }
    explicit operator bool() const noexcept { return static_cast<bool>(m_revoke); }

private:
    std::function<void()> m_revoke;
};

template <class Delegate>
class event {
public:
    event() = default;
    event(const event&) = delete;
    event& operator=(const event&) = delete;

    event_token add(Delegate handler)
    {
        std::lock_guard lock(m_state->mutex);
        const event_token token{m_state->next++};
        auto handlers = m_state->handlers ? std::make_shared<entries>(*m_state->handlers) : std::make_shared<entries>();
        handlers->emplace_back(token, std::move(handler));
        m_state->handlers = std::move(handlers);
        return token;
    }

    void remove(event_token token) { m_state->remove(token); }

    event_revoker add_revoker(Delegate handler)
    {
        const auto token = add(std::move(handler));
        return event_revoker([weak = std::weak_ptr<state>(m_state), token] {
            if (auto strong = weak.lock()) strong->remove(token);
        });
    }

    explicit operator bool() const
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->handlers != nullptr;
    }

    // Calls every handler there was when it started, even when one throws; the first exception
    // is rethrown once they all ran.
    template <class... Args>
    void operator()(const Args&... args) const
    {
        std::shared_ptr<const entries> handlers;
        {
            std::lock_guard lock(m_state->mutex);
            handlers = m_state->handlers;
        }
        if (!handlers) return;
        std::exception_ptr first;
        for (const auto& entry : *handlers) {
            try {
                entry.second(args...);
            } catch (...) {
                if (!first) first = std::current_exception();
            }
        }
        if (first) std::rethrow_exception(first);
    }

private:
    using entries = std::vector<std::pair<event_token, Delegate>>;
    struct state {
        void remove(event_token token)
        {
            std::lock_guard lock(mutex);
            if (!handlers) return;
            const auto found = std::find_if(handlers->begin(), handlers->end(),
                                            [token](const auto& entry) { return entry.first == token; });
            if (found == handlers->end()) return;
            if (handlers->size() == 1) {
                handlers = nullptr;
                return;
            }
            auto rest = std::make_shared<entries>();
            rest->reserve(handlers->size() - 1);
            for (auto entry = handlers->begin(); entry != handlers->end(); ++entry)
                if (entry != found) rest->push_back(*entry);
            handlers = std::move(rest);
        }

        std::mutex mutex;
        // Never changed once made: add and remove put a new array in its place, so raising takes
        // only this pointer. Null while there are no handlers.
        std::shared_ptr<const entries> handlers;
        std::int64_t next = 1;
    };
    std::shared_ptr<state> m_state = std::make_shared<state>();
};

}  // namespace foundation
