#pragma once
// A lazy sequence made by a coroutine: each element is produced when the consumer asks for the
// next one, and destroying the generator early destroys the coroutine with its locals.
// A single-pass input range; an exception in the coroutine reaches the consumer.

#include <coroutine>
#include <exception>
#include <iterator>
#include <memory>
#include <utility>

namespace foundation {

template <class T>
class generator {
public:
    struct promise_type {
        const T* current = nullptr;
        std::exception_ptr error;

        generator get_return_object() noexcept
        {
            return generator{std::coroutine_handle<promise_type>::from_promise(*this)};
        }
        std::suspend_always initial_suspend() const noexcept { return {}; }
        std::suspend_always final_suspend() const noexcept { return {}; }
        // The yielded object lives in the suspended coroutine until it is resumed.
        std::suspend_always yield_value(const T& value) noexcept
        {
            current = std::addressof(value);
            return {};
        }
        void return_void() const noexcept {}
        void unhandled_exception() noexcept { error = std::current_exception(); }
        // Nothing is awaited inside a generator.
        template <class U>
        std::suspend_never await_transform(U&&) = delete;
    };

    using handle_type = std::coroutine_handle<promise_type>;

    class iterator {
    public:
        using value_type = T;
        using difference_type = std::ptrdiff_t;

        iterator() = default;
        explicit iterator(handle_type coroutine) : m_coroutine(coroutine) {}

        const T& operator*() const { return *m_coroutine.promise().current; }
        const T* operator->() const { return m_coroutine.promise().current; }
        iterator& operator++()
        {
            advance(m_coroutine);
            return *this;
        }
        void operator++(int) { ++*this; }
        friend bool operator==(const iterator& it, std::default_sentinel_t) noexcept
        {
            return !it.m_coroutine || it.m_coroutine.done();
        }

    private:
        handle_type m_coroutine;
    };

    generator(generator&& other) noexcept : m_coroutine(std::exchange(other.m_coroutine, {})) {}
    generator& operator=(generator&& other) noexcept
    {
        if (this != &other) {
            destroy();
            m_coroutine = std::exchange(other.m_coroutine, {});
        }
        return *this;
    }
    ~generator() { destroy(); }

    // Runs the coroutine to its first element; call once.
    iterator begin()
    {
        advance(m_coroutine);
        return iterator{m_coroutine};
    }
    std::default_sentinel_t end() const noexcept { return {}; }

private:
    explicit generator(handle_type coroutine) noexcept : m_coroutine(coroutine) {}

    static void advance(handle_type coroutine)
    {
        coroutine.resume();
        if (auto error = std::exchange(coroutine.promise().error, nullptr)) std::rethrow_exception(error);
    }

    void destroy() noexcept
    {
        if (m_coroutine) m_coroutine.destroy();
    }

    handle_type m_coroutine;
};

}  // namespace foundation
