#pragma once
// The registry of runtime classes by full name: markup creates elements through it and the
// frame creates pages through it. Classes register themselves during static initialisation;
// afterwards the registry is only read.

#include "platform/foundation/object.h"

#include <functional>
#include <string_view>
#include <vector>

namespace foundation {

class IActivationFactory {
public:
    virtual ~IActivationFactory() = default;
    virtual const hstring& ClassName() const noexcept = 0;
    // A new instance; fails with not-implemented for a class that has no instances.
    virtual IInspectable ActivateInstance() const = 0;
};

namespace activation {

using activator = std::function<IInspectable()>;

// Adds a class; a null activator registers a class that cannot be instantiated (a static class).
// A name registered twice fails with invalid-argument, as the markup registry does.
void register_class(hstring name, activator create);

// The factory of a class, or null when no class of that name is registered. The factory lives
// as long as the process.
const IActivationFactory* find(std::u16string_view name) noexcept;

// A new instance of the named class; fails with class-not-available for an unknown name.
IInspectable activate(std::u16string_view name);

std::vector<hstring> registered_names();

}  // namespace activation

// Static registration of a runtime class: `static const class_registration reg{u"Zintrel.X", ...};`
struct class_registration {
    class_registration(hstring name, activation::activator create)
    {
        activation::register_class(std::move(name), std::move(create));
    }
};

template <class T>
activation::activator activator_of()
{
    return [] { return IInspectable(make<T>()); };
}

}  // namespace foundation

// Exported by the executable: the activation factory of a runtime class by its NUL-terminated
// UTF-16 name. The factory is owned by the process, never by the caller.
extern "C" foundation::hresult DllGetActivationFactory(const char16_t* classId,
                                                       const foundation::IActivationFactory** factory);
