#include "platform/xaml/markup/XamlBindings.h"

#include "platform/xaml/core/converters.h"

namespace xaml {

// ---- XamlBindingTrackingBase ----

XamlBindingTrackingBase::XamlBindingTrackingBase(IXamlBindingTracking* listener)
    : m_state(std::make_shared<shared_state>(shared_state{listener}))
{
}

XamlBindingTrackingBase::~XamlBindingTrackingBase()
{
    m_state->listener = nullptr;
    ReleaseAllListeners();
}

void XamlBindingTrackingBase::release(slot_state& slot)
{
    if (auto source = slot.source.lock()) {
        if (slot.property) {
            if (auto element = std::dynamic_pointer_cast<DependencyObject>(source))
                element->UnregisterPropertyChangedCallback(slot.property, slot.callback);
        } else if (auto notifier = std::dynamic_pointer_cast<foundation::INotifyPropertyChanged>(source)) {
            notifier->PropertyChanged(slot.token);
        }
    }
    slot = {};
}

void XamlBindingTrackingBase::UpdatePropertyChangedListener(std::int32_t slot, const IInspectable& source)
{
    auto& entry = m_slots[slot];
    if (entry.identity == source.get() && !entry.property && (source ? !entry.source.expired() : true)) return;
    release(entry);
    auto notifier = std::dynamic_pointer_cast<foundation::INotifyPropertyChanged>(source);
    if (!notifier) return;
    entry.source = source;
    entry.identity = source.get();
    entry.token = notifier->PropertyChanged(
        [state = std::weak_ptr<shared_state>(m_state)](const IInspectable& sender, const foundation::PropertyChangedEventArgs& args) {
            if (auto strong = state.lock(); strong && strong->listener) strong->listener->PropertyChanged(sender, args);
        });
}

void XamlBindingTrackingBase::UpdateDependencyPropertyChangedListener(std::int32_t slot,
                                                                      const std::shared_ptr<DependencyObject>& element,
                                                                      const DependencyProperty& property)
{
    auto& entry = m_slots[slot];
    if (entry.identity == element.get() && entry.property == property && (element ? !entry.source.expired() : true)) return;
    release(entry);
    if (!element) return;
    entry.source = element;
    entry.identity = element.get();
    entry.property = property;
    entry.callback = element->RegisterPropertyChangedCallback(
        property, [state = std::weak_ptr<shared_state>(m_state)](const std::shared_ptr<DependencyObject>& sender,
                                                                 const DependencyProperty& changed) {
            if (auto strong = state.lock(); strong && strong->listener) strong->listener->DependencyPropertyChanged(sender, changed);
        });
}

void XamlBindingTrackingBase::ReleaseAllListeners()
{
    for (auto& [slot, entry] : m_slots) release(entry);
    m_slots.clear();
}

// ---- XamlBindingsBase ----

XamlBindingsBase::XamlBindingsBase() : m_tracking(this) {}

XamlBindingsBase::~XamlBindingsBase() { drop_data_context_subscription(); }

void XamlBindingsBase::StopTracking()
{
    ReleaseAllListeners();
    m_initialized = false;
}

void XamlBindingsBase::SubscribeForDataContextChanged(const std::shared_ptr<FrameworkElement>& element,
                                                      const std::shared_ptr<XamlBindings>& handler)
{
    drop_data_context_subscription();
    if (!element || !handler) return;
    m_dataContextSource = element;
    m_dataContextToken = element->DataContextChanged(DataContextChangedEventHandler(std::weak_ptr<XamlBindings>(handler), &XamlBindings::OnDataContextChanged));
}

void XamlBindingsBase::drop_data_context_subscription()
{
    if (auto element = m_dataContextSource.lock()) element->DataContextChanged(m_dataContextToken);
    m_dataContextSource.reset();
    m_dataContextToken = {};
}

void XamlBindingsBase::DisconnectUnloadedObject(std::int32_t)
{
    throw foundation::hresult_invalid_argument(u"No unloadable elements to disconnect.");
}

void XamlBindingsBase::PropertyChanged(const IInspectable&, const foundation::PropertyChangedEventArgs&) { run_due(); }

void XamlBindingsBase::DependencyPropertyChanged(const std::shared_ptr<DependencyObject>&, const DependencyProperty&)
{
    run_due();
}

void XamlBindingsBase::mark_due(const hstring& key, std::function<void()> evaluate)
{
    m_due.try_emplace(key, std::move(evaluate));
}

void XamlBindingsBase::run_due()
{
    const auto due = std::exchange(m_due, {});
    for (const auto& [key, evaluate] : due) evaluate();
}

// ---- XamlBindings ----

XamlBindings::XamlBindings(std::unique_ptr<IXamlBindings> bindings) : m_bindings(std::move(bindings))
{
    if (!m_bindings) throw foundation::hresult_invalid_argument(u"XamlBindings wraps a binding object");
}

void XamlBindings::Initialize()
{
    if (!m_bindings->IsInitialized()) m_bindings->Update();
}

void XamlBindings::InitializeOnLoading(const std::shared_ptr<FrameworkElement>& element)
{
    element->Loading([weak = get_weak(this)](const std::shared_ptr<FrameworkElement>&, const IInspectable&) {
        if (auto self = weak.lock()) self->Initialize();
    });
}

void XamlBindings::SubscribeForDataContextChanged(const std::shared_ptr<FrameworkElement>& element)
{
    m_bindings->SubscribeForDataContextChanged(element, get_strong(this));
}

void XamlBindings::OnDataContextChanged(const std::shared_ptr<FrameworkElement>&, const DataContextChangedEventArgs& args)
{
    if (m_bindings->SetDataRoot(args.NewValue())) m_bindings->Update();
}

void XamlBindings::Connect(std::int32_t connectionId, const IInspectable& target) { m_bindings->Connect(connectionId, target); }

void XamlBindings::ProcessBindings(const IInspectable& item, std::int32_t itemIndex, std::int32_t phase, std::int32_t& nextPhase)
{
    m_bindings->ProcessBindings(item, itemIndex, phase, nextPhase);
}

// ---- data-template components ----

namespace {

// Kept as a property of the element, so the element owns its binding object.
const DependencyProperty& data_template_component_property()
{
    static const auto property = DependencyProperty::RegisterAttached(
        u"DataTemplateComponent", {u"Object"}, {u"Microsoft.UI.Xaml.Markup.XamlBindingHelper", TypeKind::Metadata},
        PropertyMetadata(nullptr));
    return property;
}

}  // namespace

void XamlBindingHelper::SetDataTemplateComponent(const std::shared_ptr<DependencyObject>& element,
                                                 const std::shared_ptr<IDataTemplateComponent>& component)
{
    IInspectable value = foundation::as_inspectable(component);
    if (component && !value) throw foundation::hresult_invalid_argument(u"A data-template component must be a runtime object");
    foundation::as<DependencyObject>(element)->SetValue(data_template_component_property(), value);
}

std::shared_ptr<IDataTemplateComponent> XamlBindingHelper::GetDataTemplateComponent(const std::shared_ptr<DependencyObject>& element)
{
    if (!element) return nullptr;
    return std::dynamic_pointer_cast<IDataTemplateComponent>(element->GetValue(data_template_component_property()));
}

}  // namespace xaml
