#pragma once
// A shown top-level host for a tree of elements, activated so that it can take the focus.

#include "platform/xaml/core/XamlRoot.h"

#include "tests/support/event_loop.h"

#include <QApplication>
#include <QWidget>

namespace test {

inline std::shared_ptr<xaml::XamlRoot> show(const std::shared_ptr<xaml::UIElement>& content, int width = 400,
                                            int height = 300)
{
    auto root = foundation::make<xaml::XamlRoot>();
    root->Content(content);
    root->host_widget()->resize(width, height);
    root->host_widget()->show();
    root->host_widget()->activateWindow();
    QApplication::setActiveWindow(root->host_widget());
    run_until([&] { return root->host_widget()->isVisible(); });
    QCoreApplication::processEvents();
    return root;
}

}  // namespace test
