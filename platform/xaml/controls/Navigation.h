#pragma once
// Navigation: the navigation pane with its menu and search box, and the frame that shows pages.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Panel.h"
#include "platform/xaml/controls/TextBlock.h"

class QLineEdit;
class QShortcut;

namespace xaml {

class NavigationView;

// An icon drawn from a glyph of the text font.
class FontIcon final : public FrameworkElement {
public:
    FontIcon();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.FontIcon"; }
    static const DependencyProperty& GlyphProperty();
    hstring Glyph() const { return get_value<hstring>(*this, GlyphProperty()); }
    void Glyph(const hstring& value) { set_value(*this, GlyphProperty(), value); }

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

class NavigationTransitionInfo : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Media.Animation.NavigationTransitionInfo"; }
};

class NavigationViewItem final : public ContentControl {
public:
    NavigationViewItem();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.NavigationViewItem"; }

    static const DependencyProperty& IconProperty();
    std::shared_ptr<FontIcon> Icon() const { return std::dynamic_pointer_cast<FontIcon>(GetValue(IconProperty())); }
    void Icon(const std::shared_ptr<FontIcon>& value) { SetValue(IconProperty(), value); }
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

enum class AutoSuggestionBoxTextChangeReason { UserInput = 0, ProgrammaticChange = 1, SuggestionChosen = 2 };

class AutoSuggestBoxTextChangedEventArgs {
public:
    explicit AutoSuggestBoxTextChangedEventArgs(AutoSuggestionBoxTextChangeReason reason) : m_reason(reason) {}
    AutoSuggestionBoxTextChangeReason Reason() const noexcept { return m_reason; }

private:
    AutoSuggestionBoxTextChangeReason m_reason;
};

class AutoSuggestBox final : public Control {
public:
    AutoSuggestBox();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.AutoSuggestBox"; }

    static const DependencyProperty& TextProperty();
    static const DependencyProperty& PlaceholderTextProperty();
    hstring Text() const { return get_value<hstring>(*this, TextProperty()); }
    void Text(const hstring& value) { set_value(*this, TextProperty(), value); }
    hstring PlaceholderText() const { return get_value<hstring>(*this, PlaceholderTextProperty()); }
    void PlaceholderText(const hstring& value) { set_value(*this, PlaceholderTextProperty(), value); }

    using TextChangedHandler = foundation::TypedEventHandler<std::shared_ptr<AutoSuggestBox>, AutoSuggestBoxTextChangedEventArgs>;
    XAML_EVENT(TextChanged, TextChangedHandler)

    QLineEdit* editor() const noexcept { return m_edit; }

protected:
    foundation::event<TextChangedHandler> m_TextChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override;

private:
    QLineEdit* m_edit = nullptr;
    bool m_typing = false;
};

class NavigationView final : public ContentControl {
public:
    NavigationView();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.NavigationView"; }

    static const DependencyProperty& SelectedItemProperty();
    static const DependencyProperty& IsPaneOpenProperty();
    static const DependencyProperty& IsPaneToggleButtonVisibleProperty();
    static const DependencyProperty& HeaderProperty();
    static const DependencyProperty& AutoSuggestBoxProperty();
    static const DependencyProperty& PaneFooterProperty();
    static const DependencyProperty& OpenPaneLengthProperty();
    static const DependencyProperty& CompactModeThresholdWidthProperty();
    static const DependencyProperty& ExpandedModeThresholdWidthProperty();

    // Menu entries: NavigationViewItem elements.
    const std::shared_ptr<foundation::IObservableVector<IInspectable>>& MenuItems() const noexcept { return m_menuItems; }
    IInspectable SelectedItem() const { return GetValue(SelectedItemProperty()); }
    void SelectedItem(const IInspectable& value) { SetValue(SelectedItemProperty(), value); }
    bool IsPaneOpen() const { return get_value<bool>(*this, IsPaneOpenProperty()); }
    void IsPaneOpen(bool value) { set_value(*this, IsPaneOpenProperty(), value); }
    bool IsPaneToggleButtonVisible() const { return get_value<bool>(*this, IsPaneToggleButtonVisibleProperty()); }
    void IsPaneToggleButtonVisible(bool value) { set_value(*this, IsPaneToggleButtonVisibleProperty(), value); }
    IInspectable Header() const { return GetValue(HeaderProperty()); }
    void Header(const IInspectable& value) { SetValue(HeaderProperty(), value); }
    std::shared_ptr<xaml::AutoSuggestBox> AutoSuggestBox() const
    {
        return std::dynamic_pointer_cast<xaml::AutoSuggestBox>(GetValue(AutoSuggestBoxProperty()));
    }
    void AutoSuggestBox(const std::shared_ptr<xaml::AutoSuggestBox>& value) { SetValue(AutoSuggestBoxProperty(), value); }
    double OpenPaneLength() const { return get_value<double>(*this, OpenPaneLengthProperty()); }
    void OpenPaneLength(double value) { set_value(*this, OpenPaneLengthProperty(), value); }
    // The view's width from which the pane shows as a rail of icons (641), and from which it
    // shows beside the content (1008); the view follows its width as it changes.
    double CompactModeThresholdWidth() const { return get_value<double>(*this, CompactModeThresholdWidthProperty()); }
    void CompactModeThresholdWidth(double value) { set_value(*this, CompactModeThresholdWidthProperty(), value); }
    double ExpandedModeThresholdWidth() const { return get_value<double>(*this, ExpandedModeThresholdWidthProperty()); }
    void ExpandedModeThresholdWidth(double value) { set_value(*this, ExpandedModeThresholdWidthProperty(), value); }
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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Frame"; }

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
