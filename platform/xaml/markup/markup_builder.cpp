#include "platform/xaml/markup/markup_builder.h"
#include "platform/xaml/markup/registration.h"

#include "platform/xaml/markup/DataTemplate.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/VisualStateManager.h"

#include <algorithm>
#include <optional>
#include <string>

namespace xaml::markup_detail {

namespace {

using foundation::box_value;
using foundation::hresult_error;


// Where the default namespace's names live, in the order they are tried.
constexpr std::u16string_view platform_namespaces[] = {
    u"Microsoft.UI.Xaml.Controls.", u"Microsoft.UI.Xaml.",       u"Microsoft.UI.Xaml.Documents.",
    u"Microsoft.UI.Xaml.Media.",    u"Microsoft.UI.Xaml.Controls.Primitives.", u"Microsoft.UI.Xaml.Automation.",
    u"Microsoft.UI.Xaml.Input.",
};

[[noreturn]] void fail(int line, hstring message, foundation::hresult code = E_XAMLPARSEFAILED)
{
    throw markup_error{code, line, std::move(message)};
}

hstring quoted(std::u16string_view text) { return u"\"" + hstring(text) + u"\""; }

// Runs a call the loader makes; its failure becomes a markup error at the line, keeping its code.
template <class F>
auto guarded(int line, std::u16string_view context, F&& call)
{
    try {
        return call();
    } catch (const markup_error&) {
        throw;
    } catch (const hresult_error& e) {
        throw markup_error{e.code(), line, hstring(context) + e.message()};
    }
}

bool is_space(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view trim(std::u16string_view text)
{
    while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string collapse_spaces(std::u16string_view text)
{
    std::u16string out;
    bool space = false;
    for (char16_t c : text) {
        if (is_space(c)) {
            space = true;
            continue;
        }
        if (space) out.push_back(u' ');
        space = false;
        out.push_back(c);
    }
    if (space) out.push_back(u' ');
    return out;
}

// Element content as the markup means it: runs of white space become one space; text is trimmed,
// except that inline content keeps the spaces between its elements.
std::vector<content_item> normalized(const std::vector<content_item>& items, bool inlineContent)
{
    std::vector<content_item> out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].element) {
            out.push_back(items[i]);
            continue;
        }
        std::u16string text = collapse_spaces(items[i].text);
        if (!inlineContent) {
            text = std::u16string(trim(text));
        } else {
            if (i == 0 && !text.empty() && text.front() == u' ') text.erase(0, 1);
            if (i + 1 == items.size() && !text.empty() && text.back() == u' ') text.pop_back();
        }
        if (!text.empty()) out.push_back({nullptr, hstring(std::move(text)), items[i].line});
    }
    return out;
}

const attribute* find_x_attribute(const node& n, std::u16string_view name)
{
    for (const auto& a : n.attributes)
        if (a.ns == xaml_namespace && a.name == name) return &a;
    return nullptr;
}

const metadata::member_info* content_member_of(const metadata::type_info& type)
{
    for (const metadata::type_info* t = &type; t; t = t->base.empty() ? nullptr : metadata::find_type(t->base))
        if (!t->content_member.empty()) return metadata::find_member(type, t->content_member);
    return nullptr;
}

void assign(const IInspectable& object, const metadata::member_info& member, const IInspectable& value)
{
    // A setter of its own checks the value before it reaches the property.
    if (member.set) member.set(object, value);
    else if (member.property) foundation::as<DependencyObject>(object)->SetValue(member.property, value);
    else throw foundation::hresult_invalid_argument(u"the property is read-only");
}

hstring namespace_of(const node& at, std::u16string_view prefix, int line)
{
    const auto found = at.namespaces->find(hstring(prefix));
    if (found == at.namespaces->end())
        fail(line, prefix.empty() ? hstring(u"No default XML namespace is declared") : u"Unknown XML prefix " + quoted(prefix));
    return found->second;
}

}  // namespace

