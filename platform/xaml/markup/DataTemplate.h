#pragma once
// DataTemplate: markup kept as a value and built again for every item of a list.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/markup/markup.h"

namespace xaml {

namespace markup_detail {
struct template_source;
}

// What a list drives for an item element made from a template: the element's compiled-binding
// object, registered on the element with XamlBindingHelper::SetDataTemplateComponent.
class IDataTemplateComponent {
public:
    virtual ~IDataTemplateComponent() = default;
    // The element leaves its item: stop listening to it.
    virtual void Recycle() = 0;
    // Evaluates the bindings of one phase for the item; nextPhase receives the next phase that
    // has bindings, or -1.
    virtual void ProcessBindings(const IInspectable& item, std::int32_t itemIndex, std::int32_t phase,
                                 std::int32_t& nextPhase) = 0;
};

class DataTemplate final : public DependencyObject {
public:
    // Made by the markup loader.
    explicit DataTemplate(std::shared_ptr<const markup_detail::template_source> source);
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.DataTemplate")

    struct instance {
        std::shared_ptr<UIElement> root;
        std::shared_ptr<IComponentConnector> connector;  // the binding object of the root, or null
    };

    // A new copy of the content. Its connected elements go, in document order, to the component
    // whose markup holds the template, as when that markup was loaded. Resources missing around
    // the template's definition are looked up from `host` upwards.
    instance instantiate(const std::shared_ptr<FrameworkElement>& host) const;

private:
    std::shared_ptr<const markup_detail::template_source> m_source;
};

}  // namespace xaml
