#pragma once

#include "platform/xaml/core/UIElement.h"

namespace xaml {

// The host of a tree of elements: a top-level widget whose content fills it. Showing the host
// loads the tree; hiding or destroying it unloads it.
class XamlRoot : public foundation::Object {
public:
    // Hosts the tree in the given top-level widget (a window), or in a plain one of its own.
    // The host widget tells the root when it is shown (set_live).
    explicit XamlRoot(QWidget* host = nullptr);
    ~XamlRoot() override;
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.XamlRoot"; }

    std::shared_ptr<UIElement> Content() const { return m_content; }
    void Content(const std::shared_ptr<UIElement>& content);
    foundation::Size Size() const;
    double RasterizationScale() const;

    QWidget* host_widget() const noexcept { return m_host; }
    // Moves the keyboard focus to the next (or previous) stop in the order of the tree, which is
    // the reading order of the markup; false when the focus is not in this tree.
    bool move_tab_focus(bool next);
    // Loads or unloads the tree; the host widget calls it as it is shown or hidden.
    void set_live(bool live);
    bool is_live() const noexcept { return m_live; }

private:
    QWidget* m_host = nullptr;
    bool m_ownsHost = false;
    std::shared_ptr<UIElement> m_content;
    bool m_live = false;
};

}  // namespace xaml
