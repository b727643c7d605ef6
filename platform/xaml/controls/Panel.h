#pragma once
// Panel: an element that lays out its children.

#include "platform/xaml/core/brush.h"
#include "platform/xaml/core/UIElement.h"

namespace xaml {

class Panel;

// The children of a panel; changing it adds and removes the children's widgets.
class UIElementCollection final : public foundation::Object {
public:
    explicit UIElementCollection(Panel* owner) : m_owner(owner) {}
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.UIElementCollection")

    std::uint32_t Size() const;
    std::shared_ptr<UIElement> GetAt(std::uint32_t index) const;
    bool IndexOf(const std::shared_ptr<UIElement>& element, std::uint32_t& index) const;
    void Append(const std::shared_ptr<UIElement>& element);
    void InsertAt(std::uint32_t index, const std::shared_ptr<UIElement>& element);
    void RemoveAt(std::uint32_t index);
    void Clear();

private:
    Panel* m_owner;
};

class Panel : public FrameworkElement {
public:
    Panel();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Panel")

    XAML_PROPERTY(std::shared_ptr<Brush>, Background)

    const std::shared_ptr<UIElementCollection>& Children() const;

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class UIElementCollection;
    mutable std::shared_ptr<UIElementCollection> m_collection;
};

// Attached layout properties notify the layout of the element's parent.
void invalidate_parent_layout(const std::shared_ptr<DependencyObject>& element);

}  // namespace xaml