builder::builder(std::shared_ptr<const document> doc, std::weak_ptr<foundation::Object> owner,
                 std::shared_ptr<FrameworkElement> context, std::vector<std::weak_ptr<ResourceDictionary>> outer)
    : m_doc(std::move(doc)), m_owner(std::move(owner)), m_context(std::move(context)), m_outer(std::move(outer))
{
}

// ---- types ----

const metadata::type_info& builder::resolve_type(const hstring& ns, std::u16string_view name, int line) const
{
    if (ns == presentation_namespace) {
        for (const auto prefix : platform_namespaces)
            if (const auto* type = metadata::find_type(hstring(prefix) + name)) return *type;
    } else if (ns.str().starts_with(u"using:")) {
        if (const auto* type = metadata::find_type(hstring(ns.str().substr(6)) + u"." + name)) return *type;
    } else {
        fail(line, u"Unknown XML namespace " + quoted(ns) + u" of " + hstring(name));
    }
    fail(line, u"Unknown element type " + hstring(name));
}

// "Grid" or "local:GridHelpers" as written in a value, with the prefixes in scope at the node.
const metadata::type_info& builder::resolve_qualified(const node& at, std::u16string_view qualified, int line) const
{
    const auto colon = qualified.find(u':');
    const std::u16string_view prefix = colon == std::u16string_view::npos ? std::u16string_view() : qualified.substr(0, colon);
    const std::u16string_view name = colon == std::u16string_view::npos ? qualified : qualified.substr(colon + 1);
    return resolve_type(namespace_of(at, prefix, line), name, line);
}

// ---- elements ----

void builder::build_into(const IInspectable& component, const node& root)
{
    if (root.ns == xaml_namespace) fail(root.line, u"The root element must be the component's type");
    const auto& type = resolve_type(root.ns, root.name, root.line);
    const hstring componentType = component->GetRuntimeClassName();
    // A component whose class markup does not know is taken at its word.
    if (metadata::find_type(componentType) && !metadata::is_derived_from(componentType, type.name))
        fail(root.line, u"The root element is a " + type.name + u", but the component is a " + componentType,
             foundation::E_NOINTERFACE);
    m_root = component;
    populate(component, type, root);
}

IInspectable builder::build(const node& root)
{
    m_root = build_object(root);
    return m_root;
}

IInspectable builder::build_object(const node& n)
{
    if (n.is_property_element()) fail(n.line, u"The property element " + n.name + u" stands outside its element");
    if (n.ns == xaml_namespace) return build_primitive(n);
    const auto& type = resolve_type(n.ns, n.name, n.line);
    if (type.name == DataTemplate::class_name) return make_template(n);
    if (type.name == ResourceDictionary::class_name) return build_dictionary(n);
    if (!type.activate) fail(n.line, type.name + u" cannot be created in markup");
    IInspectable object = guarded(n.line, u"Cannot create " + type.name + u": ", [&] { return type.activate(); });
    populate(object, type, n);
    return object;
}

// x:String, x:Int32, x:Double and x:Boolean, as resources are written.
IInspectable builder::build_primitive(const node& n)
{
    if (n.name != u"String" && n.name != u"Int32" && n.name != u"Double" && n.name != u"Boolean")
        fail(n.line, u"Unknown element type x:" + n.name);
    for (const auto& a : n.attributes)
        if (a.ns != xaml_namespace || a.name != u"Key") fail(a.line, u"x:" + n.name + u" takes no attribute " + a.name);
    hstring text;
    for (const auto& child : n.children) {
        if (child.element) fail(child.element->line, u"x:" + n.name + u" holds text only");
        text = text + child.text;
    }
    if (n.name != u"String") text = hstring(trim(text));
    return guarded(n.line, u"", [&] { return metadata::convert_text(n.name, text); });
}

