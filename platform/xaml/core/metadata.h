#pragma once
// What markup knows of each type: its full name, base, how to make one, its members by name,
// and which member takes element content. Each library registers its types by an explicit call
// at start (xaml::register_types() for the UI layer's own); the registry is sealed when the
// application starts. A type or member registered twice is an error, not a replacement.

#include "platform/foundation/activation.h"
#include "platform/xaml/core/dependency.h"

#include <functional>
#include <map>
#include <string_view>
#include <vector>

namespace xaml::metadata {

using setter = std::function<void(const IInspectable& target, const IInspectable& value)>;
using getter = std::function<IInspectable(const IInspectable& target)>;

struct member_info {
    hstring name;
    hstring type;  // value type for text conversion: "String", "Int32", "Double", "Boolean", "Object", ...
    DependencyProperty property;  // set when the member is a dependency property
    setter set;                   // set or add (for collection members) when it is not
    getter get;
    bool attached = false;
    bool collection = false;  // markup adds each child value with `set`
};

struct type_info {
    hstring name;  // full name: "Microsoft.UI.Xaml.Controls.TextBox", "Zintrel.GridHelpers"
    hstring base;  // full name of the base type, empty at the root
    std::function<IInspectable()> activate;  // null for abstract and static types
    hstring content_member;                  // member that takes element content, empty for none
    std::map<hstring, member_info> members;
};

// Registers a type at once and then adds to it: `type_builder(Border::class_name,
// FrameworkElement::class_name).activatable<Border>().property(Border::ChildProperty, ...)`.
class type_builder {
public:
    // Fails when the name is taken or the registry is sealed.
    type_builder(std::u16string_view name, std::u16string_view base);
    type_builder(const type_builder&) = delete;
    type_builder& operator=(const type_builder&) = delete;

    template <class T>
    type_builder& activatable()
    {
        m_type->activate = [] { return IInspectable(foundation::make<T>()); };
        return *this;
    }
    type_builder& activatable(std::function<IInspectable()> make);

    // A runtime class: markup and the class registry (frame navigation, activation) learn it from
    // this one call, so neither can miss a page the other knows.
    template <class T>
    type_builder& runtime_class()
    {
        activatable<T>();
        foundation::activation::register_class(m_type->name, foundation::activator_of<T>());
        return *this;
    }
    // A runtime class without instances (static members and attached properties only).
    type_builder& static_class();
    // Makes the dependency property the slot names, owned by this type, and adds it as a member
    // under that name; markup text converts by the value type's name.
    type_builder& property(property_slot& slot, TypeName type, IInspectable defaultValue,
                           PropertyChangedCallback changed = {});
    type_builder& attached(property_slot& slot, TypeName type, IInspectable defaultValue,
                           PropertyChangedCallback changed = {}, value_ownership ownership = value_ownership::owns);
    // A dependency property that markup sets through the class's own setter, which checks the value.
    type_builder& checked_property(property_slot& slot, TypeName type, IInspectable defaultValue, setter set);
    // Markup-only members: a value set through a call, and a collection each child joins.
    type_builder& member(hstring name, hstring type, setter set, getter get = {});
    type_builder& collection(hstring name, setter add);
    type_builder& content(hstring member);

private:
    type_builder& add(member_info member);
    type_builder& define(property_slot& slot, TypeName type, PropertyMetadata metadata, bool attached, setter set = {});

    type_info* m_type;
};

// Every registered type, in name order.
std::vector<const type_info*> registered_types();

// Ends registration: later types and converters are refused.
void seal();
bool is_sealed() noexcept;
// Test hook: registration is open again, as before start-up.
void unseal_for_tests() noexcept;

const type_info* find_type(std::u16string_view name) noexcept;
// The member by name on the type or its bases.
const member_info* find_member(const type_info& type, std::u16string_view name) noexcept;
bool is_derived_from(std::u16string_view type, std::u16string_view base) noexcept;

// Markup text as a value of a named type; unknown types and unparsable text fail with
// hresult_invalid_argument naming the text and the type.
using text_converter = std::function<IInspectable(std::u16string_view text)>;
void register_converter(hstring type, text_converter convert);
IInspectable convert_text(std::u16string_view type, std::u16string_view text);

// Registers enum names for a converter: convert_text("Visibility", u"Collapsed").
template <class E>
void register_enum(hstring type, std::initializer_list<std::pair<const char16_t*, E>> names)
{
    std::map<std::u16string, E> table;
    for (const auto& [name, value] : names) table.emplace(name, value);
    register_converter(type, [table, type](std::u16string_view text) -> IInspectable {
        const auto found = table.find(std::u16string(text));
        if (found == table.end())
            throw foundation::hresult_invalid_argument(u"\"" + hstring(text) + u"\" is not a value of " + type);
        return foundation::box_value(found->second);
    });
}

}  // namespace xaml::metadata
