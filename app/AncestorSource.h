#pragma once
// Zintrel.AncestorSource: an element with the attached property AncestorType gets, once it is
// loaded, the nearest element above it whose runtime class name is the property's value as its
// DataContext (null when there is none). A static class.

#include "platform/xaml/core/UIElement.h"

#include <map>
#include <memory>

namespace Zintrel {

// Registers the class for markup and activation.
void register_ancestor_source();

class AncestorSource {
public:
    AncestorSource() = delete;

    static constexpr std::u16string_view class_name = u"Zintrel.AncestorSource";

    // A String: the ancestor's full runtime class name, compared exactly (case included).
    XAML_ATTACHED(foundation::hstring, AncestorType)

    // The elements that wait for their Loaded event to apply the property, with the token of
    // that Loaded handler: one per element. Held weakly: an element that goes before it is
    // loaded must not be kept alive by the wait.
    using loaded_tokens =
        std::map<std::weak_ptr<xaml::FrameworkElement>, foundation::event_token, std::owner_less<>>;
    static const loaded_tokens& AncestorLoadedTokens();

private:
    friend void register_ancestor_source();
    static loaded_tokens& waiting();
    static void OnAncestorTypeChanged(const std::shared_ptr<xaml::DependencyObject>& element,
                                      const xaml::DependencyPropertyChangedEventArgs& args);
    static void OnAncestorTargetLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    static void ApplyAncestorDataContext(const std::shared_ptr<xaml::FrameworkElement>& element);
    static foundation::IInspectable FindAncestorOfType(const foundation::IInspectable& element, const foundation::hstring& name);
};

}  // namespace Zintrel