void builder::populate(const IInspectable& object, const metadata::type_info& type, const node& n)
{
    const scope_entry entered(m_scopes, {object, nullptr});

    std::optional<std::size_t> connection;
    for (const auto& a : n.attributes) {
        if (a.ns != xaml_namespace) continue;
        if (a.name == u"Name") {
            name_object(object, type, a);
        } else if (a.name == u"ConnectionId") {
            const auto id = guarded(a.line, u"x:ConnectionId: ", [&] { return metadata::convert_text(u"Int32", a.value); });
            connection = m_connected.size();
            m_connected.push_back({foundation::unbox_value<std::int32_t>(id), object, n.line, 0});
        } else if (a.name == u"Key" || (a.name == u"Class" && object == m_root)) {
            // The dictionary holding the object reads its key; the class is the component's own.
        } else {
            fail(a.line, u"Unknown attribute x:" + a.name);
        }
    }
    for (const auto& a : n.attributes)
        if (a.ns != xaml_namespace) apply_attribute(object, type, n, a);

    std::vector<content_item> content;
    for (const auto& child : n.children) {
        if (child.element && child.element->is_property_element()) apply_property_element(object, type, *child.element);
        else content.push_back(child);
    }
    apply_content(object, type, content);
    if (connection) m_connected[*connection].end = m_connected.size();
}

void builder::name_object(const IInspectable& object, const metadata::type_info& type, const attribute& a)
{
    if (a.value.empty()) fail(a.line, u"x:Name is empty");
    if (!m_names.emplace(a.value, object).second) fail(a.line, u"The name " + a.value + u" is used twice");
    if (const auto* member = metadata::find_member(type, u"Name"); member && !member->attached)
        set_member(object, *member, box_value(a.value), a.line);
}

void builder::apply_attribute(const IInspectable& object, const metadata::type_info& type, const node& n, const attribute& a)
{
    const auto dot = a.name.str().find(u'.');
    const metadata::member_info* member = nullptr;
    if (dot == std::u16string::npos) {
        if (!a.ns.empty()) fail(a.line, u"Unknown attribute " + a.name + u" of namespace " + quoted(a.ns));
        member = metadata::find_member(type, a.name);
        if (!member || member->attached) fail(a.line, u"Unknown property " + a.name + u" of " + type.name);
    } else {
        const hstring ns = a.ns.empty() ? namespace_of(n, u"", a.line) : a.ns;
        const auto& owner = resolve_type(ns, a.name.str().substr(0, dot), a.line);
        member = metadata::find_member(owner, a.name.str().substr(dot + 1));
        if (!member || (!member->attached && !metadata::is_derived_from(type.name, owner.name)))
            fail(a.line, u"Unknown property " + a.name + u" of " + type.name);
    }
    if (member->collection) fail(a.line, u"The items of " + a.name + u" are given as elements");
    // Name names an element as x:Name does.
    if (a.ns.empty() && a.name == u"Name" && !a.value.empty() && !m_names.emplace(a.value, object).second)
        fail(a.line, u"The name " + a.value + u" is used twice");
    hstring themeKey;
    const IInspectable value = attribute_value(n, *member, a, &themeKey);
    set_member(object, *member, value, a.line);
    if (!themeKey.empty()) track_theme(object, *member, themeKey);
}

