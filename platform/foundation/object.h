#pragma once
// Runtime objects: shared objects that know their class name and cast between interfaces.
//
// Create them with make<T>(): unlike std::make_shared it lets a constructor hand out weak and
// strong references to the object under construction (event wiring in constructors needs that).

#include "platform/foundation/error.h"
#include "platform/foundation/hstring.h"

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace foundation {

class Object;
using IInspectable = std::shared_ptr<Object>;

namespace detail {
// The control block of the object make<T>() is constructing on this thread.
std::shared_ptr<void> take_pending_block() noexcept;
void set_pending_block(std::shared_ptr<void> block) noexcept;
}  // namespace detail

class Object {
public:
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Full name of the runtime class, such as "Zintrel.HashAlgo".
    virtual hstring GetRuntimeClassName() const = 0;

    std::shared_ptr<Object> strong_self() const noexcept { return m_self.lock(); }
    std::weak_ptr<Object> weak_self() const noexcept { return m_self; }

protected:
    Object() : m_self(std::shared_ptr<Object>(detail::take_pending_block(), this))
    {
        // Without make<T>() the aliasing pointer above owns nothing and never locks.
        if (m_self.expired()) m_self.reset();
    }

private:
    mutable std::weak_ptr<Object> m_self;
};

}  // namespace foundation

// A runtime class's full name, written once: GetRuntimeClassName answers it and its registration
// reads `class_name`.
#define RUNTIME_CLASS_NAME(Name)                                   \
    static constexpr std::u16string_view class_name = Name;       \
    ::foundation::hstring GetRuntimeClassName() const override { return ::foundation::hstring(class_name); }

namespace foundation {

template <class T, class... Args>
std::shared_ptr<T> make(Args&&... args)
{
    static_assert(std::is_base_of_v<Object, T>, "make<T>() creates runtime objects");
    struct block {
        alignas(T) unsigned char storage[sizeof(T)];
        bool constructed = false;
        ~block()
        {
            if (constructed) std::launder(reinterpret_cast<T*>(storage))->~T();
        }
    };
    auto holder = std::make_shared<block>();
    detail::set_pending_block(holder);
    T* object;
    try {
        object = ::new (static_cast<void*>(holder->storage)) T(std::forward<Args>(args)...);
    } catch (...) {
        detail::set_pending_block(nullptr);
        throw;
    }
    holder->constructed = true;
    return std::shared_ptr<T>(std::move(holder), object);
}

// A strong or weak reference to an object from inside its own members (constructors included).
template <class T>
std::shared_ptr<T> get_strong(const T* self) noexcept
{
    return std::static_pointer_cast<T>(std::const_pointer_cast<Object>(
        static_cast<const Object*>(self)->strong_self()));
}

template <class T>
std::weak_ptr<T> get_weak(const T* self) noexcept
{
    return get_strong(self);
}

// as: the object seen through another interface; fails with no-interface, also for null.
template <class To, class From>
std::shared_ptr<To> as(const std::shared_ptr<From>& from)
{
    if (!from) throw hresult_no_interface(u"The object is null");
    if constexpr (std::is_convertible_v<From*, To*>) {
        return from;
    } else {
        auto result = std::dynamic_pointer_cast<To>(from);
        if (!result) throw hresult_no_interface();
        return result;
    }
}

// try_as: the same, or null when the object is null or lacks the interface.
template <class To, class From>
std::shared_ptr<To> try_as(const std::shared_ptr<From>& from) noexcept
{
    if constexpr (std::is_convertible_v<From*, To*>) {
        return from;
    } else {
        return std::dynamic_pointer_cast<To>(from);
    }
}

// The object as IInspectable, whatever interface it is held by.
template <class From>
IInspectable as_inspectable(const std::shared_ptr<From>& from) noexcept
{
    if constexpr (std::is_convertible_v<From*, Object*>) {
        return from;
    } else {
        return std::dynamic_pointer_cast<Object>(from);
    }
}

}  // namespace foundation
