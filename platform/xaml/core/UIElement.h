#pragma once
// UIElement and FrameworkElement: every element owns one Qt widget and its children.
//
// The element tree owns its elements; an element owns its widget. Elements lay themselves out
// through the panel layouts of their parents (margins, alignment, explicit and limiting sizes).

#include "platform/datatransfer/DataPackageView.h"
#include "platform/xaml/core/dependency.h"
#include "platform/xaml/core/element_macros.h"
#include "platform/xaml/core/resources.h"

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class QLayout;

namespace xaml {

class UIElement;
class FrameworkElement;
class XamlRoot;
class element_events;

using RoutedEventHandler = foundation::delegate<IInspectable, RoutedEventArgs>;

enum class DataPackageOperation { None = 0, Copy = 1, Move = 2, Link = 4 };

class DragEventArgs : public RoutedEventArgs {
public:
    explicit DragEventArgs(std::shared_ptr<datatransfer::DataPackageView> view) : m_view(std::move(view)) {}
    const std::shared_ptr<datatransfer::DataPackageView>& DataView() const noexcept { return m_view; }
    DataPackageOperation AcceptedOperation() const noexcept { return m_accepted; }
    void AcceptedOperation(DataPackageOperation value) noexcept { m_accepted = value; }
    bool Handled() const noexcept { return m_handled; }
    void Handled(bool value) noexcept { m_handled = value; }

private:
    std::shared_ptr<datatransfer::DataPackageView> m_view;
    DataPackageOperation m_accepted = DataPackageOperation::None;
    bool m_handled = false;
};

using DragEventHandler = foundation::delegate<IInspectable, std::shared_ptr<DragEventArgs>>;

struct SizeChangedEventArgs : RoutedEventArgs {
    foundation::Size PreviousSize;
    foundation::Size NewSize;
};
using SizeChangedEventHandler = foundation::delegate<IInspectable, SizeChangedEventArgs>;

class DataContextChangedEventArgs {
public:
    explicit DataContextChangedEventArgs(IInspectable value) : m_value(std::move(value)) {}
    const IInspectable& NewValue() const noexcept { return m_value; }

private:
    IInspectable m_value;
};
using DataContextChangedEventHandler =
    foundation::TypedEventHandler<std::shared_ptr<FrameworkElement>, DataContextChangedEventArgs>;
using ThemeChangedEventHandler = foundation::TypedEventHandler<std::shared_ptr<FrameworkElement>, IInspectable>;
using LoadingEventHandler = foundation::TypedEventHandler<std::shared_ptr<FrameworkElement>, IInspectable>;

// Menus and other pop-ups attached to an element.
class FlyoutBase : public DependencyObject {
public:
    // Opens at a point in the target's coordinates.
    virtual void ShowAt(const std::shared_ptr<FrameworkElement>& target, foundation::Point position) = 0;
    // A key pressed inside the element that owns this flyout: runs the item whose keyboard
    // accelerator it is, as if the item had been chosen; false when no item has it.
    virtual bool invoke_accelerator(int /*qtKey*/, int /*qtModifiers*/) { return false; }
    // Opened from the keyboard, the flyout puts the keyboard on its first item, where a screen
    // reader then reads it.
    virtual void focus_first_item() {}
};

class UIElement : public DependencyObject {
public:
    ~UIElement() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.UIElement")

    XAML_PROPERTY(xaml::Visibility, Visibility)
    XAML_PROPERTY(bool, AllowDrop)
    XAML_PROPERTY(std::shared_ptr<FlyoutBase>, ContextFlyout)

    // Moves the keyboard focus here; false when the element cannot take it.
    bool Focus(xaml::FocusState state);
    xaml::FocusState FocusState() const noexcept { return m_focusState; }

    std::shared_ptr<xaml::XamlRoot> XamlRoot() const;

    XAML_EVENT(GotFocus, RoutedEventHandler)
    XAML_EVENT(LostFocus, RoutedEventHandler)
    XAML_EVENT(DragOver, DragEventHandler)
    XAML_EVENT(Drop, DragEventHandler)

    // The Qt side: the widget this element owns, and the one its children live in.
    QWidget* widget() const noexcept { return m_widget; }
    std::shared_ptr<UIElement> visual_parent() const { return m_parent.lock(); }
    const std::vector<std::shared_ptr<UIElement>>& visual_children() const noexcept { return m_children; }

    // The size this element asks of its parent's layout, margins included.
    virtual foundation::Size desired_size() const;
    // Places the element in a slot of its parent, in the parent's coordinates.
    virtual void arrange_in(double x, double y, double width, double height);
    // Tells the layouts above that this element's size may have changed.
    void invalidate_layout();

    bool is_live() const noexcept { return m_live; }

protected:
    foundation::event<RoutedEventHandler> m_GotFocus;
    foundation::event<RoutedEventHandler> m_LostFocus;
    foundation::event<DragEventHandler> m_DragOver;
    foundation::event<DragEventHandler> m_Drop;

    UIElement() = default;
    // Takes ownership of the widget; call once, from the constructor.
    void set_widget(QWidget* widget);
    // The widget that hosts child widgets: the element's own unless a subclass says otherwise.
    virtual QWidget* children_host() const { return m_widget; }
    // The widget that takes the keyboard focus.
    virtual QWidget* focus_widget() const { return m_widget; }
    // A group that Tab enters and leaves as one stop, at its focus widget; arrows move inside.
    virtual bool is_tab_group() const { return false; }

