#pragma once
// Support for compiled-binding objects: the operations every binding object has, a base that
// owns the listeners on sources and elements, and the wrapper that the markup loader and lists
// hold.
//
// A binding object of a page root or of an item template derives from
// ReferenceTypeXamlBindings<DataRoot>, implements UpdateFrom and Connect, and is wrapped in an
// XamlBindings, which the component's GetBindingConnector returns.

#include "platform/foundation/notify.h"
#include "platform/xaml/markup/DataTemplate.h"

#include <functional>
#include <map>

namespace xaml {

class XamlBindings;

// The notifications that the tracking base passes on to its binding object.
class IXamlBindingTracking {
public:
    virtual ~IXamlBindingTracking() = default;
    // A source raised PropertyChanged.
    virtual void PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args) = 0;
    // A tracked dependency property of an element changed.
    virtual void DependencyPropertyChanged(const std::shared_ptr<DependencyObject>& sender,
                                           const DependencyProperty& property) = 0;
};

class IXamlBindings {
public:
    virtual ~IXamlBindings() = default;
    // False until the first full update has finished, and again after StopTracking.
    virtual bool IsInitialized() const = 0;
    // A full pass over the data root: every binding, one-time ones included.
    virtual void Update() = 0;
    // Takes a new data root; false (keeping the old one) for null.
    virtual bool SetDataRoot(const IInspectable& data) = 0;
    // Releases every listener and marks the object not initialized.
    virtual void StopTracking() = 0;
    // Receives an element of its scope by connection id.
    virtual void Connect(std::int32_t connectionId, const IInspectable& target) = 0;
    // The item element leaves its item.
    virtual void Recycle() = 0;
    // Hands an item over for one phase (see ReferenceTypeXamlBindings).
    virtual void ProcessBindings(const IInspectable& item, std::int32_t itemIndex, std::int32_t phase,
                                 std::int32_t& nextPhase) = 0;
    // Follows the element's data context: each new non-null one becomes the data root, then a
    // full update runs.
    virtual void SubscribeForDataContextChanged(const std::shared_ptr<FrameworkElement>& element,
                                                const std::shared_ptr<XamlBindings>& handler) = 0;
    // Fails with invalid-argument: no element of ours is loaded on demand.
    virtual void DisconnectUnloadedObject(std::int32_t connectionId) = 0;
    virtual void ReleaseAllListeners() = 0;
};

// Registers and releases the listeners of one binding object: PropertyChanged of sources and
// property-changed callbacks of elements, each in a numbered slot. Sources and elements are held
// weakly; the handlers do nothing once the binding object is gone.
class XamlBindingTrackingBase {
public:
    explicit XamlBindingTrackingBase(IXamlBindingTracking* listener);
    ~XamlBindingTrackingBase();
    XamlBindingTrackingBase(const XamlBindingTrackingBase&) = delete;
    XamlBindingTrackingBase& operator=(const XamlBindingTrackingBase&) = delete;

    // Listens to the source's PropertyChanged in the slot. The same source again changes
    // nothing; another one, or null, first releases the slot's previous subscription. A source
    // that raises no notifications is not listened to.
    void UpdatePropertyChangedListener(std::int32_t slot, const IInspectable& source);
    // The same for a dependency property of an element.
    void UpdateDependencyPropertyChangedListener(std::int32_t slot, const std::shared_ptr<DependencyObject>& element,
                                                 const DependencyProperty& property);
    void ReleaseAllListeners();

private:
    struct shared_state {
        IXamlBindingTracking* listener;
    };
    struct slot_state {
        std::weak_ptr<foundation::Object> source;
        const void* identity = nullptr;  // the source's address, to compare without locking
        foundation::event_token token;
        DependencyProperty property;
        std::int64_t callback = 0;
    };
    void release(slot_state& slot);

    std::shared_ptr<shared_state> m_state;
    std::map<std::int32_t, slot_state> m_slots;
};

class XamlBindingsBase : public IXamlBindings, protected IXamlBindingTracking {
public:
    ~XamlBindingsBase() override;

