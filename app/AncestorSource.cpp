#include "app/AncestorSource.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/core/metadata.h"

namespace Zintrel {

using foundation::hstring;
using foundation::IInspectable;
using xaml::DependencyObject;
using xaml::DependencyProperty;
using xaml::FrameworkElement;

AncestorSource::loaded_tokens& AncestorSource::waiting()
{
    // Never destroyed: the elements it may still hold must not outlive the UI at exit.
    static auto* tokens = new loaded_tokens;
    return *tokens;
}

const AncestorSource::loaded_tokens& AncestorSource::AncestorLoadedTokens() { return waiting(); }

void AncestorSource::OnAncestorTypeChanged(const std::shared_ptr<DependencyObject>& element,
                                           const xaml::DependencyPropertyChangedEventArgs&)
{
    // Markup sets the property on framework elements only; elsewhere it is just stored.
    const auto fe = std::dynamic_pointer_cast<FrameworkElement>(element);
    if (!fe) return;
    if (fe->IsLoaded()) {
        ApplyAncestorDataContext(fe);
        return;
    }
    // A handler that already waits applies the value current at Loaded.
    auto& tokens = waiting();
    std::erase_if(tokens, [](const auto& entry) { return entry.first.expired(); });
    if (tokens.contains(fe)) return;
    tokens.emplace(fe, fe->Loaded(xaml::RoutedEventHandler(&AncestorSource::OnAncestorTargetLoaded)));
}

void AncestorSource::OnAncestorTargetLoaded(const IInspectable& sender, const xaml::RoutedEventArgs&)
{
    const auto fe = foundation::as<FrameworkElement>(sender);
    auto& tokens = waiting();
    if (const auto found = tokens.find(fe); found != tokens.end()) {
        fe->Loaded(found->second);
        tokens.erase(found);
    }
    ApplyAncestorDataContext(fe);
}

void AncestorSource::ApplyAncestorDataContext(const std::shared_ptr<FrameworkElement>& element)
{
    // A value that is not a String (a cleared property) names no type and changes nothing;
    // failing here, inside a Loaded event, would keep the rest of the tree from its Loaded.
    const auto name = foundation::try_as<foundation::IReferenceValue<hstring>>(element->GetValue(AncestorTypeProperty()));
    if (!name) return;
    element->DataContext(FindAncestorOfType(element, name->Value()));
}

IInspectable AncestorSource::FindAncestorOfType(const IInspectable& element, const hstring& name)
{
    for (auto parent = xaml::VisualTreeHelper::GetParent(element); parent; parent = xaml::VisualTreeHelper::GetParent(parent))
        if (parent->GetRuntimeClassName() == name) return parent;
    return nullptr;
}

// A class without instances: its factory offers the statics only.
void register_ancestor_source()
{
    xaml::metadata::type_builder(AncestorSource::class_name, u"")
        .static_class()
        .attached(AncestorSource::AncestorTypeProperty, {u"Object"}, nullptr, &AncestorSource::OnAncestorTypeChanged);
}

namespace {

const bool registered = (register_ancestor_source(), true);

}  // namespace

}  // namespace Zintrel
