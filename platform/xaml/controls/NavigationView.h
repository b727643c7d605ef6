#pragma once
// NavigationView: the navigation pane with its menu and search box beside the content.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/AutoSuggestBox.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/controls/NavigationTransitionInfo.h"
#include "platform/xaml/controls/NavigationViewItem.h"
#include "platform/xaml/controls/StackPanel.h"

class QShortcut;

namespace xaml {

class NavigationViewSelectionChangedEventArgs {
public:
    NavigationViewSelectionChangedEventArgs(IInspectable item, std::shared_ptr<NavigationTransitionInfo> transition)
        : m_item(std::move(item)), m_transition(std::move(transition))
    {
    }
    const IInspectable& SelectedItem() const noexcept { return m_item; }
    std::shared_ptr<NavigationViewItem> SelectedItemContainer() const
    {
        return std::dynamic_pointer_cast<NavigationViewItem>(m_item);
    }
    const std::shared_ptr<NavigationTransitionInfo>& RecommendedNavigationTransitionInfo() const noexcept
    {
        return m_transition;
    }

private:
    IInspectable m_item;
    std::shared_ptr<NavigationTransitionInfo> m_transition;
};

// How the pane shows: only its toggle button, a rail of icons, or beside the content. Below
// Expanded, an opened pane lies over the content until it is dismissed.
enum class NavigationViewDisplayMode { Minimal = 0, Compact = 1, Expanded = 2 };

class NavigationView final : public ContentControl {
public:
    NavigationView();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.NavigationView")

    static inline constinit property_slot AutoSuggestBoxProperty{u"AutoSuggestBox"};
    static inline constinit property_slot PaneFooterProperty{u"PaneFooter"};

    // Menu entries: NavigationViewItem elements.
    const std::shared_ptr<foundation::IObservableVector<IInspectable>>& MenuItems() const noexcept { return m_menuItems; }
    XAML_PROPERTY(IInspectable, SelectedItem)
    XAML_PROPERTY(bool, IsPaneOpen)
    XAML_PROPERTY(bool, IsPaneToggleButtonVisible)
    XAML_PROPERTY(IInspectable, Header)
    std::shared_ptr<xaml::AutoSuggestBox> AutoSuggestBox() const
    {
        return std::dynamic_pointer_cast<xaml::AutoSuggestBox>(GetValue(AutoSuggestBoxProperty()));
    }
    void AutoSuggestBox(const std::shared_ptr<xaml::AutoSuggestBox>& value) { SetValue(AutoSuggestBoxProperty(), value); }
    XAML_PROPERTY(double, OpenPaneLength)
    // The view's width from which the pane shows as a rail of icons (641), and from which it
    // shows beside the content (1008); the view follows its width as it changes.
    XAML_PROPERTY(double, CompactModeThresholdWidth)
    XAML_PROPERTY(double, ExpandedModeThresholdWidth)
    NavigationViewDisplayMode DisplayMode() const noexcept { return m_displayMode; }

    using SelectionChangedHandler =
        foundation::TypedEventHandler<std::shared_ptr<NavigationView>, NavigationViewSelectionChangedEventArgs>;
    XAML_EVENT(SelectionChanged, SelectionChangedHandler)

    // The pane's open/close button, for tests and the layer.
    const std::shared_ptr<Button>& pane_toggle() const noexcept { return m_toggle; }

protected:
    foundation::event<SelectionChangedHandler> m_SelectionChanged;

    void present_content(const IInspectable& before, const IInspectable& now) override;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class NavigationViewItem;
    void item_invoked(const std::shared_ptr<NavigationViewItem>& item);
    void menu_changed();
    void follow_width(double width);
    void update_pane();
    void set_slot(std::shared_ptr<UIElement>& slot, const IInspectable& value, const std::shared_ptr<Panel>& host,
                  std::int32_t row);

    std::shared_ptr<foundation::IObservableVector<IInspectable>> m_menuItems;
    std::shared_ptr<Grid> m_layout;
    std::shared_ptr<Grid> m_pane;
    std::shared_ptr<StackPanel> m_menuPanel;
    std::shared_ptr<Button> m_toggle;
    std::shared_ptr<Grid> m_main;
    std::shared_ptr<FrameworkElement> m_dismiss;  // takes clicks beside a pane open over the content
    QShortcut* m_escape = nullptr;                // closes a pane open over the content
    NavigationViewDisplayMode m_displayMode = NavigationViewDisplayMode::Expanded;
    std::shared_ptr<UIElement> m_headerElement, m_contentElement, m_searchElement, m_footerElement;
};

}  // namespace xaml
