#pragma once
// Dependency properties: values stored per object with a default, a change handler of the
// owner type, and change callbacks that anyone may register. Every change notifies
// synchronously, inside the change; setting the value an object already has notifies nothing.

#include "platform/foundation/event.h"
#include "platform/xaml/core/types.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace xaml {

class DependencyObject;
class DependencyProperty;
namespace metadata {
class type_builder;
}

class DependencyPropertyChangedEventArgs {
public:
    DependencyPropertyChangedEventArgs(const DependencyProperty& property, IInspectable oldValue, IInspectable newValue);
    const DependencyProperty& Property() const noexcept { return *m_property; }
    const IInspectable& OldValue() const noexcept { return m_old; }
    const IInspectable& NewValue() const noexcept { return m_new; }

private:
    const DependencyProperty* m_property;
    IInspectable m_old;
    IInspectable m_new;
};

using PropertyChangedCallback =
    std::function<void(const std::shared_ptr<DependencyObject>&, const DependencyPropertyChangedEventArgs&)>;

// Whether a property owns the dependency objects given as its values, or only refers to objects
// that something else owns (a sibling element, which its panel owns) and so holds them weakly:
// two objects that refer to each other must not keep each other alive.
enum class value_ownership { owns, refers };

class PropertyMetadata {
public:
    explicit PropertyMetadata(IInspectable defaultValue, PropertyChangedCallback changed = {},
                              value_ownership ownership = value_ownership::owns)
        : m_default(std::move(defaultValue)), m_changed(std::move(changed)), m_ownership(ownership)
    {
    }
    const IInspectable& DefaultValue() const noexcept { return m_default; }
    const PropertyChangedCallback& ChangedCallback() const noexcept { return m_changed; }
    value_ownership ownership() const noexcept { return m_ownership; }

private:
    IInspectable m_default;
    PropertyChangedCallback m_changed;
    value_ownership m_ownership;
};

// A handle to a registered property; handles to the same property compare equal.
class DependencyProperty {
public:
    DependencyProperty() = default;
    DependencyProperty(std::nullptr_t) {}

    static DependencyProperty Register(hstring name, TypeName propertyType, TypeName ownerType, PropertyMetadata metadata);
    static DependencyProperty RegisterAttached(hstring name, TypeName propertyType, TypeName ownerType,
                                               PropertyMetadata metadata);

    explicit operator bool() const noexcept { return static_cast<bool>(m_info); }
    friend bool operator==(const DependencyProperty& a, const DependencyProperty& b) noexcept { return a.m_info == b.m_info; }
    friend bool operator<(const DependencyProperty& a, const DependencyProperty& b) noexcept { return a.m_info < b.m_info; }

    const hstring& Name() const;
    const TypeName& PropertyType() const;
    const TypeName& OwnerType() const;
    bool IsAttached() const;
    const PropertyMetadata& GetMetadata() const;

private:
    struct info;
    explicit DependencyProperty(std::shared_ptr<const info> i) : m_info(std::move(i)) {}
    std::shared_ptr<const info> m_info;
};

using DependencyPropertyChangedCallback =
    foundation::delegate<std::shared_ptr<DependencyObject>, DependencyProperty>;

class DependencyObject : public foundation::Object {
public:
    // The value in effect: the local value, else the type's default, else the property's default.
    IInspectable GetValue(const DependencyProperty& property) const;
    void SetValue(const DependencyProperty& property, IInspectable value);
    void ClearValue(const DependencyProperty& property);
    // The local value, or null when none is set.
    IInspectable ReadLocalValue(const DependencyProperty& property) const;
    bool HasLocalValue(const DependencyProperty& property) const;

    std::int64_t RegisterPropertyChangedCallback(const DependencyProperty& property,
                                                 DependencyPropertyChangedCallback callback);
    void UnregisterPropertyChangedCallback(const DependencyProperty& property, std::int64_t token);

protected:
    DependencyObject() = default;
    // A default that this type gives a property in place of the property's own default.
    void SetTypeDefault(const DependencyProperty& property, IInspectable value);
    // Called after every change of a property of this object, before the callbacks.
    virtual void OnPropertyChanged(const DependencyPropertyChangedEventArgs&) {}
    // Whether a local value is held weakly: a dependency object that the property only refers to.
    // A weak value that has gone reads as null.
    virtual bool holds_weakly(const DependencyProperty& property, const IInspectable& value) const;

private:
    void apply(const DependencyProperty& property, const IInspectable& before);

    struct local_value {
        IInspectable strong;
        std::weak_ptr<foundation::Object> weak;
        IInspectable get() const { return strong ? strong : weak.lock(); }
    };
    std::map<DependencyProperty, local_value> m_local;
    std::map<DependencyProperty, IInspectable> m_typeDefaults;
    struct callback_entry {
        DependencyProperty property;
        std::int64_t token;
        DependencyPropertyChangedCallback callback;
    };
    std::vector<callback_entry> m_callbacks;
    std::int64_t m_nextToken = 1;
};

// Typed access helpers for property getters and setters of element classes. An object of
// another class reads as null.
template <class T>
T get_value(const DependencyObject& object, const DependencyProperty& property)
{
    if constexpr (foundation::detail::is_shared_object<T>::value)
        return std::dynamic_pointer_cast<typename T::element_type>(object.GetValue(property));
    else
        return foundation::unbox_value<T>(object.GetValue(property));
}

template <class T>
void set_value(DependencyObject& object, const DependencyProperty& property, T value)
{
    object.SetValue(property, foundation::box_value(std::move(value)));
}

// A class's dependency property, named where the class declares it. The type's registration
// (metadata::type_builder::property) makes it, with its value type, default and change handler,
// and adds it to the type's members; `Owner::NameProperty()` reads it.
class property_slot {
public:
    constexpr explicit property_slot(const char16_t* name) noexcept : m_name(name) {}
    property_slot(const property_slot&) = delete;
    property_slot& operator=(const property_slot&) = delete;

    const DependencyProperty& operator()() const
    {
        if (!m_property) [[unlikely]]
            unregistered();
        return m_property;
    }
    const char16_t* name() const noexcept { return m_name; }

private:
    friend class metadata::type_builder;
    [[noreturn]] void unregistered() const;

    const char16_t* m_name;
    DependencyProperty m_property;
};

}  // namespace xaml

// A dependency property of the class: the handle `NameProperty()` and typed accessors.
#define XAML_PROPERTY(Type, Name)                                                      \
    static inline constinit ::xaml::property_slot Name##Property{u## #Name};           \
    Type Name() const { return ::xaml::get_value<Type>(*this, Name##Property()); }      \
    void Name(const Type& value) { ::xaml::set_value<Type>(*this, Name##Property(), value); }

// An attached property the class owns: the handle and static typed accessors.
#define XAML_ATTACHED(Type, Name)                                                                \
    static inline constinit ::xaml::property_slot Name##Property{u## #Name};                     \
    static Type Get##Name(const std::shared_ptr<::xaml::DependencyObject>& element)              \
    {                                                                                            \
        return ::xaml::get_value<Type>(*::foundation::as<::xaml::DependencyObject>(element), Name##Property()); \
    }                                                                                            \
    static void Set##Name(const std::shared_ptr<::xaml::DependencyObject>& element, const Type& value) \
    {                                                                                            \
        ::xaml::set_value<Type>(*::foundation::as<::xaml::DependencyObject>(element), Name##Property(), value); \
    }