void builder::apply_property_element(const IInspectable& object, const metadata::type_info& type, const node& p)
{
    if (!p.attributes.empty()) fail(p.attributes.front().line, u"The property element " + p.name + u" takes no attributes");
    const auto dot = p.name.str().find(u'.');
    const std::u16string_view memberName = std::u16string_view(p.name).substr(dot + 1);
    const auto& owner = resolve_type(p.ns, std::u16string_view(p.name).substr(0, dot), p.line);
    const bool own = metadata::is_derived_from(type.name, owner.name);
    if (own && memberName == u"Resources") return assign_resources(object, type, p);
    if (owner.name == VisualStateManager::class_name && memberName == u"VisualStateGroups") return build_visual_state_groups(object, p);

    const auto* member = metadata::find_member(owner, memberName);
    if (!member || (!member->attached && !own)) fail(p.line, u"Unknown property " + p.name + u" of " + type.name);
    const auto items = normalized(p.children, false);
    if (member->collection) {
        for (const auto& item : items) {
            if (!item.element) fail(item.line, u"The items of " + p.name + u" are elements, not text");
            set_member(object, *member, build_object(*item.element), item.element->line);
        }
        return;
    }
    if (items.size() != 1) fail(p.line, p.name + u" takes one value");
    const auto& item = items.front();
    const IInspectable value = item.element ? build_object(*item.element) : convert(*member, item.text, item.line);
    set_member(object, *member, value, item.line);
}

void builder::apply_content(const IInspectable& object, const metadata::type_info& type,
                            const std::vector<content_item>& items)
{
    const auto* member = content_member_of(type);
    const bool inlines = member && member->collection && member->name == u"Inlines";
    const auto values = normalized(items, inlines);
    if (values.empty()) return;
    if (!member) fail(values.front().line, type.name + u" takes no content");

    if (!member->collection) {
        if (values.size() > 1) fail(values[1].line, type.name + u" takes a single content value");
        const auto& item = values.front();
        const IInspectable value = item.element ? build_object(*item.element) : convert(*member, item.text, item.line);
        set_member(object, *member, value, item.line);
        return;
    }
    for (const auto& item : values) {
        IInspectable value;
        if (item.element) {
            value = build_object(*item.element);
        } else if (inlines) {
            // Text among inlines is a run of its own.
            const auto* run = metadata::find_type(Run::class_name);
            const auto* text = run ? metadata::find_member(*run, u"Text") : nullptr;
            if (!run || !run->activate || !text) fail(item.line, u"Runs are not available");
            value = run->activate();
            set_member(value, *text, box_value(item.text), item.line);
        } else {
            fail(item.line, type.name + u" takes elements, not text");
        }
        set_member(object, *member, value, item.line);
    }
}

// ---- values ----

IInspectable builder::attribute_value(const node& n, const metadata::member_info& member, const attribute& a, hstring* themeKey)
{
    IInspectable value;
    if (extension_value(n, a.value, a.line, value, themeKey)) return value;
    std::u16string_view text = a.value;
    if (text.starts_with(u"{}")) text.remove_prefix(2);
    return convert(member, text, a.line);
}

// {StaticResource key}, {ThemeResource key} and {x:Null}; false for text that is no extension.
bool builder::extension_value(const node& n, std::u16string_view text, int line, IInspectable& value, hstring* themeKey)
{
    if (!text.starts_with(u"{") || text.starts_with(u"{}")) return false;
    if (!text.ends_with(u"}")) fail(line, u"The markup extension " + quoted(text) + u" is not closed");
    const std::u16string_view inner = trim(text.substr(1, text.size() - 2));
    const auto space = std::find_if(inner.begin(), inner.end(), is_space);
    const std::u16string_view name = inner.substr(0, static_cast<std::size_t>(space - inner.begin()));
    std::u16string_view argument = trim(inner.substr(name.size()));
    if (argument.starts_with(u"ResourceKey=")) argument = trim(argument.substr(12));

    if (name == u"StaticResource" || name == u"ThemeResource") {
        if (argument.empty()) fail(line, hstring(name) + u" needs a key");
        value = find_resource(hstring(argument), line);
        if (name == u"ThemeResource" && themeKey) *themeKey = hstring(argument);
        return true;
    }
    const auto colon = name.find(u':');
    if (colon != std::u16string_view::npos && name.substr(colon + 1) == u"Null" &&
        namespace_of(n, name.substr(0, colon), line) == xaml_namespace && argument.empty()) {
        value = nullptr;
        return true;
    }
    fail(line, u"Unsupported markup extension {" + hstring(name) + u"}");
}

