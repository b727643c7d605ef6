#include "platform/xaml/core/dependency.h"

#include "platform/foundation/threading.h"

#include <mutex>
#include <set>
#include <string>

namespace xaml {

struct DependencyProperty::info {
    hstring name;
    TypeName propertyType;
    TypeName ownerType;
    PropertyMetadata metadata;
    bool attached;
};

DependencyPropertyChangedEventArgs::DependencyPropertyChangedEventArgs(const DependencyProperty& property,
                                                                       IInspectable oldValue, IInspectable newValue)
    : m_property(&property), m_old(std::move(oldValue)), m_new(std::move(newValue))
{
}

namespace {

// Claims a property's name on its owner type; a second property of the same name would leave
// two handles that look alike and hold different values.
void claim(const hstring& owner, const hstring& name)
{
    static std::mutex lock;
    static auto* taken = new std::set<std::pair<std::u16string, std::u16string>>;
    const std::lock_guard hold(lock);
    if (!taken->emplace(owner.str(), name.str()).second)
        throw foundation::hresult_invalid_argument(u"The dependency property " + owner + u"." + name +
                                                   u" is registered twice");
}

}  // namespace

DependencyProperty DependencyProperty::Register(hstring name, TypeName propertyType, TypeName ownerType,
                                                PropertyMetadata metadata)
{
    claim(ownerType.Name, name);
    return DependencyProperty(std::make_shared<const info>(
        info{std::move(name), std::move(propertyType), std::move(ownerType), std::move(metadata), false}));
}

DependencyProperty DependencyProperty::RegisterAttached(hstring name, TypeName propertyType, TypeName ownerType,
                                                        PropertyMetadata metadata)
{
    claim(ownerType.Name, name);
    return DependencyProperty(std::make_shared<const info>(
        info{std::move(name), std::move(propertyType), std::move(ownerType), std::move(metadata), true}));
}

const hstring& DependencyProperty::Name() const { return m_info->name; }
const TypeName& DependencyProperty::PropertyType() const { return m_info->propertyType; }
const TypeName& DependencyProperty::OwnerType() const { return m_info->ownerType; }
bool DependencyProperty::IsAttached() const { return m_info->attached; }
const PropertyMetadata& DependencyProperty::GetMetadata() const { return m_info->metadata; }

void property_slot::unregistered() const
{
    throw foundation::hresult_illegal_method_call(u"The dependency property " + hstring(m_name) +
                                                  u" is used before its type is registered: call xaml::register_types() first");
}

namespace {

void check_property(const DependencyProperty& property)
{
    if (!property) throw foundation::hresult_invalid_argument(u"The dependency property is null");
}

void check_thread()
{
    if (foundation::ui_thread::available() && !foundation::ui_thread::is_current())
        throw foundation::hresult_wrong_thread(u"UI objects belong to the UI thread");
}

}  // namespace

IInspectable DependencyObject::GetValue(const DependencyProperty& property) const
{
    check_property(property);
    if (const auto local = m_local.find(property); local != m_local.end()) return local->second.get();
    if (const auto typed = m_typeDefaults.find(property); typed != m_typeDefaults.end()) return typed->second;
    return property.GetMetadata().DefaultValue();
}

IInspectable DependencyObject::ReadLocalValue(const DependencyProperty& property) const
{
    check_property(property);
    const auto local = m_local.find(property);
    return local == m_local.end() ? nullptr : local->second.get();
}

bool DependencyObject::HasLocalValue(const DependencyProperty& property) const { return m_local.contains(property); }

void DependencyObject::SetValue(const DependencyProperty& property, IInspectable value)
{
    check_property(property);
    check_thread();
    const IInspectable before = GetValue(property);
    // The value stays alive through the parameter until the change is announced.
    if (holds_weakly(property, value)) m_local[property] = {nullptr, value};
    else m_local[property] = {value, {}};
    apply(property, before);
}

void DependencyObject::ClearValue(const DependencyProperty& property)
{
    check_property(property);
    check_thread();
    const IInspectable before = GetValue(property);
    if (m_local.erase(property) == 0) return;
    apply(property, before);
}

bool DependencyObject::holds_weakly(const DependencyProperty& property, const IInspectable& value) const
{
    return property.GetMetadata().ownership() == value_ownership::refers &&
           std::dynamic_pointer_cast<DependencyObject>(value) != nullptr;
}

void DependencyObject::SetTypeDefault(const DependencyProperty& property, IInspectable value)
{
    m_typeDefaults[property] = std::move(value);
}

void DependencyObject::apply(const DependencyProperty& property, const IInspectable& before)
{
    const IInspectable after = GetValue(property);
    if (foundation::value_equals(before, after)) return;

    auto self = std::static_pointer_cast<DependencyObject>(strong_self());
    const DependencyPropertyChangedEventArgs args(property, before, after);
    OnPropertyChanged(args);
    if (const auto& changed = property.GetMetadata().ChangedCallback()) changed(self, args);

    std::vector<DependencyPropertyChangedCallback> snapshot;
    for (const auto& entry : m_callbacks)
        if (entry.property == property) snapshot.push_back(entry.callback);
    for (const auto& callback : snapshot) callback(self, property);
}

std::int64_t DependencyObject::RegisterPropertyChangedCallback(const DependencyProperty& property,
                                                               DependencyPropertyChangedCallback callback)
{
    check_property(property);
    const auto token = m_nextToken++;
    m_callbacks.push_back({property, token, std::move(callback)});
    return token;
}

void DependencyObject::UnregisterPropertyChangedCallback(const DependencyProperty& property, std::int64_t token)
{
    std::erase_if(m_callbacks, [&](const callback_entry& e) { return e.token == token && e.property == property; });
}

}  // namespace xaml

#include "platform/xaml/core/guard.h"

#include <cstdio>

namespace xaml {

void report_handler_failure() noexcept
{
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zintrel: an event handler failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "zintrel: an event handler failed\n");
    }
}

}  // namespace xaml