    bool IsInitialized() const override { return m_initialized; }
    void StopTracking() override;
    void Recycle() override { ReleaseAllListeners(); }
    void SubscribeForDataContextChanged(const std::shared_ptr<FrameworkElement>& element,
                                        const std::shared_ptr<XamlBindings>& handler) override;
    void DisconnectUnloadedObject(std::int32_t connectionId) override;
    void ReleaseAllListeners() override { m_tracking.ReleaseAllListeners(); }

protected:
    XamlBindingsBase();

    // Notifications of tracked sources and elements; by default they only run the due bindings.
    void PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args) override;
    void DependencyPropertyChanged(const std::shared_ptr<DependencyObject>& sender, const DependencyProperty& property) override;

    XamlBindingTrackingBase& tracking() noexcept { return m_tracking; }
    // Function bindings due in the current pass, each key once whatever marks it again.
    void mark_due(const hstring& key, std::function<void()> evaluate);
    // Takes the due set (leaving an empty one) and evaluates each binding once, in key order.
    void run_due();
    void drop_data_context_subscription();

    bool m_initialized = false;

private:
    XamlBindingTrackingBase m_tracking;
    std::map<hstring, std::function<void()>> m_due;
    std::weak_ptr<FrameworkElement> m_dataContextSource;
    foundation::event_token m_dataContextToken;
};

// A binding object whose data root is an object of type T, held weakly.
template <class T>
class ReferenceTypeXamlBindings : public XamlBindingsBase {
public:
    // Passes of UpdateFrom: a full update has not_phased set; the pass of phase p has bit p set.
    static constexpr std::uint32_t not_phased = 1u << 31;

    void Update() override
    {
        UpdateFrom(DataRoot(), not_phased);
        m_initialized = true;
    }

    bool SetDataRoot(const IInspectable& data) override
    {
        if (!data) return false;
        m_root = foundation::as<T>(data);
        return true;
    }

    // In phase 0 the item becomes the data root, the data-context subscription is dropped and
    // the object counts as initialized; then the bindings of the phase are evaluated.
    void ProcessBindings(const IInspectable& item, std::int32_t, std::int32_t phase, std::int32_t& nextPhase) override
    {
        nextPhase = -1;
        if (phase < 0 || phase > 30) return;
        if (phase == 0) {
            SetDataRoot(item);
            drop_data_context_subscription();
            m_initialized = true;
        }
        UpdateFrom(DataRoot(), 1u << phase);
    }

protected:
    std::shared_ptr<T> DataRoot() const { return m_root.lock(); }
    // Evaluates the bindings of the pass from the data root (which may be null).
    virtual void UpdateFrom(const std::shared_ptr<T>& root, std::uint32_t phase) = 0;

private:
    std::weak_ptr<T> m_root;
};

// The wrapper around a binding object: the connector the loader hands the elements of its scope
// to, and the data-template component that lists drive.
class XamlBindings final : public foundation::Object, public IComponentConnector, public IDataTemplateComponent {
public:
    explicit XamlBindings(std::unique_ptr<IXamlBindings> bindings);
    hstring GetRuntimeClassName() const override { return u"XamlBindings"; }

    IXamlBindings& bindings() const noexcept { return *m_bindings; }

    // A full update unless the first one has already run.
    void Initialize();
    void Update() { m_bindings->Update(); }
    void StopTracking() { m_bindings->StopTracking(); }
    bool SetDataRoot(const IInspectable& data) { return m_bindings->SetDataRoot(data); }
    // Runs Initialize whenever the element raises Loading.
    void InitializeOnLoading(const std::shared_ptr<FrameworkElement>& element);
    void SubscribeForDataContextChanged(const std::shared_ptr<FrameworkElement>& element);
    void OnDataContextChanged(const std::shared_ptr<FrameworkElement>& sender, const DataContextChangedEventArgs& args);
    void DisconnectUnloadedObject(std::int32_t connectionId) { m_bindings->DisconnectUnloadedObject(connectionId); }

    void Connect(std::int32_t connectionId, const IInspectable& target) override;
    std::shared_ptr<IComponentConnector> GetBindingConnector(std::int32_t, const IInspectable&) override { return nullptr; }

    void Recycle() override { m_bindings->Recycle(); }
    void ProcessBindings(const IInspectable& item, std::int32_t itemIndex, std::int32_t phase,
                         std::int32_t& nextPhase) override;

private:
    std::unique_ptr<IXamlBindings> m_bindings;
};

}  // namespace xaml