IInspectable builder::convert(const metadata::member_info& member, std::u16string_view text, int line) const
{
    return guarded(line, member.name + u": ", [&] { return metadata::convert_text(member.type, text); });
}

void builder::set_member(const IInspectable& object, const metadata::member_info& member, const IInspectable& value, int line)
{
    guarded(line, u"Cannot set " + member.name + u": ", [&] { assign(object, member, value); });
}

// ---- resources ----

ElementTheme builder::current_theme() const
{
    for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it)
        if (auto element = foundation::try_as<FrameworkElement>(it->object))
            if (element->RequestedTheme() != ElementTheme::Default) return element->RequestedTheme();
    return m_context ? m_context->ActualTheme() : desktop_theme();
}

IInspectable builder::find_resource(const hstring& key, int line) const
{
    const auto theme = current_theme();
    for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it)
        if (it->dictionary)
            if (auto value = it->dictionary->find(key, theme)) return value;
    for (const auto& weak : m_outer)
        if (auto dictionary = weak.lock())
            if (auto value = dictionary->find(key, theme)) return value;
    if (auto value = m_context ? m_context->find_resource(key) : application_resources()->find(key, theme)) return value;
    fail(line, u"No resource has the key " + quoted(key));
}

// A theme resource is looked up again whenever the theme of the element holding it changes.
void builder::track_theme(const IInspectable& object, const metadata::member_info& member, const hstring& key)
{
    for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it)
        if (auto element = foundation::try_as<FrameworkElement>(it->object))
            return m_themeReferences.push_back({object, member, key, std::move(element)});
}

namespace {

// Subscribed once the tree is whole: while it is built, an element that joins its parent sees
// only part of the resources above it.
void follow_theme(const std::weak_ptr<foundation::Object>& target, const metadata::member_info& member, const hstring& key,
                  const std::shared_ptr<FrameworkElement>& element)
{
    element->ActualThemeChanged([target, member, key](const std::shared_ptr<FrameworkElement>& sender, const IInspectable&) {
        const auto strong = target.lock();
        const auto value = strong ? sender->find_resource(key) : nullptr;
        if (!value) return;
        try {
            assign(strong, member, value);
        } catch (const hresult_error&) {
            // A theme dictionary that gives the key a value of another type leaves the property as it was.
        }
    });
}

}  // namespace

void builder::assign_resources(const IInspectable& object, const metadata::type_info& type, const node& p)
{
    std::vector<node_ptr> elements;
    for (const auto& item : normalized(p.children, false)) {
        if (!item.element) fail(item.line, u"Resources are elements, not text");
        elements.push_back(item.element);
    }
    std::shared_ptr<ResourceDictionary> dictionary;
    const bool single = elements.size() == 1 && !find_x_attribute(*elements.front(), u"Key") &&
                        !elements.front()->is_property_element() && elements.front()->ns != xaml_namespace &&
                        resolve_type(elements.front()->ns, elements.front()->name, elements.front()->line).name == ResourceDictionary::class_name;
    if (single) {
        dictionary = build_dictionary(*elements.front());
    } else {
        dictionary = foundation::make<ResourceDictionary>();
        fill_dictionary(dictionary, p);
    }
    // The rest of the element sees its resources.
    m_scopes.back().dictionary = dictionary;
    if (const auto* member = metadata::find_member(type, u"Resources"); member && !member->attached)
        set_member(object, *member, dictionary, p.line);
    else if (auto element = foundation::try_as<FrameworkElement>(object))
        element->Resources(dictionary);
    else
        fail(p.line, type.name + u" has no resources");
}

std::shared_ptr<ResourceDictionary> builder::build_dictionary(const node& n)
{
    for (const auto& a : n.attributes)
        if (a.ns != xaml_namespace || a.name != u"Key") fail(a.line, u"Unknown property " + a.name + u" of a ResourceDictionary");
    auto dictionary = foundation::make<ResourceDictionary>();
    fill_dictionary(dictionary, n);
    return dictionary;
}

