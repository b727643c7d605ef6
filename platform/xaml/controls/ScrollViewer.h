#pragma once
// ScrollViewer: shows its content at the content's full height and scrolls it vertically when
// the viewer is shorter. The content takes the viewer's width unless horizontal scrolling is
// allowed; then it keeps at least its own width and scrolls sideways when the viewer is narrower.

#include "platform/xaml/controls/Control.h"

class QScrollArea;

namespace xaml {

enum class ScrollBarVisibility { Disabled = 0, Auto = 1, Hidden = 2, Visible = 3 };

class ScrollViewer final : public ContentControl {
public:
    ScrollViewer();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ScrollViewer")

    static inline constinit property_slot HorizontalScrollBarVisibilityProperty{u"HorizontalScrollBarVisibility"};
    ScrollBarVisibility HorizontalScrollBarVisibility() const
    {
        return get_value<ScrollBarVisibility>(*this, HorizontalScrollBarVisibilityProperty());
    }
    void HorizontalScrollBarVisibility(ScrollBarVisibility value) { set_value(*this, HorizontalScrollBarVisibilityProperty(), value); }

    QScrollArea* scroll_area() const;

protected:
    QWidget* children_host() const override { return m_host; }
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    QWidget* m_host;
};

}  // namespace xaml
