#pragma once
// Property-change notification, raised by view models and read by bindings.

#include "platform/foundation/event.h"

namespace foundation {

class PropertyChangedEventArgs {
public:
    explicit PropertyChangedEventArgs(hstring name) : m_name(std::move(name)) {}
    // An empty name means every property changed.
    const hstring& PropertyName() const noexcept { return m_name; }

private:
    hstring m_name;
};

using PropertyChangedEventHandler = delegate<IInspectable, PropertyChangedEventArgs>;

class INotifyPropertyChanged {
public:
    virtual ~INotifyPropertyChanged() = default;
    virtual event_token PropertyChanged(PropertyChangedEventHandler handler) = 0;
    virtual void PropertyChanged(event_token token) = 0;
};

}  // namespace foundation
