#include "platform/xaml/core/UIElement.h"

#include "platform/xaml/core/AutomationProperties.h"
#include "platform/xaml/core/XamlRoot.h"
#include "platform/xaml/core/element_events.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/layout.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/panel_accessible.h"
#include "platform/xaml/core/qt_bridge.h"
#include "platform/xaml/core/registration.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace xaml {

using foundation::box_value;

namespace {

double nan() { return std::numeric_limits<double>::quiet_NaN(); }
double infinity() { return std::numeric_limits<double>::infinity(); }

}  // namespace

// ---- UIElement ----

UIElement::~UIElement()
{
    // Children keep their own widgets; take them out before this widget goes.
    for (const auto& child : m_children)
        if (QWidget* w = child->widget()) {
            w->hide();
            w->setParent(nullptr);
        }
    // The widget is no longer this element's while it goes.
    QWidget* widget = std::exchange(m_widget, nullptr);
    delete m_events;
    delete widget;
}

void UIElement::set_widget(QWidget* widget)
{
    install_panel_accessible();
    m_widget = widget;
    m_events = new element_events(this);
    widget->installEventFilter(m_events);
    widget->setProperty(element_property, QVariant::fromValue(static_cast<void*>(this)));
    QObject::connect(widget, &QObject::destroyed, m_events, [this] { m_widget = nullptr; });
}

void UIElement::track_input_of(QWidget* inner)
{
    if (inner && m_events) inner->installEventFilter(m_events);
}

foundation::Size UIElement::desired_size() const
{
    if (!m_widget || Visibility() == xaml::Visibility::Collapsed) return {};
    const QSize hint = m_widget->sizeHint().expandedTo(m_widget->minimumSizeHint()).expandedTo(QSize(0, 0));
    return {static_cast<float>(hint.width()), static_cast<float>(hint.height())};
}

void UIElement::arrange_in(double x, double y, double width, double height)
{
    if (m_widget) m_widget->setGeometry(static_cast<int>(x), static_cast<int>(y), to_pixels(width), to_pixels(height));
}

foundation::Size UIElement::measure_override() const
{
    foundation::Size size;
    for (const auto& child : m_children) {
        const auto s = child->desired_size();
        size.Width = std::max(size.Width, s.Width);
        size.Height = std::max(size.Height, s.Height);
    }
    return size;
}

void UIElement::arrange_override(double x, double y, double width, double height)
{
    for (const auto& child : m_children) child->arrange_in(x, y, width, height);
}

void UIElement::invalidate_layout()
{
    if (m_widget) m_widget->updateGeometry();
    if (QWidget* host = children_host(); host && host->layout()) host->layout()->invalidate();
    if (auto parent = m_parent.lock()) {
        if (QWidget* host = parent->children_host(); host && host->layout()) host->layout()->invalidate();
        parent->invalidate_layout();
    }
}

void UIElement::attach_child(const std::shared_ptr<UIElement>& child, std::size_t index)
{
    if (!child) throw foundation::hresult_invalid_argument(u"A child element is null");
    if (child->m_parent.lock() || child->m_root.lock())
        throw foundation::hresult_invalid_argument(u"The element already has a parent");
    QWidget* host = children_host();
    if (host && !host->layout()) {
        new element_layout(
            host,
            [this] {
                const auto s = measure_override();
                return QSize(to_pixels(s.Width), to_pixels(s.Height));
            },
            [this](const QRect& r) { arrange_override(r.x(), r.y(), r.width(), r.height()); });
    }
    index = std::min(index, m_children.size());
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(index), child);
    child->m_parent = std::static_pointer_cast<UIElement>(strong_self());
    if (host && child->widget()) {
        host->layout()->addWidget(child->widget());
        child->apply_visibility();
    }
    child->on_parent_changed();
    if (m_live) child->set_live(true);
    invalidate_layout();
}

void UIElement::detach_child(const std::shared_ptr<UIElement>& child)
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end()) return;
    auto keep = *found;  // alive until its events are done
    m_children.erase(found);
    if (keep->m_live) keep->set_live(false);
    keep->m_parent.reset();
    if (QWidget* w = keep->widget()) {
        if (QWidget* host = children_host(); host && host->layout()) host->layout()->removeWidget(w);
        w->hide();
        w->setParent(nullptr);
    }
    keep->on_parent_changed();
    invalidate_layout();
}