void builder::fill_dictionary(const std::shared_ptr<ResourceDictionary>& dictionary, const node& n)
{
    const scope_entry entered(m_scopes, {dictionary, dictionary});

    auto nested = [&](const content_item& item) {
        if (!item.element) fail(item.line, u"A resource dictionary holds elements, not text");
        expect_type(*item.element, ResourceDictionary::class_name);
        return build_dictionary(*item.element);
    };
    for (const auto& item : normalized(n.children, false)) {
        if (!item.element) fail(item.line, u"A resource dictionary holds elements, not text");
        const node& child = *item.element;
        if (child.name == u"ResourceDictionary.ThemeDictionaries") {
            for (const auto& theme : normalized(child.children, false)) {
                const attribute* key = theme.element ? find_x_attribute(*theme.element, u"Key") : nullptr;
                if (theme.element && !key) fail(theme.element->line, u"A theme dictionary needs an x:Key");
                auto value = nested(theme);
                dictionary->ThemeDictionaries()[key->value] = std::move(value);
            }
        } else if (child.name == u"ResourceDictionary.MergedDictionaries") {
            for (const auto& merged : normalized(child.children, false)) dictionary->MergedDictionaries().push_back(nested(merged));
        } else {
            const attribute* key = find_x_attribute(child, u"Key");
            if (!key) fail(child.line, u"A resource needs an x:Key");
            if (dictionary->HasKey(key->value)) fail(key->line, u"The key " + quoted(key->value) + u" is used twice");
            dictionary->Insert(key->value, build_object(child));
        }
    }
}

IInspectable builder::make_template(const node& n)
{
    for (const auto& a : n.attributes)
        if (a.ns != xaml_namespace || (a.name != u"Key" && a.name != u"DataType"))
            fail(a.line, u"Unknown property " + a.name + u" of a DataTemplate");
    const auto items = normalized(n.children, false);
    if (items.size() != 1 || !items.front().element) fail(n.line, u"A DataTemplate holds one element");

    auto source = std::make_shared<template_source>();
    source->doc = m_doc;
    source->content = items.front().element;
    source->owner = m_owner;
    for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it)
        if (it->dictionary) source->dictionaries.push_back(it->dictionary);
    source->dictionaries.insert(source->dictionaries.end(), m_outer.begin(), m_outer.end());

    // Build the content once now, so that its errors show when the markup loads.
    builder check(m_doc, m_owner, m_context, source->dictionaries);
    if (!foundation::try_as<UIElement>(check.build(*source->content)))
        fail(source->content->line, u"The content of a DataTemplate must be an element");
    check.finish();
    return foundation::make<DataTemplate>(std::move(source));
}

// ---- visual states ----

void builder::expect_type(const node& n, std::u16string_view fullName) const
{
    if (n.is_property_element() || n.ns == xaml_namespace || resolve_type(n.ns, n.name, n.line).name != fullName)
        fail(n.line, u"Expected a " + hstring(fullName.substr(fullName.rfind(u'.') + 1)) + u" here, not " + n.name);
}

hstring builder::state_name(const node& n) const
{
    hstring name;
    for (const auto& a : n.attributes) {
        if ((a.ns == xaml_namespace || a.ns.empty()) && a.name == u"Name") name = a.value;
        else fail(a.line, u"Unknown property " + a.name + u" of " + n.name);
    }
    return name;
}

