#pragma once
// Frame: shows one page at a time, made by its type name.

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/NavigationTransitionInfo.h"

namespace xaml {

class NavigationFailedEventArgs {
public:
    NavigationFailedEventArgs(foundation::hresult error, TypeName page) : m_error(error), m_page(std::move(page)) {}
    foundation::hresult Exception() const noexcept { return m_error; }
    const TypeName& SourcePageType() const noexcept { return m_page; }
    bool Handled() const noexcept { return m_handled; }
    void Handled(bool value) noexcept { m_handled = value; }

private:
    foundation::hresult m_error;
    TypeName m_page;
    bool m_handled = false;
};

class Frame final : public ContentControl {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Frame")

    // Creates a page of the type through the class registry and shows it in place of the
    // current one. A type that cannot be made into a page raises NavigationFailed and leaves the
    // frame as it was; the result says whether the frame navigated.
    bool Navigate(const TypeName& page, const IInspectable& parameter = nullptr,
                  const std::shared_ptr<NavigationTransitionInfo>& transition = nullptr);
    const TypeName& CurrentSourcePageType() const noexcept { return m_current; }

    using NavigationFailedHandler = foundation::delegate<IInspectable, std::shared_ptr<NavigationFailedEventArgs>>;
    XAML_EVENT(NavigationFailed, NavigationFailedHandler)

protected:
    foundation::event<NavigationFailedHandler> m_NavigationFailed;

private:
    TypeName m_current;
};

}  // namespace xaml