void UIElement::apply_visibility()
{
    if (m_widget && m_widget->parentWidget()) m_widget->setVisible(Visibility() == xaml::Visibility::Visible);
}

void UIElement::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    if (args.Property() == VisibilityProperty()) {
        apply_visibility();
        invalidate_layout();
    } else if (args.Property() == AllowDropProperty()) {
        if (m_widget) m_widget->setAcceptDrops(AllowDrop());
    }
}

bool UIElement::holds_weakly(const DependencyProperty& property, const IInspectable& value) const
{
    if (DependencyObject::holds_weakly(property, value)) return true;
    for (auto parent = visual_parent(); parent; parent = parent->visual_parent())
        if (parent == value) return true;
    return false;
}

bool UIElement::Focus(xaml::FocusState state)
{
    QWidget* target = focus_widget();
    if (!target || !target->isEnabled() || state == xaml::FocusState::Unfocused) return false;
    if (target->focusProxy()) target = target->focusProxy();
    if (target->focusPolicy() == Qt::NoFocus) return false;
    const Qt::FocusReason reason = state == xaml::FocusState::Keyboard  ? Qt::TabFocusReason
                                   : state == xaml::FocusState::Pointer ? Qt::MouseFocusReason
                                                                        : Qt::OtherFocusReason;
    // Focus given from the keyboard or by the program shows its ring at once, as it does after
    // Tab; only a pointer leaves it to the style.
    if (state != xaml::FocusState::Pointer) target->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    target->setFocus(reason);
    const bool taken = target->window()->focusWidget() == target;
    if (taken) m_focusState = state;
    return taken;
}

void UIElement::raise_drag(bool drop, std::shared_ptr<DragEventArgs> args)
{
    args->set_original_source(strong_self());
    if (drop) m_Drop(strong_self(), args);
    else m_DragOver(strong_self(), args);
}

std::shared_ptr<xaml::XamlRoot> UIElement::XamlRoot() const
{
    const UIElement* top = this;
    while (auto parent = top->m_parent.lock()) top = parent.get();
    return top->m_root.lock();
}

void UIElement::set_live(bool live)
{
    if (live == m_live) return;
    std::vector<std::shared_ptr<UIElement>> order;
    auto collect = [&](auto&& self, const std::shared_ptr<UIElement>& e) -> void {
        if (!e || e->m_live == live) return;
        order.push_back(e);
        for (const auto& child : e->m_children) self(self, child);
    };
    collect(collect, std::static_pointer_cast<UIElement>(strong_self()));
    for (const auto& e : order) e->m_live = live;
    if (live) {
        for (const auto& e : order) e->on_loading();
        for (const auto& e : order) e->on_loaded();
    } else {
        for (const auto& e : order) e->on_unloaded();
    }
}

// ---- FrameworkElement ----

IInspectable FrameworkElement::DataContext() const
{
    if (HasLocalValue(DataContextProperty())) return GetValue(DataContextProperty());
    for (auto parent = visual_parent(); parent; parent = parent->visual_parent())
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(parent)) return fe->DataContext();
    return nullptr;
}

std::shared_ptr<FrameworkElement> FrameworkElement::Parent() const
{
    for (auto parent = visual_parent(); parent; parent = parent->visual_parent())
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(parent)) return fe;
    return nullptr;
}

double FrameworkElement::ActualWidth() const { return widget() && is_live() ? widget()->width() : 0.0; }
double FrameworkElement::ActualHeight() const { return widget() && is_live() ? widget()->height() : 0.0; }

ElementTheme desktop_theme()
{
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? ElementTheme::Dark : ElementTheme::Light;
}

ElementTheme FrameworkElement::ActualTheme() const
{
    for (const FrameworkElement* e = this; e; e = e->Parent().get())
        if (const auto theme = e->RequestedTheme(); theme != ElementTheme::Default) return theme;
    return desktop_theme();
}

std::shared_ptr<ResourceDictionary> FrameworkElement::Resources() const
{
    if (!m_resources) m_resources = foundation::make<ResourceDictionary>();
    return m_resources;
}