void builder::build_visual_state_groups(const IInspectable& object, const node& p)
{
    auto element = foundation::try_as<FrameworkElement>(object);
    if (!element) fail(p.line, u"Visual state groups belong to an element");
    auto& groups = VisualStateManager::GetVisualStateGroups(element);
    for (const auto& item : normalized(p.children, false)) {
        if (!item.element) fail(item.line, u"Visual state groups are elements, not text");
        const node& n = *item.element;
        expect_type(n, VisualStateGroup::class_name);
        auto group = foundation::make<VisualStateGroup>();
        group->Name = state_name(n);
        for (const auto& child : normalized(n.children, false)) {
            if (!child.element) fail(child.line, u"Visual states are elements, not text");
            if (child.element->name == u"VisualStateGroup.States") {
                for (const auto& state : normalized(child.element->children, false)) {
                    if (!state.element) fail(state.line, u"Visual states are elements, not text");
                    add_state(*group, *state.element);
                }
            } else {
                add_state(*group, *child.element);
            }
        }
        groups.push_back(std::move(group));
    }
    const bool triggered = std::any_of(groups.begin(), groups.end(), [](const auto& group) {
        return std::any_of(group->States.begin(), group->States.end(), [](const auto& state) { return !state->StateTriggers.empty(); });
    });
    if (triggered) VisualStateManager::follow_triggers(element);
}

void builder::add_state(VisualStateGroup& group, const node& n)
{
    expect_type(n, VisualState::class_name);
    auto state = foundation::make<VisualState>();
    state->Name = state_name(n);
    for (const auto& child : normalized(n.children, false)) {
        if (child.element && child.element->name == u"VisualState.StateTriggers") {
            for (const auto& trigger : normalized(child.element->children, false)) {
                if (!trigger.element) fail(trigger.line, u"State triggers are elements, not text");
                state->StateTriggers.push_back(adaptive_trigger(*trigger.element));
            }
            continue;
        }
        if (!child.element || child.element->name != u"VisualState.Setters")
            fail(child.element ? child.element->line : child.line, u"A visual state holds VisualState.Setters and VisualState.StateTriggers only");
        for (const auto& setter : normalized(child.element->children, false)) {
            if (!setter.element) fail(setter.line, u"Setters are elements, not text");
            add_setter(state, *setter.element);
        }
    }
    group.States.push_back(std::move(state));
}

std::shared_ptr<AdaptiveTrigger> builder::adaptive_trigger(const node& n) const
{
    expect_type(n, AdaptiveTrigger::class_name);
    auto trigger = foundation::make<AdaptiveTrigger>();
    for (const auto& a : n.attributes) {
        double* size = !a.ns.empty()                   ? nullptr
                       : a.name == u"MinWindowWidth"  ? &trigger->MinWindowWidth
                       : a.name == u"MinWindowHeight" ? &trigger->MinWindowHeight
                                                      : nullptr;
        if (!size) fail(a.line, u"Unknown property " + a.name + u" of an AdaptiveTrigger");
        *size = foundation::unbox_value<double>(metadata::convert_text(u"Double", a.value));
    }
    return trigger;
}

void builder::add_setter(const std::shared_ptr<VisualState>& state, const node& n)
{
    expect_type(n, Setter::class_name);
    pending_setter setter{state, n.line, {}, nullptr, {}, false, n.namespaces};
    bool hasValue = false;
    for (const auto& a : n.attributes) {
        if (a.ns.empty() && a.name == u"Target") {
            setter.target = a.value;
        } else if (a.ns.empty() && a.name == u"Value") {
            hasValue = true;
            if (!extension_value(n, a.value, a.line, setter.value, nullptr)) {
                setter.is_text = true;
                setter.text = a.value.str().starts_with(u"{}") ? hstring(a.value.str().substr(2)) : a.value;
            }
        } else {
            fail(a.line, u"Unknown property " + a.name + u" of a Setter");
        }
    }
    for (const auto& child : normalized(n.children, false)) {
        if (!child.element || child.element->name != u"Setter.Value" || hasValue)
            fail(child.line, u"A setter holds one Value");
        hasValue = true;
        const auto values = normalized(child.element->children, false);
        if (values.size() != 1) fail(child.line, u"Setter.Value takes one value");
        if (values.front().element) {
            setter.value = build_object(*values.front().element);
        } else {
            setter.is_text = true;
            setter.text = values.front().text;
        }
    }
    if (setter.target.empty()) fail(n.line, u"A setter needs a Target");
    if (!hasValue) fail(n.line, u"A setter needs a Value");
    m_setters.push_back(std::move(setter));
}

