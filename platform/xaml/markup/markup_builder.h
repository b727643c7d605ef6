#pragma once
// Builds objects from parsed markup: types through the metadata registry, attributes, property
// elements, content, resources, visual states and data templates; then hands the connected
// elements to a component. Internal to the layer. Errors are thrown as markup_error.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/markup/markup_nodes.h"
#include "platform/xaml/core/metadata.h"

#include <vector>

namespace xaml {
class AdaptiveTrigger;
class VisualState;
class VisualStateGroup;
}  // namespace xaml

namespace xaml::markup_detail {

// What a data template needs to build its content again.
struct template_source {
    std::shared_ptr<const document> doc;
    node_ptr content;
    std::weak_ptr<foundation::Object> owner;                      // the component whose markup holds it
    std::vector<std::weak_ptr<ResourceDictionary>> dictionaries;  // around its definition, innermost first
};

class builder {
public:
    // `owner` receives the connections of data templates made here; resources that the markup's
    // own dictionaries and `outer` lack are looked up from `context` upwards (else in the
    // application's resources).
    builder(std::shared_ptr<const document> doc, std::weak_ptr<foundation::Object> owner,
            std::shared_ptr<FrameworkElement> context, std::vector<std::weak_ptr<ResourceDictionary>> outer = {});

    // Sets the root element's attributes and content on an existing component.
    void build_into(const IInspectable& component, const node& root);
    // Builds a new object of the root element.
    IInspectable build(const node& root);
    // Resolves the visual-state setters, whose targets may follow them in the document, and
    // starts following the theme for theme resources, now that the tree is whole.
    void finish();
    // Hands every connected element to the component and to the binding connector of its scope;
    // returns the binding connector of the root element, if any.
    std::shared_ptr<IComponentConnector> connect(const std::shared_ptr<IComponentConnector>& component);

private:
    struct scope {
        IInspectable object;
        std::shared_ptr<ResourceDictionary> dictionary;
    };
    // The object being built is in scope until its element ends.
    class scope_entry {
    public:
        scope_entry(std::vector<scope>& scopes, scope entered) : m_scopes(scopes) { m_scopes.push_back(std::move(entered)); }
        ~scope_entry() { m_scopes.pop_back(); }
        scope_entry(const scope_entry&) = delete;
        scope_entry& operator=(const scope_entry&) = delete;

    private:
        std::vector<scope>& m_scopes;
    };
    struct connection {
        std::int32_t id;
        IInspectable target;
        int line;
        std::size_t end;  // index of the first connection after the element's subtree
    };
    struct theme_reference {
        std::weak_ptr<foundation::Object> target;
        metadata::member_info member;
        hstring key;
        std::shared_ptr<FrameworkElement> element;  // whose theme changes look the key up again
    };
    struct pending_setter {
        std::shared_ptr<VisualState> state;
        int line;
        hstring target;
        IInspectable value;
        hstring text;
        bool is_text = false;
        std::shared_ptr<const std::map<hstring, hstring>> namespaces;
    };

    const metadata::type_info& resolve_type(const hstring& ns, std::u16string_view name, int line) const;
    const metadata::type_info& resolve_qualified(const node& at, std::u16string_view qualified, int line) const;
    IInspectable build_object(const node& n);
    IInspectable build_primitive(const node& n);
    void populate(const IInspectable& object, const metadata::type_info& type, const node& n);
    void apply_attribute(const IInspectable& object, const metadata::type_info& type, const node& n, const attribute& a);
    void apply_property_element(const IInspectable& object, const metadata::type_info& type, const node& p);
    void apply_content(const IInspectable& object, const metadata::type_info& type, const std::vector<content_item>& items);
    void name_object(const IInspectable& object, const metadata::type_info& type, const attribute& a);

    // An attribute's value: a markup extension, or text converted to the member's type.
    IInspectable attribute_value(const node& n, const metadata::member_info& member, const attribute& a, hstring* themeKey);
    bool extension_value(const node& n, std::u16string_view text, int line, IInspectable& value, hstring* themeKey);
    IInspectable convert(const metadata::member_info& member, std::u16string_view text, int line) const;
    void set_member(const IInspectable& object, const metadata::member_info& member, const IInspectable& value, int line);

    IInspectable find_resource(const hstring& key, int line) const;
    ElementTheme current_theme() const;
    void track_theme(const IInspectable& object, const metadata::member_info& member, const hstring& key);

    void assign_resources(const IInspectable& object, const metadata::type_info& type, const node& p);
    std::shared_ptr<ResourceDictionary> build_dictionary(const node& n);
    void fill_dictionary(const std::shared_ptr<ResourceDictionary>& dictionary, const node& n);
    IInspectable make_template(const node& n);

    void build_visual_state_groups(const IInspectable& object, const node& p);
    void add_state(VisualStateGroup& group, const node& n);
    std::shared_ptr<AdaptiveTrigger> adaptive_trigger(const node& n) const;
    void add_setter(const std::shared_ptr<VisualState>& state, const node& n);
    void expect_type(const node& n, std::u16string_view fullName) const;
    hstring state_name(const node& n) const;

    std::shared_ptr<const document> m_doc;
    std::weak_ptr<foundation::Object> m_owner;
    std::shared_ptr<FrameworkElement> m_context;
    std::vector<std::weak_ptr<ResourceDictionary>> m_outer;
    IInspectable m_root;
    std::vector<scope> m_scopes;
    std::vector<connection> m_connected;
    std::map<hstring, IInspectable> m_names;
    std::vector<pending_setter> m_setters;
    std::vector<theme_reference> m_themeReferences;
};

}  // namespace xaml::markup_detail
