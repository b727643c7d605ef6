#pragma once
// Returns a page to its visual state "Normal" when a busy operation leaves the scope that
// made it, however it leaves: at the end, by an early return or by an exception.

#include "platform/xaml/controls/Control.h"

namespace Zintrel {

class VisualStateGuard {
public:
    // Armed. The guard does not keep the page alive; a page that is gone is left alone.
    explicit VisualStateGuard(const std::shared_ptr<xaml::Control>& page) noexcept : m_page(page) {}
    // The moved-from guard is disarmed, so only one of the two restores the page.
    VisualStateGuard(VisualStateGuard&& other) noexcept : m_page(std::move(other.m_page)), m_armed(other.m_armed)
    {
        other.m_armed = false;
    }
    VisualStateGuard(const VisualStateGuard&) = delete;
    VisualStateGuard& operator=(const VisualStateGuard&) = delete;
    VisualStateGuard& operator=(VisualStateGuard&&) = delete;
    // Never throws: a failing state change leaves the page as it is.
    ~VisualStateGuard();

private:
    std::weak_ptr<xaml::Control> m_page;
    bool m_armed = true;
};

}  // namespace Zintrel