IInspectable FrameworkElement::find_resource(const hstring& key) const
{
    const auto theme = ActualTheme();
    for (const FrameworkElement* e = this; e; e = e->Parent().get())
        if (e->m_resources)
            if (auto value = e->m_resources->find(key, theme)) return value;
    return application_resources()->find(key, theme);
}

std::shared_ptr<FrameworkElement> FrameworkElement::FindName(const hstring& name) const
{
    for (const auto& child : visual_children()) {
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(child)) {
            if (fe->Name() == name) return fe;
            if (auto found = fe->FindName(name)) return found;
        }
    }
    return nullptr;
}

foundation::Size FrameworkElement::desired_size() const
{
    if (Visibility() == xaml::Visibility::Collapsed) return {};
    const auto content = UIElement::desired_size();
    const auto margin = Margin();
    auto clamp = [](double own, double natural, double min, double max) {
        const double value = std::isnan(own) ? natural : own;
        return std::max(min, std::min(max, value));
    };
    const double w = clamp(Width(), content.Width, MinWidth(), MaxWidth());
    const double h = clamp(Height(), content.Height, MinHeight(), MaxHeight());
    return {static_cast<float>(w + margin.Left + margin.Right), static_cast<float>(h + margin.Top + margin.Bottom)};
}

void FrameworkElement::arrange_in(double x, double y, double width, double height)
{
    if (!widget()) return;
    const auto margin = Margin();
    x += margin.Left;
    y += margin.Top;
    width = std::max(0.0, width - margin.Left - margin.Right);
    height = std::max(0.0, height - margin.Top - margin.Bottom);
    const auto natural = UIElement::desired_size();

    auto size = [](double slot, double own, double natural, double min, double max, bool stretch) {
        double value = !std::isnan(own) ? own : stretch ? slot : std::min(slot, natural);
        return std::max(min, std::min(max, value));
    };
    const auto h = HorizontalAlignment();
    const auto v = VerticalAlignment();
    const double w = size(width, Width(), natural.Width, MinWidth(), MaxWidth(), h == HorizontalAlignment::Stretch);
    const double ht = size(height, Height(), natural.Height, MinHeight(), MaxHeight(), v == VerticalAlignment::Stretch);
    const double left = h == HorizontalAlignment::Center ? x + (width - w) / 2
                        : h == HorizontalAlignment::Right ? x + width - w
                                                          : x;
    const double top = v == VerticalAlignment::Center ? y + (height - ht) / 2
                       : v == VerticalAlignment::Bottom ? y + height - ht
                                                        : y;
    UIElement::arrange_in(std::floor(left), std::floor(top), w, ht);
}

void FrameworkElement::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    UIElement::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == DataContextProperty()) {
        data_context_changed();
    } else if (p == RequestedThemeProperty()) {
        theme_changed(m_lastTheme);
    } else if (p == WidthProperty() || p == HeightProperty() || p == MinWidthProperty() || p == MinHeightProperty() ||
               p == MaxWidthProperty() || p == MaxHeightProperty() || p == MarginProperty() ||
               p == HorizontalAlignmentProperty() || p == VerticalAlignmentProperty()) {
        invalidate_layout();
    } else if (p == NameProperty() && widget()) {
        widget()->setObjectName(to_qstring(Name()));
    }
}

void FrameworkElement::data_context_changed()
{
    auto self = std::static_pointer_cast<FrameworkElement>(strong_self());
    m_DataContextChanged(self, DataContextChangedEventArgs(DataContext()));
    for (const auto& child : visual_children()) {
        auto fe = std::dynamic_pointer_cast<FrameworkElement>(child);
        if (fe && !fe->HasLocalValue(DataContextProperty())) fe->data_context_changed();
    }
}

void FrameworkElement::theme_changed(ElementTheme)
{
    const ElementTheme now = ActualTheme();
    if (now != m_lastTheme) {
        m_lastTheme = now;
        on_theme_changed(now);
        m_ActualThemeChanged(std::static_pointer_cast<FrameworkElement>(strong_self()), nullptr);
    }
    for (const auto& child : visual_children())
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(child)) fe->theme_changed(now);
}

void FrameworkElement::refresh_theme() { theme_changed(m_lastTheme); }

void FrameworkElement::on_parent_changed()
{
    if (!HasLocalValue(DataContextProperty()) && DataContext()) data_context_changed();
    theme_changed(m_lastTheme);
}