void builder::finish()
{
    for (const auto& setter : m_setters) {
        // "name.Property", "name.(Owner.Property)" or "name.(prefix:Owner.Property)".
        const std::u16string_view target = setter.target;
        const auto dot = target.find(u'.');
        if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == target.size())
            fail(setter.line, u"The setter target " + quoted(target) + u" is not name.Property");
        const hstring name(target.substr(0, dot));
        std::u16string_view property = target.substr(dot + 1);
        hstring owner;
        const metadata::type_info* ownerType = nullptr;
        if (property.starts_with(u"(")) {
            if (!property.ends_with(u")")) fail(setter.line, u"The setter target " + quoted(target) + u" is not closed");
            property = property.substr(1, property.size() - 2);
            const auto last = property.rfind(u'.');
            if (last == std::u16string_view::npos) fail(setter.line, u"The setter target " + quoted(target) + u" names no owner");
            node scope;
            scope.namespaces = setter.namespaces;
            ownerType = &resolve_qualified(scope, property.substr(0, last), setter.line);
            owner = ownerType->name;
            property = property.substr(last + 1);
        }

        const auto found = m_names.find(name);
        auto element = found == m_names.end() ? nullptr : foundation::try_as<FrameworkElement>(found->second);
        if (!element) fail(setter.line, u"No element is named " + name);
        if (!ownerType) ownerType = metadata::find_type(element->GetRuntimeClassName());
        const auto* member = ownerType ? metadata::find_member(*ownerType, property) : nullptr;
        if (!member || !member->property)
            fail(setter.line, u"No property " + hstring(property) + u" of " + (owner.empty() ? element->GetRuntimeClassName() : owner) +
                                  u" can be set by a visual state");
        const IInspectable value = setter.is_text ? convert(*member, setter.text, setter.line) : setter.value;
        setter.state->Setters.push_back(foundation::make<Setter>(name, owner, hstring(property), value, false));
    }
    m_setters.clear();
    for (const auto& reference : m_themeReferences) follow_theme(reference.target, reference.member, reference.key, reference.element);
    m_themeReferences.clear();
}

// ---- connections ----

std::shared_ptr<IComponentConnector> builder::connect(const std::shared_ptr<IComponentConnector>& component)
{
    struct open_scope {
        std::shared_ptr<IComponentConnector> connector;
        std::size_t end;
    };
    std::vector<open_scope> open;
    std::shared_ptr<IComponentConnector> rootConnector;
    for (std::size_t i = 0; i < m_connected.size(); ++i) {
        const auto& c = m_connected[i];
        while (!open.empty() && open.back().end <= i) open.pop_back();
        const hstring context = u"Connection " + foundation::to_hstring(c.id) + u" (" + c.target->GetRuntimeClassName() + u"): ";
        guarded(c.line, context, [&] {
            component->Connect(c.id, c.target);
            if (!open.empty()) open.back().connector->Connect(c.id, c.target);
            if (auto bindings = component->GetBindingConnector(c.id, c.target)) {
                bindings->Connect(c.id, c.target);
                if (c.target == m_root) rootConnector = bindings;
                open.push_back({std::move(bindings), c.end});
            }
        });
    }
    return rootConnector;
}

// ---- types the loader handles itself ----

void register_loader_types()
{
    metadata::type_builder(ResourceDictionary::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(DataTemplate::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(VisualStateManager::class_name, u"");
    metadata::type_builder(VisualStateGroup::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(VisualState::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(Setter::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(AdaptiveTrigger::class_name, u"Microsoft.UI.Xaml.DependencyObject");
}

}  // namespace xaml::markup_detail
