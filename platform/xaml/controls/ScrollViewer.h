#pragma once
// ScrollViewer: shows its content at the content's full height and scrolls it vertically when
// the viewer is shorter; the content takes the viewer's width.

#include "platform/xaml/controls/Control.h"

class QScrollArea;

namespace xaml {

class ScrollViewer final : public ContentControl {
public:
    ScrollViewer();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.ScrollViewer"; }

    QScrollArea* scroll_area() const;

protected:
    QWidget* children_host() const override { return m_host; }

private:
    QWidget* m_host;
};

}  // namespace xaml