void FrameworkElement::on_loading()
{
    m_lastTheme = ActualTheme();
    m_Loading(std::static_pointer_cast<FrameworkElement>(strong_self()), nullptr);
}

void FrameworkElement::on_loaded()
{
    m_loaded = true;
    m_Loaded(strong_self(), RoutedEventArgs{});
}

void FrameworkElement::on_unloaded()
{
    m_loaded = false;
    m_Unloaded(strong_self(), RoutedEventArgs{});
}

void FrameworkElement::raise_size_changed(foundation::Size previous, foundation::Size)
{
    // Handlers read the sizes of other elements (the title bar reads its columns), which the
    // same layout pass may not have reached yet: the event waits until the pass is over.
    if (m_sizeBefore || !widget() || !m_SizeChanged) return;
    m_sizeBefore = previous;
    const std::weak_ptr<FrameworkElement> weak = std::static_pointer_cast<FrameworkElement>(strong_self());
    QMetaObject::invokeMethod(
        widget(),
        [weak] {
            auto self = weak.lock();
            if (!self || !self->m_sizeBefore) return;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            SizeChangedEventArgs args;
            args.PreviousSize = *self->m_sizeBefore;
            self->m_sizeBefore.reset();
            if (!self->widget()) return;
            args.NewSize = {static_cast<float>(self->widget()->width()), static_cast<float>(self->widget()->height())};
            if (args.PreviousSize == args.NewSize) return;
            guard([&] { self->m_SizeChanged(self, args); });
        },
        Qt::QueuedConnection);
}

// ---- VisualTreeHelper ----

IInspectable VisualTreeHelper::GetParent(const IInspectable& element)
{
    return foundation::as<UIElement>(element)->visual_parent();
}

std::uint32_t VisualTreeHelper::GetChildrenCount(const IInspectable& element)
{
    return static_cast<std::uint32_t>(foundation::as<UIElement>(element)->visual_children().size());
}

IInspectable VisualTreeHelper::GetChild(const IInspectable& element, std::uint32_t index)
{
    const auto& children = foundation::as<UIElement>(element)->visual_children();
    if (index >= children.size()) throw foundation::hresult_out_of_bounds();
    return children[index];
}

// ---- markup metadata ----

void register_elements()
{
    using metadata::type_builder;
    const TypeName object{u"Object"}, string{u"String"}, number{u"Double"};
    type_builder(u"Microsoft.UI.Xaml.DependencyObject", u"");
    type_builder(UIElement::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .property(UIElement::VisibilityProperty, {u"Microsoft.UI.Xaml.Visibility"},
                  box_value(xaml::Visibility::Visible))
        .property(UIElement::AllowDropProperty, {u"Boolean"}, box_value(false))
        .property(UIElement::ContextFlyoutProperty,
                  {u"Microsoft.UI.Xaml.Controls.Primitives.FlyoutBase", TypeKind::Metadata}, nullptr);
    using FE = FrameworkElement;
    type_builder(FE::class_name, UIElement::class_name)
        .property(FE::NameProperty, string, box_value(hstring{}))
        .property(FE::TagProperty, object, nullptr)
        .property(FE::DataContextProperty, object, nullptr)
        .property(FE::WidthProperty, number, box_value(nan()))
        .property(FE::HeightProperty, number, box_value(nan()))
        .property(FE::MinWidthProperty, number, box_value(0.0))
        .property(FE::MinHeightProperty, number, box_value(0.0))
        .property(FE::MaxWidthProperty, number, box_value(infinity()))
        .property(FE::MaxHeightProperty, number, box_value(infinity()))
        .property(FE::MarginProperty, {u"Microsoft.UI.Xaml.Thickness"}, box_value(Thickness{}))
        .property(FE::HorizontalAlignmentProperty, {u"Microsoft.UI.Xaml.HorizontalAlignment"},
                  box_value(HorizontalAlignment::Stretch))
        .property(FE::VerticalAlignmentProperty, {u"Microsoft.UI.Xaml.VerticalAlignment"},
                  box_value(VerticalAlignment::Stretch))
        .property(FE::RequestedThemeProperty, {u"Microsoft.UI.Xaml.ElementTheme"}, box_value(ElementTheme::Default));
}

}  // namespace xaml
