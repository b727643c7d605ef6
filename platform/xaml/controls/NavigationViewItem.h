#pragma once
// NavigationViewItem: an entry of the navigation pane's menu.

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/FontIcon.h"

namespace xaml {

class NavigationView;

class NavigationViewItem final : public ContentControl {
public:
    NavigationViewItem();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.NavigationViewItem")

    XAML_PROPERTY(std::shared_ptr<FontIcon>, Icon)
    bool IsSelected() const noexcept { return m_selected; }

protected:
    void present_content(const IInspectable& before, const IInspectable& now) override;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class NavigationView;
    void set_selected(bool selected);
    void set_compact(bool compact);
    std::weak_ptr<NavigationView> m_owner;
    bool m_selected = false;
};

}  // namespace xaml