    // Visual children: the owner keeps the order; layouts read it.
    void attach_child(const std::shared_ptr<UIElement>& child, std::size_t index);
    void attach_child(const std::shared_ptr<UIElement>& child) { attach_child(child, m_children.size()); }
    void detach_child(const std::shared_ptr<UIElement>& child);

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // An element only refers to its ancestors (a data context that is its page): they own it.
    bool holds_weakly(const DependencyProperty& property, const IInspectable& value) const override;

    // Layout of the children: what they ask for together, and placing them in the host's area
    // (coordinates of children_host()). By default every child fills the whole area.
    virtual foundation::Size measure_override() const;
    virtual void arrange_override(double x, double y, double width, double height);
    // Lets a child widget inside this element's widget report focus, drags and menus too.
    void track_input_of(QWidget* inner);

    // Entering and leaving a shown tree; FrameworkElement raises its lifecycle events here.
    virtual void on_loading() {}
    virtual void on_loaded() {}
    virtual void on_unloaded() {}
    virtual void on_parent_changed() {}

private:
    friend class element_events;
    friend class XamlRoot;
    friend class element_layout;
    void set_live(bool live);
    void apply_visibility();
    void raise_drag(bool drop, std::shared_ptr<DragEventArgs> args);

    QWidget* m_widget = nullptr;
    element_events* m_events = nullptr;
    std::weak_ptr<UIElement> m_parent;
    std::weak_ptr<xaml::XamlRoot> m_root;
    std::vector<std::shared_ptr<UIElement>> m_children;
    xaml::FocusState m_focusState = xaml::FocusState::Unfocused;
    bool m_live = false;
};

class FrameworkElement : public UIElement {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.FrameworkElement")

    XAML_PROPERTY(hstring, Name)
    XAML_PROPERTY(IInspectable, Tag)
    // Inherited: the nearest data context set on this element or above it.
    static inline constinit property_slot DataContextProperty{u"DataContext"};
    IInspectable DataContext() const;
    void DataContext(const IInspectable& value) { SetValue(DataContextProperty(), value); }

    XAML_PROPERTY(double, Width)
    XAML_PROPERTY(double, Height)
    XAML_PROPERTY(double, MinWidth)
    XAML_PROPERTY(double, MaxWidth)
    XAML_PROPERTY(double, MinHeight)
    XAML_PROPERTY(double, MaxHeight)
    XAML_PROPERTY(Thickness, Margin)
    XAML_PROPERTY(xaml::HorizontalAlignment, HorizontalAlignment)
    XAML_PROPERTY(xaml::VerticalAlignment, VerticalAlignment)
    XAML_PROPERTY(ElementTheme, RequestedTheme)

    std::shared_ptr<FrameworkElement> Parent() const;
    bool IsLoaded() const noexcept { return m_loaded; }
    double ActualWidth() const;
    double ActualHeight() const;
    // The requested theme here or above, else the desktop's.
    ElementTheme ActualTheme() const;

    std::shared_ptr<ResourceDictionary> Resources() const;
    void Resources(std::shared_ptr<ResourceDictionary> value) { m_resources = std::move(value); }
    // A resource by key from this element up to the application; null when none has it.
    IInspectable find_resource(const hstring& key) const;
    // The element of this name in this element's subtree.
    std::shared_ptr<FrameworkElement> FindName(const hstring& name) const;

    XAML_EVENT(Loading, LoadingEventHandler)
    XAML_EVENT(Loaded, RoutedEventHandler)
    XAML_EVENT(Unloaded, RoutedEventHandler)
    XAML_EVENT(SizeChanged, SizeChangedEventHandler)
    XAML_EVENT(DataContextChanged, DataContextChangedEventHandler)
    XAML_EVENT(ActualThemeChanged, ThemeChangedEventHandler)

    foundation::Size desired_size() const override;
    void arrange_in(double x, double y, double width, double height) override;

    // Called by the widget layer when the element's size changed. SizeChanged follows once the
    // layout pass is over, with the final size.
    void raise_size_changed(foundation::Size previous, foundation::Size now);
    // Re-evaluates the theme of this subtree (the desktop palette changed).
    void refresh_theme();

protected:
    foundation::event<LoadingEventHandler> m_Loading;
    foundation::event<RoutedEventHandler> m_Loaded;
    foundation::event<RoutedEventHandler> m_Unloaded;
    foundation::event<SizeChangedEventHandler> m_SizeChanged;
    foundation::event<DataContextChangedEventHandler> m_DataContextChanged;
    foundation::event<ThemeChangedEventHandler> m_ActualThemeChanged;

    FrameworkElement() = default;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    void on_loading() override;
    void on_loaded() override;
    void on_unloaded() override;
    void on_parent_changed() override;
    // The theme of this element's widgets changed.
    virtual void on_theme_changed(ElementTheme) {}

private:
    void data_context_changed();
    void theme_changed(ElementTheme before);

    mutable std::shared_ptr<ResourceDictionary> m_resources;
    std::optional<foundation::Size> m_sizeBefore;  // a SizeChanged is due
    bool m_loaded = false;
    ElementTheme m_lastTheme = ElementTheme::Default;
};

// The desktop's theme: dark when its palette's window colour is dark.
ElementTheme desktop_theme();

struct VisualTreeHelper {
    static IInspectable GetParent(const IInspectable& element);
    static std::uint32_t GetChildrenCount(const IInspectable& element);
    static IInspectable GetChild(const IInspectable& element, std::uint32_t index);
};

}  // namespace xaml
