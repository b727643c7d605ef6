#include "platform/xaml/controls/Panel.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QWidget>

namespace xaml {

void invalidate_parent_layout(const std::shared_ptr<DependencyObject>& element)
{
    if (auto e = std::dynamic_pointer_cast<UIElement>(element)) e->invalidate_layout();
}

// ---- UIElementCollection ----

std::uint32_t UIElementCollection::Size() const { return static_cast<std::uint32_t>(m_owner->visual_children().size()); }

std::shared_ptr<UIElement> UIElementCollection::GetAt(std::uint32_t index) const
{
    const auto& children = m_owner->visual_children();
    if (index >= children.size()) throw foundation::hresult_out_of_bounds();
    return children[index];
}

bool UIElementCollection::IndexOf(const std::shared_ptr<UIElement>& element, std::uint32_t& index) const
{
    const auto& children = m_owner->visual_children();
    const auto found = std::find(children.begin(), children.end(), element);
    index = found == children.end() ? 0 : static_cast<std::uint32_t>(found - children.begin());
    return found != children.end();
}

void UIElementCollection::Append(const std::shared_ptr<UIElement>& element) { m_owner->attach_child(element); }

void UIElementCollection::InsertAt(std::uint32_t index, const std::shared_ptr<UIElement>& element)
{
    if (index > Size()) throw foundation::hresult_out_of_bounds();
    m_owner->attach_child(element, index);
}

void UIElementCollection::RemoveAt(std::uint32_t index) { m_owner->detach_child(GetAt(index)); }

void UIElementCollection::Clear()
{
    while (Size() > 0) RemoveAt(Size() - 1);
}

// ---- Panel ----

Panel::Panel() { set_widget(new QWidget); }

const std::shared_ptr<UIElementCollection>& Panel::Children() const
{
    if (!m_collection) m_collection = foundation::make<UIElementCollection>(const_cast<Panel*>(this));
    return m_collection;
}

void Panel::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    if (args.Property() == BackgroundProperty() && widget()) {
        auto solid = std::dynamic_pointer_cast<SolidColorBrush>(Background());
        QPalette palette = widget()->palette();
        if (solid) palette.setColor(QPalette::Window, to_qcolor(solid->Color()));
        widget()->setPalette(palette);
        widget()->setAutoFillBackground(solid && solid->Color().A != 0);
    }
}

void register_panel()
{
    metadata::type_builder(Panel::class_name, FrameworkElement::class_name)
        .property(Panel::BackgroundProperty, {u"Microsoft.UI.Xaml.Media.Brush", TypeKind::Metadata}, nullptr)
        .collection(u"Children", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Panel>(target)->Children()->Append(foundation::as<UIElement>(value));
        })
        .content(u"Children");
}

}  // namespace xaml
