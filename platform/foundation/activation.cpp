#include "platform/foundation/activation.h"

#include <map>
#include <memory>
#include <mutex>

namespace foundation::activation {

namespace {

class factory final : public IActivationFactory {
public:
    factory(hstring name, activator create) : m_name(std::move(name)), m_create(std::move(create)) {}

    const hstring& ClassName() const noexcept override { return m_name; }

    IInspectable ActivateInstance() const override
    {
        if (!m_create) throw hresult_not_implemented(m_name + u" has no instances");
        return m_create();
    }

private:
    hstring m_name;
    activator m_create;
};

struct registry {
    std::mutex mutex;
    std::map<std::u16string, std::unique_ptr<factory>, std::less<>> classes;
};

registry& the_registry()
{
    static auto* instance = new registry;  // never destroyed: factories outlive every caller
    return *instance;
}

}  // namespace

void register_class(hstring name, activator create)
{
    auto& reg = the_registry();
    std::lock_guard lock(reg.mutex);
    const auto [where, inserted] = reg.classes.try_emplace(name.str(), nullptr);
    if (!inserted) throw hresult_invalid_argument(u"The runtime class " + name + u" is registered twice");
    where->second = std::make_unique<factory>(std::move(name), std::move(create));
}

const IActivationFactory* find(std::u16string_view name) noexcept
{
    auto& reg = the_registry();
    std::lock_guard lock(reg.mutex);
    const auto found = reg.classes.find(name);
    return found == reg.classes.end() ? nullptr : found->second.get();
}

IInspectable activate(std::u16string_view name)
{
    const auto* f = find(name);
    if (!f) throw hresult_class_not_available(u"No runtime class is named " + hstring(name));
    return f->ActivateInstance();
}

std::vector<hstring> registered_names()
{
    auto& reg = the_registry();
    std::lock_guard lock(reg.mutex);
    std::vector<hstring> names;
    for (const auto& entry : reg.classes) names.emplace_back(entry.first);
    return names;
}

}  // namespace foundation::activation

extern "C" __attribute__((visibility("default"))) foundation::hresult DllGetActivationFactory(
    const char16_t* classId, const foundation::IActivationFactory** factory)
{
    if (!factory) return foundation::E_POINTER;
    *factory = nullptr;
    if (!classId) return foundation::E_INVALIDARG;
    *factory = foundation::activation::find(classId);
    return *factory ? foundation::S_OK : foundation::CLASS_E_CLASSNOTAVAILABLE;
}
