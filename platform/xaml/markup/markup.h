#pragma once
// The markup loader: builds an element tree from a markup file into a component and hands the
// component its connected elements.
//
// Markup files are plain XML with the platform's element and property names. The default
// namespace holds the platform's types, "using:Ns" the types of namespace Ns, and the XAML
// namespace x: gives Name, ConnectionId, Key and Class.

#include "platform/foundation/object.h"
#include "platform/xaml/core/app_uri.h"
#include "platform/xaml/core/types.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace xaml {

// The code of a markup error that is not the failure of a call the loader made.
constexpr foundation::hresult E_XAMLPARSEFAILED = static_cast<foundation::hresult>(0x802B000A);

// The wrapper of a compiled-binding object (XamlBindings.h), which components keep.
class XamlBindings;

// Implemented by a component that takes the connected elements of its markup, and by the
// binding objects that receive the connected elements inside their scope.
class IComponentConnector {
public:
    virtual ~IComponentConnector() = default;
    // Receives the element that carries x:ConnectionId="connectionId".
    virtual void Connect(std::int32_t connectionId, const IInspectable& target) = 0;
    // A binding object for the element, or null. A binding object receives Connect for this
    // element and for the connected elements below it.
    virtual std::shared_ptr<IComponentConnector> GetBindingConnector(std::int32_t connectionId,
                                                                     const IInspectable& target) = 0;
};

// Loads "ms-appx:///Name.xaml" into the component: the root element's attributes and content
// are set on the component itself, whose type must be the root's type or derive from it. Then,
// in document order, every element with a connection id goes to the component's Connect and
// GetBindingConnector (when the component is an IComponentConnector).
//
// Any failure is an hresult_error whose message starts with the file's path and the line; a
// failure of a call the loader made keeps that call's code (a Connect that rejects an element's
// type fails with no-interface), every other markup error has the code E_XAMLPARSEFAILED.
void load_component(const IInspectable& component, const hstring& uri);

}  // namespace xaml
